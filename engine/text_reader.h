#pragma once

namespace lirako {

// The reader of one open text file; BasicTextReader holds the reading itself.
class CTextReader {
 public:
  virtual ~CTextReader() = default;
};

}  // namespace lirako
