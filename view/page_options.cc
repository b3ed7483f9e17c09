#include "view/page_options.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace lirako {
namespace {

constexpr std::string_view kMeasureKey = "page.measure";
constexpr std::string_view kColumnsKey = "page.columns";
constexpr std::string_view kGutterKey = "page.gutter";
constexpr std::string_view kStatusKey = "page.status";
constexpr std::string_view kStatusHiddenKey = "page.status.hide-in-auto-scroll";

// A stored whole number, or nothing when it is missing or malformed.
std::optional<int> StoredNumber(const ReaderStore& store, std::string_view key) {
  const std::optional<std::string> value = store.Value(key);
  if (!value || value->empty()) return std::nullopt;
  int number = 0;
  const char* end = value->data() + value->size();
  auto [ptr, ec] = std::from_chars(value->data(), end, number);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return number;
}

constexpr std::string_view kColumnNames[] = {"auto", "1", "2"};

}  // namespace

int PageOptions::ClampMeasure(int measure) {
  return measure <= 0 ? 0 : std::clamp(measure, kMinMeasure, kMaxMeasure);
}

std::string_view PageOptions::ColumnsName(ColumnMode columns) {
  return kColumnNames[static_cast<size_t>(columns)];
}

std::optional<ColumnMode> PageOptions::ColumnsFromName(std::string_view name) {
  for (size_t i = 0; i < std::size(kColumnNames); ++i) {
    if (name == kColumnNames[i]) return static_cast<ColumnMode>(i);
  }
  return std::nullopt;
}

PageOptions PageOptions::Load(const ReaderStore& store) {
  PageOptions options;
  if (const auto measure = StoredNumber(store, kMeasureKey))
    options.measure = ClampMeasure(*measure);
  if (const auto gutter = StoredNumber(store, kGutterKey)) options.gutter = std::max(*gutter, -1);
  options.status = StoredNumber(store, kStatusKey).value_or(0) == 1;
  options.statusInAutoScroll = StoredNumber(store, kStatusHiddenKey).value_or(0) != 1;
  if (const auto value = store.Value(kColumnsKey)) {
    if (const auto columns = ColumnsFromName(*value)) options.columns = *columns;
  }
  return options;
}

void PageOptions::Store(ReaderStore& store) const {
  store.SetValue(kMeasureKey, std::to_string(ClampMeasure(measure)));
  store.SetValue(kColumnsKey, ColumnsName(columns));
  // The status line's choices are kept only when they are not the defaults.
  if (status) {
    store.SetValue(kStatusKey, "1");
  } else {
    store.RemoveValue(kStatusKey);
  }
  if (!statusInAutoScroll) {
    store.SetValue(kStatusHiddenKey, "1");
  } else {
    store.RemoveValue(kStatusHiddenKey);
  }
  // The gutter is kept only when it was set.
  if (gutter >= 0) {
    store.SetValue(kGutterKey, std::to_string(gutter));
  } else {
    store.RemoveValue(kGutterKey);
  }
}

PageShape PageOptions::Shape() const {
  PageShape shape;
  shape.measure = ClampMeasure(measure);
  shape.columns = columns;
  shape.gutter = gutter;
  return shape;
}

}  // namespace lirako
