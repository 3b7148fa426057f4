#include "search/operators.h"

namespace vema {

const char* const kOperatorHints[operator_count + 1] = {
    "",
    "Change random order as a unit. ",
    "Change random late order as a unit. ",
    "Change random  late job and change random machine with do_pi.",
    "Change random  late job.",
    "Change random job.",
};

int choose_operator(int n, const int* p, Random& rng) {
  if (n < 1) return 0;
  if (n == 1) return 1;
  int sum = 0;
  for (int k = 1; k <= n; ++k) sum += p[k];
  const int r = rng.mod(sum) + 1;
  int c = 0;
  for (int k = 1; k <= n; ++k) {
    c += p[k];
    if (r <= c) return k;
  }
  return 1;
}

void insert_job_at(SearchSolution& s, int j, int l, int m, int q) {
  int* seq = s.sequence(m);
  int* step = s.step_at(m);
  const int n = ++seq[0];
  for (int p = n; p > q; --p) {
    const int moved = seq[p - 1];
    seq[p] = moved;
    step[p] = step[p - 1];
    s.position_of(moved)[step[p]] = p;
  }
  seq[q] = j;
  step[q] = l;
  s.assignment(j)[l] = m;
  s.position_of(j)[l] = q;
}

void remove_job(SearchSolution& s, int job) {
  int* a = s.assignment(job);
  int* pos = s.position_of(job);
  const int k = route_length(a[0]);
  a[0] = 0;
  for (int l = 1; l <= k; ++l) {
    const int m = a[l];
    const int p = pos[l];
    a[l] = 0;
    pos[l] = 0;
    if (m < 1 || p < 1) continue;
    int* seq = s.sequence(m);
    int* step = s.step_at(m);
    const int n = seq[0];
    for (int q = p; q < n; ++q) {
      const int moved = seq[q + 1];
      seq[q] = moved;
      step[q] = step[q + 1];
      s.position_of(moved)[step[q]] = q;
    }
    seq[n] = 0;
    step[n] = 0;
    seq[0] = n - 1;
  }
}

void insert_job_random(SearchSolution& s, int job, const Problem& problem, Random& rng) {
  const ORDER& order = problem.Orders[problem.Jobs[job].O_ID];
  const int route = order.R_feasible[rng.mod(order.R_feasible[0]) + 1];
  s.assignment(job)[0] = route;
  const int k = route_length(route);
  for (int l = 1; l <= k; ++l) {
    const CountedList& machines = order.allowed_machines[R_MG_ex[route][l]];
    const int m = machines[rng.mod(machines[0]) + 1];
    const int n = s.sequence(m)[0] + 1;
    const int q = rng.mod(n) + 1;
    insert_job_at(s, job, l, m, q);
  }
}

void change_job(SearchSolution& s, int job, const Problem& problem, Random& rng) {
  remove_job(s, job);
  insert_job_random(s, job, problem, rng);
}

void copy_job_assignment(SearchSolution& s, int from_job, int to_job) {
  remove_job(s, to_job);
  const int* a = s.assignment(from_job);
  const int route = a[0];
  s.assignment(to_job)[0] = route;
  const int k = route_length(route);
  for (int l = 1; l <= k; ++l) insert_job_at(s, to_job, l, a[l], s.position_of(from_job)[l]);
}

void change_order(SearchSolution& s, int order, const Problem& problem, Random& rng) {
  const ORDER& o = problem.Orders[order];
  const int f = o.FirstJob;
  change_job(s, f, problem, rng);
  for (int b = f + o.NJob - 1; b >= f + 1; --b) copy_job_assignment(s, f, b);
}

bool do_pi(SearchSolution& s, int machine, Random& rng, OperatorWorkspace& workspace) {
  int* seq = s.sequence(machine);
  int* step = s.step_at(machine);
  const int n = seq[0];
  if (n < 2) return false;
  const int c = rng.mod(n) + 1;
  // The positions not drawn yet, in increasing order; the drawn ones are
  // collected at the end of the same buffer (q1 at index n, q2 at n-1, ...).
  std::vector<int>& buf = workspace.positions();
  for (int p = 1; p <= n; ++p) buf[p] = p;
  int remaining = n;
  for (int i = 1; i <= c; ++i) {
    const int idx = rng.mod(remaining) + 1;
    const int drawn = buf[idx];
    for (int t = idx; t < remaining; ++t) buf[t] = buf[t + 1];
    buf[remaining] = drawn;  // q_i lands at index n - i + 1
    --remaining;
  }
  auto q = [&](int i) { return buf[n - i + 1]; };
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

int pick_late_job(SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng) {
  w.evaluate(problem);
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

bool apply_operator(int k, SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng,
                    OperatorWorkspace& workspace) {
  switch (k) {
    case 1:
      change_order(w, rng.mod(problem.N_Order) + 1, problem, rng);
      return true;
    case 2: {
      const int j = pick_late_job(w, problem, values, rng);
      if (j != 0) change_order(w, problem.Jobs[j].O_ID, problem, rng);
      return true;
    }
    case 3: {
      const int j = pick_late_job(w, problem, values, rng);
      if (j != 0) change_job(w, j, problem, rng);
      return do_pi(w, rng.mod(problem.N_Machine) + 1, rng, workspace);
    }
    case 4: {
      const int j = pick_late_job(w, problem, values, rng);
      if (j != 0) change_job(w, j, problem, rng);
      return true;
    }
    case 5:
      change_job(w, rng.mod(problem.N_Job) + 1, problem, rng);
      return true;
    default:
      return true;
  }
}

}  // namespace vema
