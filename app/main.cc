#include <csignal>
#include <cstdio>

#include <QCoreApplication>

#include "app/command_line.h"
#include "app/tirasol_app.h"

int main(int argc, char** argv) {
  // A file-size limit then fails a save (the write comes up short) instead of ending the
  // reader with everything it had not saved yet.
  std::signal(SIGXFSZ, SIG_IGN);
  lirako::CommandLine line;
  {
    // The options are read before the window system is reached, so --help and --version
    // work without a display.
    QCoreApplication arguments(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lirako"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LIRAKO_VERSION));
    line = lirako::ParseCommandLine(QCoreApplication::arguments(),
                                    std::vector<std::string>(argv, argv + argc));
  }
  if (line.action != lirako::CommandLine::Action::kRun) {
    std::fputs(line.text.c_str(),
               line.action == lirako::CommandLine::Action::kUsageError ? stderr : stdout);
    return lirako::ExitStatusOf(line);
  }
  lirako::CTirasolApp app(argc, argv);
  if (!app.InitInstance(line.path)) return 1;
  // A signal during start-up already asked to quit; the destructor saves.
  if (app.quitRequested()) return 0;
  return app.exec();
}
