#pragma once

#include "engine/basic_text_engine.h"
#include "engine/utf8_text_reader.h"

namespace lirako {

// The engine for UTF-8 text; positions are byte offsets of the file. A byte-order mark
// (EF BB BF) is not shown and takes no room: the text starts after it.
class CUtf8TextEngine : public BasicTextEngine<char8_t> {
 public:
  explicit CUtf8TextEngine(Platform& platform);

  TextEncoding Encoding() const override { return TextEncoding::kUtf8; }

 protected:
  // Looks for the byte-order mark.
  bool PrepareLoad(const std::u16string& path, std::string* err) override;
};

}  // namespace lirako
