// vema solve: the tabu search runs from the command line.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "common/random.h"
#include "search/run_log.h"
#include "search/tabu_search.h"

namespace vema::cli {
namespace {

struct SolveOptions {
  std::string problem;
  std::string method = "tabu";
  SearchOptions search;
  std::string start = "random";
  std::string out;
  std::string release;
  bool json = false;
};

int run_solve(const SolveOptions& o) {
  check_time_limit(o.search.time_limit);
  if (o.method != "tabu" && o.method != "autostop" && o.method != "batch") {
    throw UsageError{"--method must be tabu, autostop or batch"};
  }

  ProcessState state;
  apply_search_options(state, o.search);

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
  rng.set_fixed_seed(o.search.seed);
  catch_interrupts();
  ui.watch_run(&state, o.search.time_limit, isatty(STDERR_FILENO) != 0 && !o.json);

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
  const int status = write_schedule_outputs(state.current_schedule, problem, o.out, o.release);

  const OBJ_VALUE values = current_values_of(state);
  if (o.json) {
    nlohmann::json j;
    j["method"] = o.method;
    j["problem"] = o.problem;
    j["best_step"] = state.status.best_step;
    j["log"] = state.status.log_path;
    if (!o.out.empty()) j["schedule"] = o.out;
    if (!o.release.empty()) j["released"] = o.release;
    j["values"] = values_json(values);
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
  SearchOptionHelp help;
  help.max_without_improvement =
      "Automatic stop after this many steps without a better schedule [1 - 9999]";
  help.min_loop = "First step that may be left early (autostop, batch) [1 - loops], default 10";
  add_search_options(*s, o->search, help);
  s->add_option("--start", o->start, "random, or a schedule file (.sch) to start from")
      ->capture_default_str();
  add_seed_option(*s, o->search.seed);
  add_log_option(*s, o->search.log);
  s->add_option("--out", o->out, "Write the best schedule to this schedule file (.sch)");
  s->add_option("--release", o->release,
                "Write the best schedule as a released schedule file (.rsf)");
  add_time_limit_option(*s, o->search.time_limit);
  s->add_flag("--json", o->json, "Print the summary as JSON");
  s->callback([o] { throw CommandDone{run_solve(*o)}; });
}

}  // namespace vema::cli
