#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lirako {

// Values the reader keeps per book, by the book's path. Keys are made of a-z, 0-9, '.', '_'
// and '-' (see ReaderStore::IsValidKey); values are any UTF-8 text.
class BookValues {
 public:
  virtual ~BookValues() = default;

  virtual std::optional<std::string> BookValue(const std::u16string& book,
                                               std::string_view key) const = 0;
  // Sets a value of `book`; an invalid key or an empty path is ignored.
  virtual void SetBookValue(const std::u16string& book, std::string_view key,
                            std::string_view value) = 0;
  virtual void RemoveBookValue(const std::u16string& book, std::string_view key) = 0;
  // The books that hold a value of `key`, most recently used first.
  virtual std::vector<std::u16string> BooksWith(std::string_view key) const = 0;
};

}  // namespace lirako
