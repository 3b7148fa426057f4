#include "search/tabu_search.h"

#include <cstdint>
#include <ostream>
#include <utility>

#include "schedule/timing.h"
#include "search/operators.h"
#include "search/run_log.h"
#include "search/tabu_loop.h"

namespace vema {

OBJ_VALUE publish_current_schedule(Problem& problem, ProcessState& state,
                                   const FreezeTiming* freeze) {
  if (freeze != nullptr) {
    evaluate_with_freeze(state.current_schedule, problem, freeze->reference, freeze->freeze_time);
  } else {
    evaluate(state.current_schedule, problem);
  }
  OBJ_VALUE values;
  compute_objectives(state.current_schedule, values, problem);
  state.current_values.set_from(values, problem.N_Order, problem.N_Job, problem.N_Machine);
  return values;
}

void publish_solution(const SearchSolution& solution, Problem& problem, ProcessState& state,
                      const FreezeTiming* freeze) {
  solution.export_arrays(problem.J_A, problem.M_wload);
  state.current_schedule.build_from_assignment(problem.N_Order, problem.N_Job, problem.N_Machine,
                                               problem.J_A, problem.M_wload);
  publish_current_schedule(problem, state, freeze);
}

namespace {

// A random starting solution, also written into J_A and M_wload.
// The run has seeded the generator at its start; the random start draws on
// from there.
SearchSolution random_start(Problem& problem, Random& rng) {
  SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
  s.fill_random(problem, rng);
  s.export_arrays(problem.J_A, problem.M_wload);
  return s;
}

bool schedule_fits(const SCH& schedule, const Problem& problem) {
  return schedule.has_arrays() && schedule.n_jobs == problem.N_Job &&
         schedule.n_machines == problem.N_Machine;
}

}  // namespace

SearchSolution starting_solution(Problem& problem, ProcessState& state, UserInterface& ui,
                                 Random& rng, std::ostream* log) {
  if (problem.first_run) {
    if (log != nullptr) *log << "First running: Initialize with random values\n";
    return random_start(problem, rng);
  }
  if (ui.ask("Would You like to reload the last Sch values?") &&
      schedule_fits(state.current_schedule, problem)) {
    if (log != nullptr) *log << "\nInitialize with last schedule!\n";
    return SearchSolution(state.current_schedule);
  }
  if (log != nullptr) *log << "Initialize with random values!\n";
  return random_start(problem, rng);
}

namespace {

// The plain operators and timing.
struct PlainMoves {
  bool apply(int k, SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng,
             OperatorWorkspace& workspace) const {
    return apply_operator(k, w, problem, values, rng, workspace);
  }
  void evaluate(SearchSolution& w, Problem& problem, OBJ_VALUE& values) const {
    evaluate_into(w, problem, values);
  }
};

enum class Variant { kPlain, kAutostop };

void write_search_head(std::ostream& out, Variant variant, const Problem& problem) {
  if (variant == Variant::kPlain) {
    out << kTabuSearchMethod << ".\n";
  } else {
    out << "Tabu Search with AUTOSTOP.\n";
  }
  out << "Input file :" << problem.input_file_name << '\n'
      << "Machine: " << problem.N_Machine << " Orders: " << problem.N_Order
      << " Jobs:" << problem.N_Job << '\n';
}

// The run's summary; run.neighbour_values holds the best solution's values.
void write_search_tail(std::ostream& out, int64_t seconds, const TabuRun<PlainMoves>& run) {
  out << '\n' << elapsed_time_text(static_cast<double>(seconds)) << '\n' << '\n';
  out << "Number of evaluated schedule: " << run.evaluated << '\n';
  out << "best step: " << run.best_step << "best loop: " << run.best_loop << '\n';
  out << '\n';
  write_values_listing(out, run.neighbour_values);
  out << "\n\n";
  out << " size of TabuList: " << run.tabu.count() << '\n';
}

int run_interactive(Variant variant, Problem& problem, ProcessState& state, UserInterface& ui,
                    Random& rng) {
  RunStatus& st = state.status;
  st = RunStatus{};
  st.title = "VEMA Solver";
  ui.run_progress(RunEvent::kStarted, st);

  RunLog log;
  if (!open_run_log(log, state, ui)) {
    ui.run_progress(RunEvent::kLogNotOpened, st);
    return -1;
  }
  std::ostream& out = log.out();
  write_search_head(out, variant, problem);

  const RunParameters& params = state.run;
  StepRules rules;
  rules.steps = params.steps;
  if (variant == Variant::kAutostop) {
    rules.leave = EarlyLeave::kFromMinLoop;
    rules.min_loop = params.min_loop;
    rules.accept_equal = false;
    rules.autostop = true;
    rules.max_steps_without_improvement = params.max_steps_without_improvement;
  }
  st.steps = rules.steps;
  st.start_time = rng.clock().time_of_day();

  rng.seed_from_clock();
  SearchSolution start = starting_solution(problem, state, ui, rng, &out);
  OBJ_VALUE start_values;
  evaluate_into(start, problem, start_values);
  out << "\n Objective values of the initialized schedule:\n";
  write_values_listing(out, start_values);
  out << '\n';

  TabuRun<PlainMoves> run(PlainMoves{}, std::move(start), start_values, problem.N_Job);
  const int64_t seconds = run_interactive_steps(run, rules, problem, state, ui, rng);

  evaluate_into(run.best, problem, run.neighbour_values);
  write_search_tail(out, seconds, run);
  log.finish();

  publish_solution(run.best, problem, state);
  take_log(st, log);
  ui.run_progress(RunEvent::kFinished, st);
  problem.first_run = false;
  return 1;
}

}  // namespace

int run_tabu_search(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng) {
  return run_interactive(Variant::kPlain, problem, state, ui, rng);
}

int run_autostop(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng) {
  return run_interactive(Variant::kAutostop, problem, state, ui, rng);
}

OneSearchResult run_one_search(int steps, int loops, int min_loop,
                               int max_steps_without_improvement, SearchSolution& solution,
                               Problem& problem, ProcessState& state, UserInterface& ui,
                               Random& rng) {
  const int tabu_size = state.run.tabu_size;
  const Clock& clock = rng.clock();
  rng.seed_from_clock();
  state.stop_requested = false;
  const int64_t start_time = clock.now_seconds();

  SearchSolution start(solution);
  OBJ_VALUE start_values;
  evaluate_into(start, problem, start_values);
  TabuRun<PlainMoves> run(PlainMoves{}, std::move(start), start_values, problem.N_Job);
  OperatorCounters counters;  // counted as in the interactive runs, shown nowhere
  for (int s = 1; s <= steps; ++s) {
    if (state.stop_requested) {
      ui.message("Batch Scheduling Process stopped!");
      break;
    }
    ui.process_events();
    run.try_neighbours(may_leave_early(EarlyLeave::kAfterFirstOrFromMinLoop, s, min_loop), loops,
                       tabu_size, state.priorities, state.operator_priority, problem, rng);
    run.finish_step(counters);
    run.improve(s, false, state.priorities, counters);
    if (s > run.best_step + max_steps_without_improvement) break;
  }

  OneSearchResult result;
  result.elapsed = static_cast<double>(clock.now_seconds() - start_time);
  result.best_step = run.best_step;
  result.best_loop = run.best_loop;
  solution.assign_from(run.best);
  evaluate_into(solution, problem, result.values);
  return result;
}

int run_batch(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng) {
  RunStatus& st = state.status;
  st = RunStatus{};
  RunLog log;
  if (!open_run_log(log, state, ui)) {
    ui.message("File opening error! Process stopped.");
    return -1;
  }
  st.title = "VEMA Solver";
  st.kind = RunKind::kBatch;
  st.subtitle = "Batch scheduling mode";
  st.show_objectives = false;
  st.show_controls = false;
  ui.run_progress(RunEvent::kStarted, st);

  std::ostream& out = log.out();
  out << "Tabu Search in bacth mode.\n"
      << " Input file :" << problem.input_file_name << '\n';
  write_problem_sizes(out, problem);
  rng.seed_from_clock();
  SearchSolution solution = starting_solution(problem, state, ui, rng, &out);

  const RunParameters params = state.run;
  state.stop_requested = false;
  write_search_parameters(out, params);
  write_operator_priorities(out, state.operator_priority);
  out << "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\tRunT\tBStep\n";
  write_objective_priorities(out, state.priorities);
  for (int i = 0; i < 6; ++i) out << "\t------";
  out << '\n';

  OBJ_VALUE values;
  evaluate_into(solution, problem, values);
  out << "init";
  write_six(out, values);
  out << '\n';

  const OneSearchResult r =
      run_one_search(params.steps, params.loops_per_step, params.min_loop,
                     params.max_steps_without_improvement, solution, problem, state, ui, rng);
  out << "search";
  write_six(out, r.values);
  out << '\t' << batch_time_text(r.elapsed) << "\t[" << r.best_step << "]\n";

  publish_solution(solution, problem, state);
  log.finish();
  take_log(st, log);
  ui.run_progress(RunEvent::kFinished, st);
  problem.first_run = false;
  return 1;
}

}  // namespace vema
