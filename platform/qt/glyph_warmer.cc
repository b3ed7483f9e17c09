#include "platform/qt/glyph_warmer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QtMath>

#include "platform/qt/qt_glyph_table.h"

namespace lirako {
namespace {

// Characters warmed at a time (each at up to four offsets), and the time after which a pass
// returns to the event loop: input waits for at most one pass.
constexpr int kGlyphsPerStep = 2;
constexpr qint64 kPassNanoseconds = 500000;

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

}  // namespace

GlyphWarmer::~GlyphWarmer() {
  Stop();
}

void GlyphWarmer::Resume(qreal pixelRatio) {
  bool rotated = false;
  std::shared_ptr<QtGlyphTable> busiest = QtGlyphTable::Busiest(&rotated);
  if (busiest) {
    table_ = std::move(busiest);
    rotated_ = rotated;
  }
  if (!table_) return;
  if (scratch_.isNull() || scratch_.devicePixelRatio() != pixelRatio) {
    // The page's format and density, so that the glyphs land in the cache the page uses.
    scratch_ = QImage(qCeil(64 * pixelRatio), qCeil(64 * pixelRatio), QImage::Format_RGB32);
    scratch_.setDevicePixelRatio(pixelRatio);
  }
  if (!timer_.isActive()) {
    QCoreApplication::instance()->installEventFilter(this);
    timer_.start(0, this);
  }
}

void GlyphWarmer::Stop() {
  if (!timer_.isActive()) return;
  timer_.stop();
  if (QCoreApplication* application = QCoreApplication::instance())
    application->removeEventFilter(this);
}

bool GlyphWarmer::eventFilter(QObject*, QEvent* event) {
  if (IsInput(event->type())) Stop();
  return false;
}

void GlyphWarmer::timerEvent(QTimerEvent* event) {
  if (event->timerId() != timer_.timerId()) {
    QObject::timerEvent(event);
    return;
  }
  QPainter painter(&scratch_);
  painter.translate(32, 32);
  if (rotated_) painter.rotate(-90);
  QElapsedTimer pass;
  pass.start();
  bool more = true;
  while (more && pass.nsecsElapsed() < kPassNanoseconds)
    more = table_->Warm(painter, rotated_, kGlyphsPerStep);
  painter.end();
  if (!more) Stop();
}

}  // namespace lirako
