#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "store/book_values.h"
#include "store/load_state.h"

namespace lirako {

// What the reader remembers beyond SetParam.Dat and ResentFiles.Dat, whose formats are fixed:
// global values (window geometry, options) and values per book (the encoding chosen for it),
// kept in the text file "lirako.ini" in the data folder. Keys are made of a-z, 0-9, '.', '_'
// and '-'; values are any UTF-8 text. Books are kept most recently used first, at most
// kMaxBooks of them.
//
// The file, UTF-8, one "key=value" per line:
//   ; comment
//   [lirako]              global values follow
//   version=1
//   window.geometry=10,10,600,900
//   [book]                one record per book, most recently used first
//   path=/home/me/books/별빛.txt
//   encoding=utf-8
// In values "\\" stands for a backslash, "\n" for a line feed and "\r" for a carriage return.
// Reading is lenient: a line, key or record it does not understand is skipped, never fatal.
class ReaderStore {
 public:
  static constexpr char16_t kFileName[] = u"lirako.ini";
  static constexpr size_t kMaxBooks = 1000;
  // Of a larger file only the lines within its first kMaxFileBytes bytes are read: it cannot
  // be one we wrote.
  static constexpr int64_t kMaxFileBytes = 16 << 20;

  // True when `key` may be stored.
  static bool IsValidKey(std::string_view key);

  std::optional<std::string> Value(std::string_view key) const;
  // Sets a global value; an invalid key is ignored.
  void SetValue(std::string_view key, std::string_view value);
  void RemoveValue(std::string_view key);

  // The values of books: in the file's book records, or in the store handed to
  // SetBookValues (the library) once there is one.
  std::optional<std::string> BookValue(const std::u16string& book, std::string_view key) const;
  // Sets a value of `book` and makes it the most recently used book, dropping the least
  // recently used one beyond kMaxBooks; an invalid key or an empty path is ignored.
  void SetBookValue(const std::u16string& book, std::string_view key, std::string_view value);
  void RemoveBookValue(const std::u16string& book, std::string_view key);
  // The books holding a value of `key`, most recently used first.
  std::vector<std::u16string> BooksWith(std::string_view key) const;
  // From now on the values of books live in `values` (null: in the file again). The book
  // records read from the file are handed over first, a value `values` holds already staying
  // as it is, and are no longer written to the file. True when there were records to hand.
  bool SetBookValues(BookValues* values);
  size_t bookCount() const { return books_.size(); }

  // Replaces the store by the file at `path` (see LoadFile); true when the file was read
  // whole or is missing, else false with the reason in `err`.
  bool Load(Platform& platform, const std::u16string& path, std::string* err);
  // Replaces the store by the file at `path`. A missing file, or one that cannot be opened or
  // read, gives an empty store; of a file larger than kMaxFileBytes the whole lines within
  // that size are read (kDamaged). `err` gets the reason when the file was not read whole.
  LoadState LoadFile(Platform& platform, const std::u16string& path, std::string* err = nullptr);
  // Writes the store to `path` under the lock of its folder, merged with the file as another
  // copy of the reader may have left it (MergeOnto; the store becomes the merged one). A file
  // that cannot be read is left alone; one that did not load cleanly is first kept as its
  // damaged copy. The old file is replaced only when the whole new one was written; false
  // with the reason in `err` when nothing was saved.
  bool Save(Platform& platform, const std::u16string& path, std::string* err);

  // Makes this store `disk` with this store's changes since it was loaded or saved put over
  // it: the global values this store set or removed, and the book values, their books first
  // in this store's order; the rest as `disk` has it.
  void MergeOnto(const ReaderStore& disk);

  // The store in its file form, and back (lenient, as Load; a record that does not begin
  // with a readable path is dropped whole).
  std::string ToText() const;
  void FromText(std::string_view text);

 private:
  using Values = std::vector<std::pair<std::string, std::string>>;
  struct Book {
    std::u16string path;
    Values values;
  };

  Book* FindBook(const std::u16string& path);
  const Book* FindBook(const std::u16string& path) const;
  // Moves `path`'s record to the front, making one when there is none, and drops the least
  // recently used beyond kMaxBooks.
  Book& TouchBook(const std::u16string& path);
  // Writes the store to `path` as it is.
  bool WriteFile(Platform& platform, const std::u16string& path, std::string* err) const;

  Values globals_;
  std::vector<Book> books_;
  BookValues* bookValues_ = nullptr;
  // The keys set or removed since the store was loaded or saved, and the books' (by path).
  std::set<std::string, std::less<>> changed_;
  std::set<std::pair<std::u16string, std::string>> changedBooks_;
};

}  // namespace lirako
