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

// The default GLib (and so every GTK program) reads for `mimeType`, as `gio mime` names it.
std::string GioDefault(const std::string& mimeType) {
  std::string out;
  FILE* pipe = ::popen(("gio mime " + mimeType + " 2>/dev/null").c_str(), "r");
  if (!pipe) return "(gio did not run)";
  char buffer[512];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, n);
  ::pclose(pipe);
  const std::string label = "Default application for \u201c" + mimeType + "\u201d: ";
  const size_t at = out.find(label);
  if (at == std::string::npos) return {};
  return out.substr(at + label.size(), out.find('\n', at) - at - label.size());
}

bool HaveGio() {
  return std::system("command -v gio >/dev/null 2>&1") == 0;
}

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
  EXPECT_EQ(ReadFileBytes(f.dir.File("config/lirako/replaced-defaults.list")),
            "[Default Applications]\ntext/plain=other.desktop;\n");

  f.Unlink(u".txt");
  EXPECT_EQ(f.QueryDefault("text/plain"), "other.desktop");
  EXPECT_EQ(f.MimeApps(), "[Default Applications]\ntext/plain=other.desktop;\n");
  EXPECT_EQ(ReadFileBytes(f.dir.File("config/lirako/replaced-defaults.list")),
            "[Default Applications]\n");
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
  const std::string kept =
      "garbage \x01\x02 without a group\n"
      "[Added Associations]\ntext/plain=other.desktop;\n"
      "[Default Applications\n"  // a broken header, kept as a line
      "[Default Applications]\n"
      "no equals sign here\n"
      "image/png=viewer.desktop;\n";
  const std::string damaged = kept +
                              "text/plain = other.desktop;\n"
                              "\xff\xfe=\n"
                              "[Default Applications]\ntext/plain=second-group.desktop;\n";
  f.dir.Write("config/mimeapps.list", damaged);
  f.Link(u".txt");
  // The later group's line, the one GLib reads, goes with the change.
  EXPECT_EQ(f.MimeApps(), kept + "text/plain=" + kOurs + ";\n\xff\xfe=\n[Default Applications]\n");
  f.Unlink(u".txt");
  EXPECT_EQ(f.MimeApps(),
            kept + "text/plain=second-group.desktop;\n\xff\xfe=\n[Default Applications]\n");
}

TEST(DesktopAssociation, ASecondLinkNeverTakesTheReaderForThePreviousDefault) {
  if (!HaveGio()) GTEST_SKIP() << "gio is missing";
  DesktopFixture f;
  f.dir.Write("data/applications/org.gnome.gedit.desktop", kOtherEntry);
  f.dir.Write("data/applications/vim.desktop", kOtherEntry);
  f.dir.Write("config/mimeapps.list",
              "[Default Applications]\ntext/plain=org.gnome.gedit.desktop;vim.desktop;\n");
  f.Link(u".txt");
  // A second window links it too (or the reader, killed before it saved, links it again).
  ReaderStore secondStore;
  ReaderSettings secondSettings;
  DesktopAssociation second{f.platform, secondStore, FromUtf8(f.program)};
  FileAssociation(f.platform.registry(), u"/opt/lirako", secondSettings, u"/opt/lirako/lirako",
                  &second)
      .LinkSelected(u".txt");
  ASSERT_EQ(GioDefault("text/plain"), kOurs);

  FileAssociation(f.platform.registry(), u"/opt/lirako", secondSettings, u"/opt/lirako/lirako",
                  &second)
      .UnlinkSelected(u".txt");
  EXPECT_EQ(GioDefault("text/plain"), "org.gnome.gedit.desktop");
  EXPECT_EQ(f.MimeApps(),
            "[Default Applications]\ntext/plain=org.gnome.gedit.desktop;vim.desktop;\n");
  // The first window's unlink leaves the user's default as it is.
  f.Unlink(u".txt");
  EXPECT_EQ(GioDefault("text/plain"), "org.gnome.gedit.desktop");
}

TEST(DesktopAssociation, ALaterDefaultGroupDoesNotHideTheLinkFromGLib) {
  if (!HaveGio()) GTEST_SKIP() << "gio is missing";
  DesktopFixture f;
  f.dir.Write("data/applications/vim.desktop", kOtherEntry);
  f.dir.Write("config/mimeapps.list",
              "[Default Applications]\ntext/plain=other.desktop;\n"
              "[Added Associations]\ntext/plain=other.desktop;\n"
              "[Default Applications]\ntext/plain=vim.desktop;\n");
  ASSERT_EQ(GioDefault("text/plain"), "vim.desktop");
  f.Link(u".txt");
  EXPECT_EQ(GioDefault("text/plain"), kOurs);
  f.Unlink(u".txt");
  EXPECT_EQ(GioDefault("text/plain"), "vim.desktop");
}

TEST(DesktopAssociation, ADefaultAnEarlierVersionKeptInTheStoreIsPutBack) {
  DesktopFixture f;
  f.dir.Write("config/mimeapps.list",
              std::string("[Default Applications]\ntext/plain=") + kOurs + ";\n");
  f.store.SetValue("association.txt.type", "text/plain");
  f.store.SetValue("association.txt.previous", "other.desktop;");
  f.Link(u".txt");
  f.Unlink(u".txt");
  EXPECT_EQ(f.MimeApps(), "[Default Applications]\ntext/plain=other.desktop;\n");
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
