// Shared pieces of the rescheduling tests: released schedule files made from
// random schedules, assignment arrays written by hand, and record
// comparisons. Problems, the clock and file texts come from the shared test
// headers included here.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/random.h"
#include "fixed_clock.h"
#include "problem/problem.h"
#include "reschedule/shop.h"
#include "schedule/sch.h"
#include "schedule/schedule_file.h"
#include "search/search_solution.h"
#include "temp_dir.h"
#include "test_problems.h"
#include "text_files.h"

namespace vema::testing {

// Assignment arrays for n jobs with no job placed.
inline std::vector<JobAssignment> no_jobs(int n) {
  return std::vector<JobAssignment>(static_cast<size_t>(n) + 1, JobAssignment{});
}
// Machine sequences for the machines with room for every job, all empty.
inline std::vector<CountedList> no_sequences(int machines, int jobs) {
  return std::vector<CountedList>(static_cast<size_t>(machines) + 1,
                                  CountedList(static_cast<size_t>(jobs) + 1, 0));
}
// Makes the jobs, in this order, the sequence of machine m.
inline void put_sequence(std::vector<CountedList>& M_wload, int m, const std::vector<int>& jobs) {
  M_wload[m][0] = static_cast<int>(jobs.size());
  for (size_t p = 0; p < jobs.size(); ++p) M_wload[m][p + 1] = jobs[p];
}

// A random feasible schedule of the problem (fixed seed).
inline SCH random_schedule(const Problem& p, uint64_t seed) {
  FixedClock clock;
  Random rng(clock);
  rng.set_fixed_seed(seed);
  SearchSolution s(p.N_Order, p.N_Job, p.N_Machine);
  s.random_assignment(p, rng);
  std::vector<JobAssignment> J_A(static_cast<size_t>(p.N_Job) + 1, JobAssignment{});
  std::vector<CountedList> M_wload(static_cast<size_t>(p.N_Machine) + 1,
                                   CountedList(static_cast<size_t>(p.N_Job) + 1, 0));
  s.export_arrays(J_A, M_wload);
  SCH schedule;
  schedule.build_from_assignment(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);
  return schedule;
}

// Writes a released schedule file of the example with a random schedule.
inline std::string released_example(const TempDir& dir, const std::string& example, uint64_t seed,
                                    const std::string& name = "plan.rsf") {
  const Problem p = example_problem(example);
  const SCH schedule = random_schedule(p, seed);
  const std::string path = dir.file(name);
  EXPECT_EQ(write_released_schedule_file(path, schedule, p), kFileDone);
  return path;
}

// Every start time of a timed solution, in no particular order.
inline std::vector<int> start_times(const SearchSolution& s) {
  std::vector<int> starts;
  for (int m = 1; m <= s.n_machines(); ++m) {
    for (int p = 1; p <= s.sequence(m)[0]; ++p) starts.push_back(s.timing(m)[p].StartT);
  }
  return starts;
}

inline bool same_timing(const TimingRecord& a, const TimingRecord& b) {
  return a.Setup == b.Setup && a.StartT == b.StartT && a.SetT == b.SetT && a.ProcT == b.ProcT &&
         a.EndT == b.EndT && a.M_Calendar_OK == b.M_Calendar_OK;
}

inline ::testing::AssertionResult machines_equal(const MACHINE& a, const MACHINE& b) {
  if (a.ID != b.ID || a.Speed != b.Speed || a.StartStep != b.StartStep || a.EndStep != b.EndStep ||
      a.N_Cal != b.N_Cal || a.N_Set != b.N_Set || a.group != b.group ||
      a.ready_time != b.ready_time || a.frozen_tasks != b.frozen_tasks) {
    return ::testing::AssertionFailure() << "machine " << a.ID << " differs in a field";
  }
  for (int k = 1; k <= a.N_Cal; ++k) {
    if (a.calendar[k].ST != b.calendar[k].ST || a.calendar[k].ET != b.calendar[k].ET) {
      return ::testing::AssertionFailure() << "machine " << a.ID << " interval " << k;
    }
  }
  if (a.setup_time.size() != b.setup_time.size()) {
    return ::testing::AssertionFailure() << "machine " << a.ID << " setup matrix size";
  }
  for (int i = 1; i <= a.setup_time.size(); ++i) {
    for (int t = 1; t <= a.setup_time.size(); ++t) {
      if (a.setup_time[i][t] != b.setup_time[i][t]) {
        return ::testing::AssertionFailure() << "machine " << a.ID << " setup " << i << "," << t;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult orders_equal(const ORDER& a, const ORDER& b) {
  if (a.ID != b.ID || a.NJob != b.NJob || a.SJob != b.SJob || a.StartStep != b.StartStep ||
      a.EndStep != b.EndStep || a.SetupType != b.SetupType || a.CST != b.CST || a.CET != b.CET ||
      a.N_Step != b.N_Step || a.ExeType != b.ExeType || a.R_feasible != b.R_feasible ||
      a.allowed_machines != b.allowed_machines || a.FirstJob != b.FirstJob ||
      a.order_start != b.order_start || a.order_end != b.order_end || a.frozen != b.frozen) {
    return ::testing::AssertionFailure() << "order " << a.ID << " differs in a field";
  }
  for (int k = 1; k <= a.N_Step; ++k) {
    if (a.steps[k].SS != b.steps[k].SS || a.steps[k].ES != b.steps[k].ES ||
        a.steps[k].M_ID != b.steps[k].M_ID) {
      return ::testing::AssertionFailure() << "order " << a.ID << " step " << k;
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult jobs_equal(const JOB& a, const JOB& b) {
  if (a.Job_ID != b.Job_ID || a.O_ID != b.O_ID || a.O_i != b.O_i || a.start != b.start ||
      a.completion != b.completion || a.frozen_steps != b.frozen_steps) {
    return ::testing::AssertionFailure() << "job " << a.Job_ID << " differs in a field";
  }
  if ((a.freeze == nullptr) != (b.freeze == nullptr)) {
    return ::testing::AssertionFailure() << "job " << a.Job_ID << ": only one has a FREEZE_JOB";
  }
  if (a.freeze != nullptr && (a.freeze->feasible_routes != b.freeze->feasible_routes ||
                              a.freeze->group_machines != b.freeze->group_machines)) {
    return ::testing::AssertionFailure() << "job " << a.Job_ID << ": FREEZE_JOBs differ";
  }
  return ::testing::AssertionSuccess();
}

// Records 1..n of two arrays compared with one of the comparisons above.
template <class Record, class Equal>
::testing::AssertionResult arrays_equal(const std::vector<Record>& a, const std::vector<Record>& b,
                                        int n, Equal equal) {
  if (static_cast<int>(a.size()) < n + 1 || static_cast<int>(b.size()) < n + 1) {
    return ::testing::AssertionFailure() << "arrays shorter than " << n + 1;
  }
  for (int i = 1; i <= n; ++i) {
    ::testing::AssertionResult r = equal(a[i], b[i]);
    if (!r) return r;
  }
  return ::testing::AssertionSuccess();
}

// Routes, machines and sequences of two schedules agree.
inline ::testing::AssertionResult same_schedule(const SCH& a, const SCH& b) {
  if (a.n_jobs != b.n_jobs || a.n_machines != b.n_machines || a.n_orders != b.n_orders) {
    return ::testing::AssertionFailure() << "dimensions differ";
  }
  if (same_sequences(a, b) != 1) return ::testing::AssertionFailure() << "sequences differ";
  for (int j = 1; j <= a.n_jobs; ++j) {
    JobAssignment x{}, y{};
    a.read_job_assignment(j, x);
    b.read_job_assignment(j, y);
    if (x != y) return ::testing::AssertionFailure() << "job " << j << " is placed differently";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vema::testing
