#include "view/book_typesetting.h"

namespace lirako {

Typesetting BookTypesetting::Default() const {
  const std::optional<std::string> text = store_.Value(kDefaultKey);
  return text ? Typesetting::FromText(*text, start_) : start_;
}

const Typesetting& BookTypesetting::Opening(const std::u16string& book) {
  const Typesetting fallback = Default();
  const std::optional<std::string> own =
      book.empty() ? std::nullopt : store_.BookValue(book, kBookKey);
  inForce_ = own ? Typesetting::FromText(*own, fallback) : fallback;
  return inForce_;
}

void BookTypesetting::Changed(const std::u16string& book, const Typesetting& set) {
  if (set == inForce_) return;
  inForce_ = set;
  const std::string text = set.ToText();
  if (!book.empty()) store_.SetBookValue(book, kBookKey, text);
  store_.SetValue(kDefaultKey, text);
}

}  // namespace lirako
