#include "search/search_solution.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "fixed_clock.h"
#include "schedule/sch.h"
#include "test_problems.h"

namespace vema {
namespace {

using testing::FixedClock;
using testing::problem_from_text;

// Six machines: 1, 2 step 1; 3, 5 step 2; 4 steps 1-2; 6 steps 3-4.
// Order 1 (3 jobs, steps 1-2) can take route 17 (groups 1, 2) on machines
// 1|2 then 3|5, or route 18 (group 5) on machine 4. Order 2 (2 jobs) runs
// step 2 on machine 3 only. Order 3 (1 job, step 3) names only machine 6,
// which covers steps 3-4, so it has no feasible route.
const char* const kShop =
    "001|6|3|2\n"
    "100|0|2|0|0\n110|0|1\n120|0|0|1000\n130|0|1\n140|0|0|1|4\n"
    "100|1|3|0|0\n110|1|2\n120|1|0|20\n120|1|30|1000\n130|1|1\n140|1|1|0|2\n"
    "100|2|1|1|1\n110|2|1\n120|2|0|1000\n130|2|1\n140|2|0|1|5\n"
    "100|3|4|0|1\n110|3|1\n120|3|5|1000\n130|3|1\n140|3|0|0|0\n"
    "100|4|2|1|1\n110|4|1\n120|4|0|1000\n130|4|1\n140|4|0|0|0\n"
    "100|5|2|2|3\n110|5|1\n120|5|0|1000\n130|5|1\n140|5|0|0|0\n"
    "200|0|60|0|3|6|0|1|0\n210|0|5\n220|0|0|0|0\n220|0|0|0|1\n220|0|1|1|2\n220|0|1|1|4\n"
    "220|0|0|1|3\n"
    "200|1|40|2|2|4|1|1|1\n210|1|1\n220|1|1|1|2\n"
    "200|2|90|0|1|3|2|2|0\n210|2|1\n220|2|2|3|5\n";

// A placement on kShop: jobs 1, 2 by route 17, job 3 by route 18, jobs 4,
// 5 on machine 3, job 6 without a route.
struct Placement {
  std::vector<JobAssignment> J_A;
  std::vector<CountedList> M_wload;
};

Placement sample_placement() {
  Placement s;
  s.J_A = {{}, {17, 1, 3}, {17, 2, 3}, {18, 4}, {24, 3}, {24, 3}, {0}};
  s.M_wload.assign(7, CountedList(7, 0));
  s.M_wload[1] = {1, 1, 0, 0, 0, 0, 0};
  s.M_wload[2] = {1, 2, 0, 0, 0, 0, 0};
  s.M_wload[3] = {4, 5, 2, 1, 4, 0, 0};
  s.M_wload[4] = {1, 3, 0, 0, 0, 0, 0};
  return s;
}

// Every job with a route stands once on the machine of each of its steps,
// and position_of / step_at point at each other.
void expect_consistent(const SearchSolution& s) {
  for (int j = 1; j <= s.n_jobs(); ++j) {
    const int* a = s.assignment(j);
    for (int l = 1; l <= route_length(a[0]); ++l) {
      const int p = s.position_of(j)[l];
      ASSERT_GE(p, 1) << "job " << j << " step " << l;
      ASSERT_LE(p, s.sequence(a[l])[0]);
      EXPECT_EQ(s.sequence(a[l])[p], j);
      EXPECT_EQ(s.step_at(a[l])[p], l);
    }
  }
}

void expect_same_arrays(const SearchSolution& s, const Placement& want) {
  std::vector<JobAssignment> J_A;
  std::vector<CountedList> M_wload;
  s.export_arrays(J_A, M_wload);
  for (size_t j = 1; j < want.J_A.size(); ++j) {
    const int k = route_length(want.J_A[j][0]);
    for (int l = 0; l <= k; ++l) EXPECT_EQ(J_A[j][l], want.J_A[j][l]) << "job " << j;
  }
  for (size_t m = 1; m < want.M_wload.size(); ++m) {
    for (int p = 0; p <= want.M_wload[m][0]; ++p) {
      EXPECT_EQ(M_wload[m][p], want.M_wload[m][p]) << "machine " << m;
    }
  }
}

TEST(SearchSolutionBuild, FromArraysDerivesPositionsAndExportsTheSameArrays) {
  const Placement placement = sample_placement();
  const SearchSolution s(3, 6, 6, placement.J_A, placement.M_wload);
  expect_consistent(s);
  EXPECT_EQ(s.position_of(1)[2], 3);  // job 1 is third on machine 3
  EXPECT_EQ(s.step_at(3)[3], 2);
  EXPECT_EQ(s.position_of(3)[1], 1);
  expect_same_arrays(s, placement);
}

TEST(SearchSolutionBuild, StepsNamingOneMachineRecordTheLaterStep) {
  // Malformed on purpose: both steps of job 1 on machine 2.
  std::vector<JobAssignment> J_A = {{}, {17, 2, 2}};
  std::vector<CountedList> M_wload = {{0}, {0, 0}, {1, 1}};
  const SearchSolution s(1, 1, 2, J_A, M_wload);
  EXPECT_EQ(s.step_at(2)[1], 2);
  EXPECT_EQ(s.position_of(1)[2], 1);
}

TEST(SearchSolutionBuild, FromScheduleExportsItsRoutesMachinesAndSequences) {
  const Placement placement = sample_placement();
  SCH schedule;
  schedule.build_from_assignment(3, 6, 6, placement.J_A, placement.M_wload);
  const SearchSolution s(schedule);
  EXPECT_EQ(s.n_orders(), 3);
  expect_consistent(s);
  expect_same_arrays(s, placement);
}

TEST(SearchSolutionBuild, CopiesCarryTheAssignmentButNotTheTiming) {
  Problem p = problem_from_text(kShop);
  const Placement placement = sample_placement();
  SearchSolution original(3, 6, 6, placement.J_A, placement.M_wload);
  original.evaluate(p);
  ASSERT_NE(original.timing(3)[1].EndT, -1);

  const SearchSolution copy(original);
  expect_same_arrays(copy, placement);
  expect_consistent(copy);
  EXPECT_EQ(copy.timing(3)[1].EndT, -1);

  // assign_from over a different placement of the same problem.
  FixedClock clock(5);
  Random random(clock);
  SearchSolution target(3, 6, 6);
  target.random_assignment(p, random);
  target.assign_from(original);
  expect_same_arrays(target, placement);
  expect_consistent(target);
}

TEST(SearchSolutionObjectives, OnlyJobsWithARouteCount) {
  Problem p = problem_from_text(kShop);
  const Placement placement = sample_placement();
  SearchSolution s(3, 6, 6, placement.J_A, placement.M_wload);
  p.Orders[2].CET = 20;
  p.Jobs[6].start = 777;
  p.Jobs[6].completion = 888;
  p.Orders[3].CET = 0;  // job 6 would be late if it were counted
  s.evaluate(p);
  OBJ_VALUE v;
  v.deviation[4] = 9;
  s.compute_objectives(v, p);
  EXPECT_EQ(v.n_of_Scheduled_Jobs, 5);
  EXPECT_EQ(v.deviation[4], 9);  // deviations belong to the rescheduling search
  // Machine 3 runs jobs 5, 2, 1, 4 ending at 11, 17, 23, 32; job 3 runs
  // on machine 4 from 5 (its calendar start) to 7.
  const int want[] = {1, 1, 12, 12, 5, 32, 37 + 43 + 53 + 12 + 9, 0, 0};
  for (int i = 1; i <= kObjectives; ++i) EXPECT_EQ(v.objective(i), want[i - 1]) << i;
  const int start[] = {0, 0, 0, 5, 23, 2}, completion[] = {0, 23, 17, 7, 32, 11};
  for (int j = 1; j <= 5; ++j) {
    EXPECT_EQ(p.Jobs[j].start, start[j]) << "job " << j;
    EXPECT_EQ(p.Jobs[j].completion, completion[j]) << "job " << j;
  }
  EXPECT_EQ(p.Jobs[6].start, 777);
  EXPECT_EQ(p.Jobs[6].completion, 888);
  EXPECT_EQ(p.Orders[1].order_start, 0);
  EXPECT_EQ(p.Orders[1].order_end, 23);
  EXPECT_EQ(p.Orders[2].order_start, 2);
  EXPECT_EQ(p.Orders[2].order_end, 32);
}

TEST(SearchSolutionObjectives, UntimedPositionsCountEveryJobLateAndEarly) {
  Problem p = problem_from_text(kShop);
  const Placement placement = sample_placement();
  const SearchSolution s(3, 6, 6, placement.J_A, placement.M_wload);
  OBJ_VALUE v;
  s.compute_objectives(v, p);
  EXPECT_EQ(v.n_of_Late_Jobs, 5);
  EXPECT_EQ(v.n_of_Late_Orders, 2);
  EXPECT_EQ(v.n_of_Early_Starting_Jobs, 5);
  EXPECT_EQ(v.Completion_Time, -1);
  EXPECT_EQ(v.n_of_Setup, 0);
}

TEST(SearchSolutionRandom, UsesFeasibleRoutesAndAllowedMachinesInJobOrder) {
  const Problem p = problem_from_text(kShop);
  std::set<int> routes_seen;
  for (int64_t seconds = 1; seconds <= 40; ++seconds) {
    FixedClock clock(seconds);
    Random rng(clock);
    SearchSolution s(3, 6, 6);
    s.random_assignment(p, rng);
    expect_consistent(s);
    for (int j = 1; j <= 6; ++j) {
      const ORDER& order = p.Orders[p.Jobs[j].O_ID];
      const int* a = s.assignment(j);
      if (order.R_feasible[0] == 0) {
        EXPECT_EQ(a[0], 0) << "job " << j;
        continue;
      }
      const int* begin = order.R_feasible.data() + 1;
      EXPECT_NE(std::find(begin, begin + order.R_feasible[0], a[0]), begin + order.R_feasible[0]);
      routes_seen.insert(a[0]);
      for (int l = 1; l <= route_length(a[0]); ++l) {
        const CountedList& allowed = order.allowed_machines[R_MG_ex[a[0]][l]];
        EXPECT_NE(std::find(allowed.begin() + 1, allowed.end(), a[l]), allowed.end());
      }
    }
    for (int m = 1; m <= 6; ++m) {
      const int* seq = s.sequence(m);
      for (int q = 2; q <= seq[0]; ++q) EXPECT_LT(seq[q - 1], seq[q]) << "machine " << m;
    }
  }
  EXPECT_EQ(routes_seen, (std::set<int>{17, 18, 24}));
}

TEST(SearchSolutionRandom, SameSecondGivesTheSameAssignment) {
  const Problem p = problem_from_text(kShop);
  FixedClock clock(1234);
  Random rng(clock);
  SearchSolution a(3, 6, 6), b(3, 6, 6);
  a.random_assignment(p, rng);
  rng.next();  // the generator's state before the call does not matter
  b.random_assignment(p, rng);
  std::vector<JobAssignment> ja, jb;
  std::vector<CountedList> ma, mb;
  a.export_arrays(ja, ma);
  b.export_arrays(jb, mb);
  EXPECT_EQ(ja, jb);
  EXPECT_EQ(ma, mb);
}

}  // namespace
}  // namespace vema
