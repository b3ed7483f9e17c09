#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/surface.h"

namespace lirako {

// The reader store's key of the main window's size and place.
inline constexpr char kWindowGeometryKey[] = "window.geometry";

// The smallest window side a remembered rectangle may have, and how much of it must lie on
// the screen, in pixels.
constexpr int kMinWindowSide = 120;
constexpr int kMinVisibleSide = 60;

// "left,top,width,height" of a window rectangle (the window without its frame).
std::string FormatWindowGeometry(const Rect& rect);
// The rectangle of a "left,top,width,height" text, or nullopt when the text is not four
// integers or the size is below kMinWindowSide.
std::optional<Rect> ParseWindowGeometry(std::string_view text);

// The first window on a desktop: a page-like portrait window two thirds of the height of
// `available` (the screen less its panels), three fifths as wide as high, centred.
Rect FirstRunWindowRect(const Rect& available);

// Where the window opens: the remembered rectangle when it parses, fits in `available` and
// enough of it lies there; a remembered rectangle off the screen (a screen gone since) or
// larger than it is centred on it, cut to it; without a usable one, the first-run rectangle.
Rect InitialWindowRect(const std::optional<std::string>& remembered, const Rect& available);

}  // namespace lirako
