#include "view/page_options.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

namespace lirako {
namespace {

constexpr std::string_view kMeasureKey = "page.measure";
constexpr std::string_view kColumnsKey = "page.columns";

constexpr std::string_view kColumnNames[] = {"auto", "1", "2"};

}  // namespace

int PageOptions::ClampMeasure(int measure) {
  return measure <= 0 ? 0 : std::clamp(measure, kMinMeasure, kMaxMeasure);
}

PageOptions PageOptions::Load(const ReaderStore& store) {
  PageOptions options;
  if (const auto value = store.Value(kMeasureKey)) {
    int measure = 0;
    const char* end = value->data() + value->size();
    auto [ptr, ec] = std::from_chars(value->data(), end, measure);
    if (ec == std::errc() && ptr == end && !value->empty()) options.measure = ClampMeasure(measure);
  }
  if (const auto value = store.Value(kColumnsKey)) {
    for (size_t i = 0; i < std::size(kColumnNames); ++i) {
      if (*value == kColumnNames[i]) options.columns = static_cast<ColumnMode>(i);
    }
  }
  return options;
}

void PageOptions::Store(ReaderStore& store) const {
  store.SetValue(kMeasureKey, std::to_string(ClampMeasure(measure)));
  store.SetValue(kColumnsKey, kColumnNames[static_cast<size_t>(columns)]);
}

PageShape PageOptions::Shape() const {
  PageShape shape;
  shape.measure = ClampMeasure(measure);
  shape.columns = columns;
  return shape;
}

}  // namespace lirako
