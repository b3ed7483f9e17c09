#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/basic_line_drawer.h"
#include "engine/basic_text_line.h"
#include "engine/basic_text_reader.h"
#include "engine/basic_text_search.h"
#include "engine/paragraph_buffer.h"
#include "engine/text_engine.h"

namespace lirako {

// The engine over one kind of text unit: loading, line breaking (basic_text_engine_wrap.cc),
// paging, search, and the page's drawing through BasicLineDrawer.
// CMbcsTextEngine (code page 949 bytes), CUtf8TextEngine (UTF-8 bytes, as char8_t) and
// CUnicodeTextEngine (16-bit units) are its instances.
template <typename Unit>
class BasicTextEngine : public CTextEngine {
 public:
  using Line = BasicTextLine<Unit>;
  using Lines = std::deque<Line>;
  using Buffer = ParagraphBuffer<Unit>;
  using Reader = BasicTextReader<Unit>;
  using Search = BasicTextSearch<Unit>;
  using Drawer = BasicLineDrawer<Unit>;

  BasicTextEngine(Platform& platform, std::unique_ptr<Reader> reader);
  ~BasicTextEngine() override;

  void Render(int flags) override;
  void PrepareTurn(Turn turn, Surface& spare, const Rect& client, uint32_t textColor,
                   uint32_t backColor, int flags) override;
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
  void SetSearchAfter(int32_t pieceStart, int32_t index) override;
  int32_t FindNext(const std::u16string& text, int32_t* index, int options) override;
  int32_t GetSize() override { return isOpen ? reader_->fileLength() : 0; }
  int32_t GetPosition() override;
  int32_t GetBottomPosition() override;
  const CTextLine* GetTopLine() override;
  int32_t LineAt(int32_t paragraphStart, int32_t pos) override;

  // Finds the end of the line that starts at wrapCursor (moving wrapCursor over leading
  // blanks); returns true when the paragraph goes on after `end`. `hang` gets the width of a
  // closing mark hanging past the available width (0: none).
  bool MeasureLine(const Buffer& paragraph, int32_t* end, int* width, int* hang = nullptr);
  // Cuts `paragraph` from wrapCursor into lines appended to `lines` in paragraph order.
  void WrapParagraph(const Buffer& paragraph, Lines& lines);
  // The paragraph's text as UTF-16 for display and search.
  std::u16string DisplayText(const Buffer& paragraph) const;

  const Lines& pageLines() const { return pageLines_; }
  // Where each line of the page stands, top first.
  std::vector<PageLayout::Place> PagePlaces() const;
  const Lines& pendingLines() const { return pendingLines_; }
  Reader& reader() { return *reader_; }
  const Buffer& paragraph() const { return paragraph_; }

 protected:
  // Checks the file before it is opened (the UTF-16 engine reads its byte-order mark); false
  // with the reason in `err` (when given) when it cannot be read as this engine's kind.
  virtual bool PrepareLoad(const std::u16string&, std::string*) { return true; }

 private:
  // Moves pending lines to the page's foot while `layout` (the page's so far) has room.
  void FillForward(PageLayout& layout);
  // Moves pending lines to the page's top: with `takeOne` the first one whatever it pushes off
  // the foot (and `takeOne` is cleared), then, with `fillUp`, more while the page has room.
  void FillBackward(bool& takeOne, bool fillUp);
  void ReadOnForward();
  // Reads paragraphs before the page into its top as FillBackward takes them, until it is
  // full or the file starts.
  void ReadBack(bool takeOne, bool fillUp);
  // The layout with the page's lines placed.
  PageLayout LayoutOfPage() const;
  // Whether `line` and every line of the page below it fit on the page.
  bool FitsAbove(const Line& line) const;
  // Where forward reading continues below the page: just after its bottom line.
  int32_t ResumePosition() const;
  // The pixels the first line of `paragraph` stands in, moving wrapCursor past the blanks
  // it starts with; 0 unless an indent is asked for and the paragraph starts here.
  int FirstLineIndent(const Buffer& paragraph);
  // Whether `paragraph` holds nothing but blanks and full-width blanks.
  bool IsBlankLine(const Buffer& paragraph) const;
  // The position of the display line of `paragraph` that holds file position `pos`, as the
  // page would lay it out; the paragraph's start when none does.
  int32_t LineHolding(const Buffer& paragraph, int32_t pos);

  // The page's lines as far as their pixels go, in reading order.
  std::vector<DrawnLine> DrawnLines() const;
  // A drawer into `surface` with the page's style.
  Drawer NewDrawer(Surface& surface) const;
  // Draws `line` in column `column`, `lineY` pixels below the text block's top.
  void DrawLine(Drawer& drawer, const Line& line, int column, int lineY, bool rotated) const;
  // Draws every line of the page where its layout places it, over what is there.
  void DrawPageLines(Surface& surface, bool rotated) const;

  // Everything a page turn changes, to undo one made to draw the next page ahead.
  struct PageState {
    typename Reader::Cursor cursor;
    int32_t wrapCursor = 0;
    int lineIndent = 0;
    Buffer paragraph;
    Lines pendingLines;
    Lines pageLines;
    Fill fillDirection = Fill::kNone;
    bool pageFull = false;
    int usedHeight = 0;
    int32_t savedPosition = 0;
    int32_t highlightBegin = -1;
    int32_t highlightEnd = -1;
  };
  PageState SavePage();
  void RestorePage(PageState state);

  // Keeps the reader's place and the wrap cursor of the page while a search reads.
  class PageKeeper {
   public:
    explicit PageKeeper(BasicTextEngine& engine)
        : engine_(engine), cursor_(engine.reader_->cursor()), wrapCursor_(engine.wrapCursor) {}
    ~PageKeeper() {
      engine_.reader_->Restore(cursor_);
      engine_.wrapCursor = wrapCursor_;
    }
    PageKeeper(const PageKeeper&) = delete;
    PageKeeper& operator=(const PageKeeper&) = delete;

   private:
    BasicTextEngine& engine_;
    typename Reader::Cursor cursor_;
    int32_t wrapCursor_;
  };

  std::unique_ptr<Reader> reader_;
  // Pixels the line being measured stands in: the available width is that much less.
  int lineIndent_ = 0;
  Search search_;
  Buffer paragraph_;
  Buffer scratch_;
  Lines pendingLines_;
  Lines carryLines_;
  Lines pageLines_;
  // Where the text of the last match was read from, and the match index in it.
  int32_t scanStart_ = 0;
  int32_t scanIndex_ = -1;
};

}  // namespace lirako
