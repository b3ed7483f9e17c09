#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/library.h"

namespace lirako {

// The list of the dialog "서재": every book of the library as rows of text, sorted by a column,
// narrowed by a filter text, with a book's record forgotten or pointed at its new place.
class LibraryTable {
 public:
  enum Column { kName, kFolder, kProgress, kLastRead, kReadingTime, kEncoding, kColumnCount };

  LibraryTable(Platform& platform, Library& library) : platform_(platform), library_(library) {}

  // Reads every book again; the sort and the filter stay.
  void Reload();
  // The column headers.
  static std::u16string Header(Column column);

  // Rows shown: the books whose name or folder holds the filter text (letters folded).
  size_t RowCount() const { return shown_.size(); }
  std::u16string Text(size_t row, Column column) const;
  // 0.0 to 1.0.
  double Progress(size_t row) const { return Book(row).progress; }
  const std::u16string& Path(size_t row) const { return Book(row).path; }
  // True when the book's file is no longer where it was last seen. Asked of the file system
  // the first time a row is asked, so that a list of thousands opens without a look at each.
  bool Missing(size_t row) const;

  // Sorts by `column`, ascending or not; names and folders alphabetically, the rest by value.
  void Sort(Column column, bool ascending);
  void SetFilter(const std::u16string& text);

  // Forgets the book of `row`; false with the reason in `err`.
  bool Forget(size_t row, std::string* err);
  // The book of `row` lies at `path` now; false with the reason in `err`.
  bool Relocate(size_t row, const std::u16string& path, std::string* err);

 private:
  struct Row {
    LibraryBook book;
    mutable std::optional<bool> missing;  // unknown until first asked
  };
  const LibraryBook& Book(size_t row) const { return books_[shown_[row]].book; }
  void Refilter();

  Platform& platform_;
  Library& library_;
  std::vector<Row> books_;
  std::vector<size_t> shown_;
  std::u16string filter_;
  Column sortColumn_ = kLastRead;
  bool ascending_ = false;
};

}  // namespace lirako
