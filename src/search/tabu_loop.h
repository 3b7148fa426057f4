// The step loop of the tabu search runs: the plain and automatic-stop runs,
// the rescheduling run and the quiet search. A run's moves (the operators it
// applies to a neighbour and how it evaluates one) are a compile-time
// policy, so a neighbour costs no virtual or indirect call; the rules that
// tell the runs apart (when a step may be left early, whether an equal step
// best replaces the best, the automatic stop) are plain values.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/problem.h"
#include "search/obj_value.h"
#include "search/operators.h"
#include "search/process_state.h"
#include "search/search_solution.h"
#include "search/tabu_list.h"

namespace vema {

// When a step may end before its last loop, on a neighbour better than the
// run's best.
enum class EarlyLeave {
  kAfterFirstStep,          // from step 2 on
  kFromMinLoop,             // from step min_loop on
  kAfterFirstOrFromMinLoop  // either
};

inline bool may_leave_early(EarlyLeave rule, int step, int min_loop) {
  switch (rule) {
    case EarlyLeave::kAfterFirstStep:
      return step > 1;
    case EarlyLeave::kFromMinLoop:
      return step >= min_loop;
    case EarlyLeave::kAfterFirstOrFromMinLoop:
      return step > 1 || step >= min_loop;
  }
  return false;
}

// The state of one run. Moves provides
//   bool apply(int k, SearchSolution& w, Problem& problem, OBJ_VALUE& values,
//              Random& rng, OperatorWorkspace& workspace)
//     applying operator k to w (false: the neighbour is dropped), and
//   void evaluate(SearchSolution& w, Problem& problem, OBJ_VALUE& values).
template <typename Moves>
struct TabuRun {
  // Starts from `start` with its values (already evaluated).
  TabuRun(Moves run_moves, SearchSolution start, const OBJ_VALUE& start_values, int n_jobs)
      : moves(std::move(run_moves)),
        working(std::move(start)),
        current(working),
        step_best(working),
        best(working),
        neighbour_values(start_values),
        step_best_values(start_values),
        best_values(start_values),
        workspace(n_jobs) {}

  // The neighbours of step s: up to `loops` of them, each a copy of the
  // current solution changed by a roulette-chosen operator; a dropped or
  // tabu neighbour is skipped, any other remembered (capacity `tabu_size`)
  // and evaluated. The step's best is its first evaluated neighbour or one
  // strictly better; when `may_leave` is set, a new step best better than
  // the run's best ends the step. `loops` and `tabu_size` are read where
  // they are used, so a caller passing live fields sees their changes.
  void try_neighbours(bool may_leave, const int& loops, const int& tabu_size,
                      const Priorities& priorities, const OperatorPriorities& operator_priority,
                      Problem& problem, Random& rng) {
    for (int i = 1; i <= loops; ++i) {
      working.assign_from(current);
      const int k = choose_operator(operator_count, operator_priority.data(), rng);
      if (!moves.apply(k, working, problem, neighbour_values, rng, workspace)) continue;
      const uint64_t hash = sequence_hash(working);
      if (tabu.contains(working, hash)) continue;
      tabu.remember(working, hash, tabu_size);
      moves.evaluate(working, problem, neighbour_values);
      ++evaluated;
      if (i == 1) {
        take_step_best(k, i);
      } else if (worse_than(step_best_values, neighbour_values, priorities)) {
        take_step_best(k, i);
        if (may_leave && better_than(step_best_values, best_values, priorities)) break;
      }
    }
  }

  // The step's best becomes the current solution; its operator is credited.
  void finish_step(OperatorCounters& counters) {
    current.assign_from(step_best);
    // Before any neighbour of the run was taken there is no operator to credit.
    if (step_operator != 0) {
      ++counters.total_count[step_operator];
      ++counters.total_count[0];
    }
  }

