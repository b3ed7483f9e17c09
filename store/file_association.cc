#include "store/file_association.h"

#include <algorithm>

#include "store/desktop_association.h"
#include "store/registry_key.h"

namespace lirako {
namespace {

constexpr RegistryRoot kRoot = RegistryRoot::kClassesRoot;
constexpr char16_t kClassName[] = u"lirakofile";
constexpr char16_t kClassIconKey[] = u"lirakofile\\DefaultIcon";
constexpr char16_t kClassCommandKey[] = u"lirakofile\\Shell\\Open\\Command";
constexpr char16_t kDefault[] = u"Default";
constexpr char16_t kEditFlags[] = u"EditFlags";
constexpr char16_t kContentType[] = u"Content Type";
constexpr char16_t kClassDescription[] = u"Text Only";
constexpr uint32_t kClassEditFlags = 0x00010000;
constexpr char16_t kClassIcon[] = u"\\windows\\pword.exe, -110";
constexpr char16_t kProgramFile[] = u"/lirako";
constexpr char16_t kPlainText[] = u"text/plain";

// Removes the first item equal to `item`; true when there was one.
bool RemoveFirst(std::vector<std::u16string>& list, const std::u16string& item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it == list.end()) return false;
  list.erase(it);
  return true;
}

bool Listed(const std::vector<std::u16string>& list, const std::u16string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

FileAssociation::FileAssociation(Registry& registry, std::u16string dataFolder,
                                 ReaderSettings& settings, std::u16string programPath,
                                 DesktopAssociation* desktop)
    : registry_(registry),
      dataFolder_(std::move(dataFolder)),
      settings_(settings),
      programPath_(std::move(programPath)),
      desktop_(desktop) {}

std::u16string FileAssociation::OpenCommand() const {
  const size_t slash = programPath_.rfind(u'/');
  const bool installed =
      slash != std::u16string::npos && programPath_.substr(0, slash) != dataFolder_;
  return u"\"" + (installed ? programPath_ : dataFolder_ + kProgramFile) + u"\" %1";
}

void FileAssociation::RegisterFileClass() {
  CRegistryKey key(registry_, kRoot);
  key.CreateKey(kRoot, kClassName);
  key.SetString(kDefault, kClassDescription);
  key.SetNumber(kEditFlags, kClassEditFlags);
  key.CreateKey(kRoot, kClassIconKey);
  key.SetString(kDefault, kClassIcon);
  key.CreateKey(kRoot, kClassCommandKey);
  key.SetString(kDefault, OpenCommand());
}

void FileAssociation::LinkExtension(const std::u16string& extension) {
  CRegistryKey key(registry_, kRoot);
  if (key.OpenKey(kRoot, extension)) {
    std::u16string previous;
    if (key.GetString(kDefault, &previous)) {
      settings_.savedFileClasses.push_back({extension, previous});
      key.SetString(kDefault, kClassName);
      return;
    }
  }
  // No class to remember: the reader owns the extension's values.
  key.CreateKey(kRoot, extension);
  key.SetString(kDefault, kClassName);
  key.SetString(kContentType, kPlainText);
}

void FileAssociation::UnlinkExtension(const std::u16string& extension) {
  CRegistryKey key(registry_, kRoot);
  key.CreateKey(kRoot, extension);
  auto& saved = settings_.savedFileClasses;
  auto it = std::find_if(saved.begin(), saved.end(),
                         [&](const SavedFileClass& p) { return p.extension == extension; });
  if (it != saved.end()) {
    key.SetString(kDefault, it->fileClass);
    saved.erase(it);
    return;
  }
  key.DeleteValue(kDefault);
  key.DeleteValue(kContentType);
  key.DeleteKey(kRoot, extension);
}

bool FileAssociation::LinkSelected(const std::optional<std::u16string>& selected,
                                   std::string* err) {
  RegisterFileClass();
  if (!selected) return true;
  std::u16string extension = *selected;  // may refer into the list changed below
  LinkExtension(extension);
  const bool desktopDone = !desktop_ || desktop_->Link(extension, err);
  RemoveFirst(settings_.unlinkedExtensions, extension);
  settings_.linkedExtensions.push_back(extension);
  return desktopDone;
}

bool FileAssociation::UnlinkSelected(const std::optional<std::u16string>& selected,
                                     std::string* err) {
  if (!selected) return true;
  std::u16string extension = *selected;
  UnlinkExtension(extension);
  const bool desktopDone = !desktop_ || desktop_->Unlink(extension, err);
  RemoveFirst(settings_.linkedExtensions, extension);
  settings_.unlinkedExtensions.push_back(extension);
  return desktopDone;
}

FileAssociation::NewExtension FileAssociation::RegisterExtension(const std::u16string& typed) {
  if (typed.empty()) return NewExtension::kEmpty;
  if (typed.find(u'.') != std::u16string::npos) return NewExtension::kContainsDot;
  std::u16string extension = u"." + typed;
  if (Listed(settings_.unlinkedExtensions, extension) ||
      Listed(settings_.linkedExtensions, extension)) {
    return NewExtension::kAlreadyListed;
  }
  settings_.unlinkedExtensions.push_back(extension);
  return NewExtension::kAdded;
}

}  // namespace lirako
