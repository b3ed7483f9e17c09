#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/chapter.h"

namespace lirako {

// Finds the chapters of a book that names them by a title alone: a short line such as
// "바람의 언덕" standing between empty lines, the book otherwise set in longer paragraphs.
// Fed every paragraph of the book in order, it decides once the whole book is read whether
// the book is set that way: at least kMinTitles title lines, spread over the book, one per
// kMaxChapterUnits at least, and not the web-novel style (most paragraphs standing alone between
// empty lines and many of them short), where short lines are sentences and dialogue rather than
// titles.
class TitledHeadings {
 public:
  static constexpr int kMaxTitleCharacters = 30;
  static constexpr size_t kMinTitles = 3;
  // The book is no longer than this many units per title line on average.
  static constexpr int64_t kMaxChapterUnits = 1 << 20;
  // Name of the rule reported for a title line.
  static constexpr char kRuleName[] = "제목 줄";

  // An empty paragraph, or one of blanks alone.
  void Empty();
  // A paragraph longer than a title.
  void Long();
  // A paragraph of at most HeadingRules::kMaxHeadingCharacters characters once trimmed
  // (`text`) starting at `position`; `rule` names the rule that took it for a heading (null:
  // none). `utf8` is the same text in UTF-8 when it is a heading or LooksLikeTitle holds.
  void Decoded(int32_t position, std::u32string_view text, std::string_view utf8, const char* rule);
  // The book ends; `units` is its size in the engine's units.
  void Finish(int32_t units);

  // The title lines found, in book order, whether or not the book is set with them.
  const std::vector<Chapter>& titles() const { return titles_; }
  // After Finish: the book names its chapters by title lines.
  bool accepted() const { return accepted_; }

  // True when `text` (trimmed, short) may be a title: no sentence-ending punctuation at its
  // end, not opened by a quotation mark or a bracket as dialogue is.
  static bool LooksLikeTitle(std::u32string_view text);

 private:
  // What the last non-empty paragraph was.
  enum class Kind { kNone, kLong, kShort, kTitleLike, kHeading, kVolume };

  // The paragraph after a waiting title line is of `kind`: keeps or drops the title.
  void Resolve(Kind kind);
  // Counts a non-empty paragraph of `kind`.
  void NonEmpty(Kind kind);

  std::vector<Chapter> titles_;
  // The last title line waits for the paragraph after it: an empty one confirms it stands
  // alone; a title-like one (a poem's next line) or text goes against it.
  bool pending_ = false;
  bool pendingAlone_ = false;
  Chapter pendingTitle_;
  Kind last_ = Kind::kNone;
  // An empty line (or the book's start) came since the last non-empty paragraph.
  bool afterEmpty_ = true;
  // The last non-empty paragraph stood after an empty line.
  bool lastAfterEmpty_ = false;
  // A paragraph of text (neither a heading nor a title-like line) came.
  bool textBegun_ = false;
  size_t paragraphs_ = 0;  // non-empty
  size_t short_ = 0;       // non-empty, short, neither a title line nor a heading
  size_t alone_ = 0;       // non-empty, with empty lines before and after
  size_t numbered_ = 0;    // chapter-level numbered headings
  bool accepted_ = false;
};

}  // namespace lirako
