#include "engine/chapter_corrections.h"

#include <algorithm>
#include <charconv>

#include "engine/chapter_outline.h"

namespace lirako {

ChapterCorrections ChapterCorrections::Parse(std::string_view text) {
  ChapterCorrections corrections;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.size() < 2) continue;
    const size_t tab = line.find('\t');
    const std::string_view number = line.substr(1, tab == std::string_view::npos ? tab : tab - 1);
    int32_t position = 0;
    const auto [at, error] =
        std::from_chars(number.data(), number.data() + number.size(), position);
    if (error != std::errc() || at != number.data() + number.size() || position < 0) continue;
    const std::string title(tab == std::string_view::npos ? "" : line.substr(tab + 1));
    if (line[0] == '+' && !title.empty()) {
      corrections.entries_.push_back({Kind::kAdd, position, title});
    } else if (line[0] == '=' && !title.empty()) {
      corrections.entries_.push_back({Kind::kRename, position, title});
    } else if (line[0] == '-') {
      corrections.entries_.push_back({Kind::kRemove, position, {}});
    }
  }
  return corrections;
}

std::string ChapterCorrections::Serialize() const {
  std::string text;
  for (const Entry& entry : entries_) {
    text += entry.kind == Kind::kAdd ? '+' : entry.kind == Kind::kRename ? '=' : '-';
    text += std::to_string(entry.position);
    if (entry.kind != Kind::kRemove) text += "\t" + entry.title;
    text += "\n";
  }
  return text;
}

void ChapterCorrections::Forget(int32_t position) {
  std::erase_if(entries_, [position](const Entry& e) { return e.position == position; });
}

namespace {

// Titles are one line: a line break would end the correction.
std::string OneLine(std::string title) {
  std::replace_if(
      title.begin(), title.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
  return title;
}

}  // namespace

void ChapterCorrections::Add(int32_t position, std::string title) {
  Forget(position);
  entries_.push_back({Kind::kAdd, position, OneLine(std::move(title))});
}

void ChapterCorrections::Rename(int32_t position, std::string title) {
  // A chapter the reader added keeps being added, under its new name.
  for (Entry& entry : entries_) {
    if (entry.kind == Kind::kAdd && entry.position == position) {
      entry.title = OneLine(std::move(title));
      return;
    }
  }
  Forget(position);
  entries_.push_back({Kind::kRename, position, OneLine(std::move(title))});
}

void ChapterCorrections::Remove(int32_t position) {
  Forget(position);
  entries_.push_back({Kind::kRemove, position, {}});
}

void ChapterCorrections::Apply(std::vector<Chapter>* chapters) const {
  for (const Entry& entry : entries_) {
    auto at = std::lower_bound(
        chapters->begin(), chapters->end(), entry.position,
        [](const Chapter& chapter, int32_t position) { return chapter.position < position; });
    const bool found = at != chapters->end() && at->position == entry.position;
    switch (entry.kind) {
      case Kind::kAdd:
        if (found) {
          at->title = entry.title;
        } else {
          chapters->insert(at, Chapter{entry.position, entry.title, kRuleName, 2});
        }
        break;
      case Kind::kRename:
        if (found) at->title = entry.title;
        break;
      case Kind::kRemove:
        if (found) chapters->erase(at);
        break;
    }
  }
  ChapterOutline::Nest(chapters);
}

}  // namespace lirako
