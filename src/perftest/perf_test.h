// The performance test: repeats a three-stage experiment on the loaded
// problem — a random assignment ("rand"), the constructive heuristic "Order
// exe type oriented assign. with jobs" ("heur") and a quiet tabu search
// started from the heuristic ("search") — and writes every result, the
// averages, the best search result and the matrix of pairwise comparisons
// of the search results into the run log. The late jobs of the three stages
// go to the "Measuring" chart through the run status. Nothing is published:
// the current schedule, current_values and first_run stay as they were.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/problem.h"
#include "search/obj_value.h"
#include "search/process_state.h"

namespace vema {

inline constexpr int kPerfTestMinIterations = 1;
inline constexpr int kPerfTestMaxIterations = 99999;
// The starting-schedule method of the heur stage.
inline constexpr int kPerfTestHeuristic = 6;

// The results of one completed iteration.
struct PerfTestIteration {
  OBJ_VALUE rand;
  OBJ_VALUE heur;
  OBJ_VALUE search;
  double run_time = 0;  // seconds of the search stage
  int best_step = 0;    // the search's best step
};

struct PerfTestResult {
  // 1 when the test ran (also when stopped), -1 when the log did not open.
  int status = 1;
  bool stopped = false;  // the planner confirmed a stop
  // The completed iterations: iteration i at index i - 1.
  std::vector<PerfTestIteration> iterations;
  // The iteration (1-based) with the best search result; 0 when none ran.
  int best = 0;
  std::string log_path;
};

// The comparison sign written into the log for "X against Y": "\t-" when X
// is better than Y, "\t+" when worse, "\t0" when equal, under the priorities.
const char* relative_quality_sign(const OBJ_VALUE& x, const OBJ_VALUE& y, const Priorities& p);

// The seed iteration i draws from in the parallel mode, derived from the
// run's seed (the fixed seed of the generator, else the clock at the start).
uint64_t perf_test_iteration_seed(uint64_t run_seed, int iteration);

// Runs the test with `iterations` repetitions (1..99999) and the search
// parameters of state.run, writing the log "__last_run__.txt" in the
// program's folder (or state.log_file when set).
//
// threads = 1 runs the iterations one after another on the one generator,
// which every random assignment and every search reseeds from the clock.
// threads > 1 runs them on that many worker threads; iteration i then draws
// from its own generator seeded with perf_test_iteration_seed, on a private
// copy of the problem, and its search compares under the priorities in force
// when the test started. The log still lists the iterations in order. The
// workers read the generator's clock, which must allow that. A stop request
// is checked on the calling thread at the start of every iteration and,
// from the second iteration on, while it waits for that iteration's results;
// a confirmed stop ends the searches still running and drops their
// iterations.
PerfTestResult run_performance_test(int iterations, int threads, Problem& problem,
                                    ProcessState& state, UserInterface& ui, Random& rng);

}  // namespace vema
