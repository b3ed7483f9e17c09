#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "store/book_values.h"

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
  // A larger file is not read: it cannot be one we wrote.
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

  // Replaces the store by the file at `path`. A file that cannot be opened gives an empty
  // store (true); one that is too large or fails while being read gives an empty store and
  // false with the reason in `err`.
  bool Load(Platform& platform, const std::u16string& path, std::string* err);
  // Writes the store to `path`, replacing the old file only when the whole new one was
  // written; false with the reason in `err` otherwise.
  bool Save(Platform& platform, const std::u16string& path, std::string* err) const;

  // The store in its file form, and back (lenient, as Load).
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

  Values globals_;
  std::vector<Book> books_;
  BookValues* bookValues_ = nullptr;
};

}  // namespace lirako
