#include "store/desktop_association.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/utf.h"
#include "store/mime_apps_list.h"
#include "store/text_file.h"

namespace lirako {
namespace {

// No file the desktop keeps for these is anywhere near this large.
constexpr size_t kMaxListBytes = 16 << 20;
constexpr char kOwnTypePrefix[] = "text/x-lirako-";

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string TypeKey(const std::u16string& extension) {
  return "association." + DesktopAssociation::StoreKeyOf(extension) + ".type";
}

std::string PreviousKey(const std::u16string& extension) {
  return "association." + DesktopAssociation::StoreKeyOf(extension) + ".previous";
}

// The type of `glob` in one globs2 file ("weight:type:glob[:flags]" lines), the heaviest
// when several match; globs compare without regard to ASCII case.
std::string TypeInGlobs(std::string_view text, const std::string& glob) {
  std::string best;
  int bestWeight = -1;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    size_t first = line.find(':');
    size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) continue;
    std::string_view pattern = line.substr(second + 1);
    pattern = pattern.substr(0, pattern.find(':'));
    if (Lower(std::string(pattern)) != glob) continue;
    int weight = 0;
    for (char c : line.substr(0, first)) {
      if (c < '0' || c > '9') break;
      weight = weight * 10 + (c - '0');
    }
    if (weight > bestWeight) {
      bestWeight = weight;
      best = std::string(line.substr(first + 1, second - first - 1));
    }
  }
  return best;
}

// A desktop-entry Exec argument: as it is when no character is reserved, else quoted with
// the characters the quoting reserves escaped, and every backslash doubled once more for
// the string value the line is.
std::string ExecArgument(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\n\"'\\><~|&;$*?#()`=%") == std::string::npos) {
    return word;
  }
  std::string quoted = "\"";
  for (char c : word) {
    if (c == '"' || c == '`' || c == '$') {
      quoted += "\\";
    } else if (c == '\\') {
      quoted += "\\\\\\";
    } else if (c == '%') {
      quoted += '%';  // a literal percent sign is written twice
    }
    quoted += c;
  }
  return quoted + "\"";
}

// Reads `path` into `text`; a missing file reads as empty, one that exists but cannot be
// read fails.
bool ReadIfThere(Platform& platform, const std::u16string& path, std::string* text,
                 std::string* err) {
  text->clear();
  return !platform.PathExists(path) || ReadTextFile(platform, path, kMaxListBytes, text, err);
}

// The items of a "a.desktop;b.desktop;" list.
std::vector<std::string> ListItems(const std::string& value) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start < value.size()) {
    size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    if (end > start) items.push_back(value.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

// True when the reader is the first program of a default.
bool IsOurs(const std::optional<std::string>& value) {
  if (!value) return false;
  std::vector<std::string> items = ListItems(*value);
  return !items.empty() && items.front() == DesktopAssociation::kDesktopId;
}

// A default with the reader left out of it: never to be put back as the user's choice.
std::optional<std::string> WithoutOurs(const std::optional<std::string>& value) {
  if (!value) return std::nullopt;
  std::vector<std::string> items = ListItems(*value);
  const auto ours = std::find(items.begin(), items.end(), DesktopAssociation::kDesktopId);
  if (ours == items.end()) return value;  // kept as the user wrote it
  std::string kept;
  for (const std::string& item : items) {
    if (item != DesktopAssociation::kDesktopId) kept += item + ";";
  }
  return kept.empty() ? std::nullopt : std::optional<std::string>(kept);
}

}  // namespace

DesktopAssociation::DesktopAssociation(Platform& platform, ReaderStore& store,
                                       std::u16string programPath)
    : platform_(platform), store_(store), programPath_(std::move(programPath)) {}

std::string DesktopAssociation::StoreKeyOf(const std::u16string& extension) {
  std::string key;
  std::u16string name = extension;
  if (!name.empty() && name.front() == u'.') name.erase(0, 1);
  for (unsigned char c : ToUtf8(name)) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') {
      key += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "_%02x", c);
      key += hex;
    }
  }
  return key;
}

std::string DesktopAssociation::OwnMimeType(const std::u16string& extension) {
  return kOwnTypePrefix + StoreKeyOf(extension);
}

std::string DesktopAssociation::KnownMimeType(const std::u16string& extension) {
  std::string glob = "*";
  glob += ToUtf8(extension);
  glob = Lower(std::move(glob));
  std::vector<std::u16string> folders{platform_.DataHome()};
  for (const std::u16string& folder : platform_.DataDirs())
    folders.push_back(folder);
  for (const std::u16string& folder : folders) {
    std::string text;
    if (!ReadTextFile(platform_, folder + u"/mime/globs2", kMaxListBytes, &text, nullptr)) {
      continue;
    }
    std::string type = TypeInGlobs(text, glob);
    if (!type.empty()) return type;
  }
  return {};
}

bool DesktopAssociation::AddMimeGlob(const std::u16string& extension, const std::string& mimeType,
                                     std::string* err) {
  const std::u16string mime = platform_.DataHome() + u"/mime";
  const std::string package =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"" +
      mimeType +
      "\">\n"
      "    <comment>Text (" +
      ToUtf8(extension) +
      ")</comment>\n"
      "    <sub-class-of type=\"text/plain\"/>\n"
      "    <glob pattern=\"*" +
      ToUtf8(extension) +
      "\"/>\n"
      "  </mime-type>\n"
      "</mime-info>\n";
  const std::u16string path =
      mime + u"/packages/lirako-" + FromUtf8(StoreKeyOf(extension)) + u".xml";
  if (!WriteTextFile(platform_, path, package, err)) return false;
  // Without the tool the glob waits for the next update of the database.
  platform_.RunProgram(u"update-mime-database", {mime});
  return true;
}

