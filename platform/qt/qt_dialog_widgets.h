#pragma once

#include <cstdint>
#include <functional>

#include <QComboBox>
#include <QFont>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace lirako {

// A static that paints its text in its own colours and font and reports clicks.
class QtSwatch : public QWidget {
 public:
  explicit QtSwatch(QWidget* parent);

  void SetText(const QString& text);
  const QString& text() const { return text_; }
  // Colours are 0x00BBGGRR.
  void SetColors(uint32_t textColor, uint32_t backColor);
  void SetSwatchFont(const QFont& font);
  void SetClickHandler(std::function<void()> handler) { onClick_ = std::move(handler); }

  // Room for every line of the text in the swatch's font.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString text_;
  uint32_t textColor_ = 0;
  uint32_t backColor_ = 0x00FFFFFF;
  QFont font_;
  std::function<void()> onClick_;
};

// A name that opens a list when pressed: a button with its text at the left and a down
// arrow at the right, greyed while disabled.
class QtNameButton : public QPushButton {
 public:
  QtNameButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A list box that asks for no more than its minimum size; it takes the room the dialog has.
class QtListBox : public QListWidget {
 public:
  using QListWidget::QListWidget;
  QSize sizeHint() const override { return minimumSize(); }
};

// Spin arrows attached to a buddy edit: an arrow (or the Up and Down keys in the buddy)
// steps the buddy's number within the range and writes it back.
class QtUpDown : public QWidget {
 public:
  explicit QtUpDown(QWidget* parent);

  // The edit it steps; may be null.
  void SetBuddy(QLineEdit* buddy);
  void SetRange(int minimum, int maximum);
  int position() const { return position_; }
  // Sets the position (within the range) and, with a buddy, its text; does not notify.
  void SetPosition(int position);
  // Called after a step by the user, with the new position.
  void SetStepHandler(std::function<void(int)> handler) { onStep_ = std::move(handler); }
  // One step up (`delta` 1) or down (-1), as an arrow press.
  void Step(int delta);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* buddy_ = nullptr;
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
  std::function<void(int)> onStep_;
};

// A drop-down list that reports when its list closes, with or without a choice.
class QtComboBox : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void SetCloseHandler(std::function<void()> handler) { onClose_ = std::move(handler); }
  void showPopup() override {
    open_ = true;
    QComboBox::showPopup();
  }
  // Qt also calls this when the box is hidden or destroyed; only a list that was open closes.
  void hidePopup() override {
    QComboBox::hidePopup();
    if (!open_) return;
    open_ = false;
    if (onClose_) onClose_();
  }

 private:
  std::function<void()> onClose_;
  bool open_ = false;
};

// Leading blanks, an optional sign and the digits ("," among them skipped) up to the first
// other character; 0 without any.
int LeadingNumber(const QString& text);

}  // namespace lirako
