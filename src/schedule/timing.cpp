#include "schedule/timing.h"

#include <algorithm>

namespace vema {

namespace {

void store(TASK& t, const TimingRecord& r) {
  t.Setup = r.Setup;
  t.StartT = r.StartT;
  t.SetT = r.SetT;
  t.ProcT = r.ProcT;
  t.EndT = r.EndT;
  t.M_Calendar_OK = r.M_Calendar_OK;
}

void reset(TASK& t) { t.Setup = t.StartT = t.SetT = t.ProcT = t.EndT = t.M_Calendar_OK = -1; }

// Times machine m's sequence in order. With a reference, the first
// frozen_tasks positions copy it and every other start is raised to
// freeze_time.
void time_machine(SCH& schedule, const Problem& problem, int m, bool start_group,
                  const TimingView* reference, int freeze_time) {
  const MachineView machine(problem.Machines[m]);
  const int frozen = reference != nullptr ? problem.Machines[m].frozen_tasks : 0;
  TimingRecord prev;
  int prev_setup_type = 0;
  CalendarCursor cursor;
  int k = 0;
  for (TASK* t = schedule.machine_first[m]; t != nullptr; t = t->next_on_machine) {
    ++k;
    const ORDER& order = problem.Orders[problem.Jobs[t->job].O_ID];
    TimingRecord rec;
    if (k <= frozen) {
      rec = reference->at(m, k);
    } else {
      reset(*t);
      TaskContext c;
      c.size = order.SJob;
      c.setup_type = order.SetupType;
      c.cst = order.CST;
      const TASK* first = schedule.job_first[t->job];
      c.first_task = start_group || (first != nullptr && first->machine == m);
      if (!c.first_task) c.route_pred_end = t->prev_in_job != nullptr ? t->prev_in_job->EndT : -1;
      c.prev = k > 1 ? &prev : nullptr;
      c.prev_setup_type = prev_setup_type;
      c.freeze = reference != nullptr;
      c.freeze_time = freeze_time;
      c.cursor = &cursor;
      time_task(machine, c, rec);
    }
    store(*t, rec);
    prev = rec;
    prev_setup_type = order.SetupType;
  }
}

void time_schedule(SCH& schedule, const Problem& problem, const TimingView* reference,
                   int freeze_time) {
  if (!schedule.has_arrays()) return;
  for (int gi = 1; gi <= kGroups; ++gi) {
    const int g = group_order[gi];
    if (static_cast<size_t>(g) >= problem.MG_M.size()) continue;
    const CountedList& machines = problem.MG_M[g];
    if (machines.empty()) continue;
    for (int i = 1; i <= machines[0]; ++i) {
      const int m = machines[i];
      if (m < 1 || m > schedule.n_machines) continue;
      time_machine(schedule, problem, m, is_start_group(g), reference, freeze_time);
    }
  }
}

}  // namespace

void evaluate(SCH& schedule, const Problem& problem) {
  time_schedule(schedule, problem, nullptr, 0);
}

void evaluate_with_freeze(SCH& schedule, const Problem& problem, const TimingView& reference,
                          int freeze_time) {
  time_schedule(schedule, problem, &reference, freeze_time);
}

void compute_objectives(const SCH& schedule, OBJ_VALUE& values, Problem& problem) {
  ObjectiveTally tally;
  if (!schedule.job_first.empty() && !schedule.job_route.empty()) {
    for (int j = 1; j <= schedule.n_jobs; ++j) {
      const TASK* first = schedule.job_first[j];
      if (first == nullptr) continue;
      JOB& job = problem.Jobs[j];
      int s = first->StartT;
      for (const TASK* t = first->next_in_job; t != nullptr; t = t->next_in_job) {
        s = std::min(s, t->StartT);
      }
      tally.add_job(j, job, problem.Orders[job.O_ID], schedule.job_last[j]->EndT, s);
    }
  }
  if (!schedule.machine_first.empty()) {
    int64_t setups = 0;
    for (int m = 1; m <= schedule.n_machines; ++m) {
      if (schedule.machine_first[m] == nullptr || schedule.machine_count[m] == 0) continue;
      for (const TASK* t = schedule.machine_first[m]; t != nullptr; t = t->next_on_machine) {
        if (t->Setup == 1) ++setups;
      }
    }
    tally.add_setups(setups);
  }
  tally.store(values);
}

}  // namespace vema
