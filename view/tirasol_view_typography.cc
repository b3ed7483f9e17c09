// The typesetting options and the shape of the page: kept in the reader's own store, handed to
// every engine.
#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include "view/tirasol_view.h"

namespace lirako {
namespace {

constexpr std::string_view kKinsokuKey = "typography.kinsoku";
constexpr std::string_view kKeepAllKey = "typography.keep-all";
constexpr std::string_view kJoinLinesKey = "typography.join-lines";
constexpr std::string_view kIndentKey = "paragraph.indent";
constexpr std::string_view kCollapseKey = "paragraph.collapse-blank-lines";
constexpr std::string_view kGapKey = "paragraph.gap";
constexpr int kMaxIndent = 3;
constexpr int kMaxGap = 100;

// A stored flag: "1" on, "0" off, anything else (or nothing) the default.
bool StoredFlag(const ReaderStore& store, std::string_view key, bool byDefault) {
  const std::optional<std::string> value = store.Value(key);
  if (value == "1") return true;
  if (value == "0") return false;
  return byDefault;
}

}  // namespace

Typography CTirasolView::typography() const {
  Typography options;
  options.kinsoku = StoredFlag(readerStore_, kKinsokuKey, true);
  options.keepAll = StoredFlag(readerStore_, kKeepAllKey, false);
  options.joinLines = StoredFlag(readerStore_, kJoinLinesKey, false);
  options.collapseBlankLines = StoredFlag(readerStore_, kCollapseKey, false);
  // One digit, 0 to 3; anything else is no indent.
  const std::optional<std::string> indent = readerStore_.Value(kIndentKey);
  if (indent && indent->size() == 1 && (*indent)[0] >= '0' && (*indent)[0] <= '0' + kMaxIndent)
    options.indent = (*indent)[0] - '0';
  // Percent of the line height, 0 to 100; anything else is no gap.
  if (const std::optional<std::string> gap = readerStore_.Value(kGapKey)) {
    int percent = 0;
    const char* end = gap->data() + gap->size();
    const auto [ptr, ec] = std::from_chars(gap->data(), end, percent);
    if (!gap->empty() && ec == std::errc() && ptr == end && percent >= 0 && percent <= kMaxGap)
      options.paragraphGap = percent;
  }
  return options;
}

void CTirasolView::StoreTypography(const Typography& options) {
  readerStore_.SetValue(kKinsokuKey, options.kinsoku ? "1" : "0");
  readerStore_.SetValue(kKeepAllKey, options.keepAll ? "1" : "0");
  readerStore_.SetValue(kJoinLinesKey, options.joinLines ? "1" : "0");
  readerStore_.SetValue(kCollapseKey, options.collapseBlankLines ? "1" : "0");
  readerStore_.SetValue(kIndentKey, std::to_string(std::clamp(options.indent, 0, kMaxIndent)));
  readerStore_.SetValue(kGapKey, std::to_string(std::clamp(options.paragraphGap, 0, kMaxGap)));
}

void CTirasolView::SetTypography(const Typography& options) {
  const bool changed = !(options == typography());
  StoreTypography(options);
  engine_->SetTypography(options);
  if (changed && HasDocument()) RelayoutAtPosition();
}

void CTirasolView::ApplyTypesetting(const Typesetting& set) {
  if (set == CurrentTypesetting()) return;
  set.ApplyTo(settings_);
  StoreTypography(set.typography);
  set.page.Store(readerStore_);
  // While a book opens there is no engine yet: the new one takes the options as it is made.
  if (engine_) {
    engine_->SetTypography(set.typography);
    engine_->metricsReady = false;
  }
  host_.Invalidate();
}

void CTirasolView::KeepTypesetting() {
  // Only a reader that started keeps anything: tools painting through the view do not.
  if (!initialized_) return;
  bookTypesetting_.Changed(HasDocument() ? engine_->filePath : std::u16string(),
                           CurrentTypesetting());
}

void CTirasolView::SetPageOptions(const PageOptions& options) {
  const bool changed = !(options == pageOptions());
  options.Store(readerStore_);
  if (!changed) return;
  UpdateLayout();
  if (HasDocument()) RelayoutAtPosition();
  host_.Invalidate();
}

}  // namespace lirako
