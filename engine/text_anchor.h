#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text_encoding.h"
#include "platform/platform.h"

namespace lirako {

class CTextEngine;

// A short piece of a book's text kept with a place, so that the place is found again after the
// book was edited or re-encoded: the first kLength characters from the place on, blanks and
// line ends left out (a copy may break its lines otherwise), as UTF-8.
class TextAnchor {
 public:
  static constexpr size_t kLength = 32;
  // How far either side of the old place the anchor is looked for first.
  static constexpr int64_t kNearBytes = 64 * 1024;

  TextAnchor(Platform& platform, std::u16string path, TextEncoding encoding)
      : platform_(platform), path_(std::move(path)), encoding_(encoding) {}
  // The book the engine has open, read as the engine reads it.
  static TextAnchor OfEngine(Platform& platform, CTextEngine& engine);

  // The anchor of `position` (in the encoding's units); empty when nothing is read there.
  std::string Capture(int32_t position) const;
  // Where `anchor` starts, in units: the occurrence nearest to `near` within kNearBytes of
  // it, else the first one in the book; -1 when the book does not hold it (or it is empty).
  int32_t Find(std::string_view anchor, int32_t near) const;
  // The occurrence nearest to `near` within kNearBytes of it, or -1.
  int32_t FindNear(std::string_view anchor, int32_t near) const;
  // The first occurrence in the whole book, or -1; also -1 soon after `cancel` (when given)
  // turns true. Reads the whole book: a long job on a big one.
  int32_t FindAnywhere(std::string_view anchor, const std::atomic<bool>* cancel = nullptr) const;

 private:
  Platform& platform_;
  std::u16string path_;
  TextEncoding encoding_;
};

}  // namespace lirako
