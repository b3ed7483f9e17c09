#include "store/desktop_association.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "store/file_association.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

constexpr char kOurs[] = "io.github.lirako.Lirako.desktop";
// xdg-mime names an entry only when the program of its Exec line exists.
constexpr char kOtherEntry[] = "[Desktop Entry]\nType=Application\nName=Other\nExec=true %f\n";

// A desktop whose HOME and XDG folders lie in a temporary folder, for this process and the
// xdg-mime it runs; the system's MIME database is read as it is.
class DesktopFixture {
 public:
  DesktopFixture() {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    setenv("HOME", dir.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("DESKTOP_SESSION");
    platform.SetDesktopHomes(FromUtf8(dir.File("config")), FromUtf8(dir.File("data")));
    std::filesystem::create_directories(dir.File("config"));
    std::filesystem::create_directories(dir.File("data/applications"));
    std::filesystem::create_directories(dir.File("bin"));
    dir.Write("data/applications/other.desktop", kOtherEntry);
    program = dir.Write("bin/lirako", "#!/bin/sh\n");
    ::chmod(program.c_str(), 0755);
  }

  ~DesktopFixture() {
    for (const auto& [name, value] : saved) {
      if (value) {
        setenv(name, value->c_str(), 1);
      } else {
        unsetenv(name);
      }
    }
  }

  // What xdg-mime names as the default of `mimeType`, without the line break.
  std::string QueryDefault(const std::string& mimeType) {
    std::string out;
    FILE* pipe = ::popen(("xdg-mime query default " + mimeType + " 2>/dev/null").c_str(), "r");
    if (!pipe) return "(xdg-mime did not run)";
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
      out.append(buffer, n);
    ::pclose(pipe);
    while (!out.empty() && out.back() == '\n')
      out.pop_back();
    return out;
  }

  std::string MimeApps() { return ReadFileBytes(dir.File("config/mimeapps.list")); }

  // Links (or unlinks) `extension` as the system page's buttons do.
  void Link(const std::u16string& extension) {
    FileAssociation(platform.registry(), u"/opt/lirako", settings, u"/opt/lirako/lirako", &desktop)
        .LinkSelected(extension);
  }
  void Unlink(const std::u16string& extension) {
    FileAssociation(platform.registry(), u"/opt/lirako", settings, u"/opt/lirako/lirako", &desktop)
        .UnlinkSelected(extension);
  }

  static constexpr const char* kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                               "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION"};
  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
  TempDir dir;
  HeadlessPlatform platform;
  ReaderStore store;
  ReaderSettings settings;
  std::string program;
  DesktopAssociation desktop{platform, store, FromUtf8(dir.File("bin/lirako"))};
};

bool HaveXdgMime() {
  return std::system("command -v xdg-mime >/dev/null 2>&1") == 0;
}

TEST(DesktopAssociation, LinkingTxtMakesTheReaderTheDefaultAndUnlinkingRestoresTheOther) {
  if (!HaveXdgMime()) GTEST_SKIP() << "xdg-mime is missing";
  DesktopFixture f;
  f.dir.Write("config/mimeapps.list", "[Default Applications]\ntext/plain=other.desktop;\n");
  ASSERT_EQ(f.QueryDefault("text/plain"), "other.desktop");

  f.Link(u".txt");
  EXPECT_EQ(f.QueryDefault("text/plain"), kOurs);
  // No entry of the reader is installed on the system: one is written for the user.
  const std::string entry = ReadFileBytes(f.dir.File("data/applications/") + kOurs);
  EXPECT_NE(entry.find("Exec=" + f.program + " %f\n"), std::string::npos);
  EXPECT_EQ(f.store.Value("association.txt.previous"), "other.desktop;");

  f.Unlink(u".txt");
  EXPECT_EQ(f.QueryDefault("text/plain"), "other.desktop");
  EXPECT_EQ(f.MimeApps(), "[Default Applications]\ntext/plain=other.desktop;\n");
  EXPECT_EQ(f.store.Value("association.txt.previous"), std::nullopt);
}

