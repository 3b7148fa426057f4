// vema start and vema enumerate: a starting schedule by one of the six
// constructive methods, and the exact optimum of a small problem.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "common/random.h"
#include "schedule/schedule_file.h"
#include "search/enumeration.h"
#include "search/run_log.h"
#include "search/starting_schedules.h"

namespace vema::cli {
namespace {

// ------------------------------------------------------------- vema start

struct StartOptions {
  std::string problem;
  int method = kDefaultStartingMethod;
  std::string out;
  std::optional<uint64_t> seed;
  bool json = false;
};

int run_start(const StartOptions& o) {
  TerminalUi ui(std::cerr, false);
  Problem problem;
  if (const int status = load_problem(o.problem, problem, ui); status != 0) return status;
  SystemClock clock;
  Random rng(clock);
  rng.set_fixed_seed(o.seed);
  // Methods 5 and 6 continue the generator; give them the run's seed.
  rng.seed_from_clock();
  ProcessState state;
  generate_starting_schedule(o.method, problem, state, rng);
  if (write_schedule_file(o.out, state.current_schedule) != kFileDone) {
    std::cerr << "vema: cannot write '" << o.out << "'" << std::endl;
    return 3;
  }
  const OBJ_VALUE values = current_values_of(state);
  if (o.json) {
    nlohmann::json j;
    j["problem"] = o.problem;
    j["method"] = o.method;
    j["method_name"] = kStartingMethodNames[o.method];
    j["schedule"] = o.out;
    j["values"] = values_json(values);
    std::cout << j.dump(2) << '\n';
  } else {
    std::cout << "Starting schedule (" << o.method << ". " << kStartingMethodNames[o.method]
              << "):\n";
    write_values_listing(std::cout, values);
    std::cout << "Schedule: " << o.out << '\n';
  }
  return 0;
}

// --------------------------------------------------------- vema enumerate

struct EnumerateOptions {
  std::string problem;
  std::string start;
  std::string out;
  std::optional<uint64_t> seed;
  std::string log;
  std::string priorities;
  bool json = false;
};

int run_enumerate(const EnumerateOptions& o) {
  ProcessState state;
  set_priorities(state, o.priorities, "");
  state.program_folder = program_folder();
  state.log_file = o.log;

  // Questions are answered Yes: a given start is reloaded, and Ctrl-C stops.
  TerminalUi ui(std::cerr, true);
  Problem problem;
  if (const int status = load_problem(o.problem, problem, ui); status != 0) return status;
  if (!enumeration_size_accepted(problem, ui)) return 2;
  if (!o.start.empty()) {
    if (const int status = import_schedule(o.start, problem, state.current_schedule); status != 0) {
      return status;
    }
    problem.first_run = false;  // the run then takes the given schedule as its start
  }

  SystemClock clock;
  Random rng(clock);
  rng.set_fixed_seed(o.seed);
  catch_interrupts();
  ui.watch_run(&state, 0, isatty(STDERR_FILENO) != 0 && !o.json);

  EnumerationSummary summary;
  if (run_enumeration(problem, state, ui, rng, &summary) != 1) {
    std::cerr << "vema: the run log could not be opened" << std::endl;
    return 3;
  }
  const int status = write_schedule_outputs(state.current_schedule, problem, o.out, "");

  const OBJ_VALUE values = current_values_of(state);
  if (o.json) {
    nlohmann::json j;
    j["problem"] = o.problem;
    j["assignments"] = summary.assignments;
    j["total_assignments"] = summary.total_assignments;
    j["evaluated"] = summary.evaluated;
    j["best_solution"] = summary.best_solution;
    j["optimal_count"] = summary.optimal_count;
    j["stopped"] = summary.stopped;
    j["log"] = state.status.log_path;
    if (!o.out.empty()) j["schedule"] = o.out;
    j["values"] = values_json(values);
    std::cout << j.dump(2) << '\n';
  } else {
    std::cout << "Best schedule (enumeration" << (summary.stopped ? ", stopped" : "") << "):\n";
    write_values_listing(std::cout, values);
    std::cout << "Number of evaluated schedule: " << summary.evaluated << '\n'
              << "best solution: " << summary.best_solution << '\n'
              << "number of optimal solution: " << summary.optimal_count << '\n'
              << "Run log: " << state.status.log_path << '\n';
    if (!o.out.empty()) std::cout << "Schedule: " << o.out << '\n';
  }
  return status;
}

}  // namespace

void add_start_commands(CLI::App& app) {
  auto so = std::make_shared<StartOptions>();
  std::string methods = "Starting method [1 - 6]:";
  for (int m = 1; m <= kStartingMethods; ++m) {
    methods += "\n  " + std::to_string(m) + " = " + kStartingMethodNames[m];
  }
  CLI::App* s = app.add_subcommand(
      "start", "Build a starting schedule with one of the six constructive methods");
  s->add_option("PROBLEM", so->problem, "Scheduling input file (.sif or .txt)")->required();
  s->add_option("-m,--method", so->method, methods)
      ->check(CLI::Range(1, kStartingMethods))
      ->capture_default_str();
  s->add_option("-o,--out", so->out, "Schedule file to write (.sch)")->required();
  add_seed_option(*s, so->seed);
  s->add_flag("--json", so->json, "Print the values as JSON");
  s->callback([so] { throw CommandDone{run_start(*so)}; });

  auto eo = std::make_shared<EnumerateOptions>();
  CLI::App* e = app.add_subcommand(
      "enumerate",
      "Find the best schedule of a small problem (at most 20 machines and 20 jobs) by trying "
      "every assignment and every machine sequence");
  e->add_option("PROBLEM", eo->problem, "Scheduling input file (.sif or .txt)")->required();
  e->add_option("--start", eo->start,
                "Start from this schedule file (.sch) instead of a random schedule");
  e->add_option("--out", eo->out, "Write the best schedule to this schedule file (.sch)");
  add_seed_option(*e, eo->seed);
  add_log_option(*e, eo->log);
  e->add_option("--priorities", eo->priorities,
                "Objective priorities: late orders, late jobs, sum of tardiness, max tardiness, "
                "setups, completion time, each [0 - 10] (default 7,8,10,10,7,5)");
  e->add_flag("--json", eo->json, "Print the summary as JSON");
  e->callback([eo] { throw CommandDone{run_enumerate(*eo)}; });
}

}  // namespace vema::cli
