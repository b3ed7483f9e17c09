#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/headless/headless_platform.h"
#include "store/settings_file.h"
#include "tests/store/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::Header;
using testing::Le32;
using testing::ReadFileBytes;
using testing::Str16;
using testing::TempDir;

const std::string kTool = std::string(LIRAKO_BINARY_DIR) + "/tools/lirakotool";

struct ToolRun {
  int status = -1;
  std::string out;
};

// Runs lirakotool with `args`; standard error is discarded.
ToolRun Tool(const std::string& args) {
  ToolRun run;
  FILE* pipe = ::popen((kTool + " " + args + " 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.out.append(buffer, n);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(Lirakotool, PrintsAndWritesTheRecordFiles) {
  if (!std::filesystem::exists(kTool)) GTEST_SKIP() << "lirakotool is not built";
  TempDir dir;
  HeadlessPlatform platform;

  ASSERT_EQ(Tool("settings --write-defaults " + dir.File("a.dat")).status, 0);
  ASSERT_TRUE(SaveSettings(platform, testing::U16(dir.path()), ReaderSettings()));
  EXPECT_EQ(ReadFileBytes(dir.File("a.dat")), ReadFileBytes(dir.File("SetParam.Dat")));

  ReaderSettings s;
  s.marginX = 12;
  s.SetFontFaceName(u"Na\"m");
  s.savedFileClasses = {{u".txt", u"txtfile"}};
  WriteSettingsFile(platform, testing::U16(dir.File("b.dat")), s);
  ToolRun run = Tool("settings " + dir.File("b.dat"));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\"version\": 538, \"loaded\": true, \"stateFlags\": 0, \"marginX\": 12,"),
            std::string::npos);
  EXPECT_NE(run.out.find("\"fontFace\": \"Na\\\"m\""), std::string::npos);
  EXPECT_NE(run.out.find("\"buttonFunctions\": [5, 12, 0, 13, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
                         "0, 0, 0, 0, 0]"),
            std::string::npos);
  EXPECT_NE(run.out.find("\"savedFileClasses\": [[\".txt\", \"txtfile\"]]}\n"), std::string::npos);

  std::string ignored = ReadFileBytes(dir.File("b.dat")).replace(128, 4, Le32(537));
  run = Tool("settings " + dir.Write("c.dat", ignored));
  EXPECT_NE(run.out.find("\"version\": 537, \"loaded\": false, \"stateFlags\": 0, \"marginX\": 6,"),
            std::string::npos);

  std::string recent =
      Header(0) + Le32(1) + Str16(u"/책\\\n\x01") + Le32(42) + Le32(1) + Str16(u"a\tb") + Le32(7);
  run = Tool("recent " + dir.Write("r.dat", recent));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "{\"entries\": [{\"path\": \"/책\\\\\\n\\u0001\", \"position\": 42, \"bookmarks\": "
            "[{\"name\": \"a\\tb\", \"position\": 7}]}]}\n");

  EXPECT_NE(Tool("recent " + dir.File("missing")).status, 0);
  EXPECT_NE(Tool("settings " + dir.File("missing")).status, 0);
  EXPECT_NE(Tool("settings").status, 0);
  EXPECT_NE(Tool("settings --write-defaults " + dir.File("no/such/x")).status, 0);
}

TEST(Lirakotool, AFileSizeLimitFailsTheWriteInsteadOfKillingTheTool) {
  if (!std::filesystem::exists(kTool)) GTEST_SKIP() << "lirakotool is not built";
  TempDir dir;
  std::string out = dir.File("a.dat");
  // The shell's exit status is 128 + the signal's number when the tool is killed.
  int status = std::system(
      ("(ulimit -f 0; exec " + kTool + " settings --write-defaults " + out + ") 2>/dev/null")
          .c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);  // a failure reported
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(Lirakotool, NamesItsVersionAndRefusesUnknownOptions) {
  if (!std::filesystem::exists(kTool)) GTEST_SKIP() << "lirakotool is not built";
  ToolRun version = Tool("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("lirakotool ") + LIRAKO_VERSION + "\n");
  ToolRun unknown = Tool("--bogus");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
}

}  // namespace
}  // namespace lirako
