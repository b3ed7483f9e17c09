#pragma once

#include <cstdint>
#include <string>

namespace lirako {

// One display line: where it lies in the file, how much of its paragraph it covers, its
// measured width and whether the paragraph goes on; BasicTextLine holds the text.
class CTextLine {
 public:
  virtual ~CTextLine() = default;

  // Position of the line's first unit.
  int32_t offset = 0;
  // Paragraph units the line covers before trailing blanks are trimmed (for a paragraph
  // shorter than two units, everything its read consumed).
  int32_t length = 0;
  // 1 when the paragraph goes on in the next line.
  int continued = 0;
  // Pixel width of the text, less trimmed trailing blanks.
  int width = 0;
  // Pixel width of a closing mark at the end of the text that hangs past the available width
  // (included in `width`, kept out of justification); 0 when none hangs.
  int hang = 0;
  // Position just after everything the line stands for: the blanks where the next line
  // breaks, and for the last line of a paragraph its line break.
  int32_t end = 0;
  // Pixels the line stands in from the left margin (a paragraph's first line).
  int indent = 0;
  // The line is its paragraph's last: neither a line of its piece nor a piece read after it
  // (past a cut, a joined break or the place a backward read started) goes on with it.
  bool paragraphEnd = false;

  // The text as UTF-16 (byte text through the display conversion).
  virtual void GetText(std::u16string* text) const = 0;
  std::u16string Text() const {
    std::u16string text;
    GetText(&text);
    return text;
  }
  // Units of the text.
  virtual int32_t textLength() const = 0;
  // Units allocated for the text: its length + 1, or 2 for an empty text.
  int32_t textSize() const { return textLength() == 0 ? 2 : textLength() + 1; }
};

}  // namespace lirako
