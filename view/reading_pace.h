#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

namespace lirako {

// How fast the reader reads: the text a page turn or line step moved past, over the last
// few minutes of reading. A stretch of more than two minutes between two steps is a pause:
// neither its time nor its step counts. Fed by the view with the platform's clock.
class ReadingPace {
 public:
  using Clock = std::chrono::steady_clock;

  // A step forward at `when` that moved the page past `units` of text (bytes, or 16-bit
  // units); steps of no text are left out.
  void Step(Clock::time_point when, int64_t units);
  // Forgets every step (another book: its units are another size).
  void Reset() { steps_.clear(); }
  // Units read per minute, or nothing while too few steps were counted.
  std::optional<double> UnitsPerMinute() const;
  // How long `units` more take at this pace, or nothing without a pace.
  std::optional<std::chrono::seconds> TimeFor(int64_t units) const;

 private:
  struct Counted {
    Clock::duration time;
    int64_t units = 0;
  };

  std::optional<Clock::time_point> last_;
  // The counted steps, oldest first, covering at most the window of reading time.
  std::deque<Counted> steps_;
};

}  // namespace lirako
