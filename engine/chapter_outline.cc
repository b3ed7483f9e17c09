#include "engine/chapter_outline.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "engine/heading_rules.h"

namespace lirako {

std::vector<Chapter> ChapterOutline::Compose(std::vector<Chapter> headings,
                                             const TitledHeadings& titled) {
  std::vector<Chapter> chapters;
  if (titled.accepted()) {
    chapters.reserve(headings.size() + titled.titles().size());
    std::merge(std::make_move_iterator(headings.begin()), std::make_move_iterator(headings.end()),
               titled.titles().begin(), titled.titles().end(), std::back_inserter(chapters),
               [](const Chapter& a, const Chapter& b) { return a.position < b.position; });
  } else {
    chapters = std::move(headings);
  }
  Nest(&chapters);
  return chapters;
}

std::vector<Chapter> ChapterOutline::OfRule(std::vector<Chapter> headings,
                                            const TitledHeadings& titled, std::string_view rule) {
  std::vector<Chapter> chapters;
  if (rule == TitledHeadings::kRuleName) {
    chapters = titled.titles();
  } else {
    std::erase_if(headings, [rule](const Chapter& chapter) { return chapter.rule != rule; });
    chapters = std::move(headings);
  }
  Nest(&chapters);
  return chapters;
}

void ChapterOutline::Nest(std::vector<Chapter>* chapters) {
  bool inVolume = false;
  for (Chapter& chapter : *chapters) {
    const bool volume = HeadingRules::LevelOf(chapter.rule) == 1;
    inVolume = inVolume || volume;
    chapter.level = inVolume && !volume ? 2 : 1;
  }
}

std::vector<std::pair<std::string, size_t>> ChapterOutline::RuleCounts(
    const std::vector<Chapter>& headings, const TitledHeadings& titled) {
  std::map<std::string, size_t> counts;
  for (const Chapter& chapter : headings)
    ++counts[chapter.rule];
  if (!titled.titles().empty()) counts[TitledHeadings::kRuleName] = titled.titles().size();
  std::vector<std::pair<std::string, size_t>> sorted(counts.begin(), counts.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  return sorted;
}

}  // namespace lirako
