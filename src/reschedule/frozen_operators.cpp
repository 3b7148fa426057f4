#include "reschedule/frozen_operators.h"

#include <algorithm>
#include <vector>

#include "search/operators.h"

namespace vema {

namespace {

// A random position of the machine after its frozen tasks: one draw over
// 1..count+1, a frozen position giving the first unfrozen one. Every frozen
// task of the machine is in place whenever this is asked, so count + 1 is
// never below frozen_tasks + 1.
int unfrozen_position(const SearchSolution& s, int machine, const Problem& problem, Random& rng) {
  const int q = rng.mod(s.sequence(machine)[0] + 1) + 1;
  const int frozen = problem.Machines[machine].frozen_tasks;
  return q <= frozen ? frozen + 1 : q;
}

}  // namespace

void insert_unfrozen(SearchSolution& s, int job, int l, int machine, const Problem& problem,
                     Random& rng) {
  s.insert_job_at(job, l, machine, unfrozen_position(s, machine, problem, rng));
}

bool change_job_frozen(SearchSolution& s, int job, const Problem& problem,
                       const FreezeContext& freeze, Random& rng) {
  const JOB& record = problem.Jobs[job];
  const int frozen_steps = record.frozen_steps;
  if (frozen_steps < 1) {
    remove_job(s, job);
    place_job_random(s, job, problem, rng,
                     [&](int m) { return unfrozen_position(s, m, problem, rng); });
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
      s.insert_job_at(job, l, m, r.position_of(job)[l]);
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
  return do_pi(s, machine, rng, workspace, std::max(0, problem.Machines[machine].frozen_tasks));
}

int pick_late_job_frozen(SearchSolution& w, Problem& problem, const FreezeContext& freeze,
                         OBJ_VALUE& values, Random& rng) {
  w.evaluate_with_freeze(problem, freeze.reference.timing_view(), freeze.freeze_time);
  return draw_late_job(w, problem, values, rng);
}

namespace {

// The building blocks of the rescheduling search.
struct FrozenBlocks {
  Problem& problem;
  const FreezeContext& freeze;
  OBJ_VALUE& values;
  Random& rng;
  OperatorWorkspace& workspace;

  void change_order(SearchSolution& w, int order) {
    change_order_frozen(w, order, problem, freeze, rng);
  }
  void change_job(SearchSolution& w, int job) { change_job_frozen(w, job, problem, freeze, rng); }
  int pick_late_job(SearchSolution& w) {
    return pick_late_job_frozen(w, problem, freeze, values, rng);
  }
  bool do_pi(SearchSolution& w, int machine) {
    return do_pi_frozen(w, machine, problem, rng, workspace);
  }
};

}  // namespace

bool apply_frozen_operator(int k, SearchSolution& w, Problem& problem, const FreezeContext& freeze,
                           OBJ_VALUE& values, Random& rng, OperatorWorkspace& workspace) {
  FrozenBlocks blocks{problem, freeze, values, rng, workspace};
  return apply_operator_with(k, w, problem, rng, blocks);
}

}  // namespace vema
