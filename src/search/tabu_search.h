// The tabu search runs: the interactive run, its automatic-stop variant,
// the quiet search used by batch mode and the performance test, and the
// batch run. They read the loaded problem, the priorities and the run
// parameters of the process state, show their progress through the user
// interface and publish their best solution as the current schedule.
#pragma once

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/problem.h"
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
};

// The quiet search: starts from `solution`, overwrites it with the best
// solution found and leaves that evaluated. The tabu capacity is read once
// from state.run.tabu_size.
OneSearchResult run_one_search(int steps, int loops, int min_loop,
                               int max_steps_without_improvement, SearchSolution& solution,
                               Problem& problem, ProcessState& state, UserInterface& ui,
                               Random& rng);

// Publishes a solution: exports it into J_A and M_wload, rebuilds the
// current schedule from them, times it and sets current_values.
void publish_solution(const SearchSolution& solution, Problem& problem, ProcessState& state);

}  // namespace vema
