#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lirako {

// A binary record file: a 128-byte ASCII name and a 32-bit version, then raw little-endian
// values in the order the caller writes them. One instance serves one load or one save.
class CDatFile {
 public:
  static constexpr size_t kHeaderNameSize = 128;
  static constexpr int64_t kHeaderSize = 132;  // name + version
  static constexpr int kRead = 0;
  static constexpr int kWrite = 1;

  // Header "default", version 0, no file open.
  explicit CDatFile(Platform& platform);
  // Closes the file (a file being written is saved).
  virtual ~CDatFile();
  CDatFile(const CDatFile&) = delete;
  CDatFile& operator=(const CDatFile&) = delete;

  // Sets the header written by the next Open(kWrite); the name is cut to 127 characters.
  void SetHeader(std::string_view name, int32_t version);
  // The header as read by Open(kRead); a field the file was too short for keeps its value.
  void GetHeader(std::string* name, int32_t* version) const;

  // Closes any open file, then opens `path`: kRead an existing file and reads its header;
  // kWrite a new file replacing the old one on Close, and writes the header. False when the
  // file cannot be opened or created (for writing, with the reason in `err`).
  bool Open(int mode, const std::u16string& path, std::string* err = nullptr);
  // Closes the file. False, with the reason in `err`, when a file being written could not be
  // saved completely; the old file is then left as it was.
  bool Close(std::string* err = nullptr);

  // Each write is true when every byte was written. Each read is all or nothing: true when
  // the whole value was read; otherwise the destination is left unchanged.
  bool WriteInt32(int32_t value);
  bool ReadInt32(int32_t* value);
  bool WriteInt16(int16_t value);
  bool ReadInt16(int16_t* value);
  bool WriteInt64(int64_t value);
  bool ReadInt64(int64_t* value);
  bool WriteByte(uint8_t value);
  bool ReadByte(uint8_t* value);
  bool WriteBytes(const void* data, size_t size);
  bool ReadBytes(void* buffer, size_t size);

  bool isOpen() const { return isOpen_; }
  int mode() const { return mode_; }
  const std::u16string& path() const { return path_; }
  // File offset just after the header.
  int64_t dataStart() const { return dataStart_; }
  // Bytes between the read position and the end of the file; 0 when nothing is open.
  int64_t BytesLeft();

 private:
  bool Write(const void* data, size_t size);
  bool Read(void* buffer, size_t size);

  Platform& platform_;
  int mode_ = kRead;
  std::u16string path_;
  std::unique_ptr<File> file_;
  std::array<char, kHeaderNameSize> headerName_{};
  int32_t headerVersion_ = 0;
  int64_t dataStart_ = 0;
  bool isOpen_ = false;
  bool writeFailed_ = false;
};

}  // namespace lirako
