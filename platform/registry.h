#pragma once

#include <cstdint>
#include <string>

namespace lirako {

enum class RegistryRoot { kCurrentUser, kClassesRoot };

// Value types, numbered as the device's registry numbers them.
enum RegistryType : uint32_t {
  kRegString = 1,        // REG_SZ
  kRegExpandString = 2,  // REG_EXPAND_SZ
  kRegNumber = 4,        // REG_DWORD
};

struct RegistryValue {
  uint32_t type = 0;
  std::u16string text;  // for the string types
  uint32_t number = 0;  // for kRegNumber
};

// The persistent key/value store that holds file associations. Keys are named by their
// full "\"-separated path below a root; names compare without regard to ASCII case.
class Registry {
 public:
  virtual ~Registry() = default;

  virtual bool KeyExists(RegistryRoot root, const std::u16string& key) = 0;
  // Creates the key (and its parents) or opens it when it exists.
  virtual bool CreateKey(RegistryRoot root, const std::u16string& key) = 0;
  // Fails when the key or the value does not exist.
  virtual bool QueryValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                          RegistryValue* value) = 0;
  // Fails when the key does not exist.
  virtual bool SetString(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                         const std::u16string& text, uint32_t type = kRegString) = 0;
  virtual bool SetNumber(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                         uint32_t number) = 0;
  virtual bool DeleteValue(RegistryRoot root, const std::u16string& key,
                           const std::u16string& name) = 0;
  // Deletes the key with everything below it.
  virtual bool DeleteKey(RegistryRoot root, const std::u16string& key) = 0;
};

}  // namespace lirako
