// The array form of a schedule that every search works on: flat tables
// allocated once at construction, so that copying, changing and timing a
// neighbour allocate nothing. Owns all its tables.
#pragma once

#include <vector>

#include "common/random.h"
#include "problem/problem.h"
#include "schedule/sch.h"
#include "schedule/timing.h"
#include "search/obj_value.h"

namespace vema {

class SearchSolution {
 public:
  // Empty: every job route 0, every machine count 0.
  SearchSolution(int orders, int jobs, int machines);
  // From the assignment arrays (J_A rows, M_wload counted lists).
  SearchSolution(int orders, int jobs, int machines, const std::vector<JobAssignment>& J_A,
                 const std::vector<CountedList>& M_wload);
  // From a linked schedule.
  explicit SearchSolution(const SCH& schedule);
  // Copies everything but the timing records.
  SearchSolution(const SearchSolution& other);
  SearchSolution& operator=(const SearchSolution&) = delete;
  SearchSolution(SearchSolution&&) noexcept = default;
  SearchSolution& operator=(SearchSolution&&) noexcept = default;

  // Same copy into this solution's tables (same dimensions), no allocation.
  void assign_from(const SearchSolution& other);

  // Writes sequence into M_wload and assignment into J_A (used parts only).
  void export_arrays(std::vector<JobAssignment>& J_A, std::vector<CountedList>& M_wload) const;

  // Times every position of every machine (the twin of evaluate on a SCH).
  void evaluate(const Problem& problem);
  // The rescheduling variant: on each machine the first frozen_tasks
  // positions copy the reference timing record of the same machine and
  // position; every other start is raised to freeze_time when earlier. The
  // reference must have this solution's dimensions (it may be this solution).
  void evaluate_with_freeze(const Problem& problem, const TimingView& reference, int freeze_time);
  // Fills objectives 1..9 and n_of_Scheduled_Jobs; writes job and order times.
  void compute_objectives(OBJ_VALUE& values, Problem& problem) const;

  // Gives every job a random feasible route and random allowed machines,
  // appending it to each machine in job order; draws from rng as it stands.
  // Every machine sequence is emptied first.
  void fill_random(const Problem& problem, Random& rng);
  // Seeds rng from the clock, then fill_random.
  void random_assignment(const Problem& problem, Random& rng);

  // Puts route step l of job j at position q (1..count+1) of machine m,
  // shifting the jobs from q on one place back.
  void insert_job_at(int j, int l, int m, int q) {
    int* seq = sequence(m);
    int* step = step_at(m);
    const int n = ++seq[0];
    for (int p = n; p > q; --p) {
      const int moved = seq[p - 1];
      seq[p] = moved;
      step[p] = step[p - 1];
      position_of(moved)[step[p]] = p;
    }
    seq[q] = j;
    step[q] = l;
    assignment(j)[l] = m;
    position_of(j)[l] = q;
  }
  // Puts route step l of job j at the end of machine m's sequence.
  void append_job(int j, int l, int m) { insert_job_at(j, l, m, sequence(m)[0] + 1); }

  int n_orders() const { return n_orders_; }
  int n_jobs() const { return n_jobs_; }
  int n_machines() const { return n_machines_; }

  // Rows of the tables (1-based as everywhere).
  int* assignment(int job) { return &assignment_[static_cast<size_t>(job) * 5]; }
  const int* assignment(int job) const { return &assignment_[static_cast<size_t>(job) * 5]; }
  int* position_of(int job) { return &position_of_[static_cast<size_t>(job) * 5]; }
  const int* position_of(int job) const { return &position_of_[static_cast<size_t>(job) * 5]; }
  int* sequence(int machine) { return &sequence_[row(machine)]; }
  const int* sequence(int machine) const { return &sequence_[row(machine)]; }
  int* step_at(int machine) { return &step_at_[row(machine)]; }
  const int* step_at(int machine) const { return &step_at_[row(machine)]; }
  TimingRecord* timing(int machine) { return &timing_[row(machine)]; }
  const TimingRecord* timing(int machine) const { return &timing_[row(machine)]; }
  TimingView timing_view() const { return TimingView{timing_.data(), n_jobs_ + 1}; }

  // Derives position_of and step_at from assignment and sequence.
  void derive_positions();

 private:
  size_t row(int machine) const { return static_cast<size_t>(machine) * (n_jobs_ + 1); }

  // evaluate and evaluate_with_freeze; reference and freeze_time are read
  // only with kFreeze.
  template <bool kFreeze>
  void time_all(const Problem& problem, const TimingView* reference, int freeze_time);

  // What the timing reads of a job's order, gathered into one small table
  // at the start of every evaluate: orders can be edited between runs, so
  // nothing of them is kept from one evaluation to the next.
  struct JobFacts {
    int size = 0;
    int setup_type = 0;
    int cst = 0;
  };

  int n_orders_ = 0;
  int n_jobs_ = 0;
  int n_machines_ = 0;
  std::vector<int> assignment_;       // (n_jobs + 1) x 5
  std::vector<int> position_of_;      // (n_jobs + 1) x 5
  std::vector<int> sequence_;         // (n_machines + 1) x (n_jobs + 1)
  std::vector<int> step_at_;          // (n_machines + 1) x (n_jobs + 1)
  std::vector<TimingRecord> timing_;  // (n_machines + 1) x (n_jobs + 1)
  std::vector<JobFacts> job_facts_;   // n_jobs + 1, scratch of evaluate
};

// The random draws every random placement makes: a feasible route of the
// order (0, after one draw, when the order has none) and an allowed machine
// of the order for machine group g.
inline int random_route(const ORDER& order, Random& rng) {
  const int r = rng.mod(order.R_feasible[0]);
  return order.R_feasible[0] > 0 ? order.R_feasible[r + 1] : 0;
}
inline int random_machine(const ORDER& order, int group, Random& rng) {
  const CountedList& allowed = order.allowed_machines[group];
  return allowed[rng.mod(allowed[0]) + 1];
}

}  // namespace vema
