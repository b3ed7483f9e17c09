#include "store/mime_apps_list.h"

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
  std::vector<std::string_view> lines = Lines(text);
  for (size_t i = DefaultGroupAt(lines) + 1; i < lines.size() && !IsGroupHeader(lines[i]); ++i) {
    if (KeyOf(lines[i]) == mimeType) {
      return std::string(Trimmed(lines[i].substr(lines[i].find('=') + 1)));
    }
  }
  return std::nullopt;
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
  size_t i = 0;
  for (; i < lines.size() && i <= group; ++i)
    emit(lines[i]);
  if (group == lines.size()) {
    if (value) {
      emit(kDefaultGroup);
      emit(keyLine);
    }
    return out;
  }
  bool placed = false;
  size_t end = i;
  while (end < lines.size() && !IsGroupHeader(lines[end]))
    ++end;
  // Blank lines at the end of the group stay after a key added to it.
  size_t lastContent = end;
  while (lastContent > i && Trimmed(lines[lastContent - 1]).empty())
    --lastContent;
  for (; i < end; ++i) {
    if (i == lastContent && !placed && value) {
      emit(keyLine);
      placed = true;
    }
    if (KeyOf(lines[i]) == mimeType) {
      if (!placed && value) emit(keyLine);
      placed = true;
      continue;
    }
    emit(lines[i]);
  }
  if (!placed && value) emit(keyLine);
  for (; i < lines.size(); ++i)
    emit(lines[i]);
  return out;
}

}  // namespace lirako
