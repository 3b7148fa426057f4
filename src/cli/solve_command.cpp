// vema solve: the tabu search runs from the command line.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "common/random.h"
#include "schedule/schedule_file.h"
#include "search/run_log.h"
#include "search/tabu_search.h"

namespace vema::cli {
namespace {

struct SolveOptions {
  std::string problem;
  std::string method = "tabu";
  int steps = 2000;
  int loops = 100;
  int tabu = 150;
  int max_without_improvement = 20;
  std::optional<int> min_loop;
  std::string priorities;
  std::string operator_priorities;
  std::string start = "random";
  std::optional<uint64_t> seed;
  std::string log;
  std::string out;
  std::string release;
  int time_limit = 0;
  bool json = false;
};

int run_solve(const SolveOptions& o) {
  check_range(o.time_limit, 0, 241, "--time-limit takes minutes in [1 - 241].");
  if (o.method != "tabu" && o.method != "autostop" && o.method != "batch") {
    throw UsageError{"--method must be tabu, autostop or batch"};
  }

  ProcessState state;
  set_run_size(state, o.steps, o.loops, o.tabu);
  set_autostop(state, o.max_without_improvement, o.min_loop);
  set_priorities(state, o.priorities, o.operator_priorities);
  state.program_folder = program_folder();
  state.log_file = o.log;

  TerminalUi ui(std::cerr, true);
  Problem problem;
  if (const int status = load_problem(o.problem, problem, ui); status != 0) return status;
  if (o.start != "random") {
    if (const int status = import_schedule(o.start, problem, state.current_schedule); status != 0) {
      return status;
    }
    problem.first_run = false;  // the run then takes the given schedule as its start
  }

  SystemClock clock;
  Random rng(clock);
  rng.set_fixed_seed(o.seed);
  catch_interrupts();
  ui.watch_run(&state, o.time_limit, isatty(STDERR_FILENO) != 0 && !o.json);

  int result;
  if (o.method == "tabu") {
    result = run_tabu_search(problem, state, ui, rng);
  } else if (o.method == "autostop") {
    result = run_autostop(problem, state, ui, rng);
  } else {
    result = run_batch(problem, state, ui, rng);
  }
  if (result != 1) {
    std::cerr << "vema: the run log could not be opened" << std::endl;
    return 3;
  }
  int status = 0;
  if (!o.out.empty() && write_schedule_file(o.out, state.current_schedule) != kFileDone) {
    std::cerr << "vema: cannot write '" << o.out << "'" << std::endl;
    status = 3;
  }
  if (!o.release.empty() &&
      write_released_schedule_file(o.release, state.current_schedule, problem) != kFileDone) {
    std::cerr << "vema: cannot write '" << o.release << "'" << std::endl;
    status = 3;
  }

  OBJ_VALUE values = state.current_values;
  values.n_of_Scheduled_Jobs = scheduled_jobs(state.current_schedule);
  if (o.json) {
    nlohmann::json j;
    j["method"] = o.method;
    j["problem"] = o.problem;
    j["best_step"] = state.status.best_step;
    j["log"] = state.status.log_path;
    if (!o.out.empty()) j["schedule"] = o.out;
    if (!o.release.empty()) j["released"] = o.release;
    j["values"] = {{"n_of_Late_Orders", values.n_of_Late_Orders},
                   {"n_of_Late_Jobs", values.n_of_Late_Jobs},
                   {"sumTardiness", values.sumTardiness},
                   {"max_Tardiness", values.max_Tardiness},
                   {"n_of_Setup", values.n_of_Setup},
                   {"Completion_Time", values.Completion_Time},
                   {"sumAbsLateness", values.sumAbsLateness},
                   {"n_of_Early_Starting_Jobs", values.n_of_Early_Starting_Jobs},
                   {"sumEarly_Startness", values.sumEarly_Startness},
                   {"n_of_Scheduled_Jobs", values.n_of_Scheduled_Jobs}};
    std::cout << j.dump(2) << '\n';
  } else {
    std::cout << "Best schedule (" << o.method << ", best step " << state.status.best_step
              << "):\n";
    write_values_listing(std::cout, values);
    std::cout << "Run log: " << state.status.log_path << '\n';
    if (!o.out.empty()) std::cout << "Schedule: " << o.out << '\n';
    if (!o.release.empty()) std::cout << "Released schedule: " << o.release << '\n';
  }
  return status;
}

}  // namespace

void add_solve_command(CLI::App& app) {
  auto o = std::make_shared<SolveOptions>();
  CLI::App* s = app.add_subcommand("solve", "Improve a schedule for a problem by tabu search");
  s->add_option("PROBLEM", o->problem, "Scheduling input file (.sif or .txt)")->required();
  s->add_option("--method", o->method, "tabu, autostop or batch")->capture_default_str();
  s->add_option("--steps", o->steps, "Num. of steps [1 - 9999]")->capture_default_str();
  s->add_option("--loops", o->loops, "Num. of loops (neighbours per step) [1 - 999]")
      ->capture_default_str();
  s->add_option("--tabu", o->tabu, "TabuList size [1 - 9999]")->capture_default_str();
  s->add_option("--max-steps-without-improvement", o->max_without_improvement,
                "Automatic stop after this many steps without a better schedule [1 - 9999]")
      ->capture_default_str();
  s->add_option("--min-loop", o->min_loop,
                "First step that may be left early (autostop, batch) [1 - loops], default 10");
  s->add_option("--priorities", o->priorities,
                "Objective priorities: late orders, late jobs, sum of tardiness, max tardiness, "
                "setups, completion time, each [0 - 10] (default 7,8,10,10,7,5)");
  s->add_option("--operator-priorities", o->operator_priorities,
                "Priorities of the operators N1..N5, each [0 - 10] (default 1,1,1,1,1)");
  s->add_option("--start", o->start, "random, or a schedule file (.sch) to start from")
      ->capture_default_str();
  s->add_option("--seed", o->seed, "Seed of the random generator (default: the clock)");
  s->add_option("--log", o->log,
                "Run log to write (default: __last_run__.txt in the program's folder)");
  s->add_option("--out", o->out, "Write the best schedule to this schedule file (.sch)");
  s->add_option("--release", o->release,
                "Write the best schedule as a released schedule file (.rsf)");
  s->add_option("--time-limit", o->time_limit, "Stop after this many minutes [1 - 241]");
  s->add_flag("--json", o->json, "Print the summary as JSON");
  s->callback([o] { throw CommandDone{run_solve(*o)}; });
}

}  // namespace vema::cli
