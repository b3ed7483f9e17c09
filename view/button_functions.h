#pragma once

#include <array>
#include <string>

namespace lirako {

// The functions an application button can carry, by their index in the button-function
// table (stored per button in ReaderSettings::buttonFunctions).
enum ButtonFunction : int {
  kFnNone = 0,
  kFnPreviousPage = 1,
  kFnNextPage = 2,
  kFnPreviousLine = 3,
  kFnNextLine = 4,
  kFnFullScreen = 5,
  kFnSetBookmark = 6,
  kFnFind = 7,
  kFnJump = 8,
  kFnOpen = 9,
  kFnSettings = 10,
  kFnLandscape = 11,
  kFnAutoScroll = 12,
  kFnQuit = 13,
};
constexpr int kButtonFunctionCount = 14;
// Room of the label table; entries from kButtonFunctionCount on are empty.
constexpr int kButtonFunctionTableSize = 20;

// The labels of the button-function table, built once.
const std::array<std::u16string, kButtonFunctionTableSize>& ButtonFunctionLabels();

}  // namespace lirako
