#include "platform/background_thread.h"

#include <sys/resource.h>
#include <unistd.h>

namespace lirako {
namespace {

// How much nicer than the window's thread background work runs.
constexpr int kBackgroundNiceness = 10;

}  // namespace

void YieldToForeground() {
  // On Linux a thread id names that thread alone; failing (a sandbox may forbid it) only
  // leaves the thread at the program's priority.
  const id_t thread = static_cast<id_t>(::gettid());
  const int current = ::getpriority(PRIO_PROCESS, thread);
  ::setpriority(PRIO_PROCESS, thread, current + kBackgroundNiceness);
}

}  // namespace lirako
