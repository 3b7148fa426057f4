// The timing rules of one task, shared by the linked schedule (SCH) and the
// search solution so that both time a schedule identically. Arithmetic is
// done in 64 bits and stored saturated to the 32-bit range.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "problem/records.h"
#include "search/obj_value.h"

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

// Where the previous calendar scan on a machine stopped. Every interval
// before `index` ends at or before `time`, so a scan for a start not before
// `time` can begin at `index` and skips exactly what a scan from interval 1
// would skip. A machine's tasks start in sequence order, each not before its
// predecessor ends, so a machine's scans rarely have to start over.
struct CalendarCursor {
  int index = 1;
  int64_t time = INT64_MIN;
};

// What the rules read of a machine, gathered once per machine so that the
// per-task work stays in registers. Points into the machine, which must
// outlive it.
struct MachineView {
  explicit MachineView(const MACHINE& m)
      : speed(m.Speed),
        ready_time(m.ready_time),
        n_cal(m.calendar.empty() ? 0 : m.N_Cal),
        calendar(m.calendar.empty() ? nullptr : m.calendar.data()),
        setups(m.setup_time.empty() ? nullptr : m.setup_time[0]),
        setup_stride(m.setup_time.size() + 1) {}

  int setup_time(int from, int to) const {
    return setups != nullptr ? setups[static_cast<size_t>(from) * setup_stride + to] : 0;
  }

  int speed;
  int ready_time;
  int n_cal;                     // 0 when the machine has no calendar at all
  const CAL_INTERVAL* calendar;  // intervals 1..n_cal
  const int* setups;             // setup_time[from][to], or null
  int setup_stride;
};

// Moves [start, end) whole into the earliest availability interval that can
// hold it, not before lower_bound. Returns 1 when it fits, else 0 (start
// then lies inside or after the last interval). The cursor only speeds the
// scan up; the result is the same with a fresh one.
inline int fit_to_calendar(const MachineView& m, int64_t& start, int64_t& end, int64_t lower_bound,
                           CalendarCursor& cursor) {
  const int64_t d = end - start;
  int64_t t = std::max(start, lower_bound);
  int result = 0;
  const int n = m.n_cal;
  const CAL_INTERVAL* cal = m.calendar;
  int i = 1;
  int64_t passed = INT64_MIN;  // latest end among the intervals before i
  if (t >= cursor.time) {
    i = cursor.index;
    passed = cursor.time;
  }
  for (;;) {
    while (i <= n && cal[i].ET <= t) passed = std::max<int64_t>(passed, cal[i++].ET);
    if (i > n) break;
    t = std::max<int64_t>(t, cal[i].ST);
    if (t + d <= cal[i].ET) {
      result = 1;
      break;
    }
    if (i == n) break;
    passed = std::max<int64_t>(passed, cal[i++].ET);
    t = cal[i].ST;
  }
  cursor.index = i;
  cursor.time = passed;
  start = t;
  end = t + d;
  return result;
}

inline int fit_to_calendar(const MACHINE& m, int64_t& start, int64_t& end, int64_t lower_bound) {
  CalendarCursor fresh;
  return fit_to_calendar(MachineView(m), start, end, lower_bound, fresh);
}

// Quantity q on a machine of speed v (not 0): q / v rounded up.
inline int processing_time(int q, int v) {
  if (q >= 0 && v > 0) {
    const auto uq = static_cast<uint32_t>(q), uv = static_cast<uint32_t>(v);
    return static_cast<int>(uq / uv + (uq % uv != 0 ? 1 : 0));  // at most q
  }
  const int64_t a = q, b = v;
  const int64_t quotient = a / b;
  return saturate(quotient + ((a % b != 0 && (a < 0) == (b < 0)) ? 1 : 0));
}

// Everything the rules need to know about one task besides its machine.
struct TaskContext {
  int size = 0;        // SJob of the task's order
  int setup_type = 0;  // SetupType of the task's order
  int cst = 0;         // CST of the task's order
  bool first_task = false;
  int route_pred_end = 0;              // EndT of the route predecessor (route successors only)
  const TimingRecord* prev = nullptr;  // machine predecessor's record (null at position 1)
  int prev_setup_type = 0;             // SetupType of the predecessor's order
  bool freeze = false;                 // rescheduling: raise the start to freeze_time
  int freeze_time = 0;
  // The machine's calendar cursor, kept from task to task; null scans afresh.
  CalendarCursor* cursor = nullptr;
};

