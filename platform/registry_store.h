#pragma once

#include <map>
#include <string>

#include "platform/registry.h"

namespace lirako {

// The registry as a map of keys to typed values, optionally backed by a text file that is
// read once at construction (a damaged file reads as empty) and rewritten atomically after
// every change.
class RegistryStore : public Registry {
 public:
  // An in-memory store when `backingPath` is empty.
  explicit RegistryStore(std::string backingPath = {});

  bool KeyExists(RegistryRoot root, const std::u16string& key) override;
  bool CreateKey(RegistryRoot root, const std::u16string& key) override;
  bool QueryValue(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                  RegistryValue* value) override;
  bool SetString(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                 const std::u16string& text, uint32_t type = kRegString) override;
  bool SetNumber(RegistryRoot root, const std::u16string& key, const std::u16string& name,
                 uint32_t number) override;
  bool DeleteValue(RegistryRoot root, const std::u16string& key,
                   const std::u16string& name) override;
  bool DeleteKey(RegistryRoot root, const std::u16string& key) override;

  // The store in its file form.
  std::string Serialize() const;
  // Replaces the store by `text` in its file form; a damaged text leaves it empty (false).
  bool Parse(const std::string& text);

 private:
  struct NamedValue {
    std::u16string name;
    RegistryValue value;
  };
  struct Key {
    RegistryRoot root;
    std::u16string name;
    std::map<std::u16string, NamedValue> values;  // by folded name
  };

  static std::u16string Fold(RegistryRoot root, const std::u16string& key);
  Key* Find(RegistryRoot root, const std::u16string& key);
  void Persist();

  std::string backingPath_;
  std::map<std::u16string, Key> keys_;  // by root-qualified folded name
};

}  // namespace lirako
