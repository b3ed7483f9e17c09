#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/headless_view_host.h"
#include "tests/support/temp_dir.h"
#include "view/tirasol_view.h"

namespace lirako::testing {

// A dialog runner whose toolkit offers the given font families.
class FamilyRunner : public HeadlessDialogRunner {
 public:
  std::vector<std::u16string> FontFamilies() override {
    ++enumerations;
    return families;
  }
  std::vector<std::u16string> families = {u"Tahoma", u"NanumGothic"};
  int enumerations = 0;
};

// A reader view on the headless double, its program and data files in a fresh folder, with a
// runner for the settings sheet. Client area 240 x 320.
class SettingsFixture {
 public:
  SettingsFixture();
  ~SettingsFixture();

  // Makes the view and gives it its initial update with `commandLine` (empty: no book).
  CTirasolView& Start(const std::u16string& commandLine = u"");
  // Writes a book of `lines` numbered lines and returns its path.
  std::u16string Book(const std::string& name, int lines = 200);
  // Paints the view once on a fresh screen.
  void Paint();
  // The path of a file in the data folder.
  std::string DataFile(const std::string& name) const { return dir.File(name); }

  CTirasolView& view() { return *view_; }
  TempDir dir;
  HeadlessPlatform platform;
  HeadlessViewHost host;
  FamilyRunner runner;

 private:
  std::unique_ptr<CTirasolView> view_;
};

}  // namespace lirako::testing
