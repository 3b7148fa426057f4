// The neighbourhood operators of a rescheduling run. They choose orders,
// jobs and machines as the operators N1..N5 do, but apply the choice through
// building blocks that never move a frozen task and never put an unfrozen
// task before a frozen one: every machine keeps its frozen_tasks leading
// positions and every job its frozen_steps first route steps exactly as in
// the reference solution.
#pragma once

#include "common/random.h"
#include "problem/problem.h"
#include "search/obj_value.h"
#include "search/operators.h"
#include "search/search_solution.h"

namespace vema {

// What the frozen-aware operators work against: the timed reference
// solution and the freeze time.
struct FreezeContext {
  const SearchSolution& reference;
  int freeze_time = 0;
};

// Inserts the job (currently removed) as route step l at a random position
// of machine m that lies after the machine's frozen tasks.
void insert_unfrozen(SearchSolution& s, int job, int l, int machine, const Problem& problem,
                     Random& rng);

// Job reassignment. A job with frozen steps takes a route of its
// FREEZE_JOB's feasible_routes and machines of its group_machines lists; its
// frozen steps go back to their reference positions. A job without frozen
// steps is placed as insert_job_random places it, after the frozen tasks.
// A job with frozen steps but no feasible route left (only a released
// schedule with a route outside its order's list can do that) is kept
// unchanged. Returns false when the job was kept unchanged for that reason.
bool change_job_frozen(SearchSolution& s, int job, const Problem& problem,
                       const FreezeContext& freeze, Random& rng);

// Order reassignment: the first job is reassigned, then the other jobs from
// the last down to the second, each reassigned itself when it or the first
// job has frozen steps, otherwise placed right before the first job.
void change_order_frozen(SearchSolution& s, int order, const Problem& problem,
                         const FreezeContext& freeze, Random& rng);

// Machine resequencing: do_pi over the positions after the frozen tasks.
// False (nothing changed) when fewer than two tasks are unfrozen.
bool do_pi_frozen(SearchSolution& s, int machine, const Problem& problem, Random& rng,
                  OperatorWorkspace& workspace);

// Times w with the freeze, computes its objectives into values and picks a
// random late job (0 when there is none).
int pick_late_job_frozen(SearchSolution& w, Problem& problem, const FreezeContext& freeze,
                         OBJ_VALUE& values, Random& rng);

// Applies operator k (1..5) to the working solution with the frozen-aware
// blocks. False when the neighbour is dropped (N3 on a machine with fewer
// than two unfrozen tasks).
bool apply_frozen_operator(int k, SearchSolution& w, Problem& problem, const FreezeContext& freeze,
                           OBJ_VALUE& values, Random& rng, OperatorWorkspace& workspace);

}  // namespace vema
