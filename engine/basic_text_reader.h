#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/paragraph_buffer.h"
#include "engine/text_reader.h"
#include "platform/file.h"

namespace lirako {

// Reads an open file paragraph by paragraph, forward or backward from any position, through
// a chunk of kChunkSize units. Positions count units (bytes, or 16-bit units). A line break is
// one CR or LF, or any pair of them (CR LF, LF CR, CR CR, LF LF).
//
// Text that runs on without a break is delivered in pieces of about the split span, so that a
// book without line breaks opens, jumps and turns back as fast as any other. The cuts lie at
// fixed places of the file, near each multiple of the span (after a blank when there is one
// close by, else between two characters), so that reads in either direction and from any
// position cut the same pieces. A piece that a cut ends is marked `split`.
template <typename Unit>
class BasicTextReader : public CTextReader {
 public:
  using UnitType = Unit;
  static constexpr int32_t kChunkSize = 2048;
  static constexpr int32_t kSplitSpan = 64 * 1024;
  // The longest stretch after a mark that is searched for a good place to cut.
  static constexpr int32_t kMaxSplitWindow = 1024;

  BasicTextReader();
  ~BasicTextReader() override;

  // Takes the open file of `length` units; the reader starts at 0.
  void Open(std::unique_ptr<File> file, int32_t length);
  // Closes the file and forgets the chunk; the position returns to 0.
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  int32_t fileLength() const { return fileLength_; }
  int32_t Position() const { return position_; }
  // Paragraphs delivered since the last reposition.
  int32_t readCount() const { return readCount_; }
  // The text starts at `begin`: the units before it (a byte-order mark that takes no room)
  // are never read, and a position before it means `begin`. Kept across Open and Close.
  void SetTextBegin(int32_t begin) { textBegin_ = std::max(begin, 0); }
  int32_t textBegin() const { return textBegin_; }
  // Sets the split span (at least 16 units); small spans let tests reach the cuts.
  void SetSplitSpan(int32_t span);
  int32_t splitSpan() const { return splitSpan_; }

  // Moves to `pos`; a position beyond the end or negative becomes 0. UTF-8 text moves back to
  // the start of the character that holds `pos`.
  bool Seek(int32_t pos);
  // The start of the code page 949 character that holds `pos`, for a place that came from
  // outside (a stored position, another encoding's). `pos` itself in other text, or when
  // the bytes near it do not tell.
  int32_t PairStartAt(int32_t pos);
  void SeekEnd();
  bool AtEnd() const { return position_ >= fileLength_; }

  // Reads the paragraph at the position up to its break, which it consumes; false at the end.
  // With lines joined, the lines that the paragraph runs on through are read with it.
  bool ReadNextParagraph(ParagraphBuffer<Unit>& buffer) {
    return joinLines_ ? ReadNextJoined(buffer) : ReadNextPiece(buffer);
  }
  // Reads back to the break (or the cut) before the position and stops in front of it; false
  // when there was nothing before. With lines joined, to the break that starts the paragraph.
  bool ReadPreviousParagraph(ParagraphBuffer<Unit>& buffer) {
    return joinLines_ ? ReadPreviousJoined(buffer) : ReadPreviousPiece(buffer);
  }
  // One line of the file (or one piece of it, up to a cut), forward or backward, as the two
  // reads above without joining.
  bool ReadNextPiece(ParagraphBuffer<Unit>& buffer);
  bool ReadPreviousPiece(ParagraphBuffer<Unit>& buffer);
  // Joining lines: a single line break (CR, LF, CR LF or LF CR) between two lines that hold
  // more than blanks reads as one blank, so the lines make one paragraph. An empty line ends a
  // paragraph, and so does the line break after the line that holds a multiple of the split
  // span (the line's start excluded, its line break included), so that a long joined
  // paragraph is cut at the same places whichever way it is read. Positions stay file
  // positions. Takes effect at the next read.
  void SetJoinLines(bool on) { joinLines_ = on; }
  // Whether the text that starts at `textStart` starts a paragraph: the text's beginning or
  // just after a line break, and with lines joined after an empty line too. Leaves the
  // reader where it is.
  bool StartsParagraph(int32_t textStart);
  bool joinLines() const { return joinLines_; }
  // With lines joined: where the joined paragraph that holds the line starting at `pos`
  // starts. Leaves the reader where it was.
  int32_t JoinedParagraphStart(int32_t pos);
  // Moves to the first unit of the break (or the cut) before the paragraph holding fraction
  // `f` of the file (0 inside the first paragraph) and returns that position.
  int32_t SeekFraction(float f);
  // The position after the line break that starts at `pos` (pos itself when none does).
  int32_t BreakEnd(int32_t pos);
  // Looks for `pattern` (units) in the file from `from`, which starts a paragraph, to the
  // end. On a find, `*start` is where to read from to see a match that may begin up to `lead`
  // units before the pattern: the start of the piece holding that place, never before the
  // last break before the pattern, nor before `from`. With `foldAscii`, the units of ASCII
  // letters match in either case. Reads blocks of kScanUnits; the chunk stays.
  bool FindParagraphWith(int32_t from, const std::vector<Unit>& pattern, int32_t lead,
                         bool foldAscii, int32_t* start);
  static constexpr int32_t kScanUnits = 32 * 1024;

