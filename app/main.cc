#include <csignal>

#include "app/tirasol_app.h"

int main(int argc, char** argv) {
  // A file-size limit then fails a save (the write comes up short) instead of ending the
  // reader with everything it had not saved yet.
  std::signal(SIGXFSZ, SIG_IGN);
  lirako::CTirasolApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  // A signal during start-up already asked to quit; the destructor saves.
  if (app.quitRequested()) return 0;
  return app.exec();
}
