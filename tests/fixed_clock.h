// The calendar clock of the tests: it stands still unless the test moves it,
// either by setting or advancing it between readings or by giving it a step
// it moves on by at every reading. Safe to read from several threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "common/random.h"

namespace vema::testing {

// The reading of a clock nobody has moved.
inline constexpr int64_t kClockStart = 1'700'000'000;

class FixedClock : public Clock {
 public:
  explicit FixedClock(int64_t seconds = kClockStart, int64_t step = 0)
      : seconds_(seconds), step_(step) {}

  // The current reading; the clock then moves on by the step.
  int64_t now_seconds() const override { return seconds_.fetch_add(step_.load()); }
  std::string time_of_day() const override { return "10:20:30"; }

  void set_seconds(int64_t seconds) { seconds_.store(seconds); }
  void advance(int64_t seconds) { seconds_.fetch_add(seconds); }
  void set_step(int64_t step) { step_.store(step); }

 private:
  mutable std::atomic<int64_t> seconds_;
  std::atomic<int64_t> step_;
};

}  // namespace vema::testing
