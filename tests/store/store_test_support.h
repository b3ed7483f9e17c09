#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <string>

#include "platform/headless/memory_platform.h"
#include "platform/utf.h"

namespace lirako::testing {

// Little-endian bytes of a 32-bit value.
inline std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i)
    s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A stored string: its length with the NUL, then the UTF-16LE units with the NUL.
inline std::string Str16(const std::u16string& text) {
  std::string s = Le32(static_cast<uint32_t>(text.size() + 1));
  for (char16_t c : text) {
    s.push_back(static_cast<char>(c & 0xFF));
    s.push_back(static_cast<char>(c >> 8));
  }
  return s + std::string(2, '\0');
}

// The record header: "default" padded with NULs to 128 bytes, then the version.
inline std::string Header(uint32_t version) {
  std::string name = "default";
  return name + std::string(128 - name.size(), '\0') + Le32(version);
}

inline std::u16string U16(const std::string& utf8) {
  return FromUtf8(utf8);
}

// The folder of the files that tests keep on a MemoryPlatform.
constexpr char16_t kMemoryFolder[] = u"/data";

// Makes `bytes` the file `name` in kMemoryFolder of `platform`; returns its path.
inline std::u16string PutFile(MemoryPlatform& platform, const std::u16string& name,
                              std::string bytes) {
  std::u16string path = std::u16string(kMemoryFolder) + u"/" + name;
  platform.files[path] = std::move(bytes);
  return path;
}

// While it lives, files of this process cannot grow beyond `bytes`: a write past the limit
// comes up short, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace lirako::testing
