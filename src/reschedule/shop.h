// Shop snapshots and freezing. A SHOP is a self-contained copy of a shop
// environment (orders, jobs, machines, number of setup types) with a
// schedule on it and that schedule's objective values; the rescheduler keeps
// one of the shop as released and one as modified. Freezing decides, from a
// timed reference solution, which tasks had started by the freeze time and
// records what stays open to every job and machine.
#pragma once

#include <functional>
#include <vector>

#include "problem/problem.h"
#include "reschedule/freeze_job.h"
#include "schedule/sch.h"
#include "search/obj_value.h"
#include "search/search_solution.h"

namespace vema {

class SHOP {
 public:
  // An empty snapshot: no records, an empty schedule, zero values.
  SHOP() = default;
  // A deep copy: records copied with copy_order, copy_job and copy_machine
  // (as many as the other's schedule counts), the schedule with copy_from,
  // the values with take_values.
  SHOP(const SHOP& other);
  SHOP& operator=(const SHOP& other);
  SHOP(SHOP&&) noexcept = default;
  SHOP& operator=(SHOP&&) noexcept = default;
  ~SHOP() = default;

  int n_setup_types = 0;
  std::vector<ORDER> orders;      // n_orders + 1 slots, slot 0 empty
  std::vector<JOB> jobs;          // n_jobs + 1 slots; each job owns its FREEZE_JOB
  std::vector<MACHINE> machines;  // n_machines + 1 slots
  SCH sch;
  OBJ_VALUE values;

  // The snapshot keeps no counts of its own: they are its schedule's.
  int n_orders() const { return sch.n_orders; }
  int n_jobs() const { return sch.n_jobs; }
  int n_machines() const { return sch.n_machines; }

  // Fills the snapshot from problem arrays, a schedule and its values; the
  // counts are the schedule's. Whatever the snapshot held is replaced.
  void capture(int setup_types, const std::vector<ORDER>& from_orders,
               const std::vector<JOB>& from_jobs, const std::vector<MACHINE>& from_machines,
               const SCH& schedule, const OBJ_VALUE& from_values);
  // Copies the snapshot back: its orders (as many as its schedule has), then
  // jobs and machines (as many as the target schedule has) record by record
  // into the arrays, and its schedule into the target schedule. The arrays
  // and the schedule must have the snapshot's dimensions.
  void restore(std::vector<ORDER>& to_orders, std::vector<JOB>& to_jobs,
               std::vector<MACHINE>& to_machines, SCH& to_schedule) const;
  // Releases everything; the snapshot is empty again.
  void destroy();

 private:
  void copy_records(int setup_types, const std::vector<ORDER>& from_orders,
                    const std::vector<JOB>& from_jobs, const std::vector<MACHINE>& from_machines,
                    const SCH& schedule, const OBJ_VALUE& from_values);
};

// Lets the timing and evaluation operations, which work on a Problem, work
// on a snapshot's own records: the records are lent to a problem that also
// has the loaded problem's machine groups, `use` runs on it, and the records
// (with whatever `use` wrote into them) go back to the snapshot.
void with_shop_records(SHOP& shop, const Problem& loaded, const std::function<void(Problem&)>& use);

// Freezing: every task of the timed reference solution that starts at or
// before freeze_time is frozen. Sets every order's `frozen`, gives every job
// a new FREEZE_JOB and its `frozen_steps`, and sets every machine's
// `frozen_tasks` (the leading positions of its sequence that start by then).
void freeze_jobs(const SearchSolution& reference, std::vector<ORDER>& orders,
                 std::vector<JOB>& jobs, std::vector<MACHINE>& machines, int freeze_time);

}  // namespace vema
