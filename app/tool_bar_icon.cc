#include "app/tool_bar_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

#include "view/command_ids.h"

namespace lirako {
namespace {

constexpr int kIconSize = 16;

void DrawOpen(QPainter& p) {
  // A folder.
  p.setBrush(QColor(0xE8, 0xC0, 0x50));
  p.drawPolygon(QPolygon(
      {QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(14, 5), QPoint(14, 13), QPoint(1, 13)}));
  p.setBrush(QColor(0xF8, 0xDC, 0x78));
  p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
}

void DrawAutoRefresh(QPainter& p) {
  // A page with a downward arrow: the text moves by itself.
  p.setBrush(Qt::white);
  p.drawRect(2, 1, 9, 13);
  p.drawLine(4, 4, 9, 4);
  p.drawLine(4, 6, 9, 6);
  p.setBrush(QColor(0x20, 0x90, 0x20));
  p.drawPolygon(QPolygon({QPoint(10, 8), QPoint(15, 8), QPoint(12, 14)}));
}

void DrawBookmark(QPainter& p) {
  // A ribbon.
  p.setBrush(QColor(0xD0, 0x30, 0x30));
  p.drawPolygon(
      QPolygon({QPoint(4, 1), QPoint(12, 1), QPoint(12, 15), QPoint(8, 11), QPoint(4, 15)}));
}

void DrawFind(QPainter& p) {
  // A magnifying glass.
  p.setBrush(QColor(0xC8, 0xE8, 0xFF));
  p.drawEllipse(1, 1, 9, 9);
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(9, 9, 14, 14);
}

void DrawJump(QPainter& p) {
  // An arrow to a bar.
  p.setBrush(QColor(0x30, 0x60, 0xD0));
  p.drawPolygon(QPolygon({QPoint(1, 6), QPoint(7, 6), QPoint(7, 3), QPoint(12, 8), QPoint(7, 13),
                          QPoint(7, 10), QPoint(1, 10)}));
  p.drawRect(13, 2, 1, 12);
}

void DrawToc(QPainter& p) {
  // A list: bullets with lines of text.
  p.setBrush(Qt::black);
  for (int y : {3, 8, 13}) {
    p.drawRect(1, y - 1, 2, 2);
    p.drawLine(5, y, 14, y);
  }
}

void DrawSettings(QPainter& p) {
  // A cog wheel.
  p.setBrush(QColor(0x80, 0x80, 0x80));
  for (int angle = 0; angle < 180; angle += 45) {
    p.save();
    p.translate(8, 8);
    p.rotate(angle);
    p.drawRect(-1, -7, 2, 14);
    p.restore();
  }
  p.drawEllipse(3, 3, 10, 10);
  p.setBrush(Qt::white);
  p.drawEllipse(6, 6, 4, 4);
}

}  // namespace

QIcon ToolBarIcon(int id) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  switch (id) {
    case kCmdFileOpen:
      DrawOpen(p);
      break;
    case kCmdAutoRefresh:
      DrawAutoRefresh(p);
      break;
    case kCmdSetBookmark:
      DrawBookmark(p);
      break;
    case kCmdFind:
      DrawFind(p);
      break;
    case kCmdJump:
      DrawJump(p);
      break;
    case kCmdToc:
      DrawToc(p);
      break;
    case kCmdSettings:
      DrawSettings(p);
      break;
    default:
      p.drawRect(1, 1, 13, 13);
      break;
  }
  p.end();
  return QIcon(pixmap);
}

}  // namespace lirako
