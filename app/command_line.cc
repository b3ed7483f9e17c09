#include "app/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace lirako {
namespace {

constexpr int kUsageErrorStatus = 2;

}  // namespace

int ExitStatusOf(const CommandLine& line) {
  return line.action == CommandLine::Action::kUsageError ? kUsageErrorStatus : 0;
}

CommandLine ParseCommandLine(const QStringList& arguments) {
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
  const QString path = parser.positionalArguments().join(u' ');
  if (path.isEmpty()) return line;
  // The desktop passes paths relative to its folder; the recent list keeps full ones.
  line.path = QFileInfo(path).isRelative() ? QDir::current().absoluteFilePath(path).toStdU16String()
                                           : path.toStdU16String();
  return line;
}

}  // namespace lirako
