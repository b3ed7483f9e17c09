#include "platform/qt/qt_dialog_widgets.h"

#include <algorithm>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace lirako {

namespace {

QColor FromColorRef(uint32_t color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// The smallest swatch, and the room around its text.
constexpr int kSwatchWidth = 40;
constexpr int kSwatchHeight = 24;
constexpr int kSwatchPadding = 4;

}  // namespace

int LeadingNumber(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  qint64 value = 0;
  // Thousands separators, as the period edit shows them, do not end the number.
  for (; i < text.size() && ((text[i] >= u'0' && text[i] <= u'9') || text[i] == u','); ++i) {
    if (text[i] == u',') continue;
    value = std::min<qint64>(value * 10 + (text[i].unicode() - u'0'), 0x7FFFFFFF);
  }
  return static_cast<int>(negative ? -value : value);
}

QtSwatch::QtSwatch(QWidget* parent) : QWidget(parent), font_(parent->font()) {
  setMinimumSize(24, 16);
}

void QtSwatch::SetText(const QString& text) {
  text_ = text;
  updateGeometry();
  update();
}

void QtSwatch::SetColors(uint32_t textColor, uint32_t backColor) {
  textColor_ = textColor;
  backColor_ = backColor;
  update();
}

void QtSwatch::SetSwatchFont(const QFont& font) {
  font_ = font;
  updateGeometry();
  update();
}

QSize QtSwatch::sizeHint() const {
  const QFontMetrics metrics(font_);
  const QSize text = metrics.boundingRect(QRect(), Qt::AlignCenter, text_).size();
  return QSize(std::max(kSwatchWidth, text.width() + 2 * kSwatchPadding),
               std::max(kSwatchHeight, text.height() + 2 * kSwatchPadding));
}

void QtSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), FromColorRef(backColor_));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setFont(font_);
  painter.setPen(isEnabled() ? FromColorRef(textColor_)
                             : palette().color(QPalette::Disabled, QPalette::WindowText));
  painter.drawText(rect(), Qt::AlignCenter, text_);
}

void QtSwatch::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      isEnabled() && onClick_) {
    onClick_();
  }
}

void QtNameButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
  const QRect inner = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  const int arrowSide = std::min(inner.height(), fontMetrics().height());
  QStyleOption arrow = option;
  arrow.rect =
      QRect(inner.right() - arrowSide, inner.center().y() - arrowSide / 2, arrowSide, arrowSide);
  style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
  style()->drawItemText(&painter, inner.adjusted(0, 0, -arrowSide, 0),
                        Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), text(),
                        QPalette::ButtonText);
}

QtUpDown::QtUpDown(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* up = new QToolButton(this);
  auto* down = new QToolButton(this);
  up->setArrowType(Qt::UpArrow);
  down->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {up, down}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 12);
    layout->addWidget(button);
  }
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(up, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void QtUpDown::SetBuddy(QLineEdit* buddy) {
  if (buddy_ != nullptr) buddy_->removeEventFilter(this);
  buddy_ = buddy;
  if (buddy_ != nullptr) buddy_->installEventFilter(this);
}

void QtUpDown::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = std::clamp(position_, std::min(minimum, maximum), std::max(minimum, maximum));
}

void QtUpDown::SetPosition(int position) {
  position_ = std::clamp(position, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
  if (buddy_ != nullptr) {
    QSignalBlocker block(buddy_);
    buddy_->setText(QString::number(position_));
  }
}

void QtUpDown::Step(int delta) {
  if (!isEnabled()) return;
  const int current = buddy_ != nullptr ? LeadingNumber(buddy_->text()) : position_;
  position_ =
      std::clamp(current + delta, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
  if (buddy_ != nullptr) buddy_->setText(QString::number(position_));
  if (onStep_) onStep_(position_);
}

bool QtUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lirako
