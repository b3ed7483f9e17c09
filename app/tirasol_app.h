#pragma once

#include <memory>
#include <string>

#include <QApplication>

namespace lirako {

class CMainFrame;
class CTirasolDoc;
class CTirasolView;
class QtDialogRunner;
class QtPlatform;
class SignalWatcher;
class ViewForwarder;

// The application object: creates the document, the main frame and the view, gives the
// view its bars and dialogs, runs its initial update with the raw command line, shows the
// window, routes the commands the view does not own (exit, About, new document), and
// destroys the view when the main window closes.
class CTirasolApp : public QApplication {
 public:
  CTirasolApp(int& argc, char** argv);
  ~CTirasolApp() override;

  // Creates document, frame and view and opens `book` (absolute; empty: none) or else the
  // most recent file; false when start-up failed.
  bool InitInstance(const std::u16string& book);

  // Command 57664: the About box.
  void OnAbout();

  CMainFrame* mainFrame() const { return frame_.get(); }

  // SIGTERM, SIGHUP or SIGINT arrived: every event loop ends, and the view is destroyed
  // (saving everything) as after "끝내기".
  bool quitRequested() const { return quitRequested_; }

 private:
  void OnCommand(int id);
  void DestroyView();

  std::unique_ptr<QtPlatform> platform_;
  std::unique_ptr<CTirasolDoc> doc_;
  std::unique_ptr<CMainFrame> frame_;
  // The dialogs and bars run over the reader widget; the runner outlives the view.
  std::unique_ptr<QtDialogRunner> dialogs_;
  std::unique_ptr<CTirasolView> view_;
  std::unique_ptr<ViewForwarder> forwarder_;
  std::unique_ptr<SignalWatcher> signals_;
  bool quitRequested_ = false;
};

}  // namespace lirako
