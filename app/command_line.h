#pragma once

#include <string>
#include <vector>

#include <QStringList>

namespace lirako {

// What the reader's command line asks for.
struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  // kRun: the book to open, made absolute against the current folder; empty for none.
  std::u16string path;
  // kHelp and kVersion: the text for standard output; kUsageError: the message for
  // standard error.
  std::string text;
};

// The exit status of a command line that is not to be run: 0 for help and version, 2 for
// a usage error.
int ExitStatusOf(const CommandLine& line);

// Parses `arguments` (the program name first) with QCommandLineParser: --help (-h),
// --version (-v), and the book. The words after the options, joined by blanks, are the
// path, as the device took its whole command line as one path; "--" ends the options.
// `bytes`, when given, holds the same arguments as the system passed them: the path is
// made of those, so that a name that is not UTF-8 keeps its exact bytes.
CommandLine ParseCommandLine(const QStringList& arguments,
                             const std::vector<std::string>& bytes = {});

}  // namespace lirako
