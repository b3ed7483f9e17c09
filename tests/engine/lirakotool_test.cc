#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/code_table.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

const std::string kTool = std::string(LIRAKO_BINARY_DIR) + "/tools/lirakotool";

// Runs lirakotool with `args`; returns its standard output and sets `status` to its exit code.
// The standard output of lirakotool run with `args`; `redirect` says where its errors go.
std::string RunTool(const std::string& args, int* status,
                    const std::string& redirect = "2>/dev/null") {
  std::string command = kTool + " " + args + " " + redirect;
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, n);
  int raw = ::pclose(pipe);
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

class LirakotoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kTool)) GTEST_SKIP() << "lirakotool is not built";
  }
  TempDir dir_;
};

TEST_F(LirakotoolTest, LayoutPrintsEachStepAsJson) {
  std::string path = dir_.Write("b.txt", "say \"hi\"\\\tok\r\n\xB0\xA1\r\nend");
  int status = -1;
  std::string out =
      RunTool("layout " + path + " --page 200,60 --shared 0 --justify 0 start next next", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out,
            "{\"op\": \"start\", \"position\": 0, \"size\": 21, \"atEnd\": false, \"lines\": []}\n"
            "{\"op\": \"next\", \"position\": 0, \"size\": 21, \"atEnd\": false, \"lines\": ["
            "{\"offset\": 0, \"length\": 12, \"continued\": 0, \"width\": 90, \"text\": "
            "\"say \\\"hi\\\"\\\\\\tok\"}, "
            "{\"offset\": 14, \"length\": 2, \"continued\": 0, \"width\": 12, \"text\": "
            "\"\xEA\xB0\x80\"}]}\n"
            "{\"op\": \"next\", \"position\": 18, \"size\": 21, \"atEnd\": true, \"lines\": ["
            "{\"offset\": 18, \"length\": 3, \"continued\": 0, \"width\": 18, \"text\": "
            "\"end\"}]}\n");
  // The message says why the book did not open.
  EXPECT_EQ(RunTool("layout " + dir_.File("missing.txt") + " start", &status, "2>&1 >/dev/null"),
            "lirakotool: cannot open " + dir_.File("missing.txt") + ": 파일이 없습니다\n");
  EXPECT_NE(status, 0);
  RunTool("layout " + path + " --page 1 start", &status);
  EXPECT_NE(status, 0);
  EXPECT_EQ(RunTool("layout " + path + " start sideways", &status), "");
  EXPECT_NE(status, 0);
}

TEST_F(LirakotoolTest, FindPrintsEveryMatchThenMinusOne) {
  std::string path = dir_.Write("f.txt", "Alpha alpha\nbeta ALPHA\n");
  int status = -1;
  EXPECT_EQ(RunTool("find " + path + " alpha", &status),
            "{\"position\": 0, \"index\": 0}\n{\"position\": 0, \"index\": 6}\n"
            "{\"position\": 12, \"index\": 5}\n{\"position\": -1, \"index\": 0}\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTool("find " + path + " alpha --case --count 1", &status),
            "{\"position\": 0, \"index\": 6}\n");
  EXPECT_EQ(RunTool("find " + path + " alpha --from 12", &status),
            "{\"position\": 12, \"index\": 5}\n{\"position\": -1, \"index\": 0}\n");
  RunTool("find " + path, &status);
  EXPECT_NE(status, 0);
}

TEST_F(LirakotoolTest, TypesettingOptionsAreOffUnlessGiven) {
  // Two lines of the file, on a page of two lines of five narrow characters.
  std::string path = dir_.Write("t.txt", "xy\nabcde,\n");
  const std::string layout = "layout " + path + " --page 42,60 --shared 0 --justify 0 ";
  int status = -1;
  const std::string plain = RunTool(layout + "next", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTool(layout + "--kinsoku 0 --keep-all 0 --join-lines 0 next", &status), plain);
  EXPECT_NE(plain.find("\"text\": \"abcde\""), std::string::npos) << plain;
  // Joined, the comma that does not fit hangs past the line's width.
  const std::string joined = RunTool(layout + "--join-lines 1 --kinsoku 1 next", &status);
  EXPECT_NE(joined.find("\"offset\": 3, \"length\": 6, \"continued\": 0, \"width\": 36, "
                        "\"text\": \"abcde,\""),
            std::string::npos)
      << joined;
  EXPECT_EQ(RunTool("find " + path + " \"xy abc\"", &status), "{\"position\": -1, \"index\": 0}\n");
  EXPECT_EQ(RunTool("find " + path + " \"xy abc\" --join-lines 1 --count 1", &status),
            "{\"position\": 0, \"index\": 0}\n");
  RunTool(layout + "--kinsoku 2 next", &status);
  EXPECT_NE(status, 0);
}

