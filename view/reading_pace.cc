#include "view/reading_pace.h"

#include <cmath>

namespace lirako {
namespace {

// A longer stretch between two steps is a pause, not reading.
constexpr auto kLongestStretch = std::chrono::minutes(2);
// The reading time the pace is taken over.
constexpr auto kWindow = std::chrono::minutes(5);
// A pace is given only after this many counted steps over this much reading.
constexpr size_t kFewestSteps = 3;
constexpr auto kShortestReading = std::chrono::seconds(10);

}  // namespace

void ReadingPace::Step(Clock::time_point when, int64_t units) {
  if (units <= 0) return;
  const std::optional<Clock::time_point> previous = last_;
  last_ = when;
  if (!previous || when <= *previous) return;
  const Clock::duration stretch = when - *previous;
  if (stretch > kLongestStretch) return;
  steps_.push_back(Counted{stretch, units});
  // The oldest steps go once the rest covers the window.
  Clock::duration total{};
  for (const Counted& step : steps_)
    total += step.time;
  while (steps_.size() > 1 && total - steps_.front().time >= kWindow) {
    total -= steps_.front().time;
    steps_.pop_front();
  }
}

std::optional<double> ReadingPace::UnitsPerMinute() const {
  if (steps_.size() < kFewestSteps) return std::nullopt;
  Clock::duration time{};
  int64_t units = 0;
  for (const Counted& step : steps_) {
    time += step.time;
    units += step.units;
  }
  if (time < kShortestReading) return std::nullopt;
  return static_cast<double>(units) / std::chrono::duration<double, std::ratio<60>>(time).count();
}

std::optional<std::chrono::seconds> ReadingPace::TimeFor(int64_t units) const {
  const std::optional<double> pace = UnitsPerMinute();
  if (!pace || units < 0) return std::nullopt;
  return std::chrono::seconds(std::llround(static_cast<double>(units) / *pace * 60.0));
}

}  // namespace lirako
