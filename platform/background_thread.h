#pragma once

namespace lirako {

// Lowers the scheduling priority of the calling thread (and of it alone), so that a scan
// running in the background never takes the processor from the window's thread.
void YieldToForeground();

}  // namespace lirako
