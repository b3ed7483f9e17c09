#include "store/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/headless_platform.h"
#include "tests/store/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;
using testing::U16;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;

TEST(DataFolder, TheProgramFolderWinsOverTheRegistryAndTmp) {
  TempDir dir;
  HeadlessPlatform platform;
  Registry& registry = platform.registry();

  // No program path with a "/": the start value, or the registry's string.
  platform.SetProgramPath(u"lirako");
  EXPECT_EQ(FindDataFolder(platform), u"/tmp");
  ASSERT_TRUE(registry.CreateKey(kUser, u"Software\\Lirako"));
  registry.SetString(kUser, u"Software\\Lirako", u"Default Path", u"/data/books");
  EXPECT_EQ(FindDataFolder(platform), u"/data/books");
  registry.SetString(kUser, u"Software\\Lirako", u"Default Path", u"/x/%HOME%", kRegExpandString);
  EXPECT_EQ(FindDataFolder(platform), u"/x/%HOME%");  // not expanded
  // A number, or a string too long for 255 bytes, is ignored.
  registry.SetNumber(kUser, u"Software\\Lirako", u"Default Path", 7);
  EXPECT_EQ(FindDataFolder(platform), u"/tmp");
  registry.SetString(kUser, u"Software\\Lirako", u"Default Path", std::u16string(127, u'p'));
  EXPECT_EQ(FindDataFolder(platform), u"/tmp");
  registry.SetString(kUser, u"Software\\Lirako", u"Default Path", std::u16string(126, u'p'));
  EXPECT_EQ(FindDataFolder(platform), std::u16string(126, u'p'));

  platform.SetProgramPath(U16(dir.BuildTreeProgram()));
  EXPECT_EQ(FindDataFolder(platform), U16(dir.path()));
}

// A platform on which one folder refuses new files, as an installed copy's folder does.
class InstalledPlatform : public HeadlessPlatform {
 public:
  std::u16string readOnly;
  bool IsWritableFolder(const std::u16string& folder) override {
    return folder != readOnly && HeadlessPlatform::IsWritableFolder(folder);
  }
  std::u16string UserDataFolder() override { return u"/home/me/.local/share/lirako"; }
};

TEST(DataFolder, AnInstalledCopyUsesTheUserDataFolder) {
  TempDir dir;
  InstalledPlatform platform;
  platform.SetProgramPath(U16(dir.BuildTreeProgram()));
  EXPECT_EQ(FindDataFolder(platform), U16(dir.path()));
  platform.readOnly = U16(dir.path());
  EXPECT_EQ(FindDataFolder(platform), u"/home/me/.local/share/lirako");
  EXPECT_EQ(DataFilePath(FindDataFolder(platform), u"SetParam.Dat"),
            u"/home/me/.local/share/lirako/SetParam.Dat");
  // The registry's path is not checked: only the program's folder is replaced.
  platform.SetProgramPath(u"lirako");
  platform.readOnly = u"/tmp";
  EXPECT_EQ(FindDataFolder(platform), u"/tmp");
}

TEST(DataFolder, OnlyACopyInItsBuildTreeKeepsItsFilesBesideItself) {
  TempDir home;
  InstalledPlatform platform;
  for (const char* folder : {".local/bin", "build/app", "build/stage/bin", "opt/lirako"})
    std::filesystem::create_directories(home.File(folder));
  home.Write("build/CMakeCache.txt", "");
  platform.SetProgramPath(U16(home.File("build/app/lirako")));
  EXPECT_EQ(FindDataFolder(platform), U16(home.File("build/app")));
  // Installed under ~/.local (a writable prefix), into a prefix inside a build tree, or a
  // program copied anywhere else.
  for (const char* program : {".local/bin/lirako", "build/stage/bin/lirako", "opt/lirako/lirako"}) {
    platform.SetProgramPath(U16(home.File(program)));
    EXPECT_EQ(FindDataFolder(platform), u"/home/me/.local/share/lirako") << program;
  }
}

}  // namespace
}  // namespace lirako
