#include "tests/view/fake_engine.h"

#include "platform/open_reasons.h"

namespace lirako::testing {

int FakeEngineLog::Count(const std::string& name) const {
  int count = 0;
  for (const std::string& call : calls) {
    if (call.substr(0, call.find(' ')) == name) ++count;
  }
  return count;
}

FakeEngine::FakeEngine(Platform& platform, FakeEngineLog* log) : CTextEngine(platform), log_(log) {
  lineHeight = log->lineHeight;
  lineGap = log->lineGap;
  metricsReady = log->metricsReady;
}

void FakeEngine::Render(int flags) {
  Record("Render " + std::to_string(flags));
}

bool FakeEngine::Load(const std::u16string& path, std::string* err) {
  Record("Load");
  if (path.empty() || path.find(u"missing") != std::u16string::npos) {
    if (err) *err = kReasonNotFound;
    return false;
  }
  isOpen = true;
  filePath = path;
  return true;
}

void FakeEngine::Close() {
  Record("Close");
  isOpen = false;
  filePath.clear();
  position_ = 0;
}

void FakeEngine::GoToStart() {
  Record("GoToStart");
  position_ = 0;
}

void FakeEngine::SetPosition(int32_t pos) {
  Record("SetPosition " + std::to_string(pos));
  position_ = pos;
}

void FakeEngine::SetFraction(float f) {
  Record("SetFraction");
  log_->fractions.push_back(f);
}

void FakeEngine::SetSearchStart(int32_t pos) {
  Record("SetSearchStart " + std::to_string(pos));
}

void FakeEngine::SetSearchAfter(int32_t pieceStart, int32_t index) {
  Record("SetSearchAfter " + std::to_string(pieceStart) + " " + std::to_string(index));
}

int32_t FakeEngine::FindNext(const std::u16string&, int32_t* index, int) {
  Record("FindNext");
  *index = -1;
  return -1;
}

}  // namespace lirako::testing
