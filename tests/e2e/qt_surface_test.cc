#include "platform/qt/qt_surface.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include "platform/qt/glyph_warmer.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_platform.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

constexpr uint32_t kBlack = 0x00000000;
constexpr uint32_t kGreen = 0x00C8FFC8;  // back colour behind text
constexpr uint32_t kRed = 0x000000FF;    // 0x00BBGGRR

uint32_t Pixel(const QImage& image, int x, int y) {
  QRgb rgb = image.pixel(x, y);
  return static_cast<uint32_t>(qRed(rgb)) | (static_cast<uint32_t>(qGreen(rgb)) << 8) |
         (static_cast<uint32_t>(qBlue(rgb)) << 16);
}

FontSpec MakeFontSpec(int height, int escapement = 0, int weight = 400) {
  FontSpec fontSpec;
  fontSpec.face = u"Tahoma";
  fontSpec.height = height;
  fontSpec.weight = weight;
  fontSpec.escapement = escapement;
  return fontSpec;
}

// Pixels of `rect` that are neither the back colour nor black: drawn glyph ink.
int InkPixels(const QImage& image, const QRect& rect, uint32_t back) {
  int ink = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      if (Pixel(image, x, y) != back) ++ink;
    }
  }
  return ink;
}

TEST(QtFontTest, MapsTheSpecOntoAQFont) {
  QtFont normal(MakeFontSpec(17));
  EXPECT_EQ(normal.font().pixelSize(), 17);
  EXPECT_FALSE(normal.font().bold());
  EXPECT_FALSE(normal.rotated());
  FontSpec boldSpec = MakeFontSpec(20, 900, 700);
  boldSpec.clearType = true;
  QtFont bold(boldSpec);
  EXPECT_TRUE(bold.font().bold());
  EXPECT_TRUE(bold.rotated());
  EXPECT_EQ(bold.font().styleStrategy() & QFont::PreferAntialias, QFont::PreferAntialias);
  EXPECT_EQ(bold.fontSpec(), boldSpec);
  // Heights from a damaged settings file stay drawable.
  EXPECT_EQ(QtFont(MakeFontSpec(-17)).font().pixelSize(), 17);
  EXPECT_EQ(QtFont(MakeFontSpec(0)).font().pixelSize(), 12);
  EXPECT_EQ(QtFont(MakeFontSpec(INT_MAX)).font().pixelSize(), 2048);
  EXPECT_EQ(QtFont(MakeFontSpec(INT_MIN)).font().pixelSize(), 2048);
}

