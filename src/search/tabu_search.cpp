#include "search/tabu_search.h"

#include <fstream>
#include <memory>
#include <sstream>

#include "schedule/timing.h"
#include "search/operators.h"
#include "search/run_log.h"
#include "search/tabu_list.h"

namespace vema {

void publish_solution(const SearchSolution& solution, Problem& problem, ProcessState& state) {
  solution.export_arrays(problem.J_A, problem.M_wload);
  state.current_schedule = SCH{};
  state.current_schedule.build_from_assignment(problem.N_Order, problem.N_Job, problem.N_Machine,
                                               problem.J_A, problem.M_wload);
  evaluate(state.current_schedule, problem);
  OBJ_VALUE values;
  compute_objectives(state.current_schedule, values, problem);
  state.current_values.set_from(values, problem.N_Order, problem.N_Job, problem.N_Machine);
}

namespace {

bool open_log(RunLog& log, ProcessState& state, UserInterface& ui) {
  if (!state.log_file.empty()) return log.open_at(state.log_file);
  return log.open(state.program_folder, ui, state.announced_log_path);
}

enum class Variant { kPlain, kAutostop };

void evaluate_into(SearchSolution& s, Problem& problem, OBJ_VALUE& values) {
  s.evaluate(problem);
  s.compute_objectives(values, problem);
}

// A random starting solution, also written into J_A and M_wload.
SearchSolution random_start(Problem& problem, Random& rng) {
  SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
  s.random_assignment(problem, rng);
  s.export_arrays(problem.J_A, problem.M_wload);
  return SearchSolution(problem.N_Order, problem.N_Job, problem.N_Machine, problem.J_A,
                        problem.M_wload);
}

bool schedule_fits(const SCH& schedule, const Problem& problem) {
  return schedule.has_arrays() && schedule.n_jobs == problem.N_Job &&
         schedule.n_machines == problem.N_Machine;
}

// The starting solution with its log lines, shared by every interactive run.
SearchSolution starting_solution(Problem& problem, ProcessState& state, UserInterface& ui,
                                 Random& rng, std::ostream& log) {
  if (problem.first_run) {
    log << "First running: Initialize with random values\n";
    return random_start(problem, rng);
  }
  if (ui.ask("Would You like to reload the last Sch values?") &&
      schedule_fits(state.current_schedule, problem)) {
    log << "\nInitialize with last schedule!\n";
    return SearchSolution(state.current_schedule);
  }
  log << "Initialize with random values!\n";
  return random_start(problem, rng);
}

std::string load_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int run_interactive(Variant variant, Problem& problem, ProcessState& state, UserInterface& ui,
                    Random& rng) {
  RunStatus& st = state.status;
  st = RunStatus{};
  st.title = "VEMA Solver";
  ui.run_progress(RunEvent::kStarted, st);

  RunLog log;
  if (!open_log(log, state, ui)) {
    ui.run_progress(RunEvent::kLogNotOpened, st);
    return -1;
  }
  std::ostream& out = log.out();
  if (variant == Variant::kPlain) {
    out << kTabuSearchMethod << ".\n";
  } else {
    out << "Tabu Search with AUTOSTOP.\n";
  }
  out << "Input file :" << problem.input_file_name << '\n'
      << "Machine: " << problem.N_Machine << " Orders: " << problem.N_Order
      << " Jobs:" << problem.N_Job << '\n';

  const Clock& clock = rng.clock();
  RunParameters& params = state.run;
  const int steps = params.steps;
  int max_without_improvement = params.max_steps_without_improvement;
  int min_loop = params.min_loop;
  if (variant == Variant::kPlain) params.loops_tenth = params.loops_per_step / 10;
  st.steps = steps;
  st.start_time = clock.time_of_day();

  rng.seed_from_clock();
  SearchSolution working = starting_solution(problem, state, ui, rng, out);
  OBJ_VALUE neighbour_values, step_best_values, best_values;
  evaluate_into(working, problem, neighbour_values);
  out << "\n Objective values of the initialized schedule:\n";
  write_values_listing(out, neighbour_values);
  out << '\n';

  SearchSolution current(working);
  SearchSolution step_best(working);
  SearchSolution best(working);
  evaluate_into(step_best, problem, step_best_values);
  evaluate_into(best, problem, best_values);
  st.best_step = 0;
  st.best_values = step_best_values;
  st.history.assign(static_cast<size_t>(std::max(steps, 0)) + 1, OBJ_VALUE{});
  st.improvement_list.assign(static_cast<size_t>(std::max(steps, 0)) + 1, 0);
  st.counters = OperatorCounters{};
  ui.run_progress(RunEvent::kCounters, st);
  ui.run_progress(RunEvent::kBest, st);

  TABULIST tabu;
  OperatorWorkspace workspace(problem.N_Job);
  int evaluated = 1;
  int best_step = 0;
  int best_loop = 0;
  int step_operator = 0;
  state.stop_requested = false;
  const int64_t start_time = clock.now_seconds();

  for (int s = 1; s <= steps; ++s) {
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

    for (int i = 1; i <= state.run.loops_per_step; ++i) {
      working.assign_from(current);
      const int k = choose_operator(operator_count, state.operator_priority.data(), rng);
      if (!apply_operator(k, working, problem, neighbour_values, rng, workspace)) continue;
      const uint64_t hash = sequence_hash(working);
      if (tabu.contains(working, hash)) continue;
      tabu.remember(working, hash, state.run.tabu_size);
      evaluate_into(working, problem, neighbour_values);
      ++evaluated;
      if (i == 1) {
        step_best_values.take_values(neighbour_values);
        step_best.assign_from(working);
        step_operator = k;
        best_loop = i;
      } else if (worse_than(step_best_values, neighbour_values, state.priorities)) {
        step_best_values.take_values(neighbour_values);
        step_best.assign_from(working);
        step_operator = k;
        best_loop = i;
        const bool may_leave = variant == Variant::kPlain ? s > 1 : s >= min_loop;
        if (may_leave && better_than(step_best_values, best_values, state.priorities)) break;
      }
    }

    current.assign_from(step_best);
    st.history[static_cast<size_t>(st.history_count)] = step_best_values;
    ++st.history_count;
    // Before any neighbour of the run was taken there is no operator to credit.
    if (step_operator != 0) {
      ++st.counters.total_count[step_operator];
      ++st.counters.total_count[0];
    }
    ui.run_progress(RunEvent::kCounters, st);
    const bool improved = variant == Variant::kPlain
                              ? not_worse_than(step_best_values, best_values, state.priorities)
                              : better_than(step_best_values, best_values, state.priorities);
    if (improved) {
      best_step = s;
      best_values.take_values(step_best_values);
      best.assign_from(step_best);
      st.improvement_list[static_cast<size_t>(st.improvement_count)] =
          step_best_values.n_of_Late_Jobs;
      ++st.improvement_count;
      if (step_operator != 0) {
        ++st.counters.improve_count[step_operator];
        ++st.counters.improve_count[0];
      }
      st.best_step = best_step;
      st.best_values = best_values;
      ui.run_progress(RunEvent::kCounters, st);
      ui.run_progress(RunEvent::kBest, st);
    }
    if (variant == Variant::kAutostop && s > best_step + max_without_improvement) {
      ui.message("AutoStop: The result have not been improved!");
      break;
    }
  }

  const int64_t end_time = clock.now_seconds();
  evaluate_into(best, problem, neighbour_values);
  out << '\n' << elapsed_time_text(static_cast<double>(end_time - start_time)) << '\n' << '\n';
  out << "Number of evaluated schedule: " << evaluated << '\n';
  out << "best step: " << best_step << "best loop: " << best_loop << '\n';
  out << '\n';
  write_values_listing(out, neighbour_values);
  out << "\n\n";
  out << " size of TabuList: " << tabu.count() << '\n';
  log.finish();

  publish_solution(best, problem, state);
  st.log_path = log.path();
  st.log_text = load_text(log.path());
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

  OBJ_VALUE neighbour_values, step_best_values, best_values;
  SearchSolution working(solution);
  SearchSolution current(solution);
  SearchSolution step_best(solution);
  SearchSolution best(solution);
  evaluate_into(step_best, problem, step_best_values);
  evaluate_into(best, problem, best_values);
  TABULIST tabu;
  OperatorWorkspace workspace(problem.N_Job);
  OperatorCounters counters;
  OneSearchResult result;
  int step_operator = 0;

  for (int s = 1; s <= steps; ++s) {
    if (state.stop_requested) {
      ui.message("Batch Scheduling Process stopped!");
      break;
    }
    ui.process_events();
    for (int i = 1; i <= loops; ++i) {
      working.assign_from(current);
      const int k = choose_operator(operator_count, state.operator_priority.data(), rng);
      if (!apply_operator(k, working, problem, neighbour_values, rng, workspace)) continue;
      const uint64_t hash = sequence_hash(working);
      if (tabu.contains(working, hash)) continue;
      tabu.remember(working, hash, tabu_size);
      evaluate_into(working, problem, neighbour_values);
      if (i == 1) {
        step_best_values.take_values(neighbour_values);
        step_best.assign_from(working);
        step_operator = k;
        result.best_loop = i;
      } else if (worse_than(step_best_values, neighbour_values, state.priorities)) {
        step_best_values.take_values(neighbour_values);
        step_best.assign_from(working);
        step_operator = k;
        result.best_loop = i;
        if ((s > 1 || s >= min_loop) &&
            better_than(step_best_values, best_values, state.priorities)) {
          break;
        }
      }
    }
    current.assign_from(step_best);
    if (step_operator != 0) {
      ++counters.total_count[step_operator];
      ++counters.total_count[0];
    }
    if (better_than(step_best_values, best_values, state.priorities)) {
      result.best_step = s;
      best_values.take_values(step_best_values);
      best.assign_from(step_best);
      if (step_operator != 0) {
        ++counters.improve_count[step_operator];
        ++counters.improve_count[0];
      }
    }
    if (s > result.best_step + max_steps_without_improvement) break;
  }
  result.elapsed = static_cast<double>(clock.now_seconds() - start_time);
  solution.assign_from(best);
  evaluate_into(solution, problem, neighbour_values);
  return result;
}

namespace {

void write_six(std::ostream& out, const OBJ_VALUE& v) {
  out << '\t' << v.n_of_Late_Orders << '\t' << v.n_of_Late_Jobs << '\t' << v.sumTardiness << '\t'
      << v.max_Tardiness << '\t' << v.n_of_Setup << '\t' << v.Completion_Time;
}

}  // namespace

int run_batch(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng) {
  RunStatus& st = state.status;
  st = RunStatus{};
  RunLog log;
  if (!open_log(log, state, ui)) {
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
      << " Input file :" << problem.input_file_name << '\n'
      << "Prob_Sizes: \tMachine:" << problem.N_Machine << "\tOrders:" << problem.N_Order
      << "\tJobs:" << problem.N_Job << "\tSetup_Types:" << problem.N_SetupType << '\n';
  rng.seed_from_clock();
  SearchSolution solution = starting_solution(problem, state, ui, rng, out);

  const RunParameters params = state.run;
  state.stop_requested = false;
  out << "Search_Pars:  \tmaxSTEP:" << params.steps << "\tmaxLOOP:" << params.loops_per_step
      << "\tminLOOP:" << params.min_loop << "\tmaxImpless:" << params.max_steps_without_improvement
      << "\tmaxTABU:" << params.tabu_size << '\n';
  out << "Nx_op_pri:";
  for (int k = 1; k <= operator_count; ++k) out << "\tN" << k << ": " << state.operator_priority[k];
  out << '\n';
  out << "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\tRunT\tBStep\n";
  out << "ObjPri:";
  for (int i = 1; i <= 6; ++i) out << '\t' << state.priorities.objective[i];
  out << '\n';
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
  evaluate_into(solution, problem, values);
  out << "search";
  write_six(out, values);
  out << '\t' << batch_time_text(r.elapsed) << "\t[" << r.best_step << "]\n";

  publish_solution(solution, problem, state);
  log.finish();
  st.log_path = log.path();
  st.log_text = load_text(log.path());
  ui.run_progress(RunEvent::kFinished, st);
  problem.first_run = false;
  return 1;
}

}  // namespace vema
