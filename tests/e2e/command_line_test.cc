#include "app/command_line.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/utf.h"

namespace lirako {
namespace {

CommandLine Parse(std::initializer_list<const char*> words) {
  QStringList arguments{QStringLiteral("lirako")};
  for (const char* word : words)
    arguments << QString::fromUtf8(word);
  return ParseCommandLine(arguments);
}

TEST(CommandLine, UnknownOptionIsAUsageErrorWithStatusTwo) {
  CommandLine line = Parse({"--bogus", "book.txt"});
  EXPECT_EQ(line.action, CommandLine::Action::kUsageError);
  EXPECT_EQ(ExitStatusOf(line), 2);
  EXPECT_NE(line.text.find("bogus"), std::string::npos);
  EXPECT_NE(line.text.find("lirako --help"), std::string::npos);
}

TEST(CommandLine, HelpListsTheOptionsAndVersionNamesTheProgram) {
  CommandLine help = Parse({"--help"});
  EXPECT_EQ(help.action, CommandLine::Action::kHelp);
  EXPECT_EQ(ExitStatusOf(help), 0);
  EXPECT_NE(help.text.find("--version"), std::string::npos);
  EXPECT_NE(help.text.find("BOOK"), std::string::npos);
  CommandLine version = Parse({"--version"});
  EXPECT_EQ(version.action, CommandLine::Action::kVersion);
  EXPECT_EQ(version.text, std::string("lirako ") + LIRAKO_VERSION + "\n");
}

TEST(CommandLine, ANameThatIsNotUtf8KeepsTheBytesItWasPassedAs) {
  // "가.txt" in code page 949, which Qt's decoding of the arguments loses.
  const std::string book = "/books/\xB0\xA1.txt";
  const QStringList arguments{QStringLiteral("lirako"), QStringLiteral("--"),
                              QFile::decodeName(QByteArray::fromStdString(book))};
  CommandLine line = ParseCommandLine(arguments, {"lirako", "--", book});
  EXPECT_EQ(line.action, CommandLine::Action::kRun);
  EXPECT_EQ(PathToBytes(line.path), book);
}

TEST(CommandLine, WordsAfterTheOptionsAreOneAbsolutePath) {
  CommandLine line = Parse({"my", "book.txt"});
  EXPECT_EQ(line.action, CommandLine::Action::kRun);
  EXPECT_EQ(line.path,
            QDir::current().absoluteFilePath(QStringLiteral("my book.txt")).toStdU16String());
  EXPECT_EQ(Parse({"--", "-dash.txt"}).path,
            QDir::current().absoluteFilePath(QStringLiteral("-dash.txt")).toStdU16String());
  EXPECT_EQ(Parse({"/books/a.txt"}).path, u"/books/a.txt");
  EXPECT_EQ(Parse({}).path, u"");
}

}  // namespace
}  // namespace lirako
