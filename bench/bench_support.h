// What the benchmarks share: a clock standing still, a user interface that
// shows and asks nothing, and a problem of the generator's default size.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "common/random.h"
#include "common/user_interface.h"
#include "generator/generator.h"
#include "generator/generator_parameters.h"
#include "problem/input_reader.h"
#include "problem/problem.h"

namespace vema::bench {

class FixedClock : public Clock {
 public:
  explicit FixedClock(int64_t seconds = 1700000000) : seconds_(seconds) {}
  int64_t now_seconds() const override { return seconds_; }
  std::string time_of_day() const override { return "00:00:00"; }

 private:
  int64_t seconds_;
};

class QuietUi : public UserInterface {
 public:
  void message(const std::string&) override {}
  bool ask(const std::string&) override { return false; }
  std::optional<std::string> open_file(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> save_file(const FileDialogRequest&) override { return {}; }
  void process_events() override {}
  void review_input_check(InputCheckSession&) override {}
};

// A run log in the temporary folder, named after the benchmark and this
// process, so that benchmark runs at the same time do not share it.
inline std::string temp_log_path(const std::string& name) {
  return (std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()) + ".txt"))
      .string();
}

// The problem generator's "Basic Method" with its default parameters (10
// machine groups of about 12 machines with 10 calendar intervals each, 4
// setup types, about 40 orders of each of the 10 execution types with about
// 10 jobs of size about 200) from a fixed seed, written as an input file and
// read back as the scheduler loads it.
inline Problem default_size_problem() {
  FixedClock clock;
  Random rng(clock);
  rng.set_fixed_seed(20240611);
  const GeneratedProblem generated =
      generate_problem(GeneratorParameters{}, GenerationMethod::kBasic, rng);
  std::istringstream in(input_file_text(generated));
  Problem problem;
  if (!read_input(in, problem)) std::abort();
  problem.first_run = true;
  problem.input_file_name = "generated";
  return problem;
}

}  // namespace vema::bench
