#pragma once

#include <optional>
#include <string_view>

#include "store/reader_store.h"
#include "view/page_geometry.h"

namespace lirako {

// The reader's choices for the shape of the page, kept in the reader's own store.
struct PageOptions {
  static constexpr int kDefaultMeasure = 36;
  static constexpr int kMinMeasure = 20;
  static constexpr int kMaxMeasure = 80;

  int measure = kDefaultMeasure;           // "줄 길이": full-width characters; 0 the whole width
  ColumnMode columns = ColumnMode::kAuto;  // "두 쪽 보기"
  int gutter = -1;                 // pixels between columns; negative: twice the full-width advance
  bool status = false;             // "쪽 정보": the status line at the page's foot
  bool statusInAutoScroll = true;  // the status line is drawn while auto-scroll runs

  bool operator==(const PageOptions&) const = default;

  // A line length as the reader takes it: 0, or within kMinMeasure..kMaxMeasure.
  static int ClampMeasure(int measure);
  // "auto", "1" or "2", as stored; and back (nothing for another name).
  static std::string_view ColumnsName(ColumnMode columns);
  static std::optional<ColumnMode> ColumnsFromName(std::string_view name);
  // The stored options; a value missing or malformed gives its default.
  static PageOptions Load(const ReaderStore& store);
  void Store(ReaderStore& store) const;
  // What the page geometry asks of them.
  PageShape Shape() const;
};

}  // namespace lirako
