#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/chapter.h"

namespace lirako {

// The reader's own corrections of a book's table of contents, kept apart from what a scan
// finds so that they apply again after every scan: chapters added at a place, renamed or
// taken out. Kept as text, one correction a line: "+POSITION<tab>TITLE", "=POSITION<tab>TITLE"
// or "-POSITION".
class ChapterCorrections {
 public:
  // Name of the rule of a chapter the reader added.
  static constexpr char kRuleName[] = "손으로";

  // The corrections of `text`; lines it does not understand are skipped.
  static ChapterCorrections Parse(std::string_view text);
  std::string Serialize() const;
  bool empty() const { return entries_.empty(); }

  // A chapter titled `title` starts at `position`.
  void Add(int32_t position, std::string title);
  // The chapter at `position` is titled `title`.
  void Rename(int32_t position, std::string title);
  // No chapter starts at `position`.
  void Remove(int32_t position);

  // Applies the corrections to `chapters` (in book order, kept so) and nests them again.
  void Apply(std::vector<Chapter>* chapters) const;

 private:
  enum class Kind { kAdd, kRename, kRemove };
  struct Entry {
    Kind kind;
    int32_t position;
    std::string title;
  };
  // Drops the earlier corrections of `position`, which a new one replaces.
  void Forget(int32_t position);

  std::vector<Entry> entries_;
};

}  // namespace lirako
