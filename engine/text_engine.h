#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace lirako {

class CTextLine;

// The document model behind the reader view: one open book, read paragraph by paragraph
// from any file offset, laid out one page at a time. Positions are signed 32-bit offsets in
// the engine's unit (bytes, or 16-bit units); -1 means none.
class CTextEngine {
 public:
  explicit CTextEngine(Platform& platform) : platform_(platform) {}
  virtual ~CTextEngine() = default;

  // The operations in their fixed slot order.
  // Draws the page into the offscreen surface of the current paint; 0x1000 = rotated.
  virtual void Render(int flags) = 0;
  // Opens a document; false (engine closed) when it cannot be opened.
  virtual bool Load(const std::u16string& path) = 0;
  virtual void Close() = 0;
  // The reader is at the end of the file.
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
  // Position of the display line holding the next match, or -1; `index` gets the match index.
  virtual int32_t FindNext(const std::u16string& text, int32_t* index, int options) = 0;
  virtual int32_t GetSize() = 0;
  virtual int32_t GetPosition() = 0;
  virtual int32_t GetBottomPosition() = 0;
  // The top line of the page, or null.
  virtual const CTextLine* GetTopLine() = 0;

  // Stores margins (left, top, right, bottom in a Rect), line gap, shared lines and
  // justification; does not re-lay the page.
  void SetLayout(const Rect& margins, int lineGap, int sharedLines, bool justify);
  // Stores the page rectangle; does not re-lay the page.
  void SetPageRect(int left, int top, int right, int bottom);

  // Paint entry points, in the order a paint calls them.
  // Creates the text font, selects it into `screen` and measures glyphs when needed.
  void BeginPaint(Surface& screen, const std::u16string& face, int height, bool clearType,
                  bool bold, bool rotated);
  // Creates the offscreen surface over `client`, filled with `backColor`.
  void BeginOffscreen(Surface& screen, const Rect& client, uint32_t textColor,
                      uint32_t backColor);
  // Draws the 3-pixel position bar at the left of the screen into the offscreen surface.
  void DrawPositionBar(const Rect& client, bool rotated);
  // Copies the offscreen surface to the screen in one block and releases it.
  void EndOffscreen();
  // Restores the previous font of `screen` and releases the text font.
  void EndPaint(Surface& screen);

  // State the view reads or writes directly.
  int isOpen = 0;
  std::u16string filePath;
  int lineHeight = 0;
  int lineGap = 0;
  int metricsReady = 0;
  int drawOffset = 0;

 protected:
  Platform& platform_;
};

// Opens `path`, reads its first two bytes and reports whether it is UTF-16 with a
// byte-order mark: FF FE (byteOrder 1, little-endian) or FE FF (byteOrder 0).
bool ProbeTextKind(Platform& platform, const std::u16string& path, int* byteOrder);

// A new empty engine for the kind of `path`: CUnicodeTextEngine when the probe says UTF-16,
// else CMbcsTextEngine.
std::unique_ptr<CTextEngine> CreateTextEngine(Platform& platform, const std::u16string& path);

}  // namespace lirako
