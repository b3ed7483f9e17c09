#include "view/library_table.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "platform/utf.h"
#include "store/data_folder.h"

namespace lirako {
namespace {

std::u16string FolderOf(const std::u16string& path) {
  const size_t slash = path.rfind(u'/');
  if (slash == std::u16string::npos) return {};
  return slash == 0 ? u"/" : path.substr(0, slash);
}

std::u16string LocalDate(int64_t milliseconds) {
  if (milliseconds <= 0) return {};
  const std::time_t time = static_cast<std::time_t>(milliseconds / 1000);
  std::tm local{};
  localtime_r(&time, &local);
  char out[32];
  std::strftime(out, sizeof out, "%Y-%m-%d %H:%M", &local);
  return FromUtf8(out);
}

std::u16string Duration(int64_t seconds) {
  char out[32];
  std::snprintf(out, sizeof out, "%lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60));
  return FromUtf8(out);
}

}  // namespace

std::u16string LibraryTable::Header(Column column) {
  switch (column) {
    case kName:
      return u"이름";
    case kFolder:
      return u"폴더";
    case kProgress:
      return u"진행";
    case kLastRead:
      return u"마지막으로 읽음";
    case kReadingTime:
      return u"읽은 시간";
    case kEncoding:
      return u"인코딩";
    case kColumnCount:
      break;
  }
  return {};
}

void LibraryTable::Reload() {
  books_.clear();
  for (LibraryBook& book : library_.All())
    books_.push_back(Row{std::move(book), std::nullopt});
  Sort(sortColumn_, ascending_);
}

bool LibraryTable::Missing(size_t row) const {
  const Row& entry = books_[shown_[row]];
  if (!entry.missing) entry.missing = !platform_.PathExists(entry.book.path);
  return *entry.missing;
}

std::u16string LibraryTable::Text(size_t row, Column column) const {
  const LibraryBook& book = Book(row);
  switch (column) {
    case kName:
      return FileNameOf(book.path);
    case kFolder:
      return FolderOf(book.path);
    case kProgress:
      return FromUtf8(std::to_string(static_cast<int>(book.progress * 100 + 0.5)) + "%");
    case kLastRead:
      return LocalDate(book.lastRead);
    case kReadingTime:
      return Duration(book.readingSeconds);
    case kEncoding:
      return FromUtf8(book.encoding);
    case kColumnCount:
      break;
  }
  return {};
}

void LibraryTable::Sort(Column column, bool ascending) {
  sortColumn_ = column;
  ascending_ = ascending;
  // Each row's key is made once, not at every comparison: a name is cut from its path.
  const bool byText = column == kName || column == kFolder || column == kEncoding;
  std::vector<std::u16string> texts(byText ? books_.size() : 0);
  std::vector<double> values(byText ? 0 : books_.size());
  for (size_t i = 0; i < books_.size(); ++i) {
    const LibraryBook& b = books_[i].book;
    if (column == kName)
      texts[i] = FileNameOf(b.path);
    else if (column == kFolder)
      texts[i] = FolderOf(b.path);
    else if (column == kEncoding)
      texts[i] = FromUtf8(b.encoding);
    else if (column == kProgress)
      values[i] = b.progress;
    else if (column == kLastRead)
      values[i] = static_cast<double>(b.lastRead);
    else if (column == kReadingTime)
      values[i] = static_cast<double>(b.readingSeconds);
  }
  std::vector<size_t> order(books_.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    if (!ascending) std::swap(a, b);
    return byText ? texts[a] < texts[b] : values[a] < values[b];
  });
  std::vector<Row> sorted;
  sorted.reserve(books_.size());
  for (size_t i : order)
    sorted.push_back(std::move(books_[i]));
  books_ = std::move(sorted);
  Refilter();
}

void LibraryTable::SetFilter(const std::u16string& text) {
  filter_ = text;
  platform_.FoldCase(filter_);
  Refilter();
}

void LibraryTable::Refilter() {
  shown_.clear();
  for (size_t i = 0; i < books_.size(); ++i) {
    if (!filter_.empty()) {
      std::u16string path = books_[i].book.path;
      platform_.FoldCase(path);
      if (path.find(filter_) == std::u16string::npos) continue;
    }
    shown_.push_back(i);
  }
}

bool LibraryTable::Forget(size_t row, std::string* err) {
  if (row >= shown_.size()) return false;
  if (!library_.Forget(Book(row).path, err)) return false;
  books_.erase(books_.begin() + static_cast<ptrdiff_t>(shown_[row]));
  Refilter();
  return true;
}

bool LibraryTable::Relocate(size_t row, const std::u16string& path, std::string* err) {
  if (row >= shown_.size()) return false;
  Row& entry = books_[shown_[row]];
  if (!library_.Carry(entry.book.path, path, false, err)) return false;
  entry.book.path = path;
  entry.missing = !platform_.PathExists(path);
  return true;
}

}  // namespace lirako
