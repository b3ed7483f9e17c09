#include "tests/view/view_fixture.h"

#include <algorithm>

#include "platform/utf.h"
#include "view/main_menu.h"

namespace lirako::testing {

ViewFixture::ViewFixture() : host(240, 320, MainMenuItems()) {
  platform.SetProgramPath(FromUtf8(dir.BuildTreeProgram()));
}

ViewFixture::~ViewFixture() {
  view_.reset();
}

CTirasolView& ViewFixture::Start(const std::u16string& commandLine) {
  view_ = std::make_unique<CTirasolView>(platform, host);
  view_->OnInitialUpdate(commandLine);
  return *view_;
}

CTirasolView& ViewFixture::StartFake() {
  view_ = std::make_unique<CTirasolView>(platform, host);
  view_->SetEngineFactory([this](Platform& p, const std::u16string&) {
    return std::make_unique<FakeEngine>(p, &fakeLog);
  });
  view_->OnInitialUpdate(Book("a.txt", "text\n"));
  fakeLog.calls.clear();
  return *view_;
}

std::unique_ptr<RecordingSurface> ViewFixture::Paint() {
  Rect client = host.ClientRect();
  std::unique_ptr<RecordingSurface> screen = platform.CreateScreen(client.right, client.bottom);
  view_->PaintPage(*screen);
  return screen;
}

std::u16string ViewFixture::Book(const std::string& name, const std::string& text) {
  return FromUtf8(dir.Write(name, text));
}

std::u16string ViewFixture::NumberedBook(const std::string& name, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    std::string number = std::to_string(i);
    text += "line " + std::string(3 - std::min<size_t>(number.size(), 3), '0') + number + "\n";
  }
  return Book(name, text);
}

}  // namespace lirako::testing
