#include "cli/cli_support.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "problem/input_reader.h"
#include "schedule/schedule_file.h"
#include "schedule/timing.h"

namespace vema::cli {

int load_problem(const std::string& path, Problem& problem, UserInterface& ui) {
  if (!std::ifstream(path, std::ios::binary)) {
    std::cerr << "vema: cannot open '" << path << "'" << std::endl;
    return 3;
  }
  if (load_input_file(problem, ui, path) != kLoadDone) return 2;
  return 0;
}

int import_schedule(const std::string& path, const Problem& problem, SCH& schedule) {
  std::string error;
  const int result = import_sch(schedule, path, problem, &error);
  if (result == kFileDone) return 0;
  if (result == kFileCannotOpen) {
    std::cerr << "vema: cannot open '" << path << "'" << std::endl;
    return 3;
  }
  std::cerr << "vema: '" << path
            << "' does not fit the problem: " << (error.empty() ? "format error" : error)
            << std::endl;
  return 2;
}

int scheduled_jobs(const SCH& schedule) {
  int n = 0;
  for (int j = 1; j <= schedule.n_jobs && j < static_cast<int>(schedule.job_route.size()); ++j) {
    if (schedule.job_route[j] != 0) ++n;
  }
  return n;
}

OBJ_VALUE time_schedule(SCH& schedule, Problem& problem) {
  evaluate(schedule, problem);
  OBJ_VALUE values;
  compute_objectives(schedule, values, problem);
  values.n_of_Scheduled_Jobs = scheduled_jobs(schedule);
  values.n_orders = problem.N_Order;
  values.n_jobs = problem.N_Job;
  values.n_machines = problem.N_Machine;
  return values;
}

std::vector<int> parse_list(const std::string& text, size_t count, int lo, int hi,
                            const std::string& what) {
  std::vector<int> values;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    try {
      size_t used = 0;
      const int v = std::stoi(item, &used);
      if (used != item.size() || v < lo || v > hi) throw std::out_of_range(item);
      values.push_back(v);
    } catch (const std::exception&) {
      values.clear();
      break;
    }
  }
  if (values.size() != count) {
    throw UsageError{"--" + what + " takes " + std::to_string(count) + " numbers in [" +
                     std::to_string(lo) + " - " + std::to_string(hi) + "], separated by commas."};
  }
  return values;
}

void check_range(int value, int lo, int hi, const std::string& message) {
  if (value < lo || value > hi) throw UsageError{message};
}

void set_run_size(ProcessState& state, int steps, int loops, int tabu) {
  check_range(
      steps, 1, 9999,
      " The value of the Num. of Steps field is out of the range! It must be in [1 - 9999].");
  check_range(
      loops, 1, 999,
      " The value of the Num. of Loops field is out of the range! It must be in [1 - 999].");
  check_range(
      tabu, 1, 9999,
      " The value of the TabuList size field is out of the range! It must be in [1 - 9999].");
  state.run.steps = steps;
  state.run.loops_per_step = loops;
  state.run.tabu_size = tabu;
}

void set_autostop(ProcessState& state, int max_without_improvement, std::optional<int> min_loop) {
  check_range(max_without_improvement, 1, 9999,
              " The value of the AutoStop field is out of the range! It must be in [1 - 9999].");
  const int first_early_step = min_loop.value_or(10);
  check_range(first_early_step, 1, state.run.loops_per_step,
              " The value of the AutoStop field is out of the range! It must be in [1 - Num. of "
              "loops].");
  state.run.max_steps_without_improvement = max_without_improvement;
  state.run.min_loop = first_early_step;
}

void set_priorities(ProcessState& state, const std::string& objectives,
                    const std::string& operators) {
  if (!objectives.empty()) {
    const auto p = parse_list(objectives, 6, 0, 10, "priorities");
    for (size_t i = 0; i < 6; ++i) state.priorities.objective[i + 1] = p[i];
  }
  if (!operators.empty()) {
    const auto p = parse_list(operators, operator_count, 0, 10, "operator-priorities");
    for (size_t k = 0; k < static_cast<size_t>(operator_count); ++k) {
      state.operator_priority[k + 1] = p[k];
    }
  }
}

std::string program_folder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}

bool has_extension(const std::string& path, const std::string& extension) {
  if (path.size() < extension.size()) return false;
  return std::equal(extension.rbegin(), extension.rend(), path.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace vema::cli
