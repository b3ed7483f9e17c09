#include "platform/save_calls.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace lirako {

SaveCalls& ActiveSaveCalls() {
  static SaveCalls calls{::write, ::fchmod, ::fsync, ::close, std::rename, ::fsync};
  return calls;
}

}  // namespace lirako
