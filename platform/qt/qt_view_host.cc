#include "platform/qt/qt_view_host.h"

#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QShortcut>
#include <QString>
#include <QWidget>

#include "platform/input_codes.h"
#include "platform/qt/frame_host.h"
#include "platform/qt/reader_widget.h"
#include "platform/utf.h"

namespace lirako {

QtViewHost::QtViewHost(ReaderWidget& widget, FrameHost& frame) : widget_(widget), frame_(frame) {}

QtViewHost::~QtViewHost() = default;

Rect QtViewHost::ClientRect() {
  return Rect{0, 0, widget_.width(), widget_.height()};
}

void QtViewHost::Invalidate() {
  widget_.update();
}

void QtViewHost::SetTimer(int id, unsigned periodMs) {
  widget_.StartTimer(id, periodMs);
}

void QtViewHost::PostEvent(int id) {
  widget_.PostEvent(id);
}

void QtViewHost::KillTimer(int id) {
  widget_.StopTimer(id);
}

bool QtViewHost::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  if (virtualKey < kVkApp1 || virtualKey > kVkApp5) return false;
  int functionKey = Qt::Key_F1 + static_cast<int>(virtualKey - kVkApp1);
  auto shortcut = std::make_unique<QShortcut>(QKeySequence(functionKey), frame_.MainWindow());
  // Application-wide, so a hot key works from any of the reader's windows; the shortcut
  // map holds it back while a modal dialog is in front.
  shortcut->setContext(Qt::ApplicationShortcut);
  shortcut->setAutoRepeat(true);
  QObject::connect(shortcut.get(), &QShortcut::activated, shortcut.get(),
                   [this, modifiers, virtualKey] {
                     if (hotKeyHandler_) hotKeyHandler_(modifiers, virtualKey);
                   });
  hotKeys_[id] = std::move(shortcut);
  return true;
}

void QtViewHost::UnregisterHotKey(int id) {
  hotKeys_.erase(id);
}

void QtViewHost::SetHotKeyHandler(std::function<void(unsigned, unsigned)> handler) {
  hotKeyHandler_ = std::move(handler);
}

void QtViewHost::CreateScrollBar(const Rect& rect) {
  widget_.CreateScrollBar(rect);
}

void QtViewHost::SetScrollRange(int minimum, int maximum) {
  widget_.SetScrollRange(minimum, maximum);
}

void QtViewHost::SetScrollPosition(int position) {
  widget_.SetScrollPosition(position);
}

void QtViewHost::ShowScrollBar(bool show) {
  widget_.ShowScrollBar(show);
}

void QtViewHost::MoveScrollBar(const Rect& rect) {
  widget_.MoveScrollBar(rect);
}

void QtViewHost::SetTitle(const std::u16string& title) {
  frame_.MainWindow()->setWindowTitle(QString::fromStdU16String(title));
}

void QtViewHost::ToggleFullScreen() {
  frame_.ToggleFullScreen();
}

bool QtViewHost::IsFullScreen() {
  return frame_.IsFullScreenMode();
}

void QtViewHost::CloseMainWindow() {
  QMetaObject::invokeMethod(frame_.MainWindow(), &QWidget::close, Qt::QueuedConnection);
}

Menu* QtViewHost::MainMenu() {
  return frame_.MainMenu();
}

Foreground QtViewHost::ForegroundWindow() {
  QWidget* active = QApplication::activeWindow();
  if (!active) return Foreground::kOtherProgram;
  if (active == frame_.MainWindow()) return Foreground::kMainWindow;
  return Foreground::kOwnDialog;
}

void QtViewHost::BringMainWindowToFront() {
  QWidget* window = frame_.MainWindow();
  window->raise();
  window->activateWindow();
}

int QtViewHost::MessageBox(const std::u16string& text, const std::u16string& caption,
                           unsigned flags) {
  QMessageBox box(frame_.MainWindow());
  box.setWindowTitle(QString::fromStdU16String(caption));
  box.setText(QString::fromStdU16String(text));
  box.setIcon((flags & kMbIconInformation) ? QMessageBox::Information : QMessageBox::NoIcon);
  // The buttons speak the interface's language: "확인" and "취소".
  QPushButton* ok = box.addButton(QStringLiteral("확인"), QMessageBox::AcceptRole);
  if (flags & kMbOkCancel) {
    box.setEscapeButton(box.addButton(QStringLiteral("취소"), QMessageBox::RejectRole));
  }
  box.setDefaultButton(ok);
  box.exec();
  return box.clickedButton() == ok ? kIdOk : kIdCancel;
}

std::u16string QtViewHost::QtFileFilter(const std::u16string& filter) {
  QStringList parts = QString::fromStdU16String(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      // On Linux "*.*" would skip files without an extension; "all files" means all.
      if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    }
    if (description.isEmpty() || patterns.isEmpty()) continue;
    // Qt reads the patterns from the parenthesis that ends the description.
    qsizetype open = description.lastIndexOf(u'(');
    if (description.endsWith(u')') && open > 0) description = description.left(open).trimmed();
    filters << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return filters.join(QStringLiteral(";;")).toStdU16String();
}

namespace {

// The chosen file by its name's exact bytes: Qt shows a name that is not UTF-8 with U+FFFD in
// place of its bytes, so such a name is found among its folder's entries by how Qt shows them.
std::u16string ExactPath(const QString& chosen) {
  const std::string lossy = QFile::encodeName(chosen).toStdString();
  if (!chosen.contains(QChar::ReplacementCharacter)) return PathFromBytes(lossy);
  const QFileInfo info(chosen);
  const std::filesystem::path folder(QFile::encodeName(info.absolutePath()).toStdString());
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().native();
    if (QFile::decodeName(QByteArray::fromStdString(name)) == info.fileName())
      return PathFromBytes(entry.path().native());
  }
  return PathFromBytes(lossy);
}

}  // namespace

bool QtViewHost::ChooseFileToOpen(const std::u16string& filter, std::u16string* path) {
  QString chosen = QFileDialog::getOpenFileName(frame_.MainWindow(), QString(), QString(),
                                                QString::fromStdU16String(QtFileFilter(filter)));
  if (chosen.isEmpty()) return false;
  *path = ExactPath(chosen);
  return true;
}

}  // namespace lirako
