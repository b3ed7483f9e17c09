#include "app/tirasol_app.h"

#include "app/find_all_dialog.h"
#include "app/library_dialog.h"
#include "app/main_frame.h"
#include "app/program_icon.h"
#include "app/signal_watcher.h"
#include "app/tirasol_doc.h"
#include "app/toc_dialog.h"
#include "app/view_forwarder.h"
#include "platform/qt/qt_dialog_runner.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_view_host.h"
#include "platform/qt/reader_widget.h"
#include "settings/about_dlg.h"
#include "settings/settings_sheet.h"
#include "view/bookmark_name_dlg.h"
#include "view/command_ids.h"
#include "view/find_dlg.h"
#include "view/jump_dlg.h"
#include "view/tirasol_view.h"
#include "view/window_placement.h"

namespace lirako {

CTirasolApp::CTirasolApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The toolkit's own profile name; the reader keeps its settings in SetParam.Dat.
  setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  setApplicationName(QStringLiteral("리라코"));
  setWindowIcon(ProgramIcon());
}

CTirasolApp::~CTirasolApp() {
  DestroyView();
  frame_.reset();
  signals_.reset();
}

bool CTirasolApp::InitInstance(const std::u16string& book) {
  // A logout or a closed terminal quits the way "끝내기" does, also from inside a dialog:
  // exit() ends the dialog's loop and the main one, and the destructor saves.
  signals_ = std::make_unique<SignalWatcher>([this](int) {
    quitRequested_ = true;
    exit(0);
  });
  platform_ = std::make_unique<QtPlatform>();
  doc_ = std::make_unique<CTirasolDoc>();
  frame_ = std::make_unique<CMainFrame>();
  dialogs_ = std::make_unique<QtDialogRunner>(&frame_->readerWidget());
  view_ = std::make_unique<CTirasolView>(*platform_, frame_->viewHost());
  CFindDlg::Install(*view_, *dialogs_, [this](FindAllModel& hits) {
    FindAllDialog::Run(hits, &frame_->readerWidget());
  });
  CJumpDlg::Install(*view_, *dialogs_);
  CBookmarkNameDlg::Install(*view_, *dialogs_);
  view_->SetModalHandler(CTirasolView::Modal::kToc, [this](CTirasolView& view) {
    TocDialog::Run(view, &frame_->readerWidget());
  });
  view_->SetModalHandler(CTirasolView::Modal::kLibrary, [this](CTirasolView& view) {
    const std::u16string book =
        ChooseFromLibrary(view.platform(), view.library(), &frame_->readerWidget());
    if (!book.empty()) view.OpenDocument(book);
  });
  view_->SetModalHandler(CTirasolView::Modal::kSettings,
                         [this](CTirasolView& view) { RunSettingsSheet(view, *dialogs_); });
  forwarder_ = std::make_unique<ViewForwarder>(*view_);
  frame_->SetCommandHandler([this](int id) { OnCommand(id); });
  frame_->SetCloseHandler([this] {
    if (view_)
      view_->readerStore().SetValue(kWindowGeometryKey, FormatWindowGeometry(frame_->NormalRect()));
    DestroyView();
  });
  frame_->viewHost().SetHotKeyHandler([this](unsigned modifiers, unsigned key) {
    if (forwarder_) forwarder_->HotKey(modifiers, key);
  });
  frame_->readerWidget().SetInput(forwarder_.get());

  doc_->SetView(view_.get());
  view_->SetRecordRecentlyUsed(true);
  view_->OnInitialUpdate(book);
  // The store is read by the initial update; the window opens where it was closed last.
  frame_->PlaceAt(
      InitialWindowRect(view_->readerStore().Value(kWindowGeometryKey), frame_->AvailableRect()));

  frame_->show();
  frame_->readerWidget().update();
  return true;
}

void CTirasolApp::OnCommand(int id) {
  switch (id) {
    case kCmdExit:
      frame_->close();
      break;
    case kCmdAbout:
      OnAbout();
      break;
    case kCmdFileNew:
      // The framework's new-document command leaves the single document and view as they are.
      break;
    default:
      if (view_) view_->OnCommand(id);
      break;
  }
}

void CTirasolApp::OnAbout() {
  if (dialogs_) ShowAboutBox(*dialogs_);
}

void CTirasolApp::DestroyView() {
  if (!view_) return;
  if (frame_) frame_->readerWidget().SetInput(nullptr);
  doc_->SetView(nullptr);
  forwarder_.reset();
  view_.reset();
}

}  // namespace lirako