TEST_F(LirakotoolTest, PageShapeOptionsPlaceLinesInColumns) {
  std::string path = dir_.Write("c.txt", "abc\ndef\nghi\njkl\nmno\n");
  const std::string layout = "layout " + path + " --page 300,60 ";
  int status = -1;
  // One column over the whole width prints the same lines, each with its column and edge.
  const std::string plain = RunTool(layout + "next", &status);
  const std::string one = RunTool(layout + "--columns 1 next", &status);
  EXPECT_EQ(plain.find("\"column\""), std::string::npos);
  EXPECT_NE(one.find("\"columns\": 1, "), std::string::npos) << one;
  EXPECT_NE(one.find("\"width\": 18, \"column\": 0, \"x\": 6, \"text\": \"abc\""),
            std::string::npos)
      << one;
  // Lines of 5 wide characters: two columns of 60 and a gutter of 24, centred in 288.
  const std::string spread = RunTool(layout + "--measure 5 --columns auto next down", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(spread.find("\"column\": 1, \"x\": 162, \"text\": \"ghi\""), std::string::npos)
      << spread;
  // A line step moves the right column's first line to the left column's foot.
  EXPECT_NE(spread.find("\"column\": 0, \"x\": 78, \"text\": \"ghi\""), std::string::npos)
      << spread;
  RunTool(layout + "--columns 3 next", &status);
  EXPECT_NE(status, 0);
}

TEST_F(LirakotoolTest, IndentCountsTheBlanksAParagraphStartsWith) {
  // Joined lines: the second line of the file continues the first paragraph; the third is
  // empty, and the fourth starts a paragraph with two blanks.
  std::string path = dir_.Write("i.txt", "abc\ndef\n\n  ghi\njkl\n");
  const std::string layout = "layout " + path + " --page 200,120 --join-lines 1 --indent 2 ";
  int status = -1;
  const std::string page = RunTool(layout + "next", &status);
  EXPECT_EQ(status, 0);
  // Two wide characters (24 pixels) in from the margin, less the 12 of the blanks.
  EXPECT_NE(page.find("\"x\": 30, \"text\": \"abc def\""), std::string::npos) << page;
  EXPECT_NE(page.find("\"x\": 18, \"text\": \"ghi jkl\""), std::string::npos) << page;
  // Read back from the end, the paragraphs stand in alike.
  EXPECT_NE(RunTool(layout + "end prev", &status).find("\"x\": 18, \"text\": \"ghi jkl\""),
            std::string::npos);
  RunTool(layout + "--indent 4 next", &status);
  EXPECT_NE(status, 0);
}

TEST_F(LirakotoolTest, CollapsedBlankLinesKeepASceneBreak) {
  std::string path = dir_.Write("b.txt", "ab\n\n \n\n* * *\n\ncd\n");
  const std::string layout = "layout " + path + " --page 200,200 ";
  int status = -1;
  const std::string kept = RunTool(layout + "next", &status);
  EXPECT_NE(kept.find("\"text\": \" \""), std::string::npos) << kept;
  // The empty lines and the one of a blank are gone; the scene break stays.
  const std::string lines =
      "\"lines\": [{\"offset\": 0, \"length\": 2, \"continued\": 0, \"width\": 12, "
      "\"text\": \"ab\"}, {\"offset\": 7, \"length\": 5, \"continued\": 0, \"width\": 30, "
      "\"text\": \"* * *\"}, {\"offset\": 14, \"length\": 2, \"continued\": 0, \"width\": 12, "
      "\"text\": \"cd\"}]";
  const std::string collapse = layout + "--blank-lines collapse ";
  EXPECT_NE(RunTool(collapse + "next", &status).find(lines), std::string::npos);
  EXPECT_EQ(status, 0);
  // Read back from the end, the same lines.
  EXPECT_NE(RunTool(collapse + "end prev", &status).find(lines), std::string::npos);
  RunTool(layout + "--blank-lines some next", &status);
  EXPECT_NE(status, 0);
  // With a gap of half a line (8 pixels), the collapsed run is one gap, and lines say their top.
  const std::string gap = RunTool(collapse + "--paragraph-gap 50 next", &status);
  EXPECT_NE(gap.find("\"columns\": 1, "), std::string::npos) << gap;
  EXPECT_NE(gap.find("\"x\": 6, \"y\": 30, \"text\": \"* * *\""), std::string::npos) << gap;
  EXPECT_NE(gap.find("\"x\": 6, \"y\": 55, \"text\": \"cd\""), std::string::npos) << gap;
  RunTool(layout + "--paragraph-gap 101 next", &status);
  EXPECT_NE(status, 0);
}

TEST_F(LirakotoolTest, FindAllPrintsEveryHitWithItsContext) {
  std::string path = dir_.Write("f.txt", "Alpha alpha\nbeta ALPHA\n");
  int status = -1;
  EXPECT_EQ(RunTool("find " + path + " alpha --all --context 2", &status),
            "{\"position\": 0, \"index\": 0, \"context\": \"Alpha a\"}\n"
            "{\"position\": 0, \"index\": 6, \"context\": \"a alpha\"}\n"
            "{\"position\": 12, \"index\": 5, \"context\": \"a ALPHA\"}\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTool("find " + path + " alpha --all --case", &status),
            "{\"position\": 0, \"index\": 6, \"context\": \"Alpha alpha\"}\n");
}

TEST_F(LirakotoolTest, TocPrintsEveryHeadingInBookOrder) {
  std::string path = dir_.Write("t.txt", "Prologue\nChapter 1 was short.\n  Chapter 2 \r\n#9\n");
  int status = -1;
  EXPECT_EQ(
      RunTool("toc " + path, &status),
      "{\"position\": 0, \"title\": \"Prologue\", \"rule\": \"Prologue\", \"level\": 1}\n"
      "{\"position\": 30, \"title\": \"Chapter 2\", \"rule\": \"Chapter N\", \"level\": 1}\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTool("toc " + path + " --encoding utf-8 --rule '^#\\d$'", &status),
            "{\"position\": 0, \"title\": \"Prologue\", \"rule\": \"Prologue\", \"level\": 1}\n"
            "{\"position\": 30, \"title\": \"Chapter 2\", \"rule\": \"Chapter N\", \"level\": 1}\n"
            "{\"position\": 44, \"title\": \"#9\", \"rule\": \"user\", \"level\": 1}\n");
}

TEST_F(LirakotoolTest, TocNestsChaptersInPartsAndListsTheRulesTheBookCouldUse) {
  std::string path =
      dir_.Write("t.txt", "Part One\nChapter 1\nIt began.\nChapter 2\nPart Two\nChapter 3\n");
  int status = -1;
  EXPECT_EQ(
      RunTool("toc " + path, &status),
      "{\"position\": 0, \"title\": \"Part One\", \"rule\": \"Part N\", \"level\": 1}\n"
      "{\"position\": 9, \"title\": \"Chapter 1\", \"rule\": \"Chapter N\", \"level\": 2}\n"
      "{\"position\": 29, \"title\": \"Chapter 2\", \"rule\": \"Chapter N\", \"level\": 2}\n"
      "{\"position\": 39, \"title\": \"Part Two\", \"rule\": \"Part N\", \"level\": 1}\n"
      "{\"position\": 48, \"title\": \"Chapter 3\", \"rule\": \"Chapter N\", \"level\": 2}\n");
  EXPECT_EQ(RunTool("toc " + path + " --rules", &status),
            "{\"rule\": \"Chapter N\", \"chapters\": 3}\n"
            "{\"rule\": \"Part N\", \"chapters\": 2}\n");
  EXPECT_EQ(status, 0);
}

TEST_F(LirakotoolTest, TocRefusesAnInvalidRuleWithoutOutput) {
  std::string path = dir_.Write("t.txt", "Prologue\n");
  int status = -1;
  EXPECT_EQ(RunTool("toc " + path + " --rule '(unclosed'", &status), "");
  EXPECT_EQ(status, 2);
}

TEST_F(LirakotoolTest, HantableWritesBothRegions) {
  std::string out = dir_.File("hantable.dat");
  int status = -1;
  RunTool("hantable " + out, &status);
  ASSERT_EQ(status, 0);
  std::string bytes = testing::ReadFileBytes(out);
  ASSERT_EQ(bytes.size(), kCodeTableBytes);
  auto unit = [&bytes](size_t i) {
    return static_cast<unsigned char>(bytes[2 * i]) |
           (static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  };
  EXPECT_EQ(unit(4418), 0xAC00);                // B0 A1
  EXPECT_EQ(unit(kCodeTableAEntries), 0xAC02);  // 81 41
  HeadlessPlatform platform;
  ASSERT_TRUE(LoadCodeTable(platform, FromUtf8(out)));
  EXPECT_EQ(ToDisplayText(platform, "\xC7\xD1\xB1\xDB"), u"\uD55C\uAE00");
  ReleaseCodeTable();
  RunTool("hantable", &status);
  EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace lirako

namespace lirako {
namespace {

using testing::TempDir;

class LirakotoolEncodingTest : public LirakotoolTest {};

TEST_F(LirakotoolEncodingTest, ProbePrintsOneLinePerFileAndFailsOnAnUnreadableOne) {
  std::string utf8 = dir_.Write("u.txt", "a \xEA\xB0\x80\n");
  std::string marked = dir_.Write("m.txt", testing::Utf16File(u"가", true));
  int status = -1;
  EXPECT_EQ(RunTool("probe " + utf8 + " " + marked, &status),
            "{\"file\": \"" + utf8 +
                "\", \"encoding\": \"utf-8\", \"bom\": false, \"examined\": 6}\n"
                "{\"file\": \"" +
                marked + "\", \"encoding\": \"utf-16be\", \"bom\": true, \"examined\": 2}\n");
  EXPECT_EQ(status, 0);
  std::string missing = dir_.File("missing.txt");
  EXPECT_EQ(RunTool("probe " + missing + " " + utf8, &status),
            "{\"file\": \"" + missing +
                "\", \"error\": \"cannot be opened: 파일이 없습니다\"}\n"
                "{\"file\": \"" +
                utf8 + "\", \"encoding\": \"utf-8\", \"bom\": false, \"examined\": 6}\n");
  EXPECT_EQ(status, 1);
}

TEST_F(LirakotoolEncodingTest, ProbeOpensANameInCodePage949BytesAndShowsItDecoded) {
  // "가.txt" with its name in code page 949, as unpacked from a Windows archive.
  std::string book = dir_.Write("\xB0\xA1.txt", "a \xEA\xB0\x80\n");
  int status = -1;
  EXPECT_EQ(RunTool("probe " + book, &status),
            "{\"file\": \"" + dir_.path() +
                "/가.txt\", \"encoding\": \"utf-8\", \"bom\": false, \"examined\": 6}\n");
  EXPECT_EQ(status, 0);
  const std::string tooLong = dir_.path() + "/" + std::string(4100, 'a');
  std::string out = RunTool("probe " + tooLong, &status);
  EXPECT_NE(out.find("경로나 이름이 너무 길어"), std::string::npos) << out;
  EXPECT_EQ(status, 1);
}

TEST_F(LirakotoolEncodingTest, EncodingOptionOverridesDetection) {
  // UTF-16 LE without a mark: "ab" read as such, or as two-byte text with zero bytes.
  std::string path = dir_.Write("w.txt", std::string("a\0b\0", 4));
  int status = -1;
  std::string wide = RunTool("layout " + path + " --encoding utf-16le next", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(wide.find("\"size\": 2"), std::string::npos) << wide;
  EXPECT_NE(wide.find("\"text\": \"ab\""), std::string::npos) << wide;
  std::string bytes = RunTool("find " + path + " b --encoding cp949", &status);
  EXPECT_EQ(bytes, "{\"position\": -1, \"index\": 0}\n");
  EXPECT_EQ(RunTool("find " + path + " b --encoding auto", &status),
            "{\"position\": 0, \"index\": 1}\n{\"position\": -1, \"index\": 0}\n");
  RunTool("layout " + path + " --encoding latin1 next", &status);
  EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace lirako
