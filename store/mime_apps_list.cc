#include "store/mime_apps_list.h"

#include <algorithm>
#include <vector>

namespace lirako {
namespace {

constexpr std::string_view kDefaultGroup = "[Default Applications]";

// The lines of `text` without their "\n"; a last line without one is a line too.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

bool IsGroupHeader(std::string_view line) {
  std::string_view t = Trimmed(line);
  return !t.empty() && t.front() == '[';
}

// The key of a "key=value" line, or empty.
std::string_view KeyOf(std::string_view line) {
  size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : Trimmed(line.substr(0, eq));
}

// The index of the first line of the first default group, or lines.size().
size_t DefaultGroupAt(const std::vector<std::string_view>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (Trimmed(lines[i]) == kDefaultGroup) return i;
  }
  return lines.size();
}

}  // namespace

std::optional<std::string> DefaultApplication(std::string_view text, std::string_view mimeType) {
  std::optional<std::string> value;
  bool inDefault = false;
  for (std::string_view line : Lines(text)) {
    if (IsGroupHeader(line)) {
      inDefault = Trimmed(line) == kDefaultGroup;
    } else if (inDefault && KeyOf(line) == mimeType) {
      value = std::string(Trimmed(line.substr(line.find('=') + 1)));
    }
  }
  return value;
}

std::string WithDefaultApplication(std::string_view text, std::string_view mimeType,
                                   const std::optional<std::string>& value) {
  std::vector<std::string_view> lines = Lines(text);
  const std::string keyLine = value ? std::string(mimeType) + "=" + *value : std::string();
  std::string out;
  auto emit = [&out](std::string_view line) {
    out.append(line);
    out += '\n';
  };
  const size_t group = DefaultGroupAt(lines);
  size_t end = group + 1;
  while (end < lines.size() && !IsGroupHeader(lines[end]))
    ++end;
  // Blank lines at the end of the first group stay after a key added to it.
  size_t lastContent = std::min(end, lines.size());
  while (lastContent > group + 1 && Trimmed(lines[lastContent - 1]).empty())
    --lastContent;
  bool placed = !value;
  bool inDefault = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i == lastContent && !placed) {
      emit(keyLine);
      placed = true;
    }
    if (IsGroupHeader(lines[i])) {
      inDefault = Trimmed(lines[i]) == kDefaultGroup;
    } else if (inDefault && KeyOf(lines[i]) == mimeType) {
      // The first line of the key in the first group takes the new value; every other
      // line of it goes.
      if (i < end && !placed) {
        emit(keyLine);
        placed = true;
      }
      continue;
    }
    emit(lines[i]);
  }
  if (!placed) {
    if (group == lines.size()) emit(kDefaultGroup);
    emit(keyLine);
  }
  return out;
}

}  // namespace lirako
