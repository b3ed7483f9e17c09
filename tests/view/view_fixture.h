#pragma once

#include <memory>
#include <string>

#include "platform/headless/headless_platform.h"
#include "platform/headless/headless_view_host.h"
#include "tests/support/temp_dir.h"
#include "tests/view/fake_engine.h"
#include "view/tirasol_view.h"

namespace lirako::testing {

// A reader view on the headless double whose program (and so data folder) lives in a fresh
// temporary folder. Client area 240 x 320 unless a test changes it.
class ViewFixture {
 public:
  ViewFixture();
  ~ViewFixture();

  // A view made and given its initial update with `commandLine`.
  CTirasolView& Start(const std::u16string& commandLine = u"");
  // A view whose engines are FakeEngines reporting to `fakeLog`, opened on a book "a.txt".
  CTirasolView& StartFake();
  // Destroys the view (its saves run).
  void Stop() { view_.reset(); }
  // Paints the view onto a fresh screen of the client size and returns it.
  std::unique_ptr<RecordingSurface> Paint();
  // Writes a byte-text book and returns its path.
  std::u16string Book(const std::string& name, const std::string& text);
  // A book of `count` one-line paragraphs "line 000" .. with LF breaks: 9 bytes each.
  std::u16string NumberedBook(const std::string& name, int count);

  CTirasolView& view() { return *view_; }
  TempDir dir;
  HeadlessPlatform platform;
  HeadlessViewHost host;
  FakeEngineLog fakeLog;

 private:
  std::unique_ptr<CTirasolView> view_;
};

}  // namespace lirako::testing
