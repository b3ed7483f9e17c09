// Parses arbitrary text as the registry store file. A damaged text must leave the store
// empty; an accepted one must serialise to a text that parses back to the same store.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lirako;
  static const std::string empty = RegistryStore().Serialize();
  RegistryStore store;
  if (!store.Parse(std::string(reinterpret_cast<const char*>(data), size))) {
    if (store.Serialize() != empty) std::abort();
    return 0;
  }
  std::string text = store.Serialize();
  RegistryStore again;
  if (!again.Parse(text) || again.Serialize() != text) std::abort();
  return 0;
}
