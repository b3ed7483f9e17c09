#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/chapter.h"
#include "engine/titled_headings.h"

namespace lirako {

// Puts the table of contents of a book together from what a scan found.
class ChapterOutline {
 public:
  // The numbered `headings` (in book order) with the book's title lines when `titled`
  // accepted them, in book order and nested by Nest.
  static std::vector<Chapter> Compose(std::vector<Chapter> headings, const TitledHeadings& titled);
  // The chapters of `rule` alone: its headings among `headings`, or the title lines whether
  // `titled` accepted them or not (TitledHeadings::kRuleName); nested by Nest.
  static std::vector<Chapter> OfRule(std::vector<Chapter> headings, const TitledHeadings& titled,
                                     std::string_view rule);
  // Levels: with a volume or part among them, the headings after the first one that are not
  // volumes themselves become level 2; every other heading is level 1.
  static void Nest(std::vector<Chapter>* chapters);
  // Every rule that finds chapters in the book with their number, the most first: the rules
  // of `headings`, and the title lines whether accepted or not.
  static std::vector<std::pair<std::string, size_t>> RuleCounts(
      const std::vector<Chapter>& headings, const TitledHeadings& titled);
};

}  // namespace lirako