TEST(DesktopAssociation, MissingListIsCreatedAndUnlinkingLeavesTheSystemDefault) {
  if (!HaveXdgMime()) GTEST_SKIP() << "xdg-mime is missing";
  DesktopFixture f;
  // Without a list the system's own default (if any) applies; it is back after unlinking.
  const std::string systemDefault = f.QueryDefault("text/plain");
  f.Link(u".txt");
  EXPECT_EQ(f.MimeApps(), std::string("[Default Applications]\ntext/plain=") + kOurs + ";\n");
  EXPECT_EQ(f.QueryDefault("text/plain"), kOurs);
  f.Unlink(u".txt");
  EXPECT_EQ(f.MimeApps(), "[Default Applications]\n");
  EXPECT_EQ(f.QueryDefault("text/plain"), systemDefault);
}

TEST(DesktopAssociation, DamagedListKeepsEveryOtherLineByteForByte) {
  DesktopFixture f;
  const std::string damaged =
      "garbage \x01\x02 without a group\n"
      "[Added Associations]\ntext/plain=other.desktop;\n"
      "[Default Applications\n"  // a broken header, kept as a line
      "[Default Applications]\n"
      "no equals sign here\n"
      "image/png=viewer.desktop;\n"
      "text/plain = other.desktop;\n"
      "\xff\xfe=\n"
      "[Default Applications]\ntext/plain=second-group.desktop;\n";
  f.dir.Write("config/mimeapps.list", damaged);
  f.Link(u".txt");
  std::string expected = damaged;
  expected.replace(expected.find("text/plain = other.desktop;"),
                   std::string("text/plain = other.desktop;").size(),
                   std::string("text/plain=") + kOurs + ";");
  EXPECT_EQ(f.MimeApps(), expected);
  f.Unlink(u".txt");
  std::string restored = damaged;
  restored.replace(restored.find("text/plain = other.desktop;"),
                   std::string("text/plain = other.desktop;").size(), "text/plain=other.desktop;");
  EXPECT_EQ(f.MimeApps(), restored);
}

TEST(DesktopAssociation, ADefaultChosenSinceLinkingStaysWhenUnlinking) {
  DesktopFixture f;
  f.Link(u".txt");
  f.dir.Write("config/mimeapps.list", "[Default Applications]\ntext/plain=chosen.desktop;\n");
  f.Unlink(u".txt");
  EXPECT_EQ(f.MimeApps(), "[Default Applications]\ntext/plain=chosen.desktop;\n");
}

TEST(DesktopAssociation, AnExtensionWithoutATypeGetsAGlobOfItsOwn) {
  DesktopFixture f;
  const std::u16string extension = u".zzlirako";
  ASSERT_EQ(f.desktop.KnownMimeType(extension), "");
  f.Link(extension);
  const std::string type = DesktopAssociation::OwnMimeType(extension);
  EXPECT_EQ(type, "text/x-lirako-zzlirako");
  const std::string package = ReadFileBytes(f.dir.File("data/mime/packages/lirako-zzlirako.xml"));
  EXPECT_NE(package.find("<glob pattern=\"*.zzlirako\"/>"), std::string::npos);
  EXPECT_NE(f.MimeApps().find(type + "=" + kOurs + ";"), std::string::npos);
  if (std::system("command -v update-mime-database >/dev/null 2>&1") == 0) {
    // The user's database now knows the type.
    EXPECT_EQ(f.desktop.KnownMimeType(extension), type);
  }
}

TEST(DesktopAssociation, StoreKeysStandForAnyExtension) {
  EXPECT_EQ(DesktopAssociation::StoreKeyOf(u".txt"), "txt");
  EXPECT_EQ(DesktopAssociation::StoreKeyOf(u".TXT"), "_54_58_54");
  EXPECT_EQ(DesktopAssociation::StoreKeyOf(u".책"), "_ec_b1_85");
  EXPECT_TRUE(ReaderStore::IsValidKey("association." + DesktopAssociation::StoreKeyOf(u".a b+c") +
                                      ".type"));
}

}  // namespace
}  // namespace lirako