// Computes the six timing values of one task on machine m.
inline void time_task(const MachineView& m, const TaskContext& c, TimingRecord& out) {
  const int v = m.speed;
  int64_t set_t = 0;
  int64_t proc_t = 0;
  int setup = 0;
  if (v != 0) {
    proc_t = processing_time(c.size, v);
    if (c.prev == nullptr) {
      // Every machine starts in setup state 1 and charges its first setup.
      set_t = m.setup_time(1, c.setup_type);
      setup = 1;
    } else {
      set_t = m.setup_time(c.prev_setup_type, c.setup_type);
      setup = set_t != 0 ? 1 : 0;
    }
  }
  int64_t start;
  if (c.prev == nullptr) {
    start = c.first_task ? std::max<int64_t>(c.cst, m.ready_time)
                         : std::max<int64_t>(std::max<int64_t>(c.cst, c.route_pred_end - set_t),
                                             m.ready_time);
  } else {
    // A first task starts when the machine is free, not before CST. A route
    // successor starts when the machine is free if its route predecessor
    // has ended by then; otherwise its setup may be done in advance, but not
    // before the machine is free or before CST. Every candidate is computed,
    // so the choice needs no jump.
    const int64_t free_at = c.prev->EndT;
    const int64_t first = std::max<int64_t>(free_at, c.cst);
    const int64_t advance =
        std::max<int64_t>(first, std::max<int64_t>(c.route_pred_end, c.cst) - set_t);
    const int64_t successor = free_at >= c.route_pred_end ? free_at : advance;
    start = c.first_task ? first : successor;
  }
  if (c.freeze && start < c.freeze_time) start = c.freeze_time;
  int64_t end = start + set_t + proc_t;
  int calendar_ok = -1;
  if (v != 0) {
    const int64_t lower_bound = c.prev != nullptr ? c.prev->EndT : 0;
    if (c.cursor != nullptr) {
      calendar_ok = fit_to_calendar(m, start, end, lower_bound, *c.cursor);
    } else {
      CalendarCursor fresh;
      calendar_ok = fit_to_calendar(m, start, end, lower_bound, fresh);
    }
  }
  out.Setup = setup;
  out.SetT = static_cast<int>(set_t);
  out.ProcT = static_cast<int>(proc_t);
  out.M_Calendar_OK = calendar_ok;
  // Both values nearly always fit: one joint check keeps the common case to
  // a single branch (saturating each value on every task costs about a tenth
  // of a whole evaluate).
  if (start == static_cast<int>(start) && end == static_cast<int>(end)) {
    out.StartT = static_cast<int>(start);
    out.EndT = static_cast<int>(end);
  } else {
    out.StartT = saturate(start);
    out.EndT = saturate(end);
  }
}

inline void time_task(const MACHINE& m, const TaskContext& c, TimingRecord& out) {
  time_task(MachineView(m), c, out);
}

// Objectives 1..9 gathered job by job, the same way for every schedule
// form. Sums are kept in 64 bits and stored saturated.
class ObjectiveTally {
 public:
  // One timed job: completion c (EndT of its last task) and start s (the
  // smallest StartT of its tasks). Writes the job's start and completion and
  // the order's bounds.
  void add_job(int job_index, JOB& job, ORDER& order, int c, int s) {
    job.completion = c;
    job.start = s;
    const int64_t lateness = static_cast<int64_t>(c) - order.CET;
    const int64_t tardiness = std::max<int64_t>(0, lateness);
    if (tardiness > 0 || c == -1) {
      ++late_jobs_;
      // Jobs of one order are numbered consecutively, so a change of order
      // between consecutive late jobs counts each late order once.
      if (job.O_ID != last_late_order_) ++late_orders_;
      last_late_order_ = job.O_ID;
    }
    sum_tardiness_ += tardiness;
    max_tardiness_ = std::max(max_tardiness_, tardiness);
    sum_abs_lateness_ += lateness < 0 ? -lateness : lateness;
    completion_ = any_job_ ? std::max(completion_, c) : c;
    any_job_ = true;
    const int64_t early = std::min<int64_t>(0, static_cast<int64_t>(s) - order.CST);
    if (early < 0 || s == -1) ++early_jobs_;
    sum_early_ += early;
    if (job_index == order.FirstJob) {
      order.order_end = c;
      order.order_start = s;
    } else {
      order.order_end = std::max(order.order_end, c);
      order.order_start = std::min(order.order_start, s);
    }
  }
  void add_setups(int64_t n) { setups_ += n; }

  // Stores objectives 1..9; nothing else of values changes.
  void store(OBJ_VALUE& values) const {
    values.n_of_Late_Orders = saturate(late_orders_);
    values.n_of_Late_Jobs = saturate(late_jobs_);
    values.sumTardiness = saturate(sum_tardiness_);
    values.max_Tardiness = saturate(max_tardiness_);
    values.n_of_Setup = saturate(setups_);
    values.Completion_Time = completion_;
    values.sumAbsLateness = saturate(sum_abs_lateness_);
    values.n_of_Early_Starting_Jobs = saturate(early_jobs_);
    values.sumEarly_Startness = saturate(sum_early_);
  }

 private:
  int64_t late_orders_ = 0;
  int64_t late_jobs_ = 0;
  int64_t sum_tardiness_ = 0;
  int64_t max_tardiness_ = 0;
  int64_t setups_ = 0;
  int64_t sum_abs_lateness_ = 0;
  int64_t early_jobs_ = 0;
  int64_t sum_early_ = 0;
  int completion_ = 0;
  bool any_job_ = false;
  int last_late_order_ = 0;  // order of the previous late job; 0 = none yet
};

}  // namespace vema