  // The step's best replaces the run's best when better than it (or, with
  // accept_equal, not worse); true when it did.
  bool improve(int s, bool accept_equal, const Priorities& priorities, OperatorCounters& counters) {
    const bool improved = accept_equal ? not_worse_than(step_best_values, best_values, priorities)
                                       : better_than(step_best_values, best_values, priorities);
    if (!improved) return false;
    best_step = s;
    best_values.take_values(step_best_values);
    best.assign_from(step_best);
    if (step_operator != 0) {
      ++counters.improve_count[step_operator];
      ++counters.improve_count[0];
    }
    return true;
  }

  Moves moves;
  SearchSolution working;
  SearchSolution current;
  SearchSolution step_best;
  SearchSolution best;
  OBJ_VALUE neighbour_values;
  OBJ_VALUE step_best_values;
  OBJ_VALUE best_values;
  TABULIST tabu;
  OperatorWorkspace workspace;
  int evaluated = 1;  // the starting solution counts
  int best_step = 0;
  int best_loop = 0;
  int step_operator = 0;

 private:
  void take_step_best(int k, int i) {
    step_best_values.take_values(neighbour_values);
    step_best.assign_from(working);
    step_operator = k;
    best_loop = i;
  }
};

// The rules of an interactive run's steps.
struct StepRules {
  int steps = 0;
  EarlyLeave leave = EarlyLeave::kAfterFirstStep;
  int min_loop = 0;
  // An equal step best replaces the run's best (otherwise only a better one).
  bool accept_equal = true;
  // The run ends, with "AutoStop: The result have not been improved!", after
  // more than max_steps_without_improvement steps without a new best.
  bool autostop = false;
  int max_steps_without_improvement = 0;
};

// The steps of an interactive run, shown through the run status: the stop
// question, the step, the step's best in the history, the operator counters
// and every new best. Loops per step and the tabu size are read live from
// state.run, the priorities from state. Returns the seconds the steps took.
template <typename Moves>
int64_t run_interactive_steps(TabuRun<Moves>& run, const StepRules& rules, Problem& problem,
                              ProcessState& state, UserInterface& ui, Random& rng) {
  RunStatus& st = state.status;
  st.best_step = 0;
  st.best_values = run.step_best_values;
  st.history.assign(static_cast<size_t>(std::max(rules.steps, 0)) + 1, OBJ_VALUE{});
  st.improvement_list.assign(static_cast<size_t>(std::max(rules.steps, 0)) + 1, 0);
  st.counters = OperatorCounters{};
  ui.run_progress(RunEvent::kCounters, st);
  ui.run_progress(RunEvent::kBest, st);

  const Clock& clock = rng.clock();
  state.stop_requested = false;
  const int64_t start_time = clock.now_seconds();
  for (int s = 1; s <= rules.steps; ++s) {
    if (state.stop_requested) {
      if (ui.ask("Do You really want to stop the process?")) {
        ui.message("Process stopped!");
        break;
      }
      ui.run_progress(RunEvent::kResumed, st);
      state.stop_requested = false;
    }
    ui.process_events();
    st.step = s;
    ui.run_progress(RunEvent::kStep, st);

    run.try_neighbours(may_leave_early(rules.leave, s, rules.min_loop), state.run.loops_per_step,
                       state.run.tabu_size, state.priorities, state.operator_priority, problem,
                       rng);
    run.finish_step(st.counters);
    st.history[static_cast<size_t>(st.history_count)] = run.step_best_values;
    ++st.history_count;
    ui.run_progress(RunEvent::kCounters, st);
    if (run.improve(s, rules.accept_equal, state.priorities, st.counters)) {
      st.improvement_list[static_cast<size_t>(st.improvement_count)] =
          run.step_best_values.n_of_Late_Jobs;
      ++st.improvement_count;
      st.best_step = run.best_step;
      st.best_values = run.best_values;
      ui.run_progress(RunEvent::kCounters, st);
      ui.run_progress(RunEvent::kBest, st);
    }
    if (rules.autostop && s > run.best_step + rules.max_steps_without_improvement) {
      ui.message("AutoStop: The result have not been improved!");
      break;
    }
  }
  return clock.now_seconds() - start_time;
}

}  // namespace vema
