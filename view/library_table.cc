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
  for (LibraryBook& book : library_.All()) {
    const bool missing = !platform_.PathExists(book.path);
    books_.push_back(Row{std::move(book), missing});
  }
  Sort(sortColumn_, ascending_);
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
  auto key = [column](const Row& row) {
    const LibraryBook& b = row.book;
    switch (column) {
      case kProgress:
        return b.progress;
      case kLastRead:
        return static_cast<double>(b.lastRead);
      case kReadingTime:
        return static_cast<double>(b.readingSeconds);
      default:
        return 0.0;
    }
  };
  auto text = [column](const Row& row) {
    return column == kName     ? FileNameOf(row.book.path)
           : column == kFolder ? FolderOf(row.book.path)
                               : FromUtf8(row.book.encoding);
  };
  const bool byText = column == kName || column == kFolder || column == kEncoding;
  std::stable_sort(books_.begin(), books_.end(), [&](const Row& a, const Row& b) {
    const bool less = byText ? text(a) < text(b) : key(a) < key(b);
    const bool more = byText ? text(b) < text(a) : key(b) < key(a);
    return ascending ? less : more;
  });
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
