#include "store/content_fingerprint.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace lirako {
namespace {

constexpr int64_t kSampleBytes = 64 * 1024;

}  // namespace

std::string ContentFingerprint(Platform& platform, const std::u16string& path) {
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file) return {};
  const int64_t size = file->Size();
  // FNV-1a over the samples; a small file is read once, whole.
  uint64_t hash = 0xcbf29ce484222325ull;
  std::vector<unsigned char> block(static_cast<size_t>(kSampleBytes));
  const int64_t starts[] = {0, size / 2 - kSampleBytes / 2, size - kSampleBytes};
  int64_t covered = 0;
  for (int64_t start : starts) {
    start = std::max(start, covered);
    if (start >= size) break;
    if (file->Seek(start, SeekOrigin::kStart) != start) return {};
    const size_t want = static_cast<size_t>(std::min(kSampleBytes, size - start));
    size_t read = 0;
    while (read < want) {
      const size_t n = file->Read(block.data() + read, want - read);
      if (n == 0) break;
      read += n;
    }
    if (read != want) return {};
    for (size_t i = 0; i < read; ++i)
      hash = (hash ^ block[i]) * 0x100000001b3ull;
    covered = start + static_cast<int64_t>(read);
  }
  file->Close();
  char out[48];
  std::snprintf(out, sizeof out, "%lld:%016llx", static_cast<long long>(size),
                static_cast<unsigned long long>(hash));
  return out;
}

}  // namespace lirako
