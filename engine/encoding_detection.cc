#include "engine/encoding_detection.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/char_classes.h"

namespace lirako {
namespace {

// Bytes needed by the sequence that `lead` starts, and the range of its second byte; 0 when
// `lead` starts none.
struct SequenceShape {
  int length = 0;
  unsigned low = 0x80;
  unsigned high = 0xBF;
};

SequenceShape ShapeOf(unsigned lead) {
  if (lead < 0xC2 || lead > 0xF4) return {};
  if (lead <= 0xDF) return {2};
  if (lead <= 0xEF) return {3, lead == 0xE0 ? 0xA0u : 0x80u, lead == 0xED ? 0x9Fu : 0xBFu};
  return {4, lead == 0xF0 ? 0x90u : 0x80u, lead == 0xF4 ? 0x8Fu : 0xBFu};
}

// True when bytes [pos, count) are the beginning of a well-formed sequence that goes on past
// `count`.
bool IsCutSequence(const char8_t* data, int32_t count, int32_t pos) {
  const SequenceShape shape = ShapeOf(data[pos]);
  if (shape.length == 0 || pos + shape.length <= count) return false;
  if (pos + 1 < count && (data[pos + 1] < shape.low || data[pos + 1] > shape.high)) return false;
  for (int32_t k = pos + 2; k < count; ++k) {
    if (!IsUtf8Continuation(data[k])) return false;
  }
  return true;
}

// What the samples read so far show.
struct Evidence {
  int64_t examined = 0;
  int64_t zerosAtEven = 0;
  int64_t zerosAtOdd = 0;
  bool multiByte = false;
  bool malformed = false;

  // Takes in `count` bytes read at file offset `offset`.
  void Add(const char8_t* data, int32_t count, int64_t offset) {
    examined += count;
    int32_t i = 0;
    // A sample that begins inside a sequence skips its continuation bytes.
    if (offset > 0) {
      while (i < 3 && i < count && IsUtf8Continuation(data[i]))
        ++i;
    }
    while (i < count) {
      const char8_t b = data[i];
      if (b < 0x80) {
        if (b == 0) ((offset + i) % 2 == 0 ? zerosAtEven : zerosAtOdd) += 1;
        ++i;
        continue;
      }
      const int n = Utf8CharLength(data, count, i);
      if (n > 1) {
        multiByte = true;
      } else if (IsCutSequence(data, count, i)) {
        break;
      } else {
        malformed = true;
      }
      i += n;
    }
  }
  // Zero bytes at one parity that UTF-16 text of that order would give: many, and nearly all
  // on one side.
  bool LooksUtf16(int64_t zeros, int64_t others) const {
    return zeros * 64 >= examined && zeros >= 4 * others + 1;
  }
  bool Decided() const { return multiByte || malformed; }
  TextEncoding Encoding() const {
    if (LooksUtf16(zerosAtOdd, zerosAtEven)) return TextEncoding::kUtf16Le;
    if (LooksUtf16(zerosAtEven, zerosAtOdd)) return TextEncoding::kUtf16Be;
    return malformed ? TextEncoding::kCp949 : TextEncoding::kUtf8;
  }
};

// Reads up to `count` bytes at `offset` into `out` and adds them to `evidence`; returns the
// bytes read.
int64_t Sample(File& file, int64_t offset, int64_t count, std::vector<char8_t>& out,
               Evidence& evidence) {
  out.resize(static_cast<size_t>(count));
  if (count <= 0 || file.Seek(offset, SeekOrigin::kStart) != offset) return 0;
  const auto got = static_cast<int64_t>(file.Read(out.data(), static_cast<size_t>(count)));
  evidence.Add(out.data(), static_cast<int32_t>(got), offset);
  return got;
}

}  // namespace

bool DetectTextEncoding(Platform& platform, const std::u16string& path, EncodingGuess* guess,
                        std::string* err) {
  std::string reason;
  std::unique_ptr<File> file = platform.OpenForReading(path, &reason);
  if (!file) {
    if (err) *err = reason.empty() ? "cannot be opened" : "cannot be opened: " + reason;
    return false;
  }
  *guess = EncodingGuess{};
  const int64_t size = std::max<int64_t>(file->Size(), 0);
  unsigned char mark[3] = {};
  const size_t got = file->Read(mark, 3);
  if (got == 0 && size > 0) {
    file->Close();
    if (err) *err = "cannot be read";
    return false;
  }
  if (got == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
    *guess = EncodingGuess{TextEncoding::kUtf8, true, 3};
  } else if (got >= 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
    *guess = EncodingGuess{TextEncoding::kUtf16Le, true, 2};
  } else if (got >= 2 && mark[0] == 0xFE && mark[1] == 0xFF) {
    *guess = EncodingGuess{TextEncoding::kUtf16Be, true, 2};
  }
  if (guess->bom) {
    file->Close();
    return true;
  }
  Evidence evidence;
  std::vector<char8_t> buffer;
  constexpr int64_t kWindow = kDetectionWindowBytes;
  if (size <= kDetectionWindows * kWindow) {
    Sample(*file, 0, size, buffer, evidence);
  } else {
    // The first window at the start, the last ending at the end, the others spread evenly
    // between; even offsets keep the parity of the zero bytes.
    std::vector<int64_t> starts;
    for (int i = 0; i < kDetectionWindows; ++i)
      starts.push_back((size - kWindow) * i / (kDetectionWindows - 1) / 2 * 2);
    for (int64_t start : starts)
      Sample(*file, start, kWindow, buffer, evidence);
    // All ASCII so far: read on from the start until a byte above 0x7F decides, up to
    // kDetectionMaxBytes into the file, past the windows already read.
    const int64_t limit = std::min(size, kDetectionMaxBytes);
    size_t next = 1;
    for (int64_t at = kWindow; !evidence.Decided() && at < limit;) {
      while (next < starts.size() && starts[next] + kWindow <= at)
        ++next;
      if (next < starts.size() && starts[next] <= at) {
        at = starts[next] + kWindow;
        continue;
      }
      int64_t end = std::min(limit, at + kWindow);
      if (next < starts.size()) end = std::min(end, starts[next]);
      const int64_t read = Sample(*file, at, end - at, buffer, evidence);
      if (read <= 0) break;
      at += read;
    }
  }
  file->Close();
  guess->encoding = evidence.Encoding();
  guess->examined = evidence.examined;
  return true;
}

}  // namespace lirako
