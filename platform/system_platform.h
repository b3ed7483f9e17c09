#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/registry_store.h"

namespace lirako {

// The operating-system half of the platform on Linux: real files, /proc/self/exe, the
// registry store file, iconv's code page 949, ASCII case folding. Fonts and surfaces are
// left to the toolkit (Qt) or the headless double.
class SystemPlatform : public Platform {
 public:
  // The registry store at $LIRAKO_REGISTRY, else $XDG_CONFIG_HOME/lirako/registry.
  SystemPlatform();
  // A platform over the given registry store.
  explicit SystemPlatform(std::unique_ptr<Registry> registry);

  std::unique_ptr<File> OpenForReading(const std::u16string& path,
                                       std::string* err = nullptr) override;
  std::unique_ptr<File> CreateForWriting(const std::u16string& path, std::string* err) override;
  WriteAccess CheckWriteAccess(const std::u16string& path) override;
  bool Exists(const std::u16string& path) override;
  void RemoveSaveTemporaries(const std::u16string& path) override;
  std::unique_ptr<FolderLock> LockFolder(const std::u16string& folder) override;
  // Null: telling the user-interface thread needs the toolkit's event loop (QtPlatform).
  std::unique_ptr<FileWatch> WatchFile(const std::u16string&, FileWatch::Changed) override {
    return nullptr;
  }
  std::u16string ProgramPath() override;
  bool IsWritableFolder(const std::u16string& folder) override;
  bool IsBuildTree(const std::u16string& folder) override;
  std::u16string UserDataFolder() override;
  std::u16string ConfigHome() override;
  std::u16string DataHome() override;
  std::vector<std::u16string> DataDirs() override;
  bool PathExists(const std::u16string& path) override;
  bool MakeFolder(const std::u16string& folder) override;
  std::vector<std::u16string> FolderEntries(const std::u16string& folder) override;
  bool MoveFile(const std::u16string& from, const std::u16string& to, std::string* err) override;
  bool RemoveFile(const std::u16string& path) override;
  bool RunProgram(const std::u16string& program,
                  const std::vector<std::u16string>& arguments) override;
  // Through GLib's GBookmarkFile; see RecordRecentlyUsed.
  bool AddRecentlyUsed(const std::u16string& path, std::chrono::system_clock::time_point now,
                       std::string* err) override;
  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }
  Registry& registry() override { return *registry_; }
  // False also when LIRAKO_NO_CP949=1.
  bool HasCodePage949() override;
  std::u16string Cp949ToUtf16(std::string_view bytes) override;
  void FoldCase(std::u16string& text) override;
  ptrdiff_t FindText(std::u16string_view text, std::u16string_view needle, size_t from) override;

  // The registry file path this platform uses by default.
  static std::string DefaultRegistryPath();

 protected:
  bool codePageDisabled_ = false;

 private:
  std::unique_ptr<Registry> registry_;
};

}  // namespace lirako
