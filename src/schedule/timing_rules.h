// The timing rules of one task, shared by the linked schedule (SCH) and the
// search solution so that both time a schedule identically. Arithmetic is
// done in 64 bits and stored saturated to the 32-bit range.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "problem/records.h"

namespace vema {

// The six timing values of one task, in the order a TASK carries them.
struct TimingRecord {
  int Setup = -1;
  int StartT = -1;
  int SetT = -1;
  int ProcT = -1;
  int EndT = -1;
  int M_Calendar_OK = -1;
};

// Groups in timing order (by first technology step); the first four start at
// step 1, so every task in them is the first task of its job.
inline constexpr int group_order[11] = {0, 10, 8, 5, 1, 9, 6, 2, 7, 3, 4};
inline constexpr bool is_start_group(int g) { return g == 10 || g == 8 || g == 5 || g == 1; }

inline int saturate(int64_t v) {
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

// Moves [start, end) whole into the earliest availability interval that can
// hold it, not before lower_bound. Returns 1 when it fits, else 0 (start
// then lies inside or after the last interval).
inline int fit_to_calendar(const MACHINE& m, int64_t& start, int64_t& end, int64_t lower_bound) {
  const int64_t d = end - start;
  int64_t t = std::max(start, lower_bound);
  int result = 0;
  const int n = m.N_Cal;
  const CAL_INTERVAL* cal = m.calendar.empty() ? nullptr : m.calendar.data();
  int i = 1;
  while (cal != nullptr) {
    while (i <= n && cal[i].ET <= t) ++i;
    if (i > n) break;
    t = std::max<int64_t>(t, cal[i].ST);
    if (t + d <= cal[i].ET) {
      result = 1;
      break;
    }
    if (i == n) break;
    ++i;
    t = cal[i].ST;
  }
  start = t;
  end = t + d;
  return result;
}

// Everything the rules need to know about one task besides its machine.
struct TaskContext {
  int size = 0;          // SJob of the task's order
  int setup_type = 0;    // SetupType of the task's order
  int cst = 0;           // CST of the task's order
  bool first_task = false;
  int route_pred_end = 0;       // EndT of the route predecessor (route successors only)
  const TimingRecord* prev = nullptr;  // machine predecessor's record (null at position 1)
  int prev_setup_type = 0;      // SetupType of the predecessor's order
  bool freeze = false;          // rescheduling: raise the start to freeze_time
  int freeze_time = 0;
};

// Computes the six timing values of one task on machine m.
inline void time_task(const MACHINE& m, const TaskContext& c, TimingRecord& out) {
  const int v = m.Speed;
  int64_t set_t = 0;
  int64_t proc_t = 0;
  int setup = 0;
  if (v != 0) {
    proc_t = (static_cast<int64_t>(c.size) + v - 1) / v;  // ceiling of size / speed
    if (c.prev == nullptr) {
      set_t = m.setup_time.empty() ? 0 : m.setup_time[1][c.setup_type];
      setup = 1;
    } else {
      set_t = m.setup_time.empty() ? 0 : m.setup_time[c.prev_setup_type][c.setup_type];
      setup = set_t != 0 ? 1 : 0;
    }
  }
  int64_t start;
  if (c.first_task) {
    start = c.prev == nullptr ? std::max<int64_t>(c.cst, m.ready_time)
                              : std::max<int64_t>(c.prev->EndT, c.cst);
  } else if (c.prev == nullptr) {
    start = std::max<int64_t>(c.cst, c.route_pred_end - set_t);
    start = std::max<int64_t>(start, m.ready_time);
  } else if (c.prev->EndT >= c.route_pred_end) {
    start = c.prev->EndT;
  } else {
    const int64_t a = std::max(c.route_pred_end, c.cst);
    start = std::max<int64_t>({static_cast<int64_t>(c.prev->EndT), a - set_t,
                               static_cast<int64_t>(c.cst)});
  }
  if (c.freeze && start < c.freeze_time) start = c.freeze_time;
  int64_t end = start + set_t + proc_t;
  int calendar_ok = -1;
  if (v != 0) {
    calendar_ok = fit_to_calendar(m, start, end, c.prev != nullptr ? c.prev->EndT : 0);
  }
  out.Setup = setup;
  out.StartT = saturate(start);
  out.SetT = saturate(set_t);
  out.ProcT = saturate(proc_t);
  out.EndT = saturate(end);
  out.M_Calendar_OK = calendar_ok;
}

}  // namespace vema