TEST(QtSurfaceTest, ColoursAreBlueGreenRed) {
  QtSurface surface(4, 4);
  surface.FillSolid(Rect{0, 0, 2, 4}, kRed);
  surface.FillSolid(Rect{2, 0, 4, 4}, 0x00FF0000);
  EXPECT_EQ(surface.image()->pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(surface.image()->pixel(3, 3), qRgb(0, 0, 255));
}

TEST(QtSurfaceTest, MeasuresAdvanceAndLineHeight) {
  QtFont font(MakeFontSpec(16));
  QtSurface surface(10, 10);
  surface.SelectFont(&font);
  Extent hangul = surface.MeasureText(u"한");
  Extent ab = surface.MeasureText(u"ab");
  EXPECT_EQ(hangul.height, font.metrics().ascent() + font.metrics().descent());
  EXPECT_EQ(ab.height, hangul.height);
  // A Hangul syllable is about one em wide; a Latin pair is narrower than two of them.
  EXPECT_GE(hangul.width, 12);
  EXPECT_LE(hangul.width, 20);
  EXPECT_LT(ab.width, 2 * hangul.width);
  EXPECT_EQ(surface.MeasureText(u"한한").width, 2 * hangul.width);
  // A tab counts as four blanks, as the layout measures it.
  EXPECT_EQ(surface.MeasureText(u"\t").width, surface.MeasureText(u"    ").width);
  EXPECT_EQ(surface.MeasureText(u"").width, 0);
}

TEST(QtSurfaceTest, SelectFontReturnsThePreviousFont) {
  QtFont first(MakeFontSpec(12));
  QtFont second(MakeFontSpec(14));
  QtSurface surface(10, 10);
  EXPECT_EQ(surface.SelectFont(&first), nullptr);
  EXPECT_EQ(surface.SelectFont(&second), &first);
  EXPECT_EQ(surface.SelectFont(nullptr), &second);
}

TEST(QtSurfaceTest, UprightTextCellStartsAtThePointWithTheBackColour) {
  QtFont font(MakeFontSpec(20));
  QtSurface surface(200, 100);
  surface.SelectFont(&font);
  surface.FillSolid(Rect{0, 0, 200, 100}, kBlack);
  surface.SetBackColor(kGreen);
  surface.SetTextColor(kBlack);
  Extent cell = surface.MeasureText(u"가나다");
  surface.DrawText(30, 40, u"가나다");
  const QImage& image = *surface.image();
  // The cell's corners are background (or glyph), the pixels just outside are untouched.
  EXPECT_EQ(Pixel(image, 30, 40), kGreen);
  EXPECT_EQ(Pixel(image, 30 + cell.width - 1, 40 + cell.height - 1), kGreen);
  EXPECT_EQ(Pixel(image, 29, 40), kBlack);
  EXPECT_EQ(Pixel(image, 30, 39), kBlack);
  EXPECT_EQ(Pixel(image, 30 + cell.width, 40), kBlack);
  EXPECT_EQ(Pixel(image, 30, 40 + cell.height), kBlack);
  // Hangul glyphs were drawn inside the cell.
  EXPECT_GT(InkPixels(image, QRect(30, 40, cell.width, cell.height), kGreen), 60);
}

TEST(QtSurfaceTest, RotatedTextRunsUpwardFromThePoint) {
  QtFont font(MakeFontSpec(20, 900));
  QtSurface surface(100, 200);
  surface.SelectFont(&font);
  surface.FillSolid(Rect{0, 0, 100, 200}, kBlack);
  surface.SetBackColor(kGreen);
  surface.SetTextColor(kBlack);
  Extent cell = surface.MeasureText(u"가나다");
  surface.DrawText(20, 150, u"가나다");
  const QImage& image = *surface.image();
  // The cell lies to the right of x and above y: x .. x + height, y - width .. y.
  QRect rotated(20, 150 - cell.width, cell.height, cell.width);
  EXPECT_EQ(Pixel(image, rotated.left(), rotated.bottom()), kGreen);
  EXPECT_EQ(Pixel(image, rotated.right(), rotated.top()), kGreen);
  EXPECT_EQ(Pixel(image, rotated.left() - 1, rotated.bottom()), kBlack);
  EXPECT_EQ(Pixel(image, rotated.left(), rotated.bottom() + 1), kBlack);
  EXPECT_EQ(Pixel(image, rotated.right() + 1, rotated.top()), kBlack);
  EXPECT_EQ(Pixel(image, rotated.left(), rotated.top() - 1), kBlack);
  EXPECT_GT(InkPixels(image, rotated, kGreen), 60);
}

TEST(QtSurfaceTest, TextColourInksTheGlyphs) {
  QtFont font(MakeFontSpec(24));
  QtSurface surface(100, 40);
  surface.SelectFont(&font);
  surface.SetBackColor(kBlack);
  surface.SetTextColor(0x00FFFFFF);
  surface.DrawText(0, 0, u"한");
  bool white = false;
  for (int y = 0; y < 30 && !white; ++y) {
    for (int x = 0; x < 30 && !white; ++x)
      white = Pixel(*surface.image(), x, y) == 0x00FFFFFF;
  }
  EXPECT_TRUE(white);
}

TEST(QtSurfaceTest, CopyPaintsTheRectangleOntoTheTarget) {
  QImage screenImage(40, 30, QImage::Format_RGB32);
  screenImage.fill(Qt::black);
  {
    QtSurface screen(&screenImage);
    QtPlatform platform;
    std::unique_ptr<Surface> memory = platform.CreateMemorySurface(screen, 40, 30);
    memory->FillSolid(Rect{0, 0, 40, 30}, kRed);
    memory->CopyTo(screen, Rect{10, 5, 30, 25});
  }
  EXPECT_EQ(Pixel(screenImage, 10, 5), kRed);
  EXPECT_EQ(Pixel(screenImage, 29, 24), kRed);
  EXPECT_EQ(Pixel(screenImage, 9, 5), kBlack);
  EXPECT_EQ(Pixel(screenImage, 30, 24), kBlack);
  EXPECT_EQ(Pixel(screenImage, 10, 25), kBlack);
}

TEST(QtSurfaceTest, MemorySurfaceMatchesADenseScreenPixelForPixel) {
  QImage screenImage(80, 60, QImage::Format_RGB32);
  screenImage.setDevicePixelRatio(2);
  screenImage.fill(Qt::black);
  {
    QtSurface screen(&screenImage);
    EXPECT_EQ(screen.pixelRatio(), 2);
    QtPlatform platform;
    std::unique_ptr<Surface> memory = platform.CreateMemorySurface(screen, 40, 30);
    const QImage* image = static_cast<QtSurface*>(memory.get())->image();
    EXPECT_EQ(image->size(), QSize(80, 60));
    memory->FillSolid(Rect{0, 0, 40, 30}, kBlack);
    memory->FillSolid(Rect{10, 5, 11, 6}, kRed);  // one layout pixel
    memory->CopyTo(screen, Rect{0, 0, 40, 30});
  }
  EXPECT_EQ(Pixel(screenImage, 20, 10), kRed);
  EXPECT_EQ(Pixel(screenImage, 21, 11), kRed);
  EXPECT_EQ(Pixel(screenImage, 19, 10), kBlack);
  EXPECT_EQ(Pixel(screenImage, 22, 11), kBlack);
  EXPECT_EQ(Pixel(screenImage, 20, 12), kBlack);
}

TEST(QtSurfaceTest, ZeroUnitsDrawNothing) {
  QtFont font(MakeFontSpec(16));
  QtSurface surface(60, 30);
  surface.SelectFont(&font);
  surface.FillSolid(Rect{0, 0, 60, 30}, kBlack);
  surface.SetBackColor(kGreen);
  surface.DrawText(0, 0, std::u16string(1, u'\0'));
  EXPECT_EQ(InkPixels(*surface.image(), QRect(0, 0, 60, 30), kBlack), 0);
  EXPECT_EQ(surface.MeasureText(std::u16string(u"a\0", 2)).width, surface.MeasureText(u"a").width);
}

// `text` as Qt's text layout draws it: the upright cell filled by the opaque background, the
// rotated cell filled first and the text turned about (x, y).
QImage LaidOut(const QtFont& font, QSize size, int x, int y, const QString& text, uint32_t ink) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setFont(font.font());
  painter.setPen(QtSurface::ToColor(ink));
  const QFontMetrics& metrics = font.metrics();
  if (font.rotated()) {
    painter.translate(x, y);
    painter.rotate(-90);
    painter.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                     QtSurface::ToColor(kGreen));
    painter.drawText(QPoint(0, metrics.ascent()), text);
  } else {
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(QtSurface::ToColor(kGreen));
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
  }
  return image;
}

