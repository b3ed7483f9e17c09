#include "app/tirasol_app.h"

int main(int argc, char** argv) {
  lirako::CTirasolApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  return app.exec();
}
