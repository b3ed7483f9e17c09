#include "platform/registry_store.h"

#include <sys/stat.h>

#include <cstdio>

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/posix_file.h"
#include "platform/utf.h"

namespace lirako {
namespace {

constexpr char kMagic[] = "lirako-registry 1";

const char* RootName(RegistryRoot root) {
  return root == RegistryRoot::kCurrentUser ? "HKEY_CURRENT_USER" : "HKEY_CLASSES_ROOT";
}

std::u16string FoldName(const std::u16string& s) {
  std::u16string out = s;
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

// Quotes a string: UTF-8 inside double quotes, with \\, \" and \n escaped.
std::string Quote(const std::u16string& s) {
  std::string out = "\"";
  for (char c : ToUtf8(s)) {
    if (c == '\\' || c == '"') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out.push_back(c);
    }
  }
  return out + "\"";
}

// Reads a quoted string at `pos`; false when malformed.
bool Unquote(const std::string& line, size_t& pos, std::u16string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  std::string raw;
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      out = FromUtf8(raw);
      return true;
    }
    if (c == '\\') {
      if (++pos >= line.size()) return false;
      char e = line[pos];
      if (e == 'n')
        raw.push_back('\n');
      else if (e == '\\' || e == '"')
        raw.push_back(e);
      else
        return false;
    } else {
      raw.push_back(c);
    }
  }
  return false;
}

bool ReadWord(const std::string& line, size_t& pos, std::string& word) {
  while (pos < line.size() && line[pos] == ' ')
    ++pos;
  size_t start = pos;
  while (pos < line.size() && line[pos] != ' ')
    ++pos;
  word = line.substr(start, pos - start);
  while (pos < line.size() && line[pos] == ' ')
    ++pos;
  return !word.empty();
}

}  // namespace

RegistryStore::RegistryStore(std::string backingPath) : backingPath_(std::move(backingPath)) {
  if (backingPath_.empty()) return;
  std::ifstream in(backingPath_, std::ios::binary);
  if (!in) return;
  std::stringstream buffer;
  buffer << in.rdbuf();
  Parse(buffer.str());
}

std::u16string RegistryStore::Fold(RegistryRoot root, const std::u16string& key) {
  std::u16string folded = FoldName(key);
  while (!folded.empty() && folded.back() == u'\\')
    folded.pop_back();
  return (root == RegistryRoot::kCurrentUser ? u"U:" : u"C:") + folded;
}

RegistryStore::Key* RegistryStore::Find(RegistryRoot root, const std::u16string& key) {
  auto it = keys_.find(Fold(root, key));
  return it == keys_.end() ? nullptr : &it->second;
}

bool RegistryStore::KeyExists(RegistryRoot root, const std::u16string& key) {
  return Find(root, key) != nullptr;
}

bool RegistryStore::CreateKey(RegistryRoot root, const std::u16string& key) {
  if (key.empty()) return false;
  bool changed = false;
  size_t pos = 0;
  while (pos != std::u16string::npos) {
    pos = key.find(u'\\', pos + 1);
    std::u16string part = key.substr(0, pos);
    if (part.empty() || part.back() == u'\\') continue;
    if (!Find(root, part)) {
      keys_[Fold(root, part)] = Key{root, part, {}};
      changed = true;
    }
  }
  if (changed) Persist();
  return true;
}

bool RegistryStore::QueryValue(RegistryRoot root, const std::u16string& key,
                               const std::u16string& name, RegistryValue* value) {
  Key* k = Find(root, key);
  if (!k) return false;
  auto it = k->values.find(FoldName(name));
  if (it == k->values.end()) return false;
  if (value) *value = it->second.value;
  return true;
}

bool RegistryStore::SetString(RegistryRoot root, const std::u16string& key,
                              const std::u16string& name, const std::u16string& text,
                              uint32_t type) {
  Key* k = Find(root, key);
  if (!k) return false;
  RegistryValue v;
  v.type = type;
  v.text = text;
  k->values[FoldName(name)] = NamedValue{name, v};
  Persist();
  return true;
}

bool RegistryStore::SetNumber(RegistryRoot root, const std::u16string& key,
                              const std::u16string& name, uint32_t number) {
  Key* k = Find(root, key);
  if (!k) return false;
  RegistryValue v;
  v.type = kRegNumber;
  v.number = number;
  k->values[FoldName(name)] = NamedValue{name, v};
  Persist();
  return true;
}

