// The tabu search runs: the interactive run, its automatic-stop variant,
// the quiet search used by batch mode and the performance test, and the
// batch run. They read the loaded problem, the priorities and the run
// parameters of the process state, show their progress through the user
// interface and publish their best solution as the current schedule.
#pragma once

#include <iosfwd>

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/problem.h"
#include "schedule/timing.h"
#include "search/obj_value.h"
#include "search/process_state.h"
#include "search/search_solution.h"

namespace vema {

// The tabu search method as the planner picks it and its run log names it.
inline constexpr const char* kTabuSearchMethod = "Tabu Search with _S class and do_pi";

// 1 when the run completed (also when stopped), -1 when the log did not open.
int run_tabu_search(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng);
int run_autostop(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng);
int run_batch(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng);

struct OneSearchResult {
  double elapsed = 0;  // seconds
  int best_step = 0;
  int best_loop = 0;
  OBJ_VALUE values;  // the objectives of the solution handed back
};

// The quiet search: starts from `solution`, overwrites it with the best
// solution found and leaves that evaluated, its objectives in the result's
// values. The tabu capacity is read once from state.run.tabu_size.
OneSearchResult run_one_search(int steps, int loops, int min_loop,
                               int max_steps_without_improvement, SearchSolution& solution,
                               Problem& problem, ProcessState& state, UserInterface& ui,
                               Random& rng);

// Times the solution and computes its objectives into values.
inline void evaluate_into(SearchSolution& s, Problem& problem, OBJ_VALUE& values) {
  s.evaluate(problem);
  s.compute_objectives(values, problem);
}

// The starting solution of a run: a random assignment on the first run,
// otherwise the current schedule when the planner wants it reloaded ("Would
// You like to reload the last Sch values?") and it fits the problem, else a
// random assignment. A random assignment is also written into J_A and
// M_wload. When log is given, the choice is written there.
SearchSolution starting_solution(Problem& problem, ProcessState& state, UserInterface& ui,
                                 Random& rng, std::ostream* log);

// The freeze a rescheduled schedule is timed with: the reference's timing
// and the freeze time (see evaluate_with_freeze).
struct FreezeTiming {
  TimingView reference;
  int freeze_time = 0;
};

// Times the current schedule (with the freeze when given), sets
// current_values from its objectives and returns them.
OBJ_VALUE publish_current_schedule(Problem& problem, ProcessState& state,
                                   const FreezeTiming* freeze = nullptr);

// Publishes a solution: exports it into J_A and M_wload, rebuilds the
// current schedule from them, then publish_current_schedule.
void publish_solution(const SearchSolution& solution, Problem& problem, ProcessState& state,
                      const FreezeTiming* freeze = nullptr);

}  // namespace vema
