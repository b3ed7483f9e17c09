#include "tests/settings/settings_fixture.h"

#include "platform/utf.h"
#include "view/main_menu.h"

namespace lirako::testing {

SettingsFixture::SettingsFixture() : host(240, 320, MainMenuItems()) {
  platform.SetProgramPath(FromUtf8(dir.BuildTreeProgram()));
  platform.SetCodePage949(true);
}

SettingsFixture::~SettingsFixture() {
  view_.reset();
}

CTirasolView& SettingsFixture::Start(const std::u16string& commandLine) {
  view_ = std::make_unique<CTirasolView>(platform, host);
  view_->OnInitialUpdate(commandLine);
  return *view_;
}

std::u16string SettingsFixture::Book(const std::string& name, int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i)
    text += "line " + std::to_string(i) + " of the book\n";
  return FromUtf8(dir.Write(name, text));
}

void SettingsFixture::Paint() {
  Rect client = host.ClientRect();
  std::unique_ptr<RecordingSurface> screen = platform.CreateScreen(client.right, client.bottom);
  view_->PaintPage(*screen);
}

}  // namespace lirako::testing
