#include "search/search_solution.h"

#include <algorithm>
#include <cstring>

namespace vema {

SearchSolution::SearchSolution(int orders, int jobs, int machines)
    : n_orders_(orders),
      n_jobs_(jobs),
      n_machines_(machines),
      assignment_(static_cast<size_t>(jobs + 1) * 5, 0),
      position_of_(static_cast<size_t>(jobs + 1) * 5, 0),
      sequence_(static_cast<size_t>(machines + 1) * (jobs + 1), 0),
      step_at_(static_cast<size_t>(machines + 1) * (jobs + 1), 0),
      timing_(static_cast<size_t>(machines + 1) * (jobs + 1)),
      job_facts_(static_cast<size_t>(jobs) + 1) {}

SearchSolution::SearchSolution(int orders, int jobs, int machines,
                               const std::vector<JobAssignment>& J_A,
                               const std::vector<CountedList>& M_wload)
    : SearchSolution(orders, jobs, machines) {
  for (int j = 1; j <= jobs; ++j) {
    const JobAssignment& row = J_A[j];
    std::copy_n(row.begin(), route_length(row[0]) + 1, assignment(j));
  }
  for (int m = 1; m <= machines; ++m) {
    const CountedList& row = M_wload[m];
    std::copy_n(row.begin(), row[0] + 1, sequence(m));
  }
  derive_positions();
}

SearchSolution::SearchSolution(const SCH& schedule)
    : SearchSolution(schedule.n_orders, schedule.n_jobs, schedule.n_machines) {
  if (!schedule.has_arrays()) return;
  for (int j = 1; j <= n_jobs_; ++j) {
    int* a = assignment(j);
    a[0] = schedule.job_route[j];
    // The chain is walked from its last task backwards, filling steps k..1.
    int l = route_length(a[0]);
    for (const TASK* t = schedule.job_last[j]; t != nullptr && l >= 1; t = t->prev_in_job) {
      a[l--] = t->machine;
    }
  }
  for (int m = 1; m <= n_machines_; ++m) {
    int* seq = sequence(m);
    const int count = std::min(schedule.machine_count[m], n_jobs_);
    seq[0] = count;
    int p = 0;
    for (const TASK* t = schedule.machine_first[m]; t != nullptr && p < count;
         t = t->next_on_machine) {
      seq[++p] = t->job;
    }
  }
  derive_positions();
}

SearchSolution::SearchSolution(const SearchSolution& other)
    : SearchSolution(other.n_orders_, other.n_jobs_, other.n_machines_) {
  assign_from(other);
}

void SearchSolution::assign_from(const SearchSolution& other) {
  if (this == &other) return;
  n_orders_ = other.n_orders_;
  for (int m = 1; m <= n_machines_; ++m) {
    const size_t n = static_cast<size_t>(other.sequence(m)[0]) + 1;
    std::memcpy(sequence(m), other.sequence(m), n * sizeof(int));
    std::memcpy(step_at(m), other.step_at(m), n * sizeof(int));
  }
  for (int j = 1; j <= n_jobs_; ++j) {
    const size_t k = static_cast<size_t>(route_length(other.assignment(j)[0])) + 1;
    std::memcpy(assignment(j), other.assignment(j), k * sizeof(int));
    std::memcpy(position_of(j), other.position_of(j), k * sizeof(int));
  }
}

void SearchSolution::export_arrays(std::vector<JobAssignment>& J_A,
                                   std::vector<CountedList>& M_wload) const {
  if (J_A.size() < static_cast<size_t>(n_jobs_) + 1) J_A.resize(static_cast<size_t>(n_jobs_) + 1);
  if (M_wload.size() < static_cast<size_t>(n_machines_) + 1) {
    M_wload.resize(static_cast<size_t>(n_machines_) + 1);
  }
  for (int j = 1; j <= n_jobs_; ++j) {
    const int* a = assignment(j);
    std::copy_n(a, route_length(a[0]) + 1, J_A[j].begin());
  }
  for (int m = 1; m <= n_machines_; ++m) {
    CountedList& row = M_wload[m];
    if (row.size() < static_cast<size_t>(n_jobs_) + 1) row.resize(static_cast<size_t>(n_jobs_) + 1);
    const int* seq = sequence(m);
    std::copy_n(seq, seq[0] + 1, row.begin());
  }
}

void SearchSolution::derive_positions() {
  for (int m = 1; m <= n_machines_; ++m) {
    const int* seq = sequence(m);
    int* steps = step_at(m);
    for (int p = 1; p <= seq[0]; ++p) {
      const int j = seq[p];
      const int* a = assignment(j);
      steps[p] = 0;
      // A job that names this machine for two steps is recorded at the later one.
      for (int l = route_length(a[0]); l >= 1; --l) {
        if (a[l] == m) {
          position_of(j)[l] = p;
          steps[p] = l;
          break;
        }
      }
    }
  }
}

template <bool kFreeze>
void SearchSolution::time_all(const Problem& problem, const TimingView* reference,
                              int freeze_time) {
  JobFacts* facts = job_facts_.data();
  for (int j = 1; j <= n_jobs_; ++j) {
    const ORDER& order = problem.Orders[problem.Jobs[j].O_ID];
    facts[j] = {order.SJob, order.SetupType, order.CST};
  }
  for (int gi = 1; gi <= kGroups; ++gi) {
    const int g = group_order[gi];
    const bool start_group = is_start_group(g);
    const CountedList& machines = problem.MG_M[g];
    if (machines.empty()) continue;
    for (int i = 1; i <= machines[0]; ++i) {
      const int m = machines[i];
      const MachineView machine(problem.Machines[m]);
      const int* seq = sequence(m);
      const int* steps = step_at(m);
      TimingRecord* rec = timing(m);
      const int n = seq[0];
      CalendarCursor cursor;
      TimingRecord prev;
      TaskContext c;
      c.cursor = &cursor;
      int first = 1;  // the first position timed here
      if constexpr (kFreeze) {
        // The frozen head keeps the reference's times; the reference may be
        // this very solution, so a record is only read before it is written.
        const int frozen = std::clamp(problem.Machines[m].frozen_tasks, 0, n);
        for (int p = 1; p <= frozen; ++p) rec[p] = reference->at(m, p);
        c.freeze = true;
        c.freeze_time = freeze_time;
        if (frozen >= 1) {
          prev = rec[frozen];
          c.prev_setup_type = facts[seq[frozen]].setup_type;
        }
        first = frozen + 1;
      }
      // Position 1 is timed apart so that the rules are specialised for a
      // task with and without a machine predecessor.
      const auto time_position = [&](int p, const TimingRecord* machine_pred) {
        const int j = seq[p];
        const JobFacts& f = facts[j];
        const int* a = assignment(j);
        c.size = f.size;
        c.setup_type = f.setup_type;
        c.cst = f.cst;
        c.first_task = start_group || a[1] == m;
        if (!c.first_task) {
          const int l = steps[p];
          c.route_pred_end = timing_[row(a[l - 1]) + position_of(j)[l - 1]].EndT;
        }
        c.prev = machine_pred;
        time_task(machine, c, prev);
        rec[p] = prev;
        c.prev_setup_type = f.setup_type;
      };
      if (first == 1 && n >= 1) time_position(first++, nullptr);
      for (int p = first; p <= n; ++p) time_position(p, &prev);
    }
  }
}

void SearchSolution::evaluate(const Problem& problem) { time_all<false>(problem, nullptr, 0); }

void SearchSolution::evaluate_with_freeze(const Problem& problem, const TimingView& reference,
                                          int freeze_time) {
  time_all<true>(problem, &reference, freeze_time);
}

void SearchSolution::compute_objectives(OBJ_VALUE& values, Problem& problem) const {
  ObjectiveTally tally;
  int scheduled = 0;
  JOB* jobs = problem.Jobs.data();
  ORDER* orders = problem.Orders.data();
  for (int j = 1; j <= n_jobs_; ++j) {
    const int* a = assignment(j);
    const int k = route_length(a[0]);
    if (k == 0) continue;
    ++scheduled;
    const int* pos = position_of(j);
    int s = timing_[row(a[1]) + pos[1]].StartT;
    for (int l = 2; l <= k; ++l) s = std::min(s, timing_[row(a[l]) + pos[l]].StartT);
    const int c = timing_[row(a[k]) + pos[k]].EndT;
    JOB& job = jobs[j];
    tally.add_job(j, job, orders[job.O_ID], c, s);
  }
  int64_t setups = 0;
  for (int m = 1; m <= n_machines_; ++m) {
    const TimingRecord* rec = timing(m);
    for (int p = 1, n = sequence(m)[0]; p <= n; ++p) setups += rec[p].Setup == 1;
  }
  tally.add_setups(setups);
  tally.store(values);
  values.n_of_Scheduled_Jobs = scheduled;
}

void SearchSolution::fill_random(const Problem& problem, Random& rng) {
  for (int m = 1; m <= n_machines_; ++m) sequence(m)[0] = 0;
  for (int j = 1; j <= n_jobs_; ++j) {
    const ORDER& order = problem.Orders[problem.Jobs[j].O_ID];
    const int route = random_route(order, rng);
    assignment(j)[0] = route;
    for (int l = 1, k = route_length(route); l <= k; ++l) {
      append_job(j, l, random_machine(order, R_MG_ex[route][l], rng));
    }
  }
}

void SearchSolution::random_assignment(const Problem& problem, Random& rng) {
  rng.seed_from_clock();
  fill_random(problem, rng);
}

}  // namespace vema
