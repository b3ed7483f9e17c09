#include "store/data_folder.h"

#include "platform/registry.h"

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

  std::u16string program = platform.ProgramPath();
  size_t slash = program.rfind(u'/');
  if (!program.empty() && slash != std::u16string::npos) {
    folder = program.substr(0, slash);
    // An installed copy cannot keep its files beside the program.
    if (!platform.IsWritableFolder(folder.empty() ? u"/" : folder)) {
      folder = platform.UserDataFolder();
    }
  }
  return folder;
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
