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
  place_job_random(s, job, problem, rng, [&](int m) { return rng.mod(s.sequence(m)[0] + 1) + 1; });
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
  for (int l = 1; l <= k; ++l) s.insert_job_at(to_job, l, a[l], s.position_of(from_job)[l]);
}

void change_order(SearchSolution& s, int order, const Problem& problem, Random& rng) {
  const ORDER& o = problem.Orders[order];
  const int f = o.FirstJob;
  change_job(s, f, problem, rng);
  for (int b = f + o.NJob - 1; b >= f + 1; --b) copy_job_assignment(s, f, b);
}

bool do_pi(SearchSolution& s, int machine, Random& rng, OperatorWorkspace& workspace,
           int first_free) {
  int* seq = s.sequence(machine);
  int* step = s.step_at(machine);
  const int u = seq[0] - first_free;
  if (u < 2) return false;
  const int c = rng.mod(u) + 1;
  // The free positions not drawn yet, in increasing order; the drawn ones
  // are collected at the end of the same buffer (q1 at index u, q2 at u-1,
  // ...).
  std::vector<int>& buf = workspace.positions();
  for (int i = 1; i <= u; ++i) buf[i] = first_free + i;
  int remaining = u;
  for (int i = 1; i <= c; ++i) {
    const int idx = rng.mod(remaining) + 1;
    const int drawn = buf[idx];
    for (int t = idx; t < remaining; ++t) buf[t] = buf[t + 1];
    buf[remaining] = drawn;  // q_i lands at index u - i + 1
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

int draw_late_job(const SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng) {
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

int pick_late_job(SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng) {
  w.evaluate(problem);
  return draw_late_job(w, problem, values, rng);
}

namespace {

// The building blocks of the plain search.
struct PlainBlocks {
  Problem& problem;
  OBJ_VALUE& values;
  Random& rng;
  OperatorWorkspace& workspace;

  void change_order(SearchSolution& w, int order) { vema::change_order(w, order, problem, rng); }
  void change_job(SearchSolution& w, int job) { vema::change_job(w, job, problem, rng); }
  int pick_late_job(SearchSolution& w) { return vema::pick_late_job(w, problem, values, rng); }
  bool do_pi(SearchSolution& w, int machine) { return vema::do_pi(w, machine, rng, workspace); }
};

}  // namespace

bool apply_operator(int k, SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng,
                    OperatorWorkspace& workspace) {
  PlainBlocks blocks{problem, values, rng, workspace};
  return apply_operator_with(k, w, problem, rng, blocks);
}

}  // namespace vema
