#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace lirako {

// One key of the registry at a time: opened or created, then the target of value calls.
class CRegistryKey {
 public:
  // GetString reads into room for this many bytes, the text's NUL included.
  static constexpr uint32_t kStringBufferBytes = 200;

  CRegistryKey(Registry& registry, RegistryRoot root);
  // Releases the current key.
  virtual ~CRegistryKey() = default;

  // Makes an existing key current.
  bool OpenKey(RegistryRoot root, const std::u16string& subkey);
  // Creates the key, or opens it when it exists, and makes it current.
  bool CreateKey(RegistryRoot root, const std::u16string& subkey);
  // Writes a string value on the current key.
  bool SetString(const std::u16string& name, const std::u16string& text);
  // Writes a 32-bit number value on the current key.
  bool SetNumber(const std::u16string& name, uint32_t number);
  // Reads a value of any type as a string (up to its first NUL); false when there is no
  // such value or its data does not fit the 200-byte buffer.
  bool GetString(const std::u16string& name, std::u16string* text);
  bool DeleteValue(const std::u16string& name);
  bool DeleteKey(RegistryRoot root, const std::u16string& subkey);

  RegistryRoot root() const { return root_; }
  // The current key, empty when none is open.
  const std::u16string& currentKey() const { return currentKey_; }
  bool lastSucceeded() const { return lastSucceeded_; }
  // Type and data size in bytes of the value last written or read.
  uint32_t lastType() const { return lastType_; }
  uint32_t lastSize() const { return lastSize_; }

 private:
  bool Result(bool succeeded) { return lastSucceeded_ = succeeded; }

  Registry& registry_;
  RegistryRoot root_;
  RegistryRoot currentRoot_;
  std::u16string currentKey_;
  bool hasKey_ = false;
  bool lastSucceeded_ = true;
  uint32_t lastType_ = 0;
  uint32_t lastSize_ = 0;
};

}  // namespace lirako
