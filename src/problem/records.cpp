#include "problem/records.h"

#include <algorithm>

namespace vema {

void JOB::copy_from(const JOB& other) {
  Job_ID = other.Job_ID;
  O_ID = other.O_ID;
  O_i = other.O_i;
  start = other.start;
  completion = other.completion;
  frozen_steps = other.frozen_steps;
  freeze = other.freeze ? std::make_unique<FREEZE_JOB>(*other.freeze) : nullptr;
}

void copy_machine(MACHINE& target, const MACHINE& source) {
  if (&target == &source) return;
  target.ID = source.ID;
  target.Speed = source.Speed;
  target.StartStep = source.StartStep;
  target.EndStep = source.EndStep;
  target.N_Cal = source.N_Cal;
  target.calendar.assign(source.calendar.begin(), source.calendar.end());
  target.N_Set = source.N_Set;
  target.setup_time = source.setup_time;
  target.group = source.group;
  target.ready_time = source.ready_time;
  target.frozen_tasks = source.frozen_tasks;
}

void copy_order(ORDER& target, const ORDER& source) {
  if (&target == &source) return;
  target = source;  // every member owns its storage, so this is a deep copy
}

void copy_job(JOB& target, const JOB& source) { target = source; }

int calendar_delete(MACHINE& machine, int k) {
  if (machine.N_Cal < 2 || k < 1 || k > machine.N_Cal) return 0;
  machine.calendar.erase(machine.calendar.begin() + k);
  --machine.N_Cal;
  return 1;
}

int calendar_add(MACHINE& machine, int st, int et) {
  if (static_cast<long long>(et) - st <= 0) return -1;
  for (int i = 1; i <= machine.N_Cal; ++i) {
    const CAL_INTERVAL& c = machine.calendar[i];
    if (st <= c.ET && c.ST <= et) return 0;
  }
  if (machine.calendar.empty()) machine.calendar.resize(1);
  int pos = 1;
  while (pos <= machine.N_Cal && machine.calendar[pos].ST <= st) ++pos;
  machine.calendar.insert(machine.calendar.begin() + pos, CAL_INTERVAL{st, et});
  ++machine.N_Cal;
  return 1;
}

long long available_time(const MACHINE& machine, int t) {
  long long total = 0;
  for (int i = 1; i <= machine.N_Cal; ++i) {
    const CAL_INTERVAL& c = machine.calendar[i];
    if (c.ST >= t) break;
    if (c.ET >= t) {
      total += static_cast<long long>(t) - c.ST;
      break;
    }
    total += static_cast<long long>(c.ET) - c.ST;
  }
  return total;
}

}  // namespace vema
