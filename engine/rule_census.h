#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/chapter_scanner.h"
#include "engine/heading_rules.h"
#include "engine/text_encoding.h"
#include "platform/file.h"

namespace lirako {

// How many chapters each heading rule finds in a whole book, from one scan with the
// built-in rules and the user's: what a reader chooses a rule for the book by.
struct RuleCensus {
  // Every rule that finds chapters, with their number, the most first (as
  // ChapterOutline::RuleCounts gives them).
  std::vector<std::pair<std::string, size_t>> counts;
  // The chapters the rules find together, as the table of contents has them by default.
  size_t together = 0;

  // Scans `file` from its start to its end with `rules` and fills `census`. `callbacks` may
  // carry progress and cancel (its `found` is not used). False when cancelled, or with the
  // reason in `err` when the file cannot be read.
  static bool Take(File& file, const HeadingRules& rules, TextEncoding encoding,
                   std::shared_ptr<const Cp949Snapshot> cp949,
                   const ChapterScanner::Callbacks& callbacks, RuleCensus* census,
                   std::string* err);
};

}  // namespace lirako
