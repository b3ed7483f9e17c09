#pragma once

#include <cstdint>

#include "engine/basic_text_engine.h"
#include "engine/mbcs_text_reader.h"

namespace lirako {

// The engine for code page 949 byte text; positions are byte offsets.
class CMbcsTextEngine : public BasicTextEngine<uint8_t> {
 public:
  explicit CMbcsTextEngine(Platform& platform)
      : BasicTextEngine<uint8_t>(platform, std::make_unique<CMbcsTextReader>()) {}

  TextEncoding Encoding() const override { return TextEncoding::kCp949; }
};

}  // namespace lirako
