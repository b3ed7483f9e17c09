#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/glyph_metrics.h"
#include "engine/page_layout.h"
#include "engine/page_picture.h"
#include "engine/text_encoding.h"
#include "engine/typography.h"
#include "platform/platform.h"

namespace lirako {

class CTextLine;

// The largest distance in pixels the layout deals in. Margins, gaps and page edges are held
// within it, whatever a settings file says, so that every sum of them fits in 32 bits.
constexpr int kMaxLayoutPixels = 1 << 20;

// Bits of the flags of CTextEngine::Render.
enum RenderFlag : int {
  kRenderRotated = 0x1000,  // the page is turned a quarter to the right (landscape)
};

// Bits of the options of CTextEngine::FindNext.
enum FindOption : int {
  kFindMatchCase = 0x1,  // letters match only in the same case
};

// Which way a page turn goes.
enum class Turn {
  kForward,   // PageForward
  kBackward,  // PageBackward
};

// Which way the page was last filled.
enum class Fill {
  kNone,
  kForward,   // from the top line down
  kBackward,  // from the bottom line up, also after GoToEnd
};

// The document model behind the reader view: one open book, read paragraph by paragraph
// from any file offset, laid out one page at a time. Positions are signed 32-bit offsets in
// the engine's unit (bytes, or 16-bit units); -1 means none.
class CTextEngine {
 public:
  explicit CTextEngine(Platform& platform) : platform_(platform) {}
  virtual ~CTextEngine() = default;

  // The operations in their fixed slot order.
  // Draws the page into the offscreen surface of the current paint; `flags` are RenderFlag
  // bits.
  virtual void Render(int flags) = 0;
  // Opens a document; false (engine closed) when it cannot be opened, with the reason in
  // `err` when it is given.
  virtual bool Load(const std::u16string& path, std::string* err) = 0;
  virtual void Close() = 0;
  // Nothing of the file is left to show below the page (the text ends on this page).
  virtual bool IsAtEnd() = 0;
  // Always false.
  virtual bool ReservedQuery() = 0;
  virtual void PageForward() = 0;
  virtual void PageBackward() = 0;
  virtual void LineForward() = 0;
  virtual void LineBackward() = 0;
  virtual void GoToStart() = 0;
  virtual void SetPosition(int32_t pos) = 0;
  virtual void GoToEnd() = 0;
  // f from 0.0 to 1.0.
  virtual void SetFraction(float f) = 0;
  virtual void SetSearchStart(int32_t pos) = 0;
  // The next FindNext goes on after the match at display index `index` of the paragraph (or
  // piece) read from `pieceStart`, as FindNext and the search for every hit report matches.
  virtual void SetSearchAfter(int32_t pieceStart, int32_t index) = 0;
  // Position of the display line holding the next match, or -1; `index` gets the match index.
  // `options` are FindOption bits.
  virtual int32_t FindNext(const std::u16string& text, int32_t* index, int options) = 0;
  virtual int32_t GetSize() = 0;
  virtual int32_t GetPosition() = 0;
  virtual int32_t GetBottomPosition() = 0;
  // The top line of the page, or null.
  virtual const CTextLine* GetTopLine() = 0;

  // Load without asking for the reason.
  bool Load(const std::u16string& path) { return Load(path, nullptr); }

  // Operations beyond the slots.
  // How the open book's text is stored.
  virtual TextEncoding Encoding() const = 0;
  // The position of the display line that holds file position `pos` when the paragraph (or
  // piece) read from `paragraphStart` is laid out on this page; `paragraphStart` when no line
  // holds it. Leaves the page as it is.
  virtual int32_t LineAt(int32_t paragraphStart, int32_t pos) = 0;

  // Stores margins (left, top, right, bottom in a Rect), line gap, shared lines and
  // justification; does not re-lay the page.
  void SetLayout(const Rect& margins, int lineGap, int sharedLines, bool justify);
  // Stores the typesetting options; does not re-lay the page (the caller repositions it, as
  // paragraphs may read differently).
  virtual void SetTypography(const Typography& options) { typography = options; }
  // Stores the page rectangle; does not re-lay the page.
  void SetPageRect(int left, int top, int right, int bottom);
  // Sets the page in `count` columns (1 or 2), each the width the margins leave, each next
  // one `step` pixels to the right of the one before; a page holds as many lines per column
  // and reads down the first column, then the next. Does not re-lay the page.
  void SetColumns(int count, int step);

  // Paint entry points, in the order a paint calls them.
  // Creates the text font, selects it into `screen` and measures glyphs when needed.
  void BeginPaint(Surface& screen, const std::u16string& face, int height, bool clearType,
                  bool bold, bool rotated);
  // Takes the page surface over `client`. When the platform kept the last page's pixels,
  // Render decides whether they can be moved instead of drawn again; else it is filled with
  // `backColor` at once.
  void BeginOffscreen(Surface& screen, const Rect& client, uint32_t textColor, uint32_t backColor);
  // Draws the 3-pixel position bar at the left of the screen into the offscreen surface.
  void DrawPositionBar(const Rect& client, bool rotated);
  // Copies the offscreen surface to the screen in one block and releases it.
  void EndOffscreen();
  // Restores the previous font of `screen` and releases the text font.
  void EndPaint(Surface& screen);
  // Between BeginPaint(spare, ...) and EndPaint(spare), outside a page's paint: draws the
  // page `turn` would show next into `spare` (see Platform::CreateSpareSurface) over `client`,
  // as Render with `flags` would draw it without a highlight. This page, the reader's place
  // and the kept picture stay as they are; the Render that next shows exactly that page takes
  // the spare image instead of drawing. An engine may draw nothing ahead.
  virtual void PrepareTurn(Turn /*turn*/, Surface& /*spare*/, const Rect& /*client*/,
                           uint32_t /*textColor*/, uint32_t /*backColor*/, int /*flags*/) {}

