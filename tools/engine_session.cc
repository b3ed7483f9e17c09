#include "tools/engine_session.h"

#include <algorithm>
#include <charconv>

#include "engine/basic_text_engine.h"
#include "engine/code_table.h"
#include "platform/utf.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

// Splits "a,b,..." into exactly `count` integers.
bool ParseInts(const std::string& text, int count, int* out) {
  size_t from = 0;
  for (int i = 0; i < count; ++i) {
    size_t comma = text.find(',', from);
    bool last = i + 1 == count;
    if (last != (comma == std::string::npos)) return false;
    if (!ParseInt(text.substr(from, last ? std::string::npos : comma - from), &out[i])) {
      return false;
    }
    from = comma + 1;
  }
  return true;
}

template <typename Engine>
std::string LinesJson(const Engine& engine, bool placed, bool withY) {
  std::string out = "[";
  bool first = true;
  const std::vector<PageLayout::Place> places = engine.PagePlaces();
  size_t index = 0;
  for (const auto& line : engine.pageLines()) {
    out += first ? "" : ", ";
    first = false;
    out += "{\"offset\": " + std::to_string(line.offset) +
           ", \"length\": " + std::to_string(line.length) +
           ", \"continued\": " + std::to_string(line.continued ? 1 : 0) +
           ", \"width\": " + std::to_string(line.width);
    if (placed) {
      const PageLayout::Place& place = places[index];
      out += ", \"column\": " + std::to_string(place.column) + ", \"x\": " +
             std::to_string(engine.margins.left + place.column * engine.columnStep() + line.indent);
      if (withY) out += ", \"y\": " + std::to_string(engine.margins.top + place.y);
    }
    out += ", \"text\": " + JsonString(line.Text()) + "}";
    ++index;
  }
  return out + "]";
}

}  // namespace

