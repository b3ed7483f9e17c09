#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/text_engine.h"

namespace lirako::testing {

// What every FakeEngine of one test reports to, so that it outlives engine replacement.
struct FakeEngineLog {
  std::vector<std::string> calls;  // "PageForward", "SetPosition 144", "SetFraction 1", ...
  std::vector<float> fractions;    // every SetFraction argument
  bool atEnd = false;
  int32_t size = 1000;
  int lineHeight = 16;
  int lineGap = 1;
  bool metricsReady = true;
  // Counts the calls named `name` (the text before any argument).
  int Count(const std::string& name) const;
};

// A text engine that records the navigation calls it gets and loads every path except those
// containing "missing" (those report kReasonNotFound). Its position moves only through SetPosition.
class FakeEngine : public CTextEngine {
 public:
  FakeEngine(Platform& platform, FakeEngineLog* log);

  void Render(int flags) override;
  bool Load(const std::u16string& path, std::string* err) override;
  void Close() override;
  bool IsAtEnd() override { return log_->atEnd; }
  bool ReservedQuery() override { return false; }
  void PageForward() override { Record("PageForward"); }
  void PageBackward() override { Record("PageBackward"); }
  void LineForward() override { Record("LineForward"); }
  void LineBackward() override { Record("LineBackward"); }
  void GoToStart() override;
  void SetPosition(int32_t pos) override;
  void GoToEnd() override { Record("GoToEnd"); }
  void SetFraction(float f) override;
  void SetSearchStart(int32_t pos) override;
  void SetSearchAfter(int32_t pieceStart, int32_t index) override;
  int32_t FindNext(const std::u16string& text, int32_t* index, int options) override;
  int32_t GetSize() override { return log_->size; }
  int32_t GetPosition() override { return isOpen ? position_ : 0; }
  int32_t GetBottomPosition() override { return 0; }
  const CTextLine* GetTopLine() override { return nullptr; }
  TextEncoding Encoding() const override { return TextEncoding::kCp949; }
  int32_t LineAt(int32_t paragraphStart, int32_t) override { return paragraphStart; }

 private:
  void Record(std::string call) { log_->calls.push_back(std::move(call)); }

  FakeEngineLog* log_;
  int32_t position_ = 0;
};

}  // namespace lirako::testing
