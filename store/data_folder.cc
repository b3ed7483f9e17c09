#include "store/data_folder.h"

#include <vector>

#include "platform/registry.h"
#include "platform/utf.h"

namespace lirako {
namespace {

constexpr char16_t kInitialFolder[] = u"/tmp";
constexpr char16_t kSettingsKey[] = u"Software\\Lirako";
constexpr char16_t kDefaultPathValue[] = u"Default Path";
// The value is read into room for 255 bytes: the text with its NUL must fit.
constexpr size_t kDefaultPathBytes = 255;
// Every file saved in the data folder, and the copies kept of damaged ones.
constexpr const char16_t* kSavedFiles[] = {
    u"SetParam.Dat",         u"ResentFiles.Dat",         u"lirako.ini",
    u"SetParam.Dat.damaged", u"ResentFiles.Dat.damaged",
};
constexpr char16_t kCodeTable[] = u"hantable.dat";
constexpr char16_t kLockFile[] = u"lirako.lock";
constexpr std::u16string_view kChapterCachePrefix = u"lirako-toc-";
constexpr std::u16string_view kChapterCacheSuffix = u".cache";

// True for the name of a file the reader keeps in its data folder.
bool IsDataFileName(std::u16string_view name) {
  for (const char16_t* saved : kSavedFiles) {
    if (name == saved) return true;
  }
  return name == kCodeTable ||
         (name.size() > kChapterCachePrefix.size() + kChapterCacheSuffix.size() &&
          name.substr(0, kChapterCachePrefix.size()) == kChapterCachePrefix &&
          name.substr(name.size() - kChapterCacheSuffix.size()) == kChapterCacheSuffix);
}

// The program's own folder, or empty when the program path holds no "/".
std::u16string ProgramFolder(Platform& platform) {
  std::u16string program = platform.ProgramPath();
  size_t slash = program.rfind(u'/');
  if (program.empty() || slash == std::u16string::npos) return {};
  std::u16string folder = program.substr(0, slash);
  return folder.empty() ? u"/" : folder;
}

}  // namespace

std::u16string FindDataFolder(Platform& platform) {
  std::u16string folder = kInitialFolder;

  Registry& registry = platform.registry();
  RegistryValue value;
  if (registry.KeyExists(RegistryRoot::kCurrentUser, kSettingsKey) &&
      registry.QueryValue(RegistryRoot::kCurrentUser, kSettingsKey, kDefaultPathValue, &value) &&
      (value.type == kRegString || value.type == kRegExpandString) &&
      (value.text.size() + 1) * 2 <= kDefaultPathBytes) {
    folder = value.text.substr(0, value.text.find(u'\0'));
  }

  std::u16string program = ProgramFolder(platform);
  if (!program.empty()) {
    folder = program;
    // Only a copy run from its build tree keeps its files beside itself; an installed one
    // (under any prefix, or a package's) or a copied program keeps them in the user's folder.
    if (!platform.IsBuildTree(folder) || !platform.IsWritableFolder(folder)) {
      folder = platform.UserDataFolder();
    }
  }
  return folder;
}

bool MoveEarlierDataFiles(Platform& platform, const std::u16string& dataFolder, std::string* err) {
  const std::u16string old = ProgramFolder(platform);
  if (old.empty() || old == dataFolder || !platform.IsWritableFolder(old)) return true;
  std::vector<std::u16string> names;
  for (const std::u16string& name : platform.FolderEntries(old)) {
    if (IsDataFileName(name)) names.push_back(name);
  }
  const std::u16string oldLock = DataFilePath(old, kLockFile);
  const bool hadLock = platform.Exists(oldLock);
  if (names.empty() && !hadLock) return true;
  // A copy of the earlier version may be saving in the old folder; nothing is moved until
  // both folders are quiet (the next start tries again).
  std::unique_ptr<FolderLock> lock = platform.LockFolder(dataFolder);
  std::unique_ptr<FolderLock> lockOld = hadLock ? platform.LockFolder(old) : nullptr;
  if (!lock || (hadLock && !lockOld)) {
    if (err) *err = ToUtf8(lock ? old : dataFolder) + " is in use";
    return false;
  }
  bool moved = true;
  for (const std::u16string& name : names) {
    std::string reason;
    if (platform.Exists(DataFilePath(dataFolder, name))) continue;
    if (!platform.MoveFile(DataFilePath(old, name), DataFilePath(dataFolder, name), &reason)) {
      if (err) *err += (moved ? "" : "; ") + reason;
      moved = false;
    }
  }
  for (const char16_t* name : kSavedFiles)
    platform.RemoveSaveTemporaries(DataFilePath(old, name));
  if (hadLock) platform.RemoveFile(oldLock);
  return moved;
}

std::u16string FindFallbackFolder(Platform& platform) {
  std::u16string folder = ProgramFolder(platform);
  if (folder.empty() || platform.IsWritableFolder(folder)) return {};
  return folder;
}

std::u16string FolderHolding(Platform& platform, const std::u16string& folder,
                             const std::u16string& fallback, std::u16string_view name) {
  if (fallback.empty() || platform.Exists(DataFilePath(folder, name)) ||
      !platform.Exists(DataFilePath(fallback, name))) {
    return folder;
  }
  return fallback;
}

void RemoveStaleTemporaries(Platform& platform, const std::u16string& folder) {
  std::unique_ptr<FolderLock> lock = platform.LockFolder(folder);
  // Without the lock another copy may be in the middle of a save: leave its files alone.
  if (!lock) return;
  for (const char16_t* name : kSavedFiles)
    platform.RemoveSaveTemporaries(DataFilePath(folder, name));
}

std::u16string DataFilePath(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  path += u'/';
  path += name;
  return path;
}

std::u16string FileNameOf(std::u16string_view path) {
  size_t slash = path.rfind(u'/');
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace lirako
