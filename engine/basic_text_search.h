#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/basic_text_reader.h"
#include "engine/paragraph_buffer.h"
#include "platform/platform.h"

namespace lirako {

// Finds a text in a book through a reader, paragraph by paragraph (piece by piece where a
// long run of text is read in pieces), as the reader shows it: each paragraph converted to
// UTF-16 with the display conversion, folded to one case unless case matters, searched
// alone, so that a text never matches across a line break; a match may run on from one piece
// into the next. Paragraphs that cannot hold the text are skipped unconverted: the file is
// scanned for units every match must contain.
template <typename Unit>
class BasicTextSearch {
 public:
  using Buffer = ParagraphBuffer<Unit>;
  using Reader = BasicTextReader<Unit>;

  // Where a match lies.
  struct Match {
    int32_t pieceStart = 0;  // where its paragraph (or piece) was read from
    int32_t index = 0;       // display units from the start of that paragraph's text
    int32_t begin = 0;       // file position of its first unit
    int32_t end = 0;         // file position just after its last unit
  };

  explicit BasicTextSearch(Platform& platform) : platform_(platform) {}

  // The text to look for from now on; bit 0 of `options` set means case matters.
  void SetText(const std::u16string& text, int options);
  const std::u16string& needle() const { return needle_; }

  // Reads from `from`, the start of a paragraph or piece, for the first match at display
  // index `at` or later there, else in the paragraphs after it. Moves the reader. On a find,
  // piece() holds the paragraph of the match and displayText() its text (unfolded, with the
  // piece after it when the paragraph goes on in one).
  bool Next(Reader& reader, int32_t from, size_t at, Match* match);
  // The next match in the paragraph of the last find, at display index `at` or later.
  bool NextInPiece(size_t at, Match* match);
  // The first match in the paragraphs after the one of the last find; the reader must not
  // have moved since.
  bool Continue(Reader& reader, Match* match);
  const Buffer& piece() const { return piece_; }
  const std::u16string& displayText() const { return display_; }

  // The paragraph's text as UTF-16 for display and search.
  std::u16string DisplayText(const Buffer& paragraph) const;
  // The file offset, from the paragraph's first text unit, of display unit `index`.
  int32_t MatchOffset(const Buffer& paragraph, int32_t index) const;

 private:
  // The longest run of the needle whose file units are certain: every paragraph that holds a
  // match holds these units, ASCII letters in either case when case is folded. Empty when no
  // unit is certain.
  std::vector<Unit> SearchAnchor(bool joined);
  // Reads on from the reader's position; the first paragraph is searched from display index
  // `at`, and reached by the anchor scan too unless it is `fromHere`.
  bool Scan(Reader& reader, size_t at, bool fromHere, Match* match);
  // Fills `match` for a find at display index `found` of the last paragraph read.
  void Describe(size_t found, Match* match) const;
  // The file units of the display unit `unit` when exactly one character converts to it.
  bool FileUnitsOf(char16_t unit, std::vector<Unit>* units);

  Platform& platform_;
  std::u16string needle_;
  bool fold_ = true;
  std::vector<Unit> anchor_;
  bool anchorReady_ = false;
  bool anchorJoined_ = false;
  bool anchorFolds_ = false;  // the anchor holds letters of either case
  Buffer piece_;
  Buffer following_;
  std::u16string display_;
  std::u16string haystack_;
  size_t own_ = 0;  // display units of piece_ itself in display_
  // Byte text: every display unit with the character (lead << 8 | trail, or a single byte)
  // that converts to it, sorted by unit; 0xFFFF for a unit that several characters give.
  std::vector<std::pair<char16_t, uint16_t>> displaySources_;
  int displaySourcesMode_ = -1;
};

}  // namespace lirako
