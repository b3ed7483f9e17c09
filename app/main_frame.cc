#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QString>
#include <QToolBar>

#include "app/tool_bar_icon.h"
#include "platform/qt/qt_menu.h"
#include "platform/qt/qt_view_host.h"
#include "platform/qt/reader_widget.h"
#include "view/window_placement.h"

namespace lirako {
namespace {}  // namespace

CMainFrame::CMainFrame() {
  setWindowTitle(QStringLiteral("리라코"));
  reader_ = new ReaderWidget(this);
  setCentralWidget(reader_);
  host_ = std::make_unique<QtViewHost>(*reader_, *this);

  QMenu* top = menuBar()->addMenu(QString::fromStdU16String(MainMenuTitle()));
  menu_ = std::make_unique<QtMenu>(top, [this](int id) { Command(id); });
  BuildMenu(top, MainMenuItems());
  BuildToolBar();
  BuildAccelerators();
  PlaceInitially();
  // Lay the frame out now, so the view's initial update sees its real client rectangle.
  layout()->activate();
  reader_->setFocus();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::Command(int id) {
  if (commandHandler_) commandHandler_(id);
}

void CMainFrame::BuildMenu(QMenu* menu, const std::vector<MenuItemData>& items) {
  for (const MenuItemData& item : items) {
    switch (item.kind) {
      case MenuItemData::kSeparator:
        menu->addSeparator();
        break;
      case MenuItemData::kPopup:
        BuildMenu(menu->addMenu(QString::fromStdU16String(item.text)), item.items);
        break;
      case MenuItemData::kCommand: {
        QAction* action = menu->addAction(QString::fromStdU16String(item.text));
        action->setData(item.id);
        // The menu shows the key beside the text; the key itself reaches the reader widget
        // or the accelerators, so the action takes it only while its menu has the focus.
        const std::u16string shortcut = ShortcutText(item.id);
        if (!shortcut.empty()) {
          action->setShortcut(QKeySequence(QString::fromStdU16String(shortcut)));
          action->setShortcutContext(Qt::WidgetShortcut);
        }
        int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { Command(id); });
        break;
      }
    }
  }
}

void CMainFrame::BuildToolBar() {
  toolBar_ = addToolBar(QString::fromStdU16String(MainMenuTitle()));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setFocusPolicy(Qt::NoFocus);
  for (int id : ToolBarCommands()) {
    if (id == 0) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* action =
        toolBar_->addAction(ToolBarIcon(id), QString::fromStdU16String(CommandText(id)));
    action->setToolTip(QString::fromStdU16String(CommandText(id)));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
  }
}

void CMainFrame::BuildAccelerators() {
  for (const Accelerator& accelerator : AcceleratorTable()) {
    const Qt::Key key = accelerator.key == kAccelPageUp     ? Qt::Key_PageUp
                        : accelerator.key == kAccelPageDown ? Qt::Key_PageDown
                                                            : static_cast<Qt::Key>(accelerator.key);
    const Qt::KeyboardModifiers modifiers =
        accelerator.shift ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
    auto* shortcut = new QShortcut(QKeySequence(modifiers | key), this);
    shortcut->setContext(Qt::WindowShortcut);
    int id = accelerator.id;
    connect(shortcut, &QShortcut::activated, this, [this, id] { Command(id); });
  }
}

void CMainFrame::PlaceInitially() {
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  PlaceAt(FirstRunWindowRect(
      Rect{available.left(), available.top(), available.right() + 1, available.bottom() + 1}));
}

Rect CMainFrame::AvailableRect() const {
  QScreen* current = screen() ? screen() : QGuiApplication::primaryScreen();
  QRect available = current ? current->availableGeometry() : QRect(0, 0, 1024, 768);
  return Rect{available.left(), available.top(), available.right() + 1, available.bottom() + 1};
}

void CMainFrame::PlaceAt(const Rect& rect) {
  // The window's own rectangle, without the frame: the rectangle full screen gives back.
  setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

Rect CMainFrame::NormalRect() const {
  QRect normal = isFullScreen_ ? savedRect_ : normalGeometry();
  if (!normal.isValid()) normal = geometry();
  return Rect{normal.left(), normal.top(), normal.left() + normal.width(),
              normal.top() + normal.height()};
}

void CMainFrame::ToggleFullScreen() {
  if (isFullScreen_) {
    LeaveFullScreen();
  } else {
    EnterFullScreen();
  }
}

void CMainFrame::EnterFullScreen() {
  isFullScreen_ = true;
  menuBar()->hide();
  toolBar_->hide();
  if (!(windowState() & Qt::WindowFullScreen)) showFullScreen();
  // The whole screen also where no window manager applies the full-screen state.
  if (QScreen* current = screen()) {
    if (geometry() != current->geometry()) setGeometry(current->geometry());
  }
}

void CMainFrame::LeaveFullScreen() {
  isFullScreen_ = false;
  menuBar()->show();
  toolBar_->show();
  showNormal();
  setGeometry(savedRect_);
}

Menu* CMainFrame::MainMenu() {
  return menu_.get();
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Qt creates the native window when it is first shown; its rectangle then is the one that
  // leaving full-screen mode restores.
  if (!rectSaved_) {
    savedRect_ = geometry();
    rectSaved_ = true;
  }
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Another window may have brought the desktop's panels back; keep the page on top.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && isFullScreen_) {
    EnterFullScreen();
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (closeHandler_) closeHandler_();
  event->accept();
}

}  // namespace lirako
