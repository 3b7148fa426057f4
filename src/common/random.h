// The one pseudo-random integer generator and the clock it is seeded from.
// Runs reseed it from the clock in whole seconds; tests and the command line
// fix the seed instead, so every run is repeatable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vema {

// The calendar clock; tests substitute a fixed one.
class Clock {
 public:
  virtual ~Clock() = default;
  // Calendar time in whole seconds.
  virtual int64_t now_seconds() const = 0;
  // Local time of day as hh:mm:ss.
  virtual std::string time_of_day() const = 0;
};

class SystemClock : public Clock {
 public:
  int64_t now_seconds() const override;
  std::string time_of_day() const override;
};

// A 32-bit permuted congruential generator (PCG32): fast, small state and
// good enough for sampling neighbours. Values are 0..2^31-1.
class Random {
 public:
  // clock must outlive the generator.
  explicit Random(const Clock& clock) : clock_(clock) { seed(0); }

  // The seed seed_from_clock uses: the fixed seed when set, else the
  // clock in whole seconds.
  uint64_t clock_seed() const {
    return fixed_seed_ ? *fixed_seed_ : static_cast<uint64_t>(clock_.now_seconds());
  }
  // Seeds from clock_seed.
  void seed_from_clock() { seed(clock_seed()); }
  void seed(uint64_t value) {
    state_ = 0;
    next();
    state_ += value;
    next();
  }
  // With a fixed seed every seed_from_clock uses it instead of the clock.
  void set_fixed_seed(std::optional<uint64_t> value) { fixed_seed_ = value; }
  const std::optional<uint64_t>& fixed_seed() const { return fixed_seed_; }

  int next() {
    const uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + kIncrement;
    const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<uint32_t>(old >> 59u);
    const uint32_t value = (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    return static_cast<int>(value >> 1);
  }
  // The next value modulo n; 0 when n is 0 (or negative).
  int mod(int n) {
    const int value = next();
    return n > 0 ? value % n : 0;
  }

  const Clock& clock() const { return clock_; }

 private:
  static constexpr uint64_t kIncrement = 1442695040888963407ULL;
  const Clock& clock_;
  std::optional<uint64_t> fixed_seed_;
  uint64_t state_ = 0;
};

}  // namespace vema