// "" when `a` and `b` are alike, else how many pixels differ and the largest difference.
std::string Difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "sizes differ";
  int count = 0;
  int most = 0;
  QPoint at;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
      if (d == 0) continue;
      ++count;
      if (d > most) {
        most = d;
        at = QPoint(x, y);
      }
    }
  }
  if (count == 0) return "";
  return std::to_string(count) + " pixels differ, by up to " + std::to_string(most) + " at " +
         std::to_string(at.x()) + "," + std::to_string(at.y());
}

TEST(QtSurfaceTest, TextLooksExactlyAsTheTextLayoutDrawsIt) {
  // Hangul, kerned Latin pairs, punctuation and a tab are placed glyph by glyph (a text without
  // a kerned pair with each glyph's kept advance); a character the face lacks (a fallback face
  // draws it) and a combining mark are left to the layout.
  const std::u16string texts[] = {u"별빛 아래 AVAV Ta, “따옴표” …·\t끝.",
                                  u"그는 1919년, 별을 봤다.", u"a☃b 한", u"e\u0301 가"};
  for (int escapement : {0, 900}) {
    for (int weight : {400, 700}) {
      QtFont font(MakeFontSpec(20, escapement, weight));
      const int y = escapement ? 290 : 40;
      // Light ink, and dark ink blended over the light cell.
      for (uint32_t ink : {0x00FFFFFFu, 0x00402818u}) {
        for (const std::u16string& text : texts) {
          QtSurface surface(300, 300);
          surface.SelectFont(&font);
          surface.FillSolid(Rect{0, 0, 300, 300}, kBlack);
          surface.SetBackColor(kGreen);
          surface.SetTextColor(ink);
          surface.DrawText(10, y, text);
          QString shown = QString::fromStdU16String(text).replace(u'\t', QStringLiteral("    "));
          EXPECT_EQ(Difference(*surface.image(), LaidOut(font, QSize(300, 300), 10, y, shown, ink)),
                    "")
              << "ink " << ink << " escapement " << escapement << " weight " << weight << ": "
              << shown.toStdString();
        }
      }
    }
  }
}

