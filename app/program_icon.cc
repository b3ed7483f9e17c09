#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace lirako {
namespace {

// Drawn on a 64 × 64 grid and scaled to each size.
constexpr int kGrid = 64;
constexpr int kSizes[] = {16, 32, 48, 64, 128};

QPixmap Draw(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(static_cast<qreal>(side) / kGrid, static_cast<qreal>(side) / kGrid);
  // The ground: a rounded green square, the colour of the About box's quotation darkened.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2E, 0x8B, 0x57));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  // Two pages of an open book.
  p.setPen(QPen(QColor(0x1D, 0x5E, 0x3A), 1.5));
  p.setBrush(QColor(0xFA, 0xFA, 0xF0));
  p.drawPolygon(QPolygonF({QPointF(8, 16), QPointF(31, 20), QPointF(31, 52), QPointF(8, 48)}));
  p.drawPolygon(QPolygonF({QPointF(56, 16), QPointF(33, 20), QPointF(33, 52), QPointF(56, 48)}));
  // Lines of text on both pages.
  p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.5));
  for (int y = 27; y <= 43; y += 5) {
    p.drawLine(QPointF(12, y - 2), QPointF(27, y + 1));
    p.drawLine(QPointF(37, y + 1), QPointF(52, y - 2));
  }
  // The bookmark ribbon over the right page.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xD0, 0x30, 0x30));
  p.drawPolygon(QPolygonF(
      {QPointF(44, 10), QPointF(50, 10), QPointF(50, 30), QPointF(47, 26), QPointF(44, 30)}));
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int side : kSizes)
    icon.addPixmap(Draw(side));
  return icon;
}

}  // namespace lirako
