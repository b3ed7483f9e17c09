#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/text_engine.h"
#include "engine/typography.h"
#include "platform/headless/headless_platform.h"
#include "view/page_geometry.h"

namespace lirako::tool {

// The page geometry, layout and headless metrics that the engine commands share.
struct LayoutOptions {
  int pageWidth = 240;
  int pageHeight = 320;
  Rect margins{6, 5, 6, 5};
  int lineGap = 1;
  int sharedLines = 2;
  bool justify = true;
  int narrow = 6;
  int wide = 12;
  int lineHeight = 16;
  std::string table;                     // a hantable.dat to convert through, or empty
  Typography typography;                 // everything off unless asked for
  std::optional<TextEncoding> encoding;  // none: detect it
  PageShape shape;                       // one column over the whole width unless asked for
  // --measure, --columns, --indent or --paragraph-gap given: pages say their columns
  bool shapeGiven = false;
  bool gapGiven = false;  // --paragraph-gap given: lines say their top edge too
};

// Consumes --indent N (0 to 3 full-width characters) at args[*i] as ParseLayoutOption does.
bool ParseIndentOption(const std::vector<std::string>& args, size_t* i, Typography* typography,
                       std::string* error);
// Consumes --paragraph-gap PERCENT (0 to 100) at args[*i] as ParseLayoutOption does.
bool ParseParagraphGapOption(const std::vector<std::string>& args, size_t* i,
                             Typography* typography, std::string* error);
// Consumes --blank-lines keep|collapse at args[*i] as ParseLayoutOption does.
bool ParseBlankLinesOption(const std::vector<std::string>& args, size_t* i, Typography* typography,
                           std::string* error);
// Consumes the page shape option at args[*i] (--measure N, --columns auto|1|2, --gutter PX);
// `given` is set by --measure and --columns. As ParseLayoutOption otherwise.
bool ParseShapeOption(const std::vector<std::string>& args, size_t* i, PageShape* shape,
                      bool* given, std::string* error);

// Consumes the typesetting option at args[*i] (--kinsoku, --keep-all, --join-lines, each
// with 0 or 1) as ParseLayoutOption does.
bool ParseTypographyOption(const std::vector<std::string>& args, size_t* i, Typography* typography,
                           std::string* error);
// The value of --encoding: "auto" (none, detect) or an encoding name; false for anything else.
bool ParseEncodingOption(const std::string& text, std::optional<TextEncoding>* encoding);

// Consumes the layout option at args[*i] (with its value); false with `error` set when it is
// malformed, false with `error` empty when args[*i] is no layout option.
bool ParseLayoutOption(const std::vector<std::string>& args, size_t* i, LayoutOptions* options,
                       std::string* error);
// Parses a whole decimal integer; false when `text` is anything else.
bool ParseInt(const std::string& text, int* value);

// A book opened in the engine of the chosen or detected encoding, laid out on a headless page with
// measured glyphs, as the view would have it before its first page step.
class EngineSession {
 public:
  // False with `error` set when the file or the code table cannot be opened.
  bool Open(const std::string& path, const LayoutOptions& options, std::string* error);
  CTextEngine& engine() { return *engine_; }
  // The page's lines, top first, as one JSON array; with a page shape asked for, each line
  // says its column and left edge, and with a paragraph gap its top edge.
  std::string PageLinesJson();
  // With a page shape asked for, the page's field "columns": K followed by ", "; else empty.
  std::string PageJsonFields() const;

 private:
  HeadlessPlatform platform_;
  std::unique_ptr<CTextEngine> engine_;
  bool placed_ = false;
  bool withY_ = false;
};

}  // namespace lirako::tool