TEST(QtGlyphTableTest, FontsOfOneKindShareOneTableThatLeavesOthersToTheLayout) {
  QtFont font(MakeFontSpec(21));
  QtGlyphTable& table = font.glyphs();
  EXPECT_EQ(&QtFont(MakeFontSpec(21)).glyphs(), &table);
  EXPECT_NE(&QtFont(MakeFontSpec(21, 0, 700)).glyphs(), &table);
  QtGlyphTable::PlacedText placed;
  ASSERT_TRUE(table.Place(QStringLiteral("한 a"), &placed));
  ASSERT_EQ(placed.glyphs.size(), 3u);
  EXPECT_EQ(placed.positions[0].x(), 0);
  EXPECT_GT(placed.positions[2].x(), placed.positions[1].x());
  EXPECT_GT(placed.width, placed.positions[2].x());
  // A character the face lacks, a combining mark and conjoining jamo.
  EXPECT_FALSE(table.Place(QStringLiteral("한☃"), &placed));
  EXPECT_FALSE(table.Place(QStringLiteral("e\u0301"), &placed));
  EXPECT_FALSE(table.Place(QStringLiteral("\u1100\u1161"), &placed));
}

TEST(GlyphWarmerTest, WarmsTheFontThatDrewUntilInputComes) {
  QtFont font(MakeFontSpec(23));
  QtSurface surface(100, 40);
  surface.SelectFont(&font);
  bool rotated = true;
  QtGlyphTable::Busiest(&rotated);  // forgets what earlier tests drew
  GlyphWarmer warmer;
  warmer.Resume(1);
  EXPECT_FALSE(warmer.running());  // no font drew since
  surface.DrawText(0, 0, u"한글");
  warmer.Resume(1);
  EXPECT_TRUE(warmer.running());
  QObject target;
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(&target, &key);
  EXPECT_FALSE(warmer.running());
}

TEST(QtPlatformWatch, AChangeOfTheFileReachesTheEventLoop) {
  testing::TempDir dir;
  const std::string book = dir.Write("book.txt", "one");
  QtPlatform platform;
  int changes = 0;
  std::unique_ptr<FileWatch> watch = platform.WatchFile(FromUtf8(book), [&changes] { ++changes; });
  ASSERT_TRUE(watch);
  auto waitForChange = [&changes] {
    QDeadlineTimer deadline(5000);
    while (changes == 0 && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return changes > 0;
  };
  dir.Write("other.txt", "not the book");
  QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
  EXPECT_EQ(changes, 0);
  dir.Write("book.txt", "two");
  EXPECT_TRUE(waitForChange());
  changes = 0;
  ASSERT_EQ(std::remove(book.c_str()), 0);
  EXPECT_TRUE(waitForChange());
}

}  // namespace
}  // namespace lirako
