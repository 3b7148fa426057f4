// Neighbourhood operators on a search solution: the roulette choice, the
// building blocks and the five operators N1..N5. Every building block keeps
// all tables of the solution consistent.
#pragma once

#include <array>
#include <vector>

#include "common/random.h"
#include "problem/problem.h"
#include "search/obj_value.h"
#include "search/search_solution.h"

namespace vema {

// Number of active operators (N1..N5); the priority table has room for 8.
inline constexpr int operator_count = 5;
inline constexpr int kOperatorSlots = 8;

// Operator priorities 0..10, indexed 0..8 (0 unused by the choice). Every
// entry 0..operator_count starts at 1. Entry 6 doubles as the results
// window's mode (1 scheduler, 2 rescheduler).
using OperatorPriorities = std::array<int, kOperatorSlots + 1>;
inline constexpr OperatorPriorities kDefaultOperatorPriorities = {1, 1, 1, 1, 1, 1, 0, 0, 0};

// Per-run counters, indexed 0..operator_count (0 holds the sum).
struct OperatorCounters {
  std::array<int, operator_count + 1> total_count{};
  std::array<int, operator_count + 1> improve_count{};
};

// The operators' hint texts, 1-based.
extern const char* const kOperatorHints[operator_count + 1];

// Roulette over p[1..n]: operator k with probability p[k] / sum; 1 when all
// priorities are 0; 0 when n < 1.
int choose_operator(int n, const int* p, Random& rng);

// Scratch space for the operators, sized once per run so that applying an
// operator allocates nothing.
class OperatorWorkspace {
 public:
  explicit OperatorWorkspace(int n_jobs) : positions_(static_cast<size_t>(n_jobs) + 1) {}
  std::vector<int>& positions() { return positions_; }

 private:
  std::vector<int> positions_;
};

// Building blocks.
// Puts job j at position q (1..count+1) of machine m as its route step l,
// shifting the jobs from q on one place back.
void insert_job_at(SearchSolution& s, int j, int l, int m, int q);
void remove_job(SearchSolution& s, int job);
void insert_job_random(SearchSolution& s, int job, const Problem& problem, Random& rng);
void change_job(SearchSolution& s, int job, const Problem& problem, Random& rng);
void copy_job_assignment(SearchSolution& s, int from_job, int to_job);
void change_order(SearchSolution& s, int order, const Problem& problem, Random& rng);
bool do_pi(SearchSolution& s, int machine, Random& rng, OperatorWorkspace& workspace);

// Evaluates w into values and picks a random late job (0 when there is none).
int pick_late_job(SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng);

// Applies operator k (1..5) to the working solution. Returns false when the
// neighbour is dropped (N3 whose do_pi found fewer than two jobs).
bool apply_operator(int k, SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng,
                    OperatorWorkspace& workspace);

}  // namespace vema
