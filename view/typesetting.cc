#include "view/typesetting.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/utf.h"

namespace lirako {
namespace {

constexpr int kMaxIndent = 3;
constexpr int kMaxParagraphGap = 100;

std::optional<int32_t> Number(std::string_view text) {
  int32_t number = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, number);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return number;
}

void ReadNumber(std::string_view text, int32_t& field) {
  if (const auto number = Number(text)) field = *number;
}

void ReadFlag(std::string_view text, bool& field) {
  if (text == "1") field = true;
  if (text == "0") field = false;
}

std::string Line(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(value) + "\n";
}

std::string Line(std::string_view key, int32_t value) {
  return Line(key, std::to_string(value));
}

}  // namespace

Typesetting Typesetting::Of(const ReaderSettings& settings, const Typography& typography,
                            const PageOptions& page) {
  Typesetting set;
  set.fontFace = settings.FontFaceName();
  set.fontSize = settings.fontSize;
  set.fontBold = settings.fontBold;
  set.lineGap = settings.lineGap;
  set.justify = settings.justify;
  set.typography = typography;
  set.page = page;
  return set;
}

void Typesetting::ApplyTo(ReaderSettings& settings) const {
  settings.SetFontFaceName(fontFace);
  settings.fontSize = fontSize;
  settings.fontBold = fontBold;
  settings.lineGap = lineGap;
  settings.justify = justify;
}

std::string Typesetting::ToText() const {
  std::string face = ToUtf8(fontFace);
  // A face name never holds a line end; one that did would split the value.
  std::erase_if(face, [](char c) { return c == '\n' || c == '\r'; });
  return Line("font.face", face) + Line("font.size", fontSize) + Line("font.bold", fontBold) +
         Line("line-gap", lineGap) + Line("justify", justify) +
         Line("kinsoku", typography.kinsoku) + Line("keep-all", typography.keepAll) +
         Line("join-lines", typography.joinLines) + Line("indent", typography.indent) +
         Line("collapse-blank-lines", typography.collapseBlankLines) +
         Line("paragraph-gap", typography.paragraphGap) + Line("measure", page.measure) +
         Line("columns", PageOptions::ColumnsName(page.columns)) + Line("gutter", page.gutter);
}

Typesetting Typesetting::FromText(std::string_view text, const Typesetting& base) {
  Typesetting set = base;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "font.face" && !value.empty()) {
      set.fontFace = FromUtf8(value).substr(0, ReaderSettings::kFontFaceUnits - 1);
    } else if (key == "font.size") {
      ReadNumber(value, set.fontSize);
    } else if (key == "font.bold") {
      ReadNumber(value, set.fontBold);
    } else if (key == "line-gap") {
      ReadNumber(value, set.lineGap);
    } else if (key == "justify") {
      ReadNumber(value, set.justify);
    } else if (key == "kinsoku") {
      ReadFlag(value, set.typography.kinsoku);
    } else if (key == "keep-all") {
      ReadFlag(value, set.typography.keepAll);
    } else if (key == "join-lines") {
      ReadFlag(value, set.typography.joinLines);
    } else if (key == "collapse-blank-lines") {
      ReadFlag(value, set.typography.collapseBlankLines);
    } else if (key == "indent") {
      if (const auto indent = Number(value))
        set.typography.indent = std::clamp(*indent, 0, kMaxIndent);
    } else if (key == "paragraph-gap") {
      if (const auto gap = Number(value))
        set.typography.paragraphGap = std::clamp(*gap, 0, kMaxParagraphGap);
    } else if (key == "measure") {
      if (const auto measure = Number(value))
        set.page.measure = PageOptions::ClampMeasure(*measure);
    } else if (key == "columns") {
      if (const auto columns = PageOptions::ColumnsFromName(value)) set.page.columns = *columns;
    } else if (key == "gutter") {
      if (const auto gutter = Number(value)) set.page.gutter = std::max(*gutter, -1);
    }
  }
  return set;
}

}  // namespace lirako
