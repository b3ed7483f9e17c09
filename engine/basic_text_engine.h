#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/basic_text_line.h"
#include "engine/basic_text_reader.h"
#include "engine/paragraph_buffer.h"
#include "engine/text_engine.h"

namespace lirako {

// The engine over one kind of text unit: loading, line breaking, paging, search and drawing.
// CMbcsTextEngine (code page 949 bytes), CUtf8TextEngine (UTF-8 bytes, as char8_t) and
// CUnicodeTextEngine (16-bit units) are its instances.
template <typename Unit>
class BasicTextEngine : public CTextEngine {
 public:
  using Line = BasicTextLine<Unit>;
  using Lines = std::deque<Line>;
  using Buffer = ParagraphBuffer<Unit>;
  using Reader = BasicTextReader<Unit>;

  BasicTextEngine(Platform& platform, std::unique_ptr<Reader> reader);
  ~BasicTextEngine() override;

  void Render(int flags) override;
  void SetTypography(const Typography& options) override;
  using CTextEngine::Load;
  bool Load(const std::u16string& path, std::string* err) override;
  void Close() override;
  // Nothing is left to show below the page.
  bool IsAtEnd() override;
  bool ReservedQuery() override { return false; }
  void PageForward() override;
  void PageBackward() override;
  void LineForward() override;
  void LineBackward() override;
  void GoToStart() override;
  void SetPosition(int32_t pos) override;
  void GoToEnd() override;
  void SetFraction(float f) override;
  void SetSearchStart(int32_t pos) override;
  int32_t FindNext(const std::u16string& text, int32_t* index, int options) override;
  int32_t GetSize() override { return isOpen ? reader_->fileLength() : 0; }
  int32_t GetPosition() override;
  int32_t GetBottomPosition() override;
  const CTextLine* GetTopLine() override;

  // Finds the end of the line that starts at wrapCursor (moving wrapCursor over leading
  // blanks); returns true when the paragraph goes on after `end`. `hang` gets the width of a
  // closing mark hanging past the available width (0: none).
  bool MeasureLine(const Buffer& paragraph, int32_t* end, int* width, int* hang = nullptr);
  // Cuts `paragraph` from wrapCursor into lines appended to `lines` in paragraph order.
  void WrapParagraph(const Buffer& paragraph, Lines& lines);
  // The paragraph's text as UTF-16 for display and search.
  std::u16string DisplayText(const Buffer& paragraph) const;

  const Lines& pageLines() const { return pageLines_; }
  const Lines& pendingLines() const { return pendingLines_; }
  Reader& reader() { return *reader_; }
  const Buffer& paragraph() const { return paragraph_; }

 protected:
  // Checks the file before it is opened (the UTF-16 engine reads its byte-order mark); false
  // with the reason in `err` (when given) when it cannot be read as this engine's kind.
  virtual bool PrepareLoad(const std::u16string&, std::string*) { return true; }

 private:
  void FillForward();
  void FillBackward();
  void ReadOnForward();
  void ReadBack();
  // Where forward reading continues below the page: just after its bottom line.
  int32_t ResumePosition() const;
  void DrawLine(const Line& line, int x, int y, bool rotated, int avail);
  void DrawJustified(const Line& line, int x, int y, bool rotated, int avail);
  void DrawSegment(const Line& line, int32_t from, int32_t to, int x, int y);
  int32_t MatchOffset(const Buffer& paragraph, int32_t index) const;
  // The longest run of `needle` (already folded when `fold`) whose file units are certain:
  // every paragraph that holds a match holds these units, so a search can skip the others
  // unread by the display conversion. Empty when no unit is certain.
  std::vector<Unit> SearchAnchor(const std::u16string& needle, bool fold);
  // The file units of the display unit `unit` when exactly one character converts to it.
  bool FileUnitsOf(char16_t unit, std::vector<Unit>* units);

  std::unique_ptr<Reader> reader_;
  Buffer paragraph_;
  Buffer scratch_;
  Lines pendingLines_;
  Lines carryLines_;
  Lines pageLines_;
  // Where the text of the last match was read from, and the match index in it.
  int32_t scanStart_ = 0;
  int32_t scanIndex_ = -1;
  // Byte text: every display unit with the character (lead << 8 | trail, or a single byte)
  // that converts to it, sorted by unit; 0xFFFF for a unit that several characters give.
  std::vector<std::pair<char16_t, uint16_t>> displaySources_;
  int displaySourcesMode_ = -1;
};

}  // namespace lirako
