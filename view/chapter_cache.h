#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/chapter_scanner.h"
#include "engine/text_encoding.h"
#include "platform/platform.h"

namespace lirako {

// What the chapters of a book were found from: the book as it was (path, size, time of the
// last change), how its text was read, and the rules.
struct ChapterCacheKey {
  std::u16string path;
  int64_t size = 0;
  int64_t modified = -1;
  TextEncoding encoding = TextEncoding::kCp949;
  std::string userRule;
  // The one rule the chapters are of (empty: every rule together).
  std::string chosenRule;
  bool operator==(const ChapterCacheKey&) const = default;
};

// The chapters found in one book, kept in a small text file of its own in the data folder,
// so that opening the book again shows them at once. The file, UTF-8:
//   lirako-toc 1
//   path=/home/me/별빛.txt        (then size=, modified=, encoding=, rules=, user=,
//                                   chosen= when one rule is chosen, count=)
//   POSITION<tab>RULE<tab>TITLE   one line per chapter, in book order
//   end
// Tabs, line breaks and backslashes inside values are written \t, \n, \r and \\. A file
// whose key differs from the book's, that is damaged or cut short, or whose chapters the scan
// could not have found (more than its cap, a title longer than a heading, positions past the
// book's end or out of book order) is not used.
class ChapterCache {
 public:
  // "lirako-toc-<hash of the path>.cache" in `dataFolder`; empty when there is no data folder.
  static std::u16string PathFor(const std::u16string& dataFolder, const std::u16string& book);

  // The chapters kept in `file` for `key`; false when there are none to trust.
  static bool Load(Platform& platform, const std::u16string& file, const ChapterCacheKey& key,
                   std::vector<Chapter>* chapters);
  // Writes the chapters for `key` to `file`, replacing the old file only when the new one is
  // whole; false with the reason in `err` otherwise.
  static bool Save(Platform& platform, const std::u16string& file, const ChapterCacheKey& key,
                   const std::vector<Chapter>& chapters, std::string* err);
};

}  // namespace lirako
