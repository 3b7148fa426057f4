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

// Building blocks (placing one task is SearchSolution::insert_job_at).
void remove_job(SearchSolution& s, int job);
void insert_job_random(SearchSolution& s, int job, const Problem& problem, Random& rng);
void change_job(SearchSolution& s, int job, const Problem& problem, Random& rng);
void copy_job_assignment(SearchSolution& s, int from_job, int to_job);
void change_order(SearchSolution& s, int order, const Problem& problem, Random& rng);
// Resequences machine m: a random number c of its positions after the first
// first_free ones are drawn one by one, and the job at each drawn position
// moves to the next drawn one (the last to the first). False (nothing
// changed) when fewer than two positions are free.
bool do_pi(SearchSolution& s, int machine, Random& rng, OperatorWorkspace& workspace,
           int first_free = 0);

// Places a job that has just been removed: a random feasible route of its
// order, a random allowed machine for every step, and there the position
// position(m) (1..count+1), asked for after the machine is drawn.
template <class Position>
void place_job_random(SearchSolution& s, int job, const Problem& problem, Random& rng,
                      Position position) {
  const ORDER& order = problem.Orders[problem.Jobs[job].O_ID];
  const int route = random_route(order, rng);
  s.assignment(job)[0] = route;
  for (int l = 1, k = route_length(route); l <= k; ++l) {
    const int m = random_machine(order, R_MG_ex[route][l], rng);
    s.insert_job_at(job, l, m, position(m));
  }
}

// Computes the objectives of the timed solution w into values and picks a
// random late job (0, without a draw, when there is none).
int draw_late_job(const SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng);

// Evaluates w into values and picks a random late job (0 when there is none).
int pick_late_job(SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng);

// The operators N1..N5 over a set of building blocks, so that the plain and
// the rescheduling search choose alike. Blocks provides change_order(w, o),
// change_job(w, j), pick_late_job(w) and do_pi(w, m). Returns false when the
// neighbour is dropped (N3 whose do_pi found too few positions).
template <class Blocks>
bool apply_operator_with(int k, SearchSolution& w, const Problem& problem, Random& rng,
                         Blocks& blocks) {
  switch (k) {
    case 1:
      blocks.change_order(w, rng.mod(problem.N_Order) + 1);
      return true;
    case 2: {
      const int j = blocks.pick_late_job(w);
      if (j != 0) blocks.change_order(w, problem.Jobs[j].O_ID);
      return true;
    }
    case 3: {
      const int j = blocks.pick_late_job(w);
      if (j != 0) blocks.change_job(w, j);
      return blocks.do_pi(w, rng.mod(problem.N_Machine) + 1);
    }
    case 4: {
      const int j = blocks.pick_late_job(w);
      if (j != 0) blocks.change_job(w, j);
      return true;
    }
    case 5:
      blocks.change_job(w, rng.mod(problem.N_Job) + 1);
      return true;
    default:
      return true;
  }
}

// Applies operator k (1..5) to the working solution. Returns false when the
// neighbour is dropped (N3 whose do_pi found fewer than two jobs).
bool apply_operator(int k, SearchSolution& w, Problem& problem, OBJ_VALUE& values, Random& rng,
                    OperatorWorkspace& workspace);

}  // namespace vema
