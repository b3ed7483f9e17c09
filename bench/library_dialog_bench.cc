// Times the dialog "서재" over a library as the reader shows it, on Qt's offscreen platform:
//   library_dialog_bench DIR [RUNS]
// opens DIR/library.sqlite3 (see library_writer) and shows the dialog RUNS times (default 10),
// from the call until its list is first painted; prints
// "library_dialog BOOKS median_wall_ms median_cpu_ms".
#include <time.h>
#include <QApplication>
#include <QEvent>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/library_dialog.h"
#include "platform/headless/headless_platform.h"
#include "store/library.h"

namespace {

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Notes the moment the dialog's list is first painted, and closes the dialog then.
class FirstPaint : public QObject {
 public:
  bool painted = false;
  std::chrono::steady_clock::time_point wall;
  double cpu = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!painted && event->type() == QEvent::Paint && watched->parent() &&
        qobject_cast<QTableView*>(watched->parent())) {
      painted = true;
      wall = std::chrono::steady_clock::now();
      cpu = CpuMs();
      QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
      });
    }
    return false;
  }
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lirako;
  if (argc < 2) {
    std::fprintf(stderr, "usage: library_dialog_bench DIR [RUNS]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  HeadlessPlatform platform;
  Library library;
  std::string err;
  if (library.Open(std::string(argv[1]) + "/library.sqlite3", &err) == Library::Opened::kFailed) {
    std::fprintf(stderr, "library_dialog_bench: %s\n", err.c_str());
    return 1;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int i = 0; i < runs; ++i) {
    FirstPaint watcher;
    app.installEventFilter(&watcher);
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuMs();
    ChooseFromLibrary(platform, library, nullptr);
    app.removeEventFilter(&watcher);
    if (!watcher.painted) {
      std::fprintf(stderr, "library_dialog_bench: the list was never painted\n");
      return 1;
    }
    wall.push_back(std::chrono::duration<double, std::milli>(watcher.wall - start).count());
    cpu.push_back(watcher.cpu - cpuStart);
  }
  std::printf("library_dialog %zu %.1f %.1f\n", library.Count(), Median(wall), Median(cpu));
  return 0;
}
