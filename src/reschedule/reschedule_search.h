// The rescheduling run: the tabu search run started from the released
// schedule frozen at the freeze time, with frozen-aware operators,
// freeze-aware timing and ten measures of deviation from the reference plan,
// and the pieces it is made of.
#pragma once

#include <iosfwd>
#include <vector>

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/problem.h"
#include "reschedule/rescheduler.h"
#include "reschedule/shop.h"
#include "search/obj_value.h"
#include "search/process_state.h"
#include "search/search_solution.h"

namespace vema {

// The deviation measures' labels, 1-based: in the "More Objective
// functions" window and in the run log.
extern const char* const kDeviationWindowLabels[kDeviations + 1];
extern const char* const kDeviationLogLabels[kDeviations + 1];

// The ten lines of a deviation listing: each log label followed by its value.
void write_deviation_listing(std::ostream& out, const OBJ_VALUE& values);

// For each machine 1..M the number of positions of its sequence whose timing
// record has Setup 1 (index 0 unused). The solution must be timed.
std::vector<int> setups_per_machine(const SearchSolution& solution);

// Fills the ten deviation values of `values` for the timed and evaluated
// solution s (its jobs' completion in `jobs`) against the reference
// solution and the reference snapshot's orders and jobs (their completion
// from the reference's evaluation).
void deviation_measures(const SearchSolution& s, OBJ_VALUE& values,
                        const std::vector<ORDER>& orders, const std::vector<JOB>& jobs,
                        const SearchSolution& reference, const std::vector<ORDER>& reference_orders,
                        const std::vector<JOB>& reference_jobs,
                        const std::vector<int>& reference_setups);

// True when the frozen part of s equals the reference's: every job's route
// steps 1..frozen_steps on the same machines at the same positions, and
// every machine's positions 1..frozen_tasks holding the same jobs and route
// steps. (A step among a job's first frozen_steps that itself started after
// the freeze time, which a setup done in advance makes possible, only has to
// keep its machine: its position lies in the unfrozen part.)
bool freeze_interval_check(const SearchSolution& s, const SearchSolution& reference,
                           const std::vector<JOB>& jobs, const std::vector<MACHINE>& machines);

// Where a rescheduling run starts.
struct RescheduleStart {
  SearchSolution reference;           // R: the released schedule, timed, not frozen
  SHOP* reference_shop = nullptr;     // its values and the reference orders and jobs
  std::vector<int> reference_setups;  // setups_per_machine of R
  SearchSolution initial;             // the released schedule timed with the freeze
  OBJ_VALUE values;                   // its objectives and deviation measures
};

// Prepares the initial state for the freeze order (Rescheduler's
// prepare_initial_state), evaluates R into the reference snapshot's values
// (writing its jobs' completion), and builds, times and evaluates the
// starting solution. The rescheduler must be loaded.
RescheduleStart prepare_reschedule_start(Rescheduler& rescheduler, Problem& problem,
                                         ProcessState& state, FreezeOrder order, int freeze_time);

// Times the solution with the freeze and fills its objectives and deviation
// measures.
void evaluate_rescheduled(SearchSolution& s, OBJ_VALUE& values, Problem& problem,
                          const RescheduleStart& start, int freeze_time);

// The rescheduling tabu search run of the rescheduler window: steps, loops
// and tabu size from state.run, priorities from state. Returns 1 when a new
// schedule was published (also after a confirmed stop), -1 when the run log
// could not be opened (nothing else happens then).
int run_reschedule(Problem& problem, ProcessState& state, Rescheduler& rescheduler,
                   UserInterface& ui, Random& rng, FreezeOrder order, int freeze_time);

}  // namespace vema
