// Enumeration for small problems: every assignment of routes and machines
// to the jobs and, for each, every order of the jobs on every machine, the
// best under the objective priorities published as the current schedule.
#pragma once

#include <cstdint>

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/problem.h"
#include "search/process_state.h"
#include "search/search_solution.h"

namespace vema {

// The size limit checked before an enumeration starts.
inline constexpr int kEnumerationMaxMachines = 20;
inline constexpr int kEnumerationMaxJobs = 20;
extern const char* const kEnumerationTooLargeMessage;

// True when the problem has more than 20 machines or more than 20 jobs.
bool too_large_for_enumeration(const Problem& problem);
// The guard run before enumerating: false, after showing the message, when
// the problem is too large.
bool enumeration_size_accepted(const Problem& problem, UserInterface& ui);

// Number of ways to assign the job: over its order's feasible routes, the
// product of the lengths of the allowed-machine lists of the route's steps.
// A job whose order has no feasible route has one way: route 0.
int64_t combination_count(const Problem& problem, int job);

// Gives the job its k-th combination (k from 1, at most combination_count):
// the routes in feasible-list order, within a route the machine of the last
// step varying fastest. The job leaves its machines and is appended at the
// end of the machines of the combination.
void set_combination(SearchSolution& s, const Problem& problem, int job, int64_t k);

// Replaces p[1..n] by its lexicographic successor; false, p unchanged, when
// p is the last permutation.
bool next_permutation_of(int* p, int n);

// n! in 64 bits (exact up to n = 20, the largest n the size limit admits);
// 1 when n < 2. Larger n saturate at the largest 64-bit value.
uint64_t factorial(int n);

// What an enumeration did, for the caller.
struct EnumerationSummary {
  double total_assignments = 0;  // product of the combination counts
  uint64_t assignments = 0;      // assignment combinations visited
  uint64_t evaluated = 0;        // schedules evaluated
  uint64_t best_solution = 0;    // `evaluated` when the best was last replaced, 0 if never
  uint64_t optimal_count = 0;    // schedules equal to the best found so far
  bool stopped = false;          // the planner confirmed a stop
};

// The enumeration run: 1 when it completed (also when stopped), -1 when the
// run log did not open. The starting solution is chosen as in the tabu
// search run; the best schedule becomes the current schedule.
int run_enumeration(Problem& problem, ProcessState& state, UserInterface& ui, Random& rng,
                    EnumerationSummary* summary = nullptr);

}  // namespace vema
