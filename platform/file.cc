#include "platform/file.h"

namespace lirako {

size_t File::ReadItems(void* buffer, size_t itemSize, size_t count) {
  if (itemSize == 0) return 0;
  return Read(buffer, itemSize * count) / itemSize;
}

size_t File::WriteItems(const void* data, size_t itemSize, size_t count) {
  if (itemSize == 0) return 0;
  return Write(data, itemSize * count) / itemSize;
}

}  // namespace lirako
