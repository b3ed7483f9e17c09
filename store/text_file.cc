#include "store/text_file.h"

#include <memory>

#include "platform/utf.h"

namespace lirako {

bool ReadTextFile(Platform& platform, const std::u16string& path, size_t maxBytes,
                  std::string* text, std::string* err) {
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file) {
    if (err) *err = ToUtf8(path) + " cannot be opened";
    return false;
  }
  text->clear();
  char block[8192];
  size_t n;
  while ((n = file->Read(block, sizeof block)) > 0) {
    text->append(block, n);
    if (text->size() > maxBytes) {
      file->Close();
      if (err) *err = ToUtf8(path) + " is larger than " + std::to_string(maxBytes) + " bytes";
      return false;
    }
  }
  file->Close();
  return true;
}

bool WriteTextFile(Platform& platform, const std::u16string& path, std::string_view text,
                   std::string* err) {
  const size_t slash = path.rfind(u'/');
  if (slash != std::u16string::npos && slash > 0 && !platform.MakeFolder(path.substr(0, slash))) {
    if (err) *err = ToUtf8(path.substr(0, slash)) + " cannot be created";
    return false;
  }
  std::string reason;
  std::unique_ptr<File> file = platform.CreateForWriting(path, &reason);
  if (!file) {
    if (err) *err = ToUtf8(path) + " cannot be created: " + reason;
    return false;
  }
  const bool written = file->Write(text.data(), text.size()) == text.size();
  if (!file->Close() || !written) {
    if (err) *err = ToUtf8(path) + " could not be written: " + file->FailureReason();
    return false;
  }
  return true;
}

}  // namespace lirako