bool RegistryStore::DeleteValue(RegistryRoot root, const std::u16string& key,
                                const std::u16string& name) {
  Key* k = Find(root, key);
  if (!k || k->values.erase(FoldName(name)) == 0) return false;
  Persist();
  return true;
}

bool RegistryStore::DeleteKey(RegistryRoot root, const std::u16string& key) {
  std::u16string folded = Fold(root, key);
  auto it = keys_.find(folded);
  if (it == keys_.end()) return false;
  std::u16string prefix = folded + u"\\";
  for (auto i = keys_.begin(); i != keys_.end();) {
    if (i->first == folded || i->first.compare(0, prefix.size(), prefix) == 0) {
      i = keys_.erase(i);
    } else {
      ++i;
    }
  }
  Persist();
  return true;
}

std::string RegistryStore::Serialize() const {
  std::string out = std::string(kMagic) + "\n";
  for (const auto& [folded, key] : keys_) {
    out += std::string("key ") + RootName(key.root) + " " + Quote(key.name) + "\n";
    for (const auto& [vfolded, named] : key.values) {
      out += "value " + Quote(named.name) + " ";
      const RegistryValue& v = named.value;
      if (v.type == kRegNumber) {
        out += "number " + std::to_string(v.number);
      } else {
        out += (v.type == kRegExpandString ? "expand " : "string ") + Quote(v.text);
      }
      out += "\n";
    }
  }
  return out;
}

bool RegistryStore::Parse(const std::string& text) {
  keys_.clear();
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kMagic) return false;
  Key* current = nullptr;
  std::map<std::u16string, Key> parsed;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    size_t pos = 0;
    std::string word;
    ReadWord(line, pos, word);
    if (word == "key") {
      std::string root;
      std::u16string name;
      if (!ReadWord(line, pos, root)) return false;
      RegistryRoot r;
      if (root == "HKEY_CURRENT_USER")
        r = RegistryRoot::kCurrentUser;
      else if (root == "HKEY_CLASSES_ROOT")
        r = RegistryRoot::kClassesRoot;
      else
        return false;
      if (!Unquote(line, pos, name) || name.empty() || pos != line.size()) return false;
      current = &(parsed[Fold(r, name)] = Key{r, name, {}});
    } else if (word == "value" && current) {
      NamedValue nv;
      std::string type;
      if (!Unquote(line, pos, nv.name) || !ReadWord(line, pos, type)) return false;
      if (type == "number") {
        std::string digits;
        if (!ReadWord(line, pos, digits) || digits.size() > 10 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
          return false;
        }
        unsigned long long n = std::stoull(digits);
        if (n > 0xFFFFFFFFull) return false;
        nv.value.type = kRegNumber;
        nv.value.number = static_cast<uint32_t>(n);
      } else if (type == "string" || type == "expand") {
        nv.value.type = type == "string" ? kRegString : kRegExpandString;
        if (!Unquote(line, pos, nv.value.text)) return false;
      } else {
        return false;
      }
      if (pos != line.size()) return false;
      current->values[FoldName(nv.name)] = nv;
    } else {
      return false;
    }
  }
  keys_ = std::move(parsed);
  return true;
}

void RegistryStore::Persist() {
  if (backingPath_.empty()) return;
  std::string folder = backingPath_.substr(0, backingPath_.find_last_of('/') + 1);
  if (!folder.empty()) {
    // Create missing parent folders one level at a time.
    for (size_t p = 1; p < folder.size(); p = folder.find('/', p) + 1) {
      size_t slash = folder.find('/', p);
      if (slash == std::string::npos) break;
      std::string part = folder.substr(0, slash);
      struct stat st;
      if (::stat(part.c_str(), &st) != 0) ::mkdir(part.c_str(), 0755);
    }
  }
  std::string err;
  std::unique_ptr<File> file = CreateAtomicFile(backingPath_, &err);
  if (file) {
    std::string text = Serialize();
    bool written = file->Write(text.data(), text.size()) == text.size();
    if (file->Close() && written) return;
    err = backingPath_ + ": " + file->FailureReason();
  }
  std::fprintf(stderr, "lirako: not saved: %s\n", err.c_str());
}

}  // namespace lirako
