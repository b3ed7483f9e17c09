#include "store/reader_store.h"

#include <algorithm>
#include <memory>

#include "platform/utf.h"
#include "store/line_escape.h"
#include "store/merged_save.h"

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

// Sets `key` to `value`; false when it held that value already.
template <typename Values>
bool PutValue(Values& values, std::string_view key, std::string_view value) {
  auto it = FindValue(values, key);
  if (it == values.end()) {
    values.emplace_back(std::string(key), std::string(value));
  } else if (it->second != value) {
    it->second = value;
  } else {
    return false;
  }
  return true;
}

// Removes `key`; false when there was none.
template <typename Values>
bool EraseValue(Values& values, std::string_view key) {
  auto it = FindValue(values, key);
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

// Puts `from`'s value of `key` into `to`, or removes it from `to` when `from` has none.
template <typename Values>
void CopyValue(const Values& from, Values& to, std::string_view key) {
  auto it = FindValue(from, key);
  if (it != from.end()) {
    PutValue(to, key, it->second);
  } else {
    EraseValue(to, key);
  }
}

// The folder part of `path`.
std::u16string FolderOf(const std::u16string& path) {
  size_t slash = path.rfind(u'/');
  if (slash == std::u16string::npos) return u".";
  return slash == 0 ? u"/" : path.substr(0, slash);
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
  if (PutValue(globals_, key, value)) changed_.emplace(key);
}

void ReaderStore::RemoveValue(std::string_view key) {
  if (EraseValue(globals_, key)) changed_.emplace(key);
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
  if (PutValue(TouchBook(book).values, key, value)) changedBooks_.emplace(book, key);
}

ReaderStore::Book& ReaderStore::TouchBook(const std::u16string& path) {
  auto it =
      std::find_if(books_.begin(), books_.end(), [&](const Book& b) { return b.path == path; });
  if (it == books_.end()) {
    books_.insert(books_.begin(), Book{path, {}});
    if (books_.size() > kMaxBooks) books_.pop_back();
  } else {
    std::rotate(books_.begin(), it, it + 1);
  }
  return books_.front();
}

void ReaderStore::RemoveBookValue(const std::u16string& book, std::string_view key) {
  if (bookValues_) return bookValues_->RemoveBookValue(book, key);
  Book* entry = FindBook(book);
  if (entry && EraseValue(entry->values, key)) changedBooks_.emplace(book, key);
}

void ReaderStore::MergeOnto(const ReaderStore& disk) {
  Values globals = disk.globals_;
  for (const std::string& key : changed_)
    CopyValue(globals_, globals, key);
  std::vector<Book> mine = std::move(books_);
  // Once the books' values live elsewhere, the file keeps none of them.
  books_ = bookValues_ ? std::vector<Book>() : disk.books_;
  // Least recent first, so that the books this store changed end up in its order.
  for (auto book = mine.rbegin(); book != mine.rend(); ++book) {
    auto first = changedBooks_.lower_bound({book->path, std::string()});
    if (first == changedBooks_.end() || first->first != book->path) continue;
    Values& values = TouchBook(book->path).values;
    for (auto change = first; change != changedBooks_.end() && change->first == book->path;
         ++change)
      CopyValue(book->values, values, change->second);
  }
  globals_ = std::move(globals);
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
    text +=
        std::string(kPathKey) + "=" + EscapeLine(PathToBytes(book.path), EscapeTabs::kNo) + "\n";
    for (const auto& [key, value] : book.values)
      text += key + "=" + EscapeLine(value, EscapeTabs::kNo) + "\n";
  }
  return text;
}

void ReaderStore::FromText(std::string_view text) {
  globals_.clear();
  books_.clear();
  // A record's values follow its path; until then the record has no book (kBookHead).
  enum class Section { kNone, kGlobal, kBookHead, kBook, kSkippedBook };
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
        section = books_.size() < kMaxBooks ? Section::kBookHead : Section::kSkippedBook;
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
    } else if (section == Section::kBookHead) {
      // A record starts with its path: one whose first key is something else, a damaged
      // path, is dropped whole, as is a second record of the same book.
      std::u16string path = key == kPathKey ? PathFromBytes(value) : std::u16string();
      if (path.empty() || FindBook(path)) {
        section = Section::kSkippedBook;
      } else {
        books_.push_back(Book{std::move(path), {}});
        section = Section::kBook;
      }
    } else if (section == Section::kBook && key != kPathKey) {
      PutValue(books_.back().values, key, value);
    }
  }
}

bool ReaderStore::Load(Platform& platform, const std::u16string& path, std::string* err) {
  LoadState state = LoadFile(platform, path, err);
  return state == LoadState::kClean || state == LoadState::kMissing;
}

LoadState ReaderStore::LoadFile(Platform& platform, const std::u16string& path, std::string* err) {
  globals_.clear();
  books_.clear();
  changed_.clear();
  changedBooks_.clear();
  std::string reason;
  std::unique_ptr<File> file = platform.OpenForReading(path, &reason);
  if (!file) {
    if (!platform.Exists(path)) return LoadState::kMissing;
    if (err) *err = "cannot be opened: " + reason;
    return LoadState::kUnreadable;
  }
  const int64_t size = file->Size();
  std::string text;
  text.resize(static_cast<size_t>(std::clamp<int64_t>(size, 0, kMaxFileBytes)));
  size_t got = 0;
  while (got < text.size()) {
    size_t n = file->Read(text.data() + got, text.size() - got);
    if (n == 0) break;
    got += n;
  }
  file->Close();
  if (got < text.size()) {
    if (err) *err = "the file cannot be read whole";
    return LoadState::kUnreadable;
  }
  if (size > kMaxFileBytes) {
    // Only whole lines: a value cut at the limit is not one we wrote.
    const size_t lastBreak = text.rfind('\n');
    text.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    FromText(text);
    if (err) *err = "the file is larger than " + std::to_string(kMaxFileBytes) + " bytes";
    return LoadState::kDamaged;
  }
  FromText(text);
  return LoadState::kClean;
}

bool ReaderStore::Save(Platform& platform, const std::u16string& path, std::string* err) {
  if (!SaveMerged(
          platform, FolderOf(path), path, *this, [&] { return WriteFile(platform, path, err); },
          err))
    return false;
  changed_.clear();
  changedBooks_.clear();
  return true;
}

bool ReaderStore::WriteFile(Platform& platform, const std::u16string& path,
                            std::string* err) const {
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