  // Builds the glyph width table and the line height in the font selected into `surface`.
  void MeasureGlyphs(Surface& surface);
  // Width of a single-byte character.
  int GlyphWidth(uint8_t code) const { return metrics_.glyphWidth(code); }
  // Width of a UTF-16 unit: the table below 128, else the wide width.
  int UnitWidth(char16_t unit) const { return metrics_.UnitWidth(unit); }
  // Width of every double-byte (or non-ASCII) character.
  int wideGlyphWidth() const { return metrics_.wideGlyphWidth(); }
  // The number of lines a page holds (at least one): the lines of a column times the columns.
  int PageCapacity() const;
  // The number of lines a column holds (at least one).
  int ColumnCapacity() const;
  // The pixels a paragraph's last line leaves below it: typography.paragraphGap percent of the
  // line height.
  int ParagraphGap() const;
  // An empty layout of this page's text block, to place its lines top first.
  PageLayout NewPageLayout() const;
  // The pixels the text moves up when the top line leaves the page by a line step: the pitch,
  // and the paragraph gap when the top line ends its paragraph.
  int TopLineStep();
  // The number of columns (1 or 2) and the pixels from one column's left edge to the next.
  int columns() const { return columns_; }
  int columnStep() const { return columnStep_; }

  // State the view reads or writes directly.
  bool isOpen = false;
  std::u16string filePath;
  int lineHeight = 0;
  int lineGap = 0;
  bool metricsReady = false;
  int drawOffset = 0;

  // Layout and navigation state.
  int32_t wrapCursor = 0;  // unit index in the paragraph being wrapped
  Fill fillDirection = Fill::kNone;
  bool pageFull = false;  // the last fill stopped for lack of room
  int usedHeight = 0;     // pixels taken by the page's lines
  Rect margins;
  int tabSize = GlyphMetrics::kTabSize;
  Rect pageRect;
  int sharedLines = 0;
  bool justify = false;
  Typography typography;
  int32_t searchPosition = 0;  // position of the line holding the last match, -1 after none
  int32_t searchIndex = -1;    // index of the last match in the text searched
  int32_t savedPosition = 0;   // what GetPosition reports while the page is empty
  // File positions of the characters drawn in inverted colours (a search hit): from
  // highlightBegin up to highlightEnd; -1 for none. A hit of FindNext sets them, a miss
  // clears them; the view clears them when the page changes.
  int32_t highlightBegin = -1;
  int32_t highlightEnd = -1;

 protected:
  // Line pitch in pixels.
  int Pitch() const { return lineHeight + lineGap; }
  // What the page's pixels depend on besides its lines.
  PaintSetting CurrentSetting(bool rotated) const;
  // The offscreen rectangle of rows [firstRow, endRow) of column `column`, reaching to the
  // middle of the gutters beside it (the page's edges for the outer columns).
  Rect ColumnBand(int column, int firstRow, int endRow, bool rotated) const;
  // Moves the kept picture of every column `shift` rows up (down when negative); false when
  // the surface cannot.
  bool ScrollColumns(int shift, bool rotated);
  // Fills the whole offscreen surface with the back colour, if the kept pixels are still
  // waiting for Render's decision.
  void FillIfPending();
  // Makes the image prepared ahead the offscreen surface, when `setting` and `lines` are what
  // it shows; false when it is not taken (the offscreen surface may then have been made
  // again, and is null when none could be).
  bool TakePrepared(const PaintSetting& setting, int perColumn,
                    const std::vector<DrawnLine>& lines);

  Platform& platform_;
  GlyphMetrics metrics_;
  std::unique_ptr<Font> font_;
  Font* previousFont_ = nullptr;
  Surface* screen_ = nullptr;
  std::unique_ptr<Surface> offscreen_;
  Rect client_;
  uint32_t textColor_ = 0;
  uint32_t backColor_ = 0;
  // What the kept page image shows, and the state of the paint under way: the kept pixels
  // not yet filled over, the position bar drawn in the last paint and in this one.
  PagePicture picture_;
  // What the platform's spare image holds, drawn ahead by PrepareTurn.
  PagePicture prepared_;
  bool fillPending_ = false;
  bool keptBar_ = false;
  bool barDrawn_ = false;
  int columns_ = 1;
  int columnStep_ = 0;
};

// Opens `path`, reads its first two bytes and reports whether it is UTF-16 with a
// byte-order mark: FF FE (byteOrder 1, little-endian) or FE FF (byteOrder 0).
bool ProbeTextKind(Platform& platform, const std::u16string& path, int* byteOrder);

// A new empty engine for text in `encoding`: CMbcsTextEngine, CUtf8TextEngine, or
// CUnicodeTextEngine in the given byte order (a file with that order's mark reads it as
// unit 0, any other is read from its first unit).
std::unique_ptr<CTextEngine> CreateTextEngine(Platform& platform, TextEncoding encoding);
// A new empty engine for `path` in `encoding`, or when none is given in the encoding detected
// for it (DetectTextEncoding; code page 949 when the file cannot be read).
std::unique_ptr<CTextEngine> CreateTextEngine(Platform& platform, const std::u16string& path,
                                              std::optional<TextEncoding> encoding = {});

}  // namespace lirako