bool ParseInt(const std::string& text, int* value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

bool ParseTypographyOption(const std::vector<std::string>& args, size_t* i, Typography* typography,
                           std::string* error) {
  error->clear();
  const std::string& name = args[*i];
  bool* flag = name == "--kinsoku"      ? &typography->kinsoku
               : name == "--keep-all"   ? &typography->keepAll
               : name == "--join-lines" ? &typography->joinLines
                                        : nullptr;
  if (!flag) return false;
  if (*i + 1 >= args.size() || (args[*i + 1] != "0" && args[*i + 1] != "1")) {
    *error = name + " takes 0 or 1";
    return false;
  }
  *flag = args[++*i] == "1";
  return true;
}

bool ParseIndentOption(const std::vector<std::string>& args, size_t* i, Typography* typography,
                       std::string* error) {
  error->clear();
  if (args[*i] != "--indent") return false;
  int indent = 0;
  if (*i + 1 >= args.size() || !ParseInt(args[*i + 1], &indent) || indent < 0 || indent > 3) {
    *error = "--indent takes 0 to 3";
    return false;
  }
  ++*i;
  typography->indent = indent;
  return true;
}

bool ParseBlankLinesOption(const std::vector<std::string>& args, size_t* i, Typography* typography,
                           std::string* error) {
  error->clear();
  if (args[*i] != "--blank-lines") return false;
  if (*i + 1 >= args.size() || (args[*i + 1] != "keep" && args[*i + 1] != "collapse")) {
    *error = "--blank-lines takes keep or collapse";
    return false;
  }
  typography->collapseBlankLines = args[++*i] == "collapse";
  return true;
}

bool ParseParagraphGapOption(const std::vector<std::string>& args, size_t* i,
                             Typography* typography, std::string* error) {
  error->clear();
  if (args[*i] != "--paragraph-gap") return false;
  int percent = 0;
  if (*i + 1 >= args.size() || !ParseInt(args[*i + 1], &percent) || percent < 0 || percent > 100) {
    *error = "--paragraph-gap takes 0 to 100";
    return false;
  }
  ++*i;
  typography->paragraphGap = percent;
  return true;
}

bool ParseShapeOption(const std::vector<std::string>& args, size_t* i, PageShape* shape,
                      bool* given, std::string* error) {
  error->clear();
  const std::string& name = args[*i];
  if (name != "--measure" && name != "--columns" && name != "--gutter") return false;
  if (*i + 1 >= args.size()) {
    *error = name + " needs a value";
    return false;
  }
  const std::string& value = args[++*i];
  if (name == "--columns") {
    if (value == "auto" || value == "1" || value == "2") {
      shape->columns = value == "auto" ? ColumnMode::kAuto
                       : value == "1"  ? ColumnMode::kOne
                                       : ColumnMode::kTwo;
      *given = true;
      return true;
    }
    *error = "--columns takes auto, 1 or 2";
    return false;
  }
  int number = 0;
  if (!ParseInt(value, &number) || number < 0) {
    *error = "bad value '" + value + "' for " + name;
    return false;
  }
  if (name == "--measure") {
    shape->measure = number;
    *given = true;
  } else {
    shape->gutter = number;
  }
  return true;
}

bool ParseEncodingOption(const std::string& text, std::optional<TextEncoding>* encoding) {
  if (text == "auto") {
    encoding->reset();
    return true;
  }
  *encoding = EncodingFromName(text);
  return encoding->has_value();
}

bool ParseLayoutOption(const std::vector<std::string>& args, size_t* i, LayoutOptions* options,
                       std::string* error) {
  if (ParseTypographyOption(args, i, &options->typography, error) || !error->empty()) {
    return error->empty();
  }
  if (ParseShapeOption(args, i, &options->shape, &options->shapeGiven, error) || !error->empty()) {
    return error->empty();
  }
  if (ParseIndentOption(args, i, &options->typography, error)) {
    options->shapeGiven = true;
    return true;
  }
  if (!error->empty()) return false;
  if (ParseParagraphGapOption(args, i, &options->typography, error)) {
    options->shapeGiven = true;
    options->gapGiven = true;
    return true;
  }
  if (!error->empty()) return false;
  if (ParseBlankLinesOption(args, i, &options->typography, error) || !error->empty()) {
    return error->empty();
  }
  const std::string& name = args[*i];
  struct OptionArity {
    const char* name;
    int count;
  };
  static const OptionArity kSpecs[] = {
      {"--page", 2},   {"--margins", 4}, {"--gap", 1},    {"--shared", 1}, {"--justify", 1},
      {"--narrow", 1}, {"--wide", 1},    {"--height", 1}, {"--table", 1},  {"--encoding", 1}};
  const OptionArity* option = nullptr;
  for (const OptionArity& s : kSpecs) {
    if (name == s.name) option = &s;
  }
  if (!option) return false;
  if (*i + 1 >= args.size()) {
    *error = name + " needs a value";
    return false;
  }
  const std::string& value = args[++*i];
  if (name == "--table") {
    options->table = value;
    return true;
  }
  if (name == "--encoding") {
    if (ParseEncodingOption(value, &options->encoding)) return true;
    *error = "--encoding takes auto, cp949, utf-8, utf-16le or utf-16be";
    return false;
  }
  int v[4] = {};
  if (!ParseInts(value, option->count, v)) {
    *error = "bad value '" + value + "' for " + name;
    return false;
  }
  if (name == "--page") {
    options->pageWidth = v[0];
    options->pageHeight = v[1];
  } else if (name == "--margins") {
    options->margins = Rect{v[0], v[1], v[2], v[3]};
  } else if (name == "--gap") {
    options->lineGap = v[0];
  } else if (name == "--shared") {
    options->sharedLines = v[0];
  } else if (name == "--justify") {
    if (v[0] != 0 && v[0] != 1) {
      *error = "--justify takes 0 or 1";
      return false;
    }
    options->justify = v[0] == 1;
  } else if (name == "--narrow") {
    options->narrow = v[0];
  } else if (name == "--wide") {
    options->wide = v[0];
  } else {
    options->lineHeight = v[0];
  }
  return true;
}

bool EngineSession::Open(const std::string& path, const LayoutOptions& options,
                         std::string* error) {
  std::u16string widePath = PathFromBytes(path);
  if (!options.table.empty() && !LoadCodeTable(platform_, PathFromBytes(options.table))) {
    *error = "cannot load the code table " + options.table;
    return false;
  }
  engine_ = CreateTextEngine(platform_, widePath, options.encoding);
  std::string reason;
  if (!engine_->Load(widePath, &reason)) {
    *error = "cannot open " + path + (reason.empty() ? "" : ": " + reason);
    return false;
  }
  platform_.metrics().narrow = options.narrow;
  platform_.metrics().wide = options.wide;
  platform_.metrics().lineHeight = options.lineHeight;
  engine_->SetPageRect(0, 0, options.pageWidth, options.pageHeight);
  engine_->SetLayout(options.margins, options.lineGap, options.sharedLines, options.justify);
  engine_->SetTypography(options.typography);
  // The first paint measures the glyphs before any page step.
  auto screen = platform_.CreateScreen(options.pageWidth, options.pageHeight);
  engine_->BeginPaint(*screen, u"Tahoma", options.lineHeight, false, false, false);
  engine_->EndPaint(*screen);
  // The columns, centred between the margins asked for, as the view lays them out.
  const PageGeometry geometry(options.shape, options.pageWidth, options.margins.left,
                              options.margins.right, engine_->wideGlyphWidth());
  engine_->SetLayout(
      Rect{geometry.left(), options.margins.top, geometry.right(), options.margins.bottom},
      options.lineGap, options.sharedLines, options.justify);
  engine_->SetColumns(geometry.columns(), geometry.columnStep());
  placed_ = options.shapeGiven;
  withY_ = options.gapGiven;
  return true;
}

std::string EngineSession::PageJsonFields() const {
  return placed_ ? "\"columns\": " + std::to_string(engine_->columns()) + ", " : "";
}

std::string EngineSession::PageLinesJson() {
  if (auto* bytes = dynamic_cast<BasicTextEngine<uint8_t>*>(engine_.get())) {
    return LinesJson(*bytes, placed_, withY_);
  }
  if (auto* utf8 = dynamic_cast<BasicTextEngine<char8_t>*>(engine_.get())) {
    return LinesJson(*utf8, placed_, withY_);
  }
  if (auto* units = dynamic_cast<BasicTextEngine<char16_t>*>(engine_.get())) {
    return LinesJson(*units, placed_, withY_);
  }
  return "[]";
}

}  // namespace lirako::tool
