#pragma once

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
template <typename Unit>
class BasicTextReader : public CTextReader {
 public:
  using UnitType = Unit;
  static constexpr int32_t kChunkSize = 2048;

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

  // Moves to `pos`; a position beyond the end or negative becomes 0.
  bool Seek(int32_t pos);
  void SeekEnd();
  bool AtEnd() const { return position_ >= fileLength_; }

  // Reads the paragraph at the position up to its break, which it consumes; false at the end.
  bool ReadNextParagraph(ParagraphBuffer<Unit>& buffer);
  // Reads back to the break before the position and stops in front of it; false when there
  // was nothing before, or when the first read after a reposition reached the file start.
  bool ReadPreviousParagraph(ParagraphBuffer<Unit>& buffer);
  // Moves to the first unit of the break before the paragraph holding fraction `f` of the
  // file (0 inside the first paragraph) and returns that position.
  int32_t SeekFraction(float f);
  // The position after the line break that starts at `pos` (pos itself when none does).
  int32_t BreakEnd(int32_t pos);
  // Looks for `pattern` (units) in the file from `from`, which starts a paragraph, to the
  // end. On a find, `*start` is the start of the paragraph that holds it: the position just
  // after the last break before it, or `from`. Reads blocks of kScanUnits; the chunk stays.
  bool FindParagraphWith(int32_t from, const std::vector<Unit>& pattern, int32_t* start);
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

  std::unique_ptr<File> file_;
  int32_t fileLength_ = 0;
  std::vector<Unit> chunk_;
  int32_t chunkStart_ = 0;
  int32_t chunkFill_ = 0;
  int32_t position_ = 0;
  int32_t readCount_ = 0;
  // The position is the first unit of a break that a backward read has already stepped over.
  bool behindBreak_ = false;
};

inline bool IsLineBreak(uint32_t unit) {
  return unit == 13 || unit == 10;
}

}  // namespace lirako