  // Where the reader stands, with what it knows about the reads before.
  struct Cursor {
    int32_t position = 0;
    int32_t readCount = 0;
    bool behindBreak = false;
  };
  Cursor cursor() const { return Cursor{position_, readCount_, behindBreak_}; }
  // Returns to a cursor taken from this reader.
  void Restore(const Cursor& cursor);

 protected:
  // Adjusts freshly read units (`first` is the file position of units[0]).
  virtual void PrepareUnits(Unit* units, int32_t count, int32_t first);
  // True when a backward read from a fresh position first steps over a break right before it.
  virtual bool SkipsBreakAtStart() const { return false; }

 private:
  // The unit at `pos`, loading the chunk around it (ending at it when `backward`).
  bool UnitAt(int32_t pos, bool backward, Unit* unit);
  // Reads up to `count` units at `first` into `out`; returns the units read.
  int32_t ReadUnits(int32_t first, int32_t count, Unit* out);
  // The cut near `mark`, a positive multiple of the split span, or -1 when the text there
  // is not one long run.
  int32_t SplitPoint(int32_t mark);
  // The mark after `mark`, or the file length when no cut can follow.
  int32_t NextMark(int32_t mark) const;
  // `pos` moved to the text's begin and, in UTF-8 text, back to a character start.
  int32_t CharacterStartAt(int32_t pos);

  bool ReadNextJoined(ParagraphBuffer<Unit>& buffer);
  bool ReadPreviousJoined(ParagraphBuffer<Unit>& buffer);
  // The unit at `pos` without moving the chunk.
  bool PeekUnit(int32_t pos, Unit* unit);
  // Units [from, to) are one line break: CR, LF, CR LF or LF CR.
  bool IsSingleBreak(int32_t from, int32_t to);
  // The piece that starts at `pos` holds more than blanks. Leaves the reader where it was.
  bool PieceHasTextAt(int32_t pos);
  // A multiple of the split span lies in (lineStart, next]: the lines are not joined there.
  bool CutBetween(int32_t lineStart, int32_t next) const {
    return next / splitSpan_ > lineStart / splitSpan_;
  }

  std::unique_ptr<File> file_;
  int32_t fileLength_ = 0;
  int32_t textBegin_ = 0;
  std::vector<Unit> chunk_;
  int32_t chunkStart_ = 0;
  int32_t chunkFill_ = 0;
  int32_t position_ = 0;
  int32_t readCount_ = 0;
  // The position is the first unit of a break that a backward read has already stepped over.
  bool behindBreak_ = false;
  int32_t splitSpan_ = kSplitSpan;
  // The last cuts worked out, by mark (0: none).
  int32_t splitMarks_[2] = {0, 0};
  int32_t splitPoints_[2] = {0, 0};
  std::vector<Unit> splitScratch_;
  bool joinLines_ = false;
  ParagraphBuffer<Unit> joinPiece_;
};

inline bool IsLineBreak(uint32_t unit) {
  return unit == 13 || unit == 10;
}

}  // namespace lirako
