// Records of one scheduling problem: machines, calendar intervals, orders,
// their step entries and jobs. Every record owns its sub-arrays; copies are
// deep (copy_machine, copy_order, copy_job).
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "problem/route_tables.h"
#include "reschedule/freeze_job.h"

namespace vema {

// Counted list: element 0 holds the number of entries, 1..count the entries.
using CountedList = std::vector<int>;

struct CAL_INTERVAL {
  int ST = 0;
  int ET = 0;
};

// Square matrix of setup times indexed [from][to] with setup types 1..n;
// row 0 and column 0 hold nothing. Empty until the input creates it.
class SetupMatrix {
 public:
  SetupMatrix() = default;
  explicit SetupMatrix(int n_setup_types)
      : n_(n_setup_types), cells_(static_cast<size_t>(n_ + 1) * (n_ + 1), 0) {}

  bool empty() const { return cells_.empty(); }
  int size() const { return n_; }
  int* operator[](int from) { return cells_.data() + static_cast<size_t>(from) * (n_ + 1); }
  const int* operator[](int from) const {
    return cells_.data() + static_cast<size_t>(from) * (n_ + 1);
  }

 private:
  int n_ = 0;
  std::vector<int> cells_;
};

struct MACHINE {
  int ID = 0;
  int Speed = 0;
  int StartStep = 0;
  int EndStep = 0;
  int N_Cal = 0;
  std::vector<CAL_INTERVAL> calendar;  // N_Cal + 1 slots, intervals 1..N_Cal
  int N_Set = 0;
  SetupMatrix setup_time;
  int group = 0;
  int ready_time = 0;
  int frozen_tasks = 0;
};

struct ORDER_STEP {
  int SS = 0;
  int ES = 0;
  int M_ID = 0;
  int group = 0;
};

struct ORDER {
  int ID = 0;
  int NJob = 0;
  int SJob = 0;
  int StartStep = 0;
  int EndStep = 0;
  int SetupType = 0;
  int CST = 0;
  int CET = 0;
  int file_CST = 0;
  int N_Step = 0;
  std::vector<ORDER_STEP> steps;  // N_Step + 1 slots, entries 1..N_Step
  int ExeType = 0;
  std::array<int, kMaxExeRoutes + 1> R_feasible{};  // counted list of feasible routes
  // allowed_machines[g] for g = 1..10: counted list of machines usable for group g.
  // Slot 0 holds no list; an empty vector means "no list".
  std::array<CountedList, kGroups + 1> allowed_machines;
  int FirstJob = 0;
  int order_start = 0;
  int order_end = 0;
  int frozen = 0;
};

class JOB {
 public:
  JOB() = default;
  JOB(const JOB& other) { copy_from(other); }
  JOB& operator=(const JOB& other) {
    if (this != &other) copy_from(other);
    return *this;
  }
  JOB(JOB&&) noexcept = default;
  JOB& operator=(JOB&&) noexcept = default;
  ~JOB() = default;

  int Job_ID = 0;
  int O_ID = 0;
  int O_i = 0;
  int start = 0;
  int completion = 0;
  int frozen_steps = 0;
  std::unique_ptr<FREEZE_JOB> freeze;  // routes and machines left open after freezing

 private:
  void copy_from(const JOB& other);
};

// Deep copies of records. The target's owned arrays are replaced.
void copy_machine(MACHINE& target, const MACHINE& source);
void copy_order(ORDER& target, const ORDER& source);
void copy_job(JOB& target, const JOB& source);

// Removes interval k (1-based). Returns 0 (unchanged) when the machine has fewer
// than 2 intervals or k is not an interval, else 1.
int calendar_delete(MACHINE& machine, int k);
// Adds [st, et]: -1 when et - st <= 0, 0 when it meets an existing interval
// (touching counts), else inserts it in order and returns 1.
int calendar_add(MACHINE& machine, int st, int et);
// Available time of the machine before t (sum of interval parts before t).
long long available_time(const MACHINE& machine, int t);

}  // namespace vema
