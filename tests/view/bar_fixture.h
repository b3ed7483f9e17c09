#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/text_engine.h"
#include "engine/text_line.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/headless_view_host.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"
#include "tests/support/view_internals.h"
#include "view/bookmark_name_dlg.h"
#include "view/find_dlg.h"
#include "view/jump_dlg.h"
#include "view/main_menu.h"
#include "view/tirasol_view.h"

namespace lirako::testing {

// A display line with a fixed text.
class FixedLine : public CTextLine {
 public:
  explicit FixedLine(std::u16string text) : text_(std::move(text)) {}
  void GetText(std::u16string* text) const override { *text = text_; }
  int32_t textLength() const override { return static_cast<int32_t>(text_.size()); }

 private:
  std::u16string text_;
};

// An engine whose size, position, search hits and top line are set by the test, and which
// records what the view and the bars ask of it.
class ScriptedEngine : public CTextEngine {
 public:
  struct Search {
    std::u16string text;
    int options = 0;
  };

  explicit ScriptedEngine(Platform& platform) : CTextEngine(platform) {}

  void Render(int) override {}
  bool Load(const std::u16string& path, std::string*) override {
    isOpen = !path.empty();
    filePath = path;
    return isOpen;
  }
  void Close() override { isOpen = false; }
  bool IsAtEnd() override { return false; }
  bool ReservedQuery() override { return false; }
  void PageForward() override {}
  void PageBackward() override {}
  void LineForward() override {}
  void LineBackward() override {}
  void GoToStart() override { position = 0; }
  void SetPosition(int32_t pos) override {
    position = pos;
    positionsSet.push_back(pos);
  }
  void GoToEnd() override { position = size; }
  void SetFraction(float f) override {
    fractions.push_back(f);
    position = static_cast<int32_t>(static_cast<float>(size) * f);
  }
  void SetSearchStart(int32_t pos) override { searchStarts.push_back(pos); }
  void SetSearchAfter(int32_t, int32_t) override {}
  int32_t FindNext(const std::u16string& text, int32_t* index, int options) override {
    searches.push_back({text, options});
    if (hits.empty()) return -1;
    const auto [hit, match] = hits.front();
    hits.pop_front();
    *index = match;
    return hit;
  }
  int32_t GetSize() override { return size; }
  int32_t GetPosition() override { return position; }
  int32_t GetBottomPosition() override { return position; }
  const CTextLine* GetTopLine() override { return topLine ? &*topLine : nullptr; }
  TextEncoding Encoding() const override { return TextEncoding::kCp949; }
  int32_t LineAt(int32_t paragraphStart, int32_t) override { return paragraphStart; }

  int32_t size = 0;
  int32_t position = 0;
  // The answers of FindNext in order: (line position, match index); -1 once empty.
  std::deque<std::pair<int32_t, int32_t>> hits;
  std::optional<FixedLine> topLine;
  std::vector<int32_t> positionsSet;
  std::vector<float> fractions;
  std::vector<int32_t> searchStarts;
  std::vector<Search> searches;
};

// A view host that also records the shell's full-screen and input-panel requests.
class ShellHost : public HeadlessViewHost {
 public:
  ShellHost() : HeadlessViewHost(240, 320, MainMenuItems()) {}
  bool IsFullScreen() override { return fullScreen; }
  void ShellFullScreen(unsigned flags) override { shellRequests.push_back(flags); }
  void LowerInputPanel() override { ++inputPanelLowered; }

  bool fullScreen = false;
  std::vector<unsigned> shellRequests;
  int inputPanelLowered = 0;
};

// A reader view in a fresh data folder with a headless host and dialog runner.
class BarTest : public ::testing::Test {
 protected:
  BarTest() { platform.SetProgramPath(FromUtf8(dir.BuildTreeProgram())); }

  // A view (started without a document) whose engines are ScriptedEngines.
  void StartScripted() {
    view = std::make_unique<CTirasolView>(platform, host);
    view->SetEngineFactory(
        [](Platform& p, const std::u16string&) { return std::make_unique<ScriptedEngine>(p); });
    InstallBars();
    view->OnInitialUpdate(u"");
  }

  // Opens a scripted document of `size` units at `position`.
  ScriptedEngine& OpenScripted(int32_t size, int32_t position,
                               const std::u16string& path = u"/books/scripted.txt") {
    if (!view) StartScripted();
    EXPECT_TRUE(view->OpenDocument(path));
    ScriptedEngine& engine = scripted();
    engine.size = size;
    engine.position = position;
    engine.positionsSet.clear();
    return engine;
  }

  void InstallBars() {
    CFindDlg::Install(*view, runner);
    CJumpDlg::Install(*view, runner);
    CBookmarkNameDlg::Install(*view, runner);
  }

  // Starts the auto-refresh timer of a scripted document.
  void StartAutoRefresh() {
    scripted().metricsReady = true;
    scripted().lineHeight = 16;
    view->ToggleAutoRefresh();
    ASSERT_TRUE(host.TimerRunning(kAutoRefreshTimerId));
  }

  ScriptedEngine& scripted() { return static_cast<ScriptedEngine&>(ViewInternals::Engine(*view)); }

  // A view with the real engines, showing the first page of `path`.
  void StartReal(const std::string& path) {
    view = std::make_unique<CTirasolView>(platform, host);
    InstallBars();
    view->OnInitialUpdate(FromUtf8(path));
    Paint();
  }

  // One paint of the view, as the window does after an invalidation.
  void Paint() {
    auto screen = platform.CreateScreen(240, 320);
    view->PaintPage(*screen);
  }

  TempDir dir;
  HeadlessPlatform platform;
  ShellHost host;
  HeadlessDialogRunner runner;
  std::unique_ptr<CTirasolView> view;
};

}  // namespace lirako::testing
