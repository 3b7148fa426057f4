#include "reschedule/reschedule_search.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <sstream>
#include <utility>

#include "reschedule/frozen_operators.h"
#include "schedule/timing.h"
#include "search/operators.h"
#include "search/run_log.h"
#include "search/tabu_list.h"
#include "search/tabu_search.h"

namespace vema {

const char* const kDeviationWindowLabels[kDeviations + 1] = {
    "",
    "Num. of jobs with diff. route",
    "Num. of jobs with diff. machine",
    "Num. of jobs with late dev.",
    "Num. of new late jobs",
    "Num. of orders with diff. route",
    "Num. of orders with diff. machine",
    "Num. of orders with late dev.",
    "Num. of new late orders",
    "Num. of machines with setup dev.",
    "Num. of machines with new setups",
};

const char* const kDeviationLogLabels[kDeviations + 1] = {
    "",
    " num. of jobs with differrent route: ",
    " num. of jobs with differrent machines: ",
    " num. of jobs with late deviation: ",
    " num. of new late jobs: ",
    " num. of orders with differrent route: ",
    " num. of orders with differrent machines: ",
    " num. of orders with late deviation: ",
    " num. of new late orders: ",
    " num. of machines with setup number deviation: ",
    " num. of machines with new setups: ",
};

void write_deviation_listing(std::ostream& out, const OBJ_VALUE& values) {
  for (int k = 1; k <= kDeviations; ++k) {
    out << kDeviationLogLabels[k] << values.deviation[k] << '\n';
  }
}

std::vector<int> setups_per_machine(const SearchSolution& solution) {
  std::vector<int> setups(static_cast<size_t>(solution.n_machines()) + 1, 0);
  for (int m = 1; m <= solution.n_machines(); ++m) {
    const TimingRecord* rec = solution.timing(m);
    for (int p = 1, n = solution.sequence(m)[0]; p <= n; ++p) setups[m] += rec[p].Setup == 1;
  }
  return setups;
}

void deviation_measures(const SearchSolution& s, OBJ_VALUE& values,
                        const std::vector<ORDER>& orders, const std::vector<JOB>& jobs,
                        const SearchSolution& reference, const std::vector<ORDER>& reference_orders,
                        const std::vector<JOB>& reference_jobs,
                        const std::vector<int>& reference_setups) {
  auto& d = values.deviation;
  d.fill(0);
  // Jobs of an order are consecutive, so remembering the last order counted
  // by a measure counts every order at most once.
  int counted_route = 0, counted_machines = 0, counted_late = 0, counted_new_late = 0;
  const auto count_order = [](int& measure, int& counted, int order) {
    if (counted != order) {
      ++measure;
      counted = order;
    }
  };
  for (int j = 1; j <= s.n_jobs(); ++j) {
    const int o = jobs[j].O_ID;
    const int* a = s.assignment(j);
    const int* ra = reference.assignment(j);
    if (a[0] != ra[0]) {
      ++d[1];
      ++d[2];
      count_order(d[5], counted_route, o);
      count_order(d[6], counted_machines, o);
    } else {
      bool moved = false;
      for (int l = 1, k = route_length(a[0]); l <= k && !moved; ++l) moved = a[l] != ra[l];
      if (moved) {
        ++d[2];
        count_order(d[6], counted_machines, o);
      }
    }
    const JOB& ref_job = reference_jobs[j];
    const bool late_ref = reference_orders[ref_job.O_ID].CET < ref_job.completion;
    const bool late_now = orders[o].CET < jobs[j].completion;
    if (late_ref != late_now) {
      ++d[3];
      count_order(d[7], counted_late, o);
    }
    if (late_now && !late_ref) {
      ++d[4];
      count_order(d[8], counted_new_late, o);
    }
  }
  for (int m = 1; m <= s.n_machines(); ++m) {
    const TimingRecord* rec = s.timing(m);
    int setups = 0;
    for (int p = 1, n = s.sequence(m)[0]; p <= n; ++p) setups += rec[p].Setup == 1;
    if (setups != reference_setups[m]) ++d[9];
    if (setups > reference_setups[m]) ++d[10];
  }
}

bool freeze_interval_check(const SearchSolution& s, const SearchSolution& reference,
                           const std::vector<JOB>& jobs, const std::vector<MACHINE>& machines) {
  for (int j = 1; j <= s.n_jobs(); ++j) {
    const int frozen = jobs[j].frozen_steps;
    if (frozen < 1) continue;
    if (route_length(s.assignment(j)[0]) < frozen) return false;
    for (int l = 1; l <= frozen; ++l) {
      const int m = reference.assignment(j)[l];
      if (s.assignment(j)[l] != m) return false;
      // A setup done in advance can let a step start before the step ahead
      // of it, so a step among the first frozen_steps may itself have
      // started after the freeze time. Such a step lies after its machine's
      // frozen tasks and keeps only its machine.
      const bool step_frozen = reference.position_of(j)[l] <= machines[m].frozen_tasks;
      if (step_frozen && s.position_of(j)[l] != reference.position_of(j)[l]) return false;
    }
  }
  for (int m = 1; m <= s.n_machines(); ++m) {
    const int frozen = machines[m].frozen_tasks;
    if (frozen < 1) continue;
    if (s.sequence(m)[0] < frozen || reference.sequence(m)[0] < frozen) return false;
    for (int p = 1; p <= frozen; ++p) {
      if (s.sequence(m)[p] != reference.sequence(m)[p] ||
          s.step_at(m)[p] != reference.step_at(m)[p]) {
        return false;
      }
    }
  }
  return true;
}

RescheduleStart prepare_reschedule_start(Rescheduler& rescheduler, Problem& problem,
                                         ProcessState& state, FreezeOrder order, int freeze_time) {
  SearchSolution reference = rescheduler.prepare_initial_state(problem, state, order, freeze_time);
  SHOP& reference_shop = rescheduler.reference_shop(order);
  with_shop_records(reference_shop, problem, [&](Problem& records) {
    reference.compute_objectives(reference_shop.values, records);
  });
  std::vector<int> reference_setups = setups_per_machine(reference);
  SearchSolution initial(rescheduler.released_shop()->sch);
  RescheduleStart start{std::move(reference), &reference_shop, std::move(reference_setups),
                        std::move(initial), OBJ_VALUE{}};
  evaluate_rescheduled(start.initial, start.values, problem, start, freeze_time);
  return start;
}

void evaluate_rescheduled(SearchSolution& s, OBJ_VALUE& values, Problem& problem,
                          const RescheduleStart& start, int freeze_time) {
  s.evaluate_with_freeze(problem, start.reference.timing_view(), freeze_time);
  s.compute_objectives(values, problem);
  deviation_measures(s, values, problem.Orders, problem.Jobs, start.reference,
                     start.reference_shop->orders, start.reference_shop->jobs,
                     start.reference_setups);
}

namespace {

bool open_log(RunLog& log, ProcessState& state, UserInterface& ui) {
  if (!state.log_file.empty()) return log.open_at(state.log_file);
  return log.open(state.program_folder, ui, state.announced_log_path);
}

std::string load_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int run_reschedule(Problem& problem, ProcessState& state, Rescheduler& rescheduler,
                   UserInterface& ui, Random& rng, FreezeOrder order, int freeze_time) {
  RunStatus& st = state.status;
  st = RunStatus{};
  st.title = "VEMA Solver";
  st.show_rescheduling = true;
  ui.run_progress(RunEvent::kStarted, st);

  RunLog log;
  if (!open_log(log, state, ui)) {
    ui.run_progress(RunEvent::kLogNotOpened, st);
    return -1;
  }
  std::ostream& out = log.out();
  out << ' ' << kTabuSearchMethod << '\n'
      << "Input file :" << problem.input_file_name << '\n'
      << "Machine: " << problem.N_Machine << " Orders: " << problem.N_Order
      << " Jobs:" << problem.N_Job << '\n'
      << "Initialize with the actual schedule for rescheduling!\n"
      << (order == FreezeOrder::kFreezeThenModify
              ? "Type: First freeze released schedule then modify environment."
              : "Type: First modify environment then freeze released schedule.")
      << "\n\n";

  const Clock& clock = rng.clock();
  RunParameters& params = state.run;
  const int steps = params.steps;
  params.loops_tenth = params.loops_per_step / 10;
  st.steps = steps;
  st.start_time = clock.time_of_day();
  rng.seed_from_clock();

  RescheduleStart start = prepare_reschedule_start(rescheduler, problem, state, order, freeze_time);
  OBJ_VALUE neighbour_values = start.values;
  out << " Objective values of the stopped schedule:\n";
  write_values_listing(out, start.reference_shop->values);
  out << "\n\n Objective values of the initial schedule:\n";
  write_values_listing(out, neighbour_values);
  out << '\n';

  const FreezeContext freeze{start.reference, freeze_time};
  SearchSolution& working = start.initial;
  SearchSolution current(working);
  SearchSolution step_best(working);
  SearchSolution best(working);
  OBJ_VALUE step_best_values, best_values;
  evaluate_rescheduled(step_best, step_best_values, problem, start, freeze_time);
  evaluate_rescheduled(best, best_values, problem, start, freeze_time);
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
      if (!apply_frozen_operator(k, working, problem, freeze, neighbour_values, rng, workspace)) {
        continue;
      }
      const uint64_t hash = sequence_hash(working);
      if (tabu.contains(working, hash)) continue;
      tabu.remember(working, hash, state.run.tabu_size);
      evaluate_rescheduled(working, neighbour_values, problem, start, freeze_time);
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
        if (s > 1 && better_than(step_best_values, best_values, state.priorities)) break;
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
    if (not_worse_than(step_best_values, best_values, state.priorities)) {
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
  }

  const int64_t end_time = clock.now_seconds();
  evaluate_rescheduled(best, neighbour_values, problem, start, freeze_time);
  const bool frozen_part_kept =
      freeze_interval_check(best, start.reference, problem.Jobs, problem.Machines);
  out << '\n' << elapsed_time_text(static_cast<double>(end_time - start_time)) << "\n\n";
  out << "Number of evaluated schedule: " << evaluated << '\n';
  out << "best step: " << best_step << "best loop: " << best_loop << '\n';
  out << '\n';
  write_values_listing(out, neighbour_values);
  out << '\n';
  write_deviation_listing(out, neighbour_values);
  out << "\n\n";
  out << " size of TabuList: " << tabu.count() << '\n';
  out << '\n';
  out << (frozen_part_kept ? "Freeze interval OK!" : "Freeze interval Modified!") << '\n';
  log.finish();

  // Publishing: the frozen tasks of the new current schedule keep the
  // reference's times.
  best.export_arrays(problem.J_A, problem.M_wload);
  state.current_schedule = SCH{};
  state.current_schedule.build_from_assignment(problem.N_Order, problem.N_Job, problem.N_Machine,
                                               problem.J_A, problem.M_wload);
  evaluate_with_freeze(state.current_schedule, problem, start.reference.timing_view(), freeze_time);
  compute_objectives(state.current_schedule, neighbour_values, problem);
  state.current_values.set_from(neighbour_values, problem.N_Order, problem.N_Job,
                                problem.N_Machine);
  rescheduler.set_snapshot_to_draw(start.reference_shop);

  st.log_path = log.path();
  st.log_text = load_text(log.path());
  ui.run_progress(RunEvent::kFinished, st);
  problem.first_run = false;
  return 1;
}

}  // namespace vema
