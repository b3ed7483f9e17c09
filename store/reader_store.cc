#include "store/reader_store.h"

#include <algorithm>
#include <memory>

#include "platform/utf.h"
#include "store/line_escape.h"

namespace lirako {
namespace {

constexpr std::string_view kGlobalSection = "[lirako]";
constexpr std::string_view kBookSection = "[book]";
constexpr std::string_view kPathKey = "path";
constexpr std::string_view kVersionKey = "version";
constexpr std::string_view kVersion = "1";

template <typename Values>
auto FindValue(Values& values, std::string_view key) {
  return std::find_if(values.begin(), values.end(),
                      [&](const auto& kv) { return kv.first == key; });
}

template <typename Values>
void PutValue(Values& values, std::string_view key, std::string_view value) {
  auto it = FindValue(values, key);
  if (it != values.end()) {
    it->second = value;
  } else {
    values.emplace_back(std::string(key), std::string(value));
  }
}

}  // namespace

bool ReaderStore::IsValidKey(std::string_view key) {
  if (key.empty()) return false;
  return std::all_of(key.begin(), key.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
  });
}

std::optional<std::string> ReaderStore::Value(std::string_view key) const {
  auto it = FindValue(globals_, key);
  if (it == globals_.end()) return std::nullopt;
  return it->second;
}

void ReaderStore::SetValue(std::string_view key, std::string_view value) {
  if (!IsValidKey(key) || key == kVersionKey) return;
  PutValue(globals_, key, value);
}

void ReaderStore::RemoveValue(std::string_view key) {
  auto it = FindValue(globals_, key);
  if (it != globals_.end()) globals_.erase(it);
}

ReaderStore::Book* ReaderStore::FindBook(const std::u16string& path) {
  auto it =
      std::find_if(books_.begin(), books_.end(), [&](const Book& b) { return b.path == path; });
  return it == books_.end() ? nullptr : &*it;
}

const ReaderStore::Book* ReaderStore::FindBook(const std::u16string& path) const {
  return const_cast<ReaderStore*>(this)->FindBook(path);
}

std::optional<std::string> ReaderStore::BookValue(const std::u16string& book,
                                                  std::string_view key) const {
  if (bookValues_) return bookValues_->BookValue(book, key);
  const Book* entry = FindBook(book);
  if (!entry) return std::nullopt;
  auto it = FindValue(entry->values, key);
  if (it == entry->values.end()) return std::nullopt;
  return it->second;
}

void ReaderStore::SetBookValue(const std::u16string& book, std::string_view key,
                               std::string_view value) {
  if (book.empty() || !IsValidKey(key) || key == kPathKey) return;
  if (bookValues_) return bookValues_->SetBookValue(book, key, value);
  auto it =
      std::find_if(books_.begin(), books_.end(), [&](const Book& b) { return b.path == book; });
  if (it == books_.end()) {
    books_.insert(books_.begin(), Book{book, {}});
    if (books_.size() > kMaxBooks) books_.pop_back();
  } else {
    std::rotate(books_.begin(), it, it + 1);
  }
  PutValue(books_.front().values, key, value);
}

void ReaderStore::RemoveBookValue(const std::u16string& book, std::string_view key) {
  if (bookValues_) return bookValues_->RemoveBookValue(book, key);
  Book* entry = FindBook(book);
  if (!entry) return;
  auto it = FindValue(entry->values, key);
  if (it != entry->values.end()) entry->values.erase(it);
}

std::vector<std::u16string> ReaderStore::BooksWith(std::string_view key) const {
  if (bookValues_) return bookValues_->BooksWith(key);
  std::vector<std::u16string> paths;
  for (const Book& book : books_) {
    if (FindValue(book.values, key) != book.values.end()) paths.push_back(book.path);
  }
  return paths;
}

bool ReaderStore::SetBookValues(BookValues* values) {
  bookValues_ = values;
  if (!values || books_.empty()) return false;
  // The least recently used first, so that the most recent ends up so in the library too.
  for (auto book = books_.rbegin(); book != books_.rend(); ++book) {
    for (const auto& [key, value] : book->values) {
      if (!values->BookValue(book->path, key)) values->SetBookValue(book->path, key, value);
    }
  }
  books_.clear();
  return true;
}

std::string ReaderStore::ToText() const {
  std::string text =
      "; lirako: what the reader remembers beyond SetParam.Dat and ResentFiles.Dat.\n";
  text += kGlobalSection;
  text += '\n';
  text += std::string(kVersionKey) + "=" + std::string(kVersion) + "\n";
  for (const auto& [key, value] : globals_)
    text += key + "=" + EscapeLine(value, EscapeTabs::kNo) + "\n";
  // Once the library keeps the values of books, the file keeps program settings only.
  for (const Book& book : bookValues_ ? std::vector<Book>() : books_) {
    text += kBookSection;
    text += '\n';
    text += std::string(kPathKey) + "=" + EscapeLine(ToUtf8(book.path), EscapeTabs::kNo) + "\n";
    for (const auto& [key, value] : book.values)
      text += key + "=" + EscapeLine(value, EscapeTabs::kNo) + "\n";
  }
  return text;
}

void ReaderStore::FromText(std::string_view text) {
  globals_.clear();
  books_.clear();
  enum class Section { kNone, kGlobal, kBook, kSkippedBook };
  Section section = Section::kNone;
  while (!text.empty()) {
    size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line == kGlobalSection) {
        section = Section::kGlobal;
      } else if (line == kBookSection) {
        section = books_.size() < kMaxBooks ? Section::kBook : Section::kSkippedBook;
      } else {
        section = Section::kNone;
      }
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq);
    std::string value = UnescapeLine(line.substr(eq + 1), EscapeTabs::kNo);
    if (!IsValidKey(key)) continue;
    if (section == Section::kGlobal) {
      if (key != kVersionKey) PutValue(globals_, key, value);
    } else if (section == Section::kBook) {
      if (key == kPathKey) {
        // A record starts with its path; a second record of the same book is ignored.
        std::u16string path = FromUtf8(value);
        if (path.empty() || FindBook(path)) {
          section = Section::kSkippedBook;
        } else {
          books_.push_back(Book{std::move(path), {}});
        }
      } else if (!books_.empty() && !books_.back().path.empty()) {
        // Values before the record's path belong to no book.
        PutValue(books_.back().values, key, value);
      }
    }
  }
}

bool ReaderStore::Load(Platform& platform, const std::u16string& path, std::string* err) {
  globals_.clear();
  books_.clear();
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file) return true;
  int64_t size = file->Size();
  if (size > kMaxFileBytes) {
    file->Close();
    if (err) *err = "the file is larger than " + std::to_string(kMaxFileBytes) + " bytes";
    return false;
  }
  std::string text;
  char block[8192];
  size_t n;
  while ((n = file->Read(block, sizeof block)) > 0) {
    text.append(block, n);
    if (static_cast<int64_t>(text.size()) > kMaxFileBytes) {
      file->Close();
      if (err) *err = "the file is larger than " + std::to_string(kMaxFileBytes) + " bytes";
      return false;
    }
  }
  file->Close();
  FromText(text);
  return true;
}

bool ReaderStore::Save(Platform& platform, const std::u16string& path, std::string* err) const {
  std::unique_ptr<File> file = platform.CreateForWriting(path, err);
  if (!file) return false;
  std::string text = ToText();
  bool written = file->Write(text.data(), text.size()) == text.size();
  bool closed = file->Close();
  if (!written || !closed) {
    if (err) *err = ToUtf8(path) + ": " + file->FailureReason();
    return false;
  }
  return true;
}

}  // namespace lirako
