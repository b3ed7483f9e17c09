#include "store/recently_used.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/utf.h"
#include "store/text_file.h"

namespace lirako {
namespace {

// The desktop's list stays small; a larger file is not rewritten.
constexpr size_t kMaxXbelBytes = 64 << 20;
constexpr char kApplication[] = "lirako";
constexpr char kHeader[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\"\n"
    "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
    "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
    ">\n";
constexpr char kEnd[] = "</xbel>";
constexpr char kApplicationsEnd[] = "</bookmark:applications>";

// "2026-12-07T17:30:05.123456Z", as the desktop's own writers stamp their entries.
std::string Stamp(std::chrono::system_clock::time_point now) {
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%06lldZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<long long>(micros % 1000000));
  return text;
}

std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

std::string ApplicationRecord(const std::string& stamp, long count) {
  return std::string("<bookmark:application name=\"") + kApplication +
         "\" exec=\"&apos;lirako %u&apos;\" modified=\"" + stamp + "\" count=\"" +
         std::to_string(count) + "\"/>";
}

// Replaces the value of attribute `name` inside text[from, to) of the first element there.
void SetAttribute(std::string& text, size_t from, size_t to, const std::string& name,
                  const std::string& value) {
  const std::string key = " " + name + "=\"";
  size_t at = text.find(key, from);
  if (at == std::string::npos || at >= to) return;
  at += key.size();
  size_t end = text.find('"', at);
  if (end == std::string::npos || end >= to) return;
  text.replace(at, end - at, value);
}

}  // namespace

std::string FileUri(const std::u16string& path) {
  std::string uri = "file://";
  for (unsigned char c : ToUtf8(path)) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      uri += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      uri += hex;
    }
  }
  return uri;
}

bool AddRecentlyUsed(Platform& platform, const std::u16string& path,
                     std::chrono::system_clock::time_point now, std::string* err) {
  const std::u16string file = platform.DataHome() + u"/recently-used.xbel";
  std::string text;
  if (platform.PathExists(file)) {
    if (!ReadTextFile(platform, file, kMaxXbelBytes, &text, err)) return false;
  } else {
    text = std::string(kHeader) + kEnd + "\n";
  }
  const size_t end = text.rfind(kEnd);
  if (end == std::string::npos) {
    if (err) *err = ToUtf8(file) + " does not end its <xbel> element";
    return false;
  }
  const std::string stamp = Stamp(now);
  const std::string href = XmlEscaped(FileUri(path));
  const size_t entry = text.find("<bookmark href=\"" + href + "\"");
  if (entry == std::string::npos) {
    const std::string record = "  <bookmark href=\"" + href + "\" added=\"" + stamp +
                               "\" modified=\"" + stamp + "\" visited=\"" + stamp +
                               "\">\n"
                               "    <info>\n"
                               "      <metadata owner=\"http://freedesktop.org\">\n"
                               "        <mime:mime-type type=\"text/plain\"/>\n"
                               "        <bookmark:applications>\n"
                               "          " +
                               ApplicationRecord(stamp, 1) +
                               "\n"
                               "        </bookmark:applications>\n"
                               "      </metadata>\n"
                               "    </info>\n"
                               "  </bookmark>\n";
    text.insert(end, record);
  } else {
    size_t entryEnd = text.find("</bookmark>", entry);
    if (entryEnd == std::string::npos) entryEnd = end;
    const size_t tagEnd = text.find('>', entry);
    SetAttribute(text, entry, tagEnd, "modified", stamp);
    SetAttribute(text, entry, text.find('>', entry), "visited", stamp);
    entryEnd = text.find("</bookmark>", entry);
    const std::string ours = std::string("<bookmark:application name=\"") + kApplication + "\"";
    const size_t app = text.find(ours, entry);
    if (app != std::string::npos && app < entryEnd) {
      const size_t appEnd = std::min(text.find("/>", app), entryEnd);
      long count = 0;
      const size_t countAt = text.find(" count=\"", app);
      if (countAt != std::string::npos && countAt < appEnd) {
        count = std::strtol(text.c_str() + countAt + 8, nullptr, 10);
      }
      if (appEnd < entryEnd)
        text.replace(app, appEnd + 2 - app, ApplicationRecord(stamp, count + 1));
    } else {
      const size_t apps = text.find(kApplicationsEnd, entry);
      if (apps != std::string::npos && apps < entryEnd) {
        text.insert(apps, ApplicationRecord(stamp, 1) + "\n        ");
      }
    }
  }
  return WriteTextFile(platform, file, text, err);
}

}  // namespace lirako
