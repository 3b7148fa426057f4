#include "reschedule/reschedule_search.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <utility>

#include "reschedule/frozen_operators.h"
#include "schedule/timing.h"
#include "search/operators.h"
#include "search/run_log.h"
#include "search/tabu_loop.h"
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

// The frozen-aware operators and the freeze-aware timing with the deviation
// measures.
struct FrozenMoves {
  const FreezeContext& freeze;
  const RescheduleStart& start;
  int freeze_time = 0;

  bool apply(int k, SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng,
             OperatorWorkspace& workspace) const {
    return apply_frozen_operator(k, w, problem, freeze, values, rng, workspace);
  }
  void evaluate(SearchSolution& w, Problem& problem, OBJ_VALUE& values) const {
    evaluate_rescheduled(w, values, problem, start, freeze_time);
  }
};

void write_reschedule_head(std::ostream& out, const Problem& problem, FreezeOrder order) {
  out << ' ' << kTabuSearchMethod << '\n'
      << "Input file :" << problem.input_file_name << '\n'
      << "Machine: " << problem.N_Machine << " Orders: " << problem.N_Order
      << " Jobs:" << problem.N_Job << '\n'
      << "Initialize with the actual schedule for rescheduling!\n"
      << (order == FreezeOrder::kFreezeThenModify
              ? "Type: First freeze released schedule then modify environment."
              : "Type: First modify environment then freeze released schedule.")
      << "\n\n";
}

// The run's summary; run.neighbour_values holds the best solution's values.
void write_reschedule_tail(std::ostream& out, int64_t seconds, const TabuRun<FrozenMoves>& run,
                           bool frozen_part_kept) {
  out << '\n' << elapsed_time_text(static_cast<double>(seconds)) << "\n\n";
  out << "Number of evaluated schedule: " << run.evaluated << '\n';
  out << "best step: " << run.best_step << "best loop: " << run.best_loop << '\n';
  out << '\n';
  write_values_listing(out, run.neighbour_values);
  out << '\n';
  write_deviation_listing(out, run.neighbour_values);
  out << "\n\n";
  out << " size of TabuList: " << run.tabu.count() << '\n';
  out << '\n';
  out << (frozen_part_kept ? "Freeze interval OK!" : "Freeze interval Modified!") << '\n';
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
  if (!open_run_log(log, state, ui)) {
    ui.run_progress(RunEvent::kLogNotOpened, st);
    return -1;
  }
  std::ostream& out = log.out();
  write_reschedule_head(out, problem, order);

  StepRules rules;
  rules.steps = state.run.steps;
  st.steps = rules.steps;
  st.start_time = rng.clock().time_of_day();
  rng.seed_from_clock();

  RescheduleStart start = prepare_reschedule_start(rescheduler, problem, state, order, freeze_time);
  out << " Objective values of the stopped schedule:\n";
  write_values_listing(out, start.reference_shop->values);
  out << "\n\n Objective values of the initial schedule:\n";
  write_values_listing(out, start.values);
  out << '\n';

  const FreezeContext freeze{start.reference, freeze_time};
  TabuRun<FrozenMoves> run(FrozenMoves{freeze, start, freeze_time}, std::move(start.initial),
                           start.values, problem.N_Job);
  const int64_t seconds = run_interactive_steps(run, rules, problem, state, ui, rng);

  evaluate_rescheduled(run.best, run.neighbour_values, problem, start, freeze_time);
  const bool frozen_part_kept =
      freeze_interval_check(run.best, start.reference, problem.Jobs, problem.Machines);
  write_reschedule_tail(out, seconds, run, frozen_part_kept);
  st.frozen_part_kept = frozen_part_kept;
  log.finish();

  // The frozen tasks of the new current schedule keep the reference's times.
  const FreezeTiming freeze_timing{start.reference.timing_view(), freeze_time};
  publish_solution(run.best, problem, state, &freeze_timing);
  rescheduler.set_snapshot_to_draw(start.reference_shop);

  take_log(st, log);
  ui.run_progress(RunEvent::kFinished, st);
  problem.first_run = false;
  return 1;
}

}  // namespace vema
