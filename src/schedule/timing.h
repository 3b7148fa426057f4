// Timing of a linked schedule and its objective values.
#pragma once

#include "problem/problem.h"
#include "schedule/sch.h"
#include "schedule/timing_rules.h"
#include "search/obj_value.h"

namespace vema {

// Per-machine, per-position timing of a search solution, used as the frozen
// reference by evaluate_with_freeze: record (m, k) for machine m, position k.
struct TimingView {
  const TimingRecord* records = nullptr;
  int stride = 0;  // records per machine
  const TimingRecord& at(int machine, int position) const {
    return records[static_cast<size_t>(machine) * stride + position];
  }
};

// Recomputes the six timing fields of every task.
void evaluate(SCH& schedule, const Problem& problem);
// The rescheduling variant: the first frozen_tasks positions of each machine
// copy the reference; every other start is raised to freeze_time.
void evaluate_with_freeze(SCH& schedule, const Problem& problem, const TimingView& reference,
                          int freeze_time);
// Fills objectives 1..9 of values from a timed schedule and writes the jobs'
// start and completion and the orders' order_start and order_end.
void compute_objectives(const SCH& schedule, OBJ_VALUE& values, Problem& problem);

}  // namespace vema