bool DesktopAssociation::EnsureDesktopEntry(std::string* err) {
  const std::u16string id = FromUtf8(kDesktopId);
  const std::u16string own = platform_.DataHome() + u"/applications/" + id;
  if (platform_.PathExists(own)) return true;
  for (const std::u16string& folder : platform_.DataDirs()) {
    if (platform_.PathExists(folder + u"/applications/" + id)) return true;
  }
  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Lirako\n"
      "Name[ko]=리라코\n"
      "Comment=Read plain-text books page by page\n"
      "Comment[ko]=텍스트 책을 쪽 단위로 읽습니다\n"
      "Exec=" +
      ExecArgument(ToUtf8(programPath_)) +
      " %f\n"
      "Icon=io.github.lirako.Lirako\n"
      "Terminal=false\n"
      "MimeType=text/plain;\n"
      "Categories=Office;Viewer;\n";
  return WriteTextFile(platform_, own, entry, err);
}

bool DesktopAssociation::ReadDefaults(std::string* mimeApps, std::string* replaced,
                                      std::string* err) {
  return ReadIfThere(platform_, MimeAppsPath(), mimeApps, err) &&
         ReadIfThere(platform_, ReplacedDefaultsPath(), replaced, err);
}

bool DesktopAssociation::TakeDefault(const std::string& mimeType,
                                     const std::optional<std::string>& legacy, std::string* err) {
  const std::u16string path = MimeAppsPath();
  std::string text;
  std::string replaced;
  if (!ReadDefaults(&text, &replaced, err)) return false;
  const std::optional<std::string> current = DefaultApplication(text, mimeType);
  const std::optional<std::string> remembered = DefaultApplication(replaced, mimeType);
  // Linked already (by another window, or before the reader was killed): what it replaced
  // then is remembered, or there was nothing (or an earlier version kept it).
  const std::optional<std::string> previous =
      IsOurs(current) ? (remembered ? remembered : WithoutOurs(legacy)) : WithoutOurs(current);
  if (remembered != previous &&
      !WriteTextFile(platform_, ReplacedDefaultsPath(),
                     WithDefaultApplication(replaced, mimeType, previous), err)) {
    return false;
  }
  return WriteTextFile(platform_, path,
                       WithDefaultApplication(text, mimeType, std::string(kDesktopId) + ";"), err);
}

bool DesktopAssociation::GiveBackDefault(const std::string& mimeType,
                                         const std::optional<std::string>& legacy,
                                         std::string* err) {
  const std::u16string path = MimeAppsPath();
  std::string text;
  std::string replaced;
  if (!ReadDefaults(&text, &replaced, err)) return false;
  std::optional<std::string> previous = DefaultApplication(replaced, mimeType);
  if (!previous) previous = WithoutOurs(legacy);
  // The user has chosen another program since; that choice stays.
  if (IsOurs(DefaultApplication(text, mimeType)) &&
      !WriteTextFile(platform_, path, WithDefaultApplication(text, mimeType, previous), err)) {
    return false;
  }
  return !DefaultApplication(replaced, mimeType) ||
         WriteTextFile(platform_, ReplacedDefaultsPath(),
                       WithDefaultApplication(replaced, mimeType, std::nullopt), err);
}

std::unique_ptr<FolderLock> DesktopAssociation::LockSharedFolder(std::string* err) {
  const std::u16string folder = platform_.ConfigHome() + u"/lirako";
  std::unique_ptr<FolderLock> lock;
  if (platform_.MakeFolder(folder)) lock = platform_.LockFolder(folder);
  if (!lock && err) *err = ToUtf8(folder) + " could not be locked";
  return lock;
}

bool DesktopAssociation::Link(const std::u16string& extension, std::string* err) {
  std::string mimeType = KnownMimeType(extension);
  if (mimeType.empty()) {
    mimeType = OwnMimeType(extension);
    if (!AddMimeGlob(extension, mimeType, err)) return false;
  }
  if (!EnsureDesktopEntry(err)) return false;
  std::unique_ptr<FolderLock> lock = LockSharedFolder(err);
  if (!lock || !TakeDefault(mimeType, store_.Value(PreviousKey(extension)), err)) return false;
  store_.SetValue(TypeKey(extension), mimeType);
  // Where an earlier version kept the replaced default; the shared file holds it now.
  store_.RemoveValue(PreviousKey(extension));
  return true;
}

bool DesktopAssociation::Unlink(const std::u16string& extension, std::string* err) {
  const std::optional<std::string> mimeType = store_.Value(TypeKey(extension));
  if (!mimeType) return true;  // not linked on this desktop: nothing of ours to take back
  std::unique_ptr<FolderLock> lock = LockSharedFolder(err);
  if (!lock || !GiveBackDefault(*mimeType, store_.Value(PreviousKey(extension)), err)) {
    return false;
  }
  store_.RemoveValue(TypeKey(extension));
  store_.RemoveValue(PreviousKey(extension));
  return true;
}

}  // namespace lirako
