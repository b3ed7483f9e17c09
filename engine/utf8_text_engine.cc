#include "engine/utf8_text_engine.h"

#include <memory>

namespace lirako {

CUtf8TextEngine::CUtf8TextEngine(Platform& platform)
    : BasicTextEngine<char8_t>(platform, std::make_unique<CUtf8TextReader>()) {}

bool CUtf8TextEngine::PrepareLoad(const std::u16string& path, std::string*) {
  int32_t begin = 0;
  if (std::unique_ptr<File> file = platform_.OpenForReading(path)) {
    unsigned char mark[3] = {};
    if (file->Read(mark, 3) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
      begin = 3;
    }
    file->Close();
  }
  reader().SetTextBegin(begin);
  return true;
}

}  // namespace lirako
