// Measures one full paint of the reader page with the Qt platform on the offscreen platform:
// the text font, the QImage offscreen surface, the layout, the lines (justified), the
// position bar and the block copy onto the screen image, exactly as the window paints.
//
//   paint_bench [--book FILE] [--size W,H] [--paints N]
//
// Default: the bundled sample book, a 480 × 800 page, default settings, 300 paints per case.
// Times are per paint; CPU time of the process and wall-clock time are both given.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "platform/headless/headless_view_host.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_surface.h"
#include "view/main_menu.h"
#include "view/tirasol_view.h"

namespace lirako::bench {
namespace {

struct Clock {
  double cpu;
  double wall;
};

Clock Now() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return {static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9, wall};
}

struct Figures {
  std::vector<double> cpu;
  std::vector<double> wall;
};

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t i = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[i];
}

void Print(const char* label, const Figures& f) {
  std::printf("%-44s %8.3f %8.3f %8.3f %8.3f\n", label, Percentile(f.cpu, 0.5) * 1e3,
              Percentile(f.cpu, 0.95) * 1e3, Percentile(f.wall, 0.5) * 1e3,
              Percentile(f.wall, 0.95) * 1e3);
}

// One reader view painting into a screen image of the page size.
class Painter {
 public:
  Painter(QtPlatform& platform, int width, int height, bool landscape)
      : host_(width, height, MainMenuItems()),
        view_(platform, host_),
        screen_(width, height, QImage::Format_RGB32) {
    ReaderSettings settings = view_.settings();
    settings.landscape = landscape ? 1 : 0;
    view_.SetSettings(settings);
    // The engine is made here, as the view would make it, to be sent back to the start.
    view_.SetEngineFactory([this](Platform& p, const std::u16string& path) {
      std::unique_ptr<CTextEngine> made = CreateTextEngine(p, path);
      engine_ = made.get();
      return made;
    });
  }

  bool Open(const std::u16string& path) { return view_.OpenDocument(path); }
  CTirasolView& view() { return view_; }
  CTextEngine& engine() { return *engine_; }

  // One paint; returns its duration.
  Clock Paint() {
    QtSurface screen(&screen_);
    Clock start = Now();
    view_.PaintPage(screen);
    Clock end = Now();
    return {end.cpu - start.cpu, end.wall - start.wall};
  }

 private:
  HeadlessViewHost host_;
  CTirasolView view_;
  QImage screen_;
  CTextEngine* engine_ = nullptr;
};

void Add(Figures& f, Clock c) {
  f.cpu.push_back(c.cpu);
  f.wall.push_back(c.wall);
}

int Run(const std::u16string& book, const std::string& bookName, int width, int height,
        int paints) {
  QtPlatform platform;
  std::printf("Paint of a %d x %d page with default settings (Qt raster, offscreen), %s\n", width,
              height, bookName.c_str());
  std::printf("%-44s %8s %8s %8s %8s\n", "case (milliseconds per paint)", "cpu p50", "cpu p95",
              "wall p50", "wall p95");
  for (bool landscape : {false, true}) {
    // The first paint of a fresh view also builds the glyph width table.
    Figures first;
    for (int i = 0; i < std::max(3, paints / 30); ++i) {
      Painter fresh(platform, width, height, landscape);
      if (!fresh.Open(book)) {
        std::fprintf(stderr, "paint_bench: cannot open the book\n");
        return 1;
      }
      Add(first, fresh.Paint());
    }
    Painter painter(platform, width, height, landscape);
    painter.Open(book);
    painter.Paint();
    // The same page again: font, surface, drawing and copy without any layout work.
    Figures repaint;
    for (int i = 0; i < paints; ++i)
      Add(repaint, painter.Paint());
    // A page turn per paint through the book, back to the start at its end.
    Figures turn;
    for (int i = 0; i < paints; ++i) {
      CTirasolView& view = painter.view();
      if (painter.engine().IsAtEnd()) {
        painter.engine().GoToStart();
        view.RequestStep(kStepPageForward);
        painter.Paint();
      }
      view.RequestStep(kStepPageForward);
      Add(turn, painter.Paint());
    }
    const char* orientation = landscape ? "landscape" : "portrait";
    Print((std::string(orientation) + ": first paint (measures glyphs)").c_str(), first);
    Print((std::string(orientation) + ": repaint of the same page").c_str(), repaint);
    Print((std::string(orientation) + ": paint with a page turn").c_str(), turn);
  }
  return 0;
}

}  // namespace
}  // namespace lirako::bench

int main(int argc, char** argv) {
  std::string book = LIRAKO_SOURCE_DIR "/samples/byeolbit.txt";
  int width = 480;
  int height = 800;
  int paints = 300;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--book" && i + 1 < argc) {
      book = argv[++i];
    } else if (a == "--size" && i + 1 < argc &&
               std::sscanf(argv[i + 1], "%d,%d", &width, &height) == 2 && width > 0 && height > 0) {
      ++i;
    } else if (a == "--paints" && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
      paints = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: paint_bench [--book FILE] [--size W,H] [--paints N]\n");
      return 2;
    }
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);
  std::u16string path = QString::fromLocal8Bit(QByteArray::fromStdString(book)).toStdU16String();
  std::string name = book.substr(book.find_last_of('/') + 1);
  return lirako::bench::Run(path, name, width, height, paints);
}
