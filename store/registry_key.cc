#include "store/registry_key.h"

namespace lirako {

CRegistryKey::CRegistryKey(Registry& registry, RegistryRoot root)
    : registry_(registry), root_(root), currentRoot_(root) {}

bool CRegistryKey::OpenKey(RegistryRoot root, const std::u16string& subkey) {
  hasKey_ = false;
  currentKey_.clear();
  if (!registry_.KeyExists(root, subkey)) return Result(false);
  currentRoot_ = root;
  currentKey_ = subkey;
  hasKey_ = true;
  return Result(true);
}

bool CRegistryKey::CreateKey(RegistryRoot root, const std::u16string& subkey) {
  hasKey_ = false;
  currentKey_.clear();
  if (!registry_.CreateKey(root, subkey)) return Result(false);
  currentRoot_ = root;
  currentKey_ = subkey;
  hasKey_ = true;
  return Result(true);
}

bool CRegistryKey::SetString(const std::u16string& name, const std::u16string& text) {
  lastType_ = kRegString;
  lastSize_ = static_cast<uint32_t>((text.size() + 1) * 2);
  return Result(hasKey_ && registry_.SetString(currentRoot_, currentKey_, name, text));
}

bool CRegistryKey::SetNumber(const std::u16string& name, uint32_t number) {
  lastType_ = kRegNumber;
  lastSize_ = 4;
  return Result(hasKey_ && registry_.SetNumber(currentRoot_, currentKey_, name, number));
}

bool CRegistryKey::GetString(const std::u16string& name, std::u16string* text) {
  RegistryValue value;
  if (!hasKey_ || !registry_.QueryValue(currentRoot_, currentKey_, name, &value)) {
    return Result(false);
  }
  // The type is not looked at: a number's four bytes read as two UTF-16 units.
  std::u16string data;
  if (value.type == kRegNumber) {
    data = {static_cast<char16_t>(value.number & 0xFFFF),
            static_cast<char16_t>(value.number >> 16)};
    lastSize_ = 4;
  } else {
    data = value.text;
    lastSize_ = static_cast<uint32_t>((value.text.size() + 1) * 2);
  }
  lastType_ = value.type;
  if (lastSize_ > kStringBufferBytes) return Result(false);
  *text = data.substr(0, data.find(u'\0'));
  return Result(true);
}

bool CRegistryKey::DeleteValue(const std::u16string& name) {
  return Result(hasKey_ && registry_.DeleteValue(currentRoot_, currentKey_, name));
}

bool CRegistryKey::DeleteKey(RegistryRoot root, const std::u16string& subkey) {
  return Result(registry_.DeleteKey(root, subkey));
}

}  // namespace lirako
