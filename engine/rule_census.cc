#include "engine/rule_census.h"

#include "engine/chapter_outline.h"

namespace lirako {

bool RuleCensus::Take(File& file, const HeadingRules& rules, TextEncoding encoding,
                      std::shared_ptr<const Cp949Snapshot> cp949,
                      const ChapterScanner::Callbacks& callbacks, RuleCensus* census,
                      std::string* err) {
  ChapterScanner scanner(rules, encoding, std::move(cp949));
  std::vector<Chapter> headings;
  ChapterScanner::Callbacks counting = callbacks;
  counting.found = [&headings](Chapter&& chapter) { headings.push_back(std::move(chapter)); };
  if (!scanner.Scan(file, counting, err)) return false;
  census->counts = ChapterOutline::RuleCounts(headings, scanner.titled());
  const size_t composed = ChapterOutline::Compose(std::move(headings), scanner.titled()).size();
  census->together = composed > 0 ? composed : scanner.sections().size();
  return true;
}

}  // namespace lirako
