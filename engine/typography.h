#pragma once

namespace lirako {

// Optional typesetting on top of the plain line breaking; everything off is the plain one.
struct Typography {
  // Line-start and line-end rules: no continued line starts with closing punctuation or ends
  // with opening punctuation; one closing mark may hang past the right margin.
  bool kinsoku = false;
  // Lines break only at blanks; only a word longer than the line is split.
  bool keepAll = false;
  // A single line break between two lines that hold text reads as one blank.
  bool joinLines = false;
  // Full-width characters the first line of a paragraph stands in (0 to 3); blanks the
  // paragraph already starts with count toward it.
  int indent = 0;
  // Lines that hold nothing but blanks are not shown: a run of them only parts two
  // paragraphs. A line holding a scene break (* * *) holds text and stays.
  bool collapseBlankLines = false;
  // Extra space below a paragraph's last line, in percent of the line height (0 to 100).
  int paragraphGap = 0;

  bool operator==(const Typography&) const = default;
};

}  // namespace lirako
