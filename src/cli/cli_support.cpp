#include "cli/cli_support.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
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

OBJ_VALUE current_values_of(const ProcessState& state) {
  OBJ_VALUE values = state.current_values;
  values.n_of_Scheduled_Jobs = scheduled_jobs(state.current_schedule);
  return values;
}

nlohmann::json values_json(const OBJ_VALUE& v) {
  return {{"n_of_Late_Orders", v.n_of_Late_Orders},
          {"n_of_Late_Jobs", v.n_of_Late_Jobs},
          {"sumTardiness", v.sumTardiness},
          {"max_Tardiness", v.max_Tardiness},
          {"n_of_Setup", v.n_of_Setup},
          {"Completion_Time", v.Completion_Time},
          {"sumAbsLateness", v.sumAbsLateness},
          {"n_of_Early_Starting_Jobs", v.n_of_Early_Starting_Jobs},
          {"sumEarly_Startness", v.sumEarly_Startness},
          {"n_of_Scheduled_Jobs", v.n_of_Scheduled_Jobs}};
}

int write_schedule_outputs(const SCH& schedule, const Problem& problem, const std::string& out,
                           const std::string& release) {
  int status = 0;
  if (!out.empty() && write_schedule_file(out, schedule) != kFileDone) {
    std::cerr << "vema: cannot write '" << out << "'" << std::endl;
    status = 3;
  }
  if (!release.empty() && write_released_schedule_file(release, schedule, problem) != kFileDone) {
    std::cerr << "vema: cannot write '" << release << "'" << std::endl;
    status = 3;
  }
  return status;
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

void add_search_options(CLI::App& command, SearchOptions& options, const SearchOptionHelp& help) {
  command.add_option("--steps", options.steps, help.steps)->capture_default_str();
  command.add_option("--loops", options.loops, "Num. of loops (neighbours per step) [1 - 999]")
      ->capture_default_str();
  command.add_option("--tabu", options.tabu, "TabuList size [1 - 9999]")->capture_default_str();
  options.with_autostop = help.max_without_improvement != nullptr;
  if (options.with_autostop) {
    command
        .add_option("--max-steps-without-improvement", options.max_without_improvement,
                    help.max_without_improvement)
        ->capture_default_str();
    command.add_option("--min-loop", options.min_loop, help.min_loop);
  }
  command.add_option(
      "--priorities", options.priorities,
      "Objective priorities: late orders, late jobs, sum of tardiness, max tardiness, "
      "setups, completion time, each [0 - 10] (default 7,8,10,10,7,5)");
  command.add_option("--operator-priorities", options.operator_priorities,
                     "Priorities of the operators N1..N5, each [0 - 10] (default 1,1,1,1,1)");
}

void add_seed_option(CLI::App& command, std::optional<uint64_t>& seed, const char* help) {
  command.add_option("--seed", seed, help);
}

void add_log_option(CLI::App& command, std::string& log) {
  command.add_option("--log", log,
                     "Run log to write (default: __last_run__.txt in the program's folder)");
}

void add_time_limit_option(CLI::App& command, int& minutes) {
  command.add_option("--time-limit", minutes, "Stop after this many minutes [1 - 241]");
}

void check_time_limit(int minutes) {
  check_range(minutes, 0, 241, "--time-limit takes minutes in [1 - 241].");
}

void apply_search_options(ProcessState& state, const SearchOptions& options) {
  set_run_size(state, options.steps, options.loops, options.tabu);
  if (options.with_autostop) {
    set_autostop(state, options.max_without_improvement, options.min_loop);
  }
  set_priorities(state, options.priorities, options.operator_priorities);
  state.program_folder = program_folder();
  state.log_file = options.log;
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
