#include "store/damaged_copy.h"

#include <vector>

#include "platform/utf.h"

namespace lirako {
namespace {

constexpr char16_t kDamagedSuffix[] = u".damaged";
constexpr size_t kCopyChunk = 64 * 1024;

}  // namespace

std::u16string DamagedCopyPath(const std::u16string& path) {
  return path + kDamagedSuffix;
}

bool KeepDamagedCopy(Platform& platform, const std::u16string& path, std::string* err) {
  std::unique_ptr<File> in = platform.OpenForReading(path);
  if (!in) {
    if (err) *err = ToUtf8(path) + ": cannot be read to keep a copy";
    return false;
  }
  std::unique_ptr<File> out = platform.CreateForWriting(DamagedCopyPath(path), err);
  if (!out) return false;
  std::vector<char> chunk(kCopyChunk);
  bool ok = true;
  while (size_t n = in->Read(chunk.data(), chunk.size())) {
    if (out->Write(chunk.data(), n) != n) {
      ok = false;
      break;
    }
  }
  if (!out->Close()) ok = false;
  if (!ok && err) *err = ToUtf8(DamagedCopyPath(path)) + ": " + out->FailureReason();
  return ok;
}

}  // namespace lirako
