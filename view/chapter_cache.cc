#include "view/chapter_cache.h"

#include <charconv>
#include <memory>
#include <string_view>

#include "platform/utf.h"
#include "store/line_escape.h"

namespace lirako {
namespace {

constexpr std::string_view kMagic = "lirako-toc 1";
constexpr std::string_view kEnd = "end";
// Changes whenever the built-in rules find other headings, so older files are not trusted.
constexpr int kRulesVersion = 2;
// A larger file cannot be one we wrote: the header, then at most kMaxChapters lines of a
// position, a rule's name and a title of at most kMaxHeadingCharacters characters, each of
// them up to 4 bytes of UTF-8 written as up to 8 when escaped.
constexpr int64_t kMaxLineBytes = 64 + 8 * HeadingRules::kMaxHeadingCharacters;
constexpr int64_t kMaxFileBytes = (1 << 20) + ChapterScanner::kMaxChapters * kMaxLineBytes;

std::string Header(const ChapterCacheKey& key, size_t count) {
  std::string out(kMagic);
  out += "\npath=" + EscapeLine(PathToBytes(key.path), EscapeTabs::kYes);
  out += "\nsize=" + std::to_string(key.size);
  out += "\nmodified=" + std::to_string(key.modified);
  out += "\nencoding=" + std::string(EncodingName(key.encoding));
  out += "\nrules=" + std::to_string(kRulesVersion);
  out += "\nuser=" + EscapeLine(key.userRule, EscapeTabs::kYes);
  if (!key.chosenRule.empty()) out += "\nchosen=" + EscapeLine(key.chosenRule, EscapeTabs::kYes);
  out += "\ncount=" + std::to_string(count) + "\n";
  return out;
}

// Takes the next line of `text` from `*at`; false at the end.
bool NextLine(std::string_view text, size_t* at, std::string_view* line) {
  if (*at >= text.size()) return false;
  size_t end = text.find('\n', *at);
  if (end == std::string_view::npos) end = text.size();
  *line = text.substr(*at, end - *at);
  *at = end + 1;
  return true;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number* value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

// True when `chapter` may follow `previous` (null for the first) in a book of `units` units,
// as the scan reports chapters: inside the book, in book order, titles within the scan's
// length.
bool FitsBook(const Chapter& chapter, const Chapter* previous, int64_t units) {
  if (chapter.position < 0 || chapter.position >= units) return false;
  if (previous && chapter.position <= previous->position) return false;
  const std::u16string title = FromUtf8(chapter.title);
  size_t characters = 0;
  for (char16_t unit : title)
    characters += unit < 0xDC00 || unit > 0xDFFF;
  return characters <= static_cast<size_t>(HeadingRules::kMaxHeadingCharacters);
}

}  // namespace

std::u16string ChapterCache::PathFor(const std::u16string& dataFolder, const std::u16string& book) {
  if (dataFolder.empty()) return {};
  // FNV-1a over the path's UTF-8: a short, stable name per book.
  uint64_t hash = 0xCBF29CE484222325ull;
  for (unsigned char c : PathToBytes(book)) {
    hash ^= c;
    hash *= 0x100000001B3ull;
  }
  char name[40];
  std::snprintf(name, sizeof name, "lirako-toc-%016llx.cache",
                static_cast<unsigned long long>(hash));
  std::u16string path = dataFolder;
  if (path.back() != u'/') path += u'/';
  return path + FromUtf8(name);
}

bool ChapterCache::Load(Platform& platform, const std::u16string& file, const ChapterCacheKey& key,
                        std::vector<Chapter>* chapters) {
  std::unique_ptr<File> in = platform.OpenForReading(file);
  if (!in) return false;
  const int64_t size = in->Size();
  if (size <= 0 || size > kMaxFileBytes) return false;
  std::string text(static_cast<size_t>(size), '\0');
  const bool whole = in->Read(text.data(), text.size()) == text.size();
  in->Close();
  if (!whole) return false;
  // The header must be exactly the one this key writes; then the chapters and "end".
  const std::string header = Header(key, 0);
  const size_t countAt = header.rfind("count=");
  if (text.compare(0, countAt, header, 0, countAt) != 0) return false;
  size_t at = countAt;
  std::string_view line;
  size_t count = 0;
  if (!NextLine(text, &at, &line) || !ParseNumber(line.substr(6), &count) ||
      count > ChapterScanner::kMaxChapters) {
    return false;
  }
  const int64_t units = key.size / EncodingUnitSize(key.encoding);
  std::vector<Chapter> read;
  read.reserve(count);
  while (NextLine(text, &at, &line) && line != kEnd) {
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    Chapter chapter;
    if (tab2 == std::string_view::npos || !ParseNumber(line.substr(0, tab1), &chapter.position) ||
        chapter.position < 0) {
      return false;
    }
    chapter.rule = UnescapeLine(line.substr(tab1 + 1, tab2 - tab1 - 1), EscapeTabs::kYes);
    chapter.title = UnescapeLine(line.substr(tab2 + 1), EscapeTabs::kYes);
    if (read.size() == count || !FitsBook(chapter, read.empty() ? nullptr : &read.back(), units))
      return false;
    read.push_back(std::move(chapter));
  }
  if (line != kEnd || read.size() != count) return false;
  *chapters = std::move(read);
  return true;
}

bool ChapterCache::Save(Platform& platform, const std::u16string& file, const ChapterCacheKey& key,
                        const std::vector<Chapter>& chapters, std::string* err) {
  std::string text = Header(key, chapters.size());
  for (const Chapter& chapter : chapters) {
    text += std::to_string(chapter.position) + "\t" + EscapeLine(chapter.rule, EscapeTabs::kYes) +
            "\t" + EscapeLine(chapter.title, EscapeTabs::kYes) + "\n";
  }
  text += std::string(kEnd) + "\n";
  std::unique_ptr<File> out = platform.CreateForWriting(file, err);
  if (!out) return false;
  const bool written = out->Write(text.data(), text.size()) == text.size();
  const bool closed = out->Close();
  if (!written || !closed) {
    if (err) *err = ToUtf8(file) + ": " + out->FailureReason();
    return false;
  }
  return true;
}

}  // namespace lirako
