// lirakotool render: paints one page with the Qt renderer, without a display, into a PNG.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "platform/headless/headless_view_host.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_surface.h"
#include "store/settings_file.h"
#include "tools/command.h"
#include "tools/engine_session.h"
#include "tools/engine_step.h"
#include "view/main_menu.h"
#include "view/tirasol_view.h"

namespace lirako::tool {
namespace {

// A portrait page of the pocket computer's proportions, a little larger.
constexpr int kDefaultWidth = 480;
constexpr int kDefaultHeight = 800;

std::u16string ToPath(const std::string& local) {
  return QString::fromLocal8Bit(QByteArray::fromStdString(local)).toStdU16String();
}

bool ParseSize(const std::string& text, int* width, int* height) {
  size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  char* end = nullptr;
  long w = std::strtol(text.c_str(), &end, 10);
  if (end != text.c_str() + comma) return false;
  long h = std::strtol(text.c_str() + comma + 1, &end, 10);
  if (*end != '\0' || w <= 0 || h <= 0 || w > 10000 || h > 10000) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

int Render(const std::vector<std::string>& args) {
  std::string file;
  std::string out;
  std::string settingsPath;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  std::vector<std::string> steps;
  std::optional<TextEncoding> encoding;
  // The reader's own defaults do not apply: every typesetting option is off unless given.
  Typography typography;
  // Nor do the reader's line length and pages side by side: one column over the whole width.
  PageShape shape;
  bool shapeGiven = false;
  // The status line at the page's foot, as the reader's "쪽 정보" draws it.
  bool status = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (ParseTypographyOption(args, &i, &typography, &error)) continue;
    if (!error.empty()) return Fail(error);
    if (ParseShapeOption(args, &i, &shape, &shapeGiven, &error)) continue;
    if (!error.empty()) return Fail(error);
    if (ParseIndentOption(args, &i, &typography, &error)) continue;
    if (!error.empty()) return Fail(error);
    if (ParseBlankLinesOption(args, &i, &typography, &error)) continue;
    if (!error.empty()) return Fail(error);
    if (ParseParagraphGapOption(args, &i, &typography, &error)) continue;
    if (!error.empty()) return Fail(error);
    const std::string& a = args[i];
    if (a == "--out" || a == "--size" || a == "--settings" || a == "--encoding" ||
        a == "--status") {
      if (i + 1 >= args.size()) return Fail(a + " needs a value");
      const std::string& value = args[++i];
      if (a == "--status") {
        if (value != "0" && value != "1") return Fail("--status takes 0 or 1");
        status = value == "1";
      } else if (a == "--encoding") {
        if (!ParseEncodingOption(value, &encoding))
          return Fail("--encoding takes auto, cp949, utf-8, utf-16le or utf-16be");
      } else if (a == "--out") {
        out = value;
      } else if (a == "--settings") {
        settingsPath = value;
      } else if (!ParseSize(value, &width, &height)) {
        return Fail("--size wants W,H in pixels, got '" + value + "'");
      }
    } else if (file.empty()) {
      file = a;
    } else {
      steps.push_back(a);
    }
  }
  if (file.empty() || out.empty()) return Fail("render needs FILE and --out PNG");

  // No display is needed: the offscreen platform has the same fonts and raster engine.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "lirakotool";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);

  QtPlatform platform;
  HeadlessViewHost host(width, height, MainMenuItems());
  CTirasolView view(platform, host);
  // The engine the view reads the book with, made here so that the steps can run on it as
  // lirakotool layout runs them; without --encoding, in the encoding detected, as the view's
  // own would be.
  CTextEngine* engine = nullptr;
  view.SetEngineFactory([encoding, &engine](Platform& p, const std::u16string& path) {
    std::unique_ptr<CTextEngine> made = CreateTextEngine(p, path, encoding);
    engine = made.get();
    return made;
  });
  if (!settingsPath.empty()) {
    ReaderSettings settings = view.settings();
    SettingsFileStatus status = ReadSettingsFile(platform, ToPath(settingsPath), settings);
    if (!status.used) return Fail("cannot use the settings file '" + settingsPath + "'");
    view.SetSettings(settings);
  }
  view.SetTypography(typography);
  view.SetPageOptions(PageOptions{.measure = shape.measure,
                                  .columns = shape.columns,
                                  .gutter = shape.gutter,
                                  .status = status});
  std::string reason;
  if (!view.OpenDocument(ToPath(file), &reason))
    return Fail("cannot open '" + file + "': " + reason);
  if (status) {
    // The status line names the chapter once the scan has told the view, as in the window.
    for (bool scanning = true; scanning;) {
      scanning = view.chapters().state() == ChapterList::State::kScanning;
      for (int id : host.TakeEvents(std::chrono::milliseconds(scanning ? 100 : 0)))
        view.OnEvent(id);
    }
  }

  // Without steps the page is the one the reader shows after opening the book.
  if (steps.empty()) steps.push_back("next");
  QImage image(width, height, QImage::Format_RGB32);
  {
    QtSurface screen(&image);
    // A paint without a step measures the glyphs and lays the page geometry out, leaving
    // the engine where lirakotool layout starts: opened, before its first page step.
    view.RequestStep(kStepNone);
    view.PaintPage(screen);
    for (const std::string& step : steps) {
      if (!RunEngineStep(engine, step)) return Fail("unknown step '" + step + "'");
    }
    view.PaintPage(screen);
  }
  if (!image.save(QString::fromLocal8Bit(QByteArray::fromStdString(out)), "PNG")) {
    return Fail("cannot write '" + out + "'");
  }
  std::printf("position %d size %d\n", static_cast<int>(view.pagePosition()),
              static_cast<int>(view.bookSize()));
  return 0;
}

const CommandRegistration kRender({
    "render",
    "  render FILE --out PNG [--size W,H] [--settings SetParam.Dat]\n"
    "         [--encoding auto|cp949|utf-8|utf-16le|utf-16be] STEP...\n"
    "         [--kinsoku 0|1] [--keep-all 0|1] [--join-lines 0|1] (each 0)\n"
    "         [--measure N] [--columns auto|1|2] [--gutter PX] [--indent N]\n"
    "         [--blank-lines keep|collapse] [--paragraph-gap PERCENT] (as lirakotool layout)\n"
    "         [--status 0|1]\n"
    "      paint the page with the Qt renderer (no display needed) after the steps of\n"
    "      lirakotool layout: start end next prev down up pos=N frac=F (none: next);\n"
    "      the settings file's or the default settings; default size 480,800; --status 1\n"
    "      draws the status line (chapter, place) at the page's foot",
    Render,
});

}  // namespace
}  // namespace lirako::tool
