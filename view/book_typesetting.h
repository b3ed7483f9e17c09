#pragma once

#include <string>
#include <string_view>

#include "store/reader_store.h"
#include "view/typesetting.h"

namespace lirako {

// The typesetting of every book: a set changed while a book is open is kept for that book (in
// the library, through the store's book values) and becomes the default for books that have
// none of their own (a global value of the store). A book opens with its own set, else with
// the default; before any set was kept the default is the one in force at start.
class BookTypesetting {
 public:
  static constexpr std::string_view kBookKey = "typesetting";
  static constexpr std::string_view kDefaultKey = "typesetting.default";

  explicit BookTypesetting(ReaderStore& store) : store_(store) {}

  // The set in force at start (from the settings files); also the default while none is kept.
  void Start(const Typesetting& inForce) { start_ = inForce_ = inForce; }
  // The set `book` opens with, which is in force from now on.
  const Typesetting& Opening(const std::u16string& book);
  // The user made `set` the one in force while `book` (empty: none) was open: kept for the
  // book and as the default. Nothing when it is the set already in force.
  void Changed(const std::u16string& book, const Typesetting& set);
  // The default set.
  Typesetting Default() const;

 private:
  ReaderStore& store_;
  Typesetting start_;
  Typesetting inForce_;
};

}  // namespace lirako
