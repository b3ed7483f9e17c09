#include "store/dat_file.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/utf.h"

namespace lirako {
namespace {

constexpr char kDefaultHeaderName[] = "default";

template <typename T>
void Encode(T value, uint8_t* out) {
  auto bits = static_cast<std::make_unsigned_t<T>>(value);
  for (size_t i = 0; i < sizeof(T); ++i)
    out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

template <typename T>
T Decode(const uint8_t* in) {
  std::make_unsigned_t<T> bits = 0;
  for (size_t i = 0; i < sizeof(T); ++i) {
    bits = static_cast<std::make_unsigned_t<T>>(
        bits | (static_cast<std::make_unsigned_t<T>>(in[i]) << (8 * i)));
  }
  return static_cast<T>(bits);
}

}  // namespace

CDatFile::CDatFile(Platform& platform) : platform_(platform) {
  SetHeader(kDefaultHeaderName, 0);
}

CDatFile::~CDatFile() {
  Close();
}

void CDatFile::SetHeader(std::string_view name, int32_t version) {
  headerName_.fill(0);
  std::copy_n(name.begin(), std::min(name.size(), kHeaderNameSize - 1), headerName_.begin());
  headerVersion_ = version;
}

void CDatFile::GetHeader(std::string* name, int32_t* version) const {
  if (name) {
    auto end = std::find(headerName_.begin(), headerName_.end(), '\0');
    name->assign(headerName_.begin(), end);
  }
  if (version) *version = headerVersion_;
}

bool CDatFile::Open(int mode, const std::u16string& path, std::string* err) {
  mode_ = mode == kRead ? kRead : kWrite;
  path_ = path;
  Close();
  file_ = mode_ == kRead ? platform_.OpenForReading(path) : platform_.CreateForWriting(path, err);
  if (!file_) return false;
  isOpen_ = true;
  writeFailed_ = false;
  file_->Seek(0, SeekOrigin::kStart);
  if (mode_ == kRead) {
    std::array<char, kHeaderNameSize> name;
    if (Read(name.data(), name.size())) headerName_ = name;
    ReadInt32(&headerVersion_);
  } else {
    Write(headerName_.data(), headerName_.size());
    WriteInt32(headerVersion_);
  }
  dataStart_ = file_->Tell();
  return true;
}

bool CDatFile::Close(std::string* err) {
  if (!file_) return true;
  bool saved = file_->Close() && !writeFailed_;
  if (!saved && mode_ == kWrite && err) *err = ToUtf8(path_) + ": " + file_->FailureReason();
  file_.reset();
  isOpen_ = false;
  return mode_ == kRead || saved;
}

int64_t CDatFile::BytesLeft() {
  if (!file_) return 0;
  int64_t at = file_->Tell();
  int64_t size = file_->Size();
  return at < 0 || size < at ? 0 : size - at;
}

bool CDatFile::Write(const void* data, size_t size) {
  if (!file_ || mode_ != kWrite) return false;
  if (file_->Write(data, size) == size) return true;
  writeFailed_ = true;
  return false;
}

bool CDatFile::Read(void* buffer, size_t size) {
  if (!file_ || mode_ != kRead) return false;
  if (size == 0) return true;
  // Read into scratch space so that a short read leaves the destination untouched.
  constexpr size_t kSmall = 64;
  if (size <= kSmall) {
    uint8_t scratch[kSmall];
    if (file_->Read(scratch, size) != size) return false;
    std::memcpy(buffer, scratch, size);
    return true;
  }
  auto scratch = std::make_unique<uint8_t[]>(size);
  if (file_->Read(scratch.get(), size) != size) return false;
  std::memcpy(buffer, scratch.get(), size);
  return true;
}

bool CDatFile::WriteInt32(int32_t value) {
  uint8_t bytes[4];
  Encode(value, bytes);
  return Write(bytes, sizeof bytes);
}

bool CDatFile::ReadInt32(int32_t* value) {
  uint8_t bytes[4];
  if (!Read(bytes, sizeof bytes)) return false;
  *value = Decode<int32_t>(bytes);
  return true;
}

bool CDatFile::WriteInt16(int16_t value) {
  uint8_t bytes[2];
  Encode(value, bytes);
  return Write(bytes, sizeof bytes);
}

bool CDatFile::ReadInt16(int16_t* value) {
  uint8_t bytes[2];
  if (!Read(bytes, sizeof bytes)) return false;
  *value = Decode<int16_t>(bytes);
  return true;
}

bool CDatFile::WriteInt64(int64_t value) {
  uint8_t bytes[8];
  Encode(value, bytes);
  return Write(bytes, sizeof bytes);
}

bool CDatFile::ReadInt64(int64_t* value) {
  uint8_t bytes[8];
  if (!Read(bytes, sizeof bytes)) return false;
  *value = Decode<int64_t>(bytes);
  return true;
}

bool CDatFile::WriteByte(uint8_t value) {
  return Write(&value, 1);
}

bool CDatFile::ReadByte(uint8_t* value) {
  return Read(value, 1);
}

bool CDatFile::WriteBytes(const void* data, size_t size) {
  return Write(data, size);
}

bool CDatFile::ReadBytes(void* buffer, size_t size) {
  return Read(buffer, size);
}

}  // namespace lirako
