#include "reschedule/frozen_operators.h"

#include <algorithm>
#include <vector>

#include "search/operators.h"

namespace vema {

void insert_unfrozen(SearchSolution& s, int job, int l, int machine, const Problem& problem,
                     Random& rng) {
  const int n = s.sequence(machine)[0] + 1;
  int q = rng.mod(n) + 1;
  const int frozen = problem.Machines[machine].frozen_tasks;
  if (q <= frozen) q = std::min(frozen + 1, n);
  insert_job_at(s, job, l, machine, q);
}

bool change_job_frozen(SearchSolution& s, int job, const Problem& problem,
                       const FreezeContext& freeze, Random& rng) {
  const JOB& record = problem.Jobs[job];
  const ORDER& order = problem.Orders[record.O_ID];
  const int frozen_steps = record.frozen_steps;
  if (frozen_steps < 1) {
    remove_job(s, job);
    const int route = order.R_feasible[rng.mod(order.R_feasible[0]) + 1];
    s.assignment(job)[0] = route;
    for (int l = 1, k = route_length(route); l <= k; ++l) {
      const CountedList& machines = order.allowed_machines[R_MG_ex[route][l]];
      const int m = machines[rng.mod(machines[0]) + 1];
      insert_unfrozen(s, job, l, m, problem, rng);
    }
    return true;
  }
  const FREEZE_JOB* open = record.freeze.get();
  if (open == nullptr || open->feasible_routes[0] < 1) return false;
  remove_job(s, job);
  const int route = open->feasible_routes[rng.mod(open->feasible_routes[0]) + 1];
  s.assignment(job)[0] = route;
  const SearchSolution& r = freeze.reference;
  for (int l = 1, k = route_length(route); l <= k; ++l) {
    const std::vector<int>& machines = open->group_machines[R_MG_ex[route][l]];
    const int m = machines[rng.mod(machines[0]) + 1];
    if (l <= frozen_steps && r.assignment(job)[l] == m) {
      // Every other frozen task of the machine is where it is in the
      // reference, so the reference position puts this one back exactly.
      insert_job_at(s, job, l, m, r.position_of(job)[l]);
    } else {
      insert_unfrozen(s, job, l, m, problem, rng);
    }
  }
  return true;
}

void change_order_frozen(SearchSolution& s, int order, const Problem& problem,
                         const FreezeContext& freeze, Random& rng) {
  const ORDER& o = problem.Orders[order];
  const int f = o.FirstJob;
  change_job_frozen(s, f, problem, freeze, rng);
  const bool first_frozen = problem.Jobs[f].frozen_steps >= 1;
  for (int b = f + o.NJob - 1; b >= f + 1; --b) {
    if (first_frozen || problem.Jobs[b].frozen_steps >= 1) {
      change_job_frozen(s, b, problem, freeze, rng);
    } else {
      copy_job_assignment(s, f, b);
    }
  }
}

bool do_pi_frozen(SearchSolution& s, int machine, const Problem& problem, Random& rng,
                  OperatorWorkspace& workspace) {
  int* seq = s.sequence(machine);
  int* step = s.step_at(machine);
  const int n = seq[0];
  const int frozen = std::max(0, problem.Machines[machine].frozen_tasks);
  const int u = n - frozen;
  if (u < 2) return false;
  const int c = rng.mod(u) + 1;
  // The unfrozen positions not drawn yet, in increasing order; the drawn
  // ones are collected at the end of the same buffer (q1 at index u, q2 at
  // u-1, ...).
  std::vector<int>& buf = workspace.positions();
  for (int i = 1; i <= u; ++i) buf[i] = frozen + i;
  int remaining = u;
  for (int i = 1; i <= c; ++i) {
    const int idx = rng.mod(remaining) + 1;
    const int drawn = buf[idx];
    for (int t = idx; t < remaining; ++t) buf[t] = buf[t + 1];
    buf[remaining] = drawn;
    --remaining;
  }
  auto q = [&](int i) { return buf[u - i + 1]; };
  // The job at q(i-1) moves to q(i); the one at q(c) moves to q(1).
  const int last_job = seq[q(c)];
  const int last_step = step[q(c)];
  for (int i = c; i >= 2; --i) {
    seq[q(i)] = seq[q(i - 1)];
    step[q(i)] = step[q(i - 1)];
    s.position_of(seq[q(i)])[step[q(i)]] = q(i);
  }
  seq[q(1)] = last_job;
  step[q(1)] = last_step;
  s.position_of(last_job)[last_step] = q(1);
  return true;
}

int pick_late_job_frozen(SearchSolution& w, Problem& problem, const FreezeContext& freeze,
                         OBJ_VALUE& values, Random& rng) {
  w.evaluate_with_freeze(problem, freeze.reference.timing_view(), freeze.freeze_time);
  w.compute_objectives(values, problem);
  const int late = values.n_of_Late_Jobs;
  if (late <= 0) return 0;
  const int t = rng.mod(late) + 1;
  int count = 0;
  for (int j = 1; j <= problem.N_Job; ++j) {
    const JOB& job = problem.Jobs[j];
    if (job.completion > problem.Orders[job.O_ID].CET && ++count == t) return j;
  }
  return 0;
}

bool apply_frozen_operator(int k, SearchSolution& w, Problem& problem, const FreezeContext& freeze,
                           OBJ_VALUE& values, Random& rng, OperatorWorkspace& workspace) {
  switch (k) {
    case 1:
      change_order_frozen(w, rng.mod(problem.N_Order) + 1, problem, freeze, rng);
      return true;
    case 2: {
      const int j = pick_late_job_frozen(w, problem, freeze, values, rng);
      if (j != 0) change_order_frozen(w, problem.Jobs[j].O_ID, problem, freeze, rng);
      return true;
    }
    case 3: {
      const int j = pick_late_job_frozen(w, problem, freeze, values, rng);
      if (j != 0) change_job_frozen(w, j, problem, freeze, rng);
      return do_pi_frozen(w, rng.mod(problem.N_Machine) + 1, problem, rng, workspace);
    }
    case 4: {
      const int j = pick_late_job_frozen(w, problem, freeze, values, rng);
      if (j != 0) change_job_frozen(w, j, problem, freeze, rng);
      return true;
    }
    case 5:
      change_job_frozen(w, rng.mod(problem.N_Job) + 1, problem, freeze, rng);
      return true;
    default:
      return true;
  }
}

}  // namespace vema
