// vema perftest: the performance test from the command line.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "common/random.h"
#include "perftest/perf_test.h"
#include "search/process_state.h"

namespace vema::cli {
namespace {

inline constexpr int kMaxThreads = 256;

struct PerfTestOptions {
  std::string problem;
  int iterations = 10;
  SearchOptions search;
  int threads = 1;
  bool json = false;
};

nlohmann::json six_json(const OBJ_VALUE& v) {
  return {{"n_of_Late_Orders", v.n_of_Late_Orders},
          {"n_of_Late_Jobs", v.n_of_Late_Jobs},
          {"sumTardiness", v.sumTardiness},
          {"max_Tardiness", v.max_Tardiness},
          {"n_of_Setup", v.n_of_Setup},
          {"Completion_Time", v.Completion_Time}};
}

int run_perftest(const PerfTestOptions& o) {
  check_range(o.iterations, kPerfTestMinIterations, kPerfTestMaxIterations,
              "--iterations takes a number in [1 - 99999].");
  check_range(o.threads, 1, kMaxThreads,
              "--threads takes a number in [1 - " + std::to_string(kMaxThreads) + "].");

  ProcessState state;
  apply_search_options(state, o.search);

  TerminalUi ui(std::cerr, true);
  Problem problem;
  if (const int status = load_problem(o.problem, problem, ui); status != 0) return status;

  SystemClock clock;
  Random rng(clock);
  rng.set_fixed_seed(o.search.seed);
  catch_interrupts();
  ui.watch_run(&state, 0, isatty(STDERR_FILENO) != 0 && !o.json);

  const PerfTestResult r = run_performance_test(o.iterations, o.threads, problem, state, ui, rng);
  if (r.status != 1) {
    std::cerr << "vema: the run log could not be opened" << std::endl;
    return 3;
  }
  const int n = static_cast<int>(r.iterations.size());
  if (o.json) {
    nlohmann::json j;
    j["problem"] = o.problem;
    j["log"] = r.log_path;
    j["threads"] = o.threads;
    j["iterations"] = o.iterations;
    j["completed"] = n;
    j["stopped"] = r.stopped;
    j["best"] = r.best;
    nlohmann::json list = nlohmann::json::array();
    for (const PerfTestIteration& it : r.iterations) {
      list.push_back({{"rand", six_json(it.rand)},
                      {"heur", six_json(it.heur)},
                      {"search", six_json(it.search)},
                      {"run_time", it.run_time},
                      {"best_step", it.best_step}});
    }
    j["results"] = list;
    std::cout << j.dump(2) << '\n';
  } else {
    double late_rand = 0, late_heur = 0, late_search = 0;
    for (const PerfTestIteration& it : r.iterations) {
      late_rand += it.rand.n_of_Late_Jobs;
      late_heur += it.heur.n_of_Late_Jobs;
      late_search += it.search.n_of_Late_Jobs;
    }
    std::cout << "Performance test: " << n << " of " << o.iterations << " iterations"
              << (r.stopped ? " (stopped)" : "") << '\n';
    if (n > 0) {
      std::cout << "Average late jobs: rand " << late_rand / n << ", heur " << late_heur / n
                << ", search " << late_search / n << '\n';
      std::cout << "Best search result: iteration " << r.best << '\n';
    }
    std::cout << "Run log: " << r.log_path << '\n';
  }
  return 0;
}

}  // namespace

void add_perftest_command(CLI::App& app) {
  auto o = std::make_shared<PerfTestOptions>();
  CLI::App* s = app.add_subcommand(
      "perftest", "Compare random, heuristic and searched schedules over repeated runs");
  s->add_option("PROBLEM", o->problem, "Scheduling input file (.sif or .txt)")->required();
  s->add_option("--iterations", o->iterations, "Num. of iterations [1 - 99999]")
      ->capture_default_str();
  SearchOptionHelp help;
  help.steps = "Num. of steps of each search [1 - 9999]";
  help.max_without_improvement =
      "A search stops after this many steps without a better schedule [1 - 9999]";
  help.min_loop = "First step that may be left early [1 - loops], default 10";
  add_search_options(*s, o->search, help);
  add_seed_option(*s, o->search.seed,
                  "Seed of the random generator instead of the clock. With one thread every "
                  "iteration reseeds with it, as from a clock standing still, so all iterations "
                  "are alike; with more threads each iteration gets its own seed derived from it");
  s->add_option("--threads", o->threads,
                "Run the iterations on this many threads, each iteration with its own generator "
                "[1 - 256]")
      ->capture_default_str();
  add_log_option(*s, o->search.log);
  s->add_flag("--json", o->json, "Print the results as JSON");
  s->callback([o] { throw CommandDone{run_perftest(*o)}; });
}

}  // namespace vema::cli
