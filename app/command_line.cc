#include "app/command_line.h"

#include <filesystem>

#include <QCommandLineParser>
#include <QFile>

#include "platform/utf.h"

namespace lirako {
namespace {

constexpr int kUsageErrorStatus = 2;

}  // namespace

int ExitStatusOf(const CommandLine& line) {
  return line.action == CommandLine::Action::kUsageError ? kUsageErrorStatus : 0;
}

CommandLine ParseCommandLine(const QStringList& arguments, const std::vector<std::string>& bytes) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("리라코: a reader for plain-text books (code page 949, UTF-16).\n"
                     "Without BOOK it reopens the most recent book where you stopped."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("BOOK"), QStringLiteral("the text file to open"));

  CommandLine line;
  if (!parser.parse(arguments)) {
    line.action = CommandLine::Action::kUsageError;
    line.text = QStringLiteral("lirako: %1\nTry 'lirako --help' for more information.\n")
                    .arg(parser.errorText())
                    .toStdString();
    return line;
  }
  if (parser.isSet(help)) {
    line.action = CommandLine::Action::kHelp;
    line.text = parser.helpText().toStdString();
    return line;
  }
  if (parser.isSet(version)) {
    line.action = CommandLine::Action::kVersion;
    line.text = QStringLiteral("lirako %1\n").arg(QStringLiteral(LIRAKO_VERSION)).toStdString();
    return line;
  }
  // Each word by the bytes the system passed it as: Qt's decoding loses a name that is not
  // UTF-8.
  std::string path;
  qsizetype next = 1;
  for (const QString& word : parser.positionalArguments()) {
    std::string raw = QFile::encodeName(word).toStdString();
    for (qsizetype i = next; i < arguments.size() && static_cast<size_t>(i) < bytes.size(); ++i) {
      if (arguments[i] == word) {
        raw = bytes[static_cast<size_t>(i)];
        next = i + 1;
        break;
      }
    }
    if (!path.empty()) path += ' ';
    path += raw;
  }
  if (path.empty()) return line;
  // The desktop passes paths relative to its folder; the recent list keeps full ones.
  if (path.front() != '/') {
    std::string folder = std::filesystem::current_path().native();
    if (folder.empty() || folder.back() != '/') folder += '/';
    path = folder + path;
  }
  line.path = PathFromBytes(path);
  return line;
}

}  // namespace lirako
