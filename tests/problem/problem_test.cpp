#include "problem/problem.h"

#include <gtest/gtest.h>

#include "test_problems.h"

namespace vema {
namespace {

using testing::machine_with;
using testing::problem_from_text;

// Five machines: 1 and 2 in group 1 (step 1), 3 in group 6 (steps 2-3),
// 4 in group 2, 5 in group 3. Group 4 (step 4) has no machine.
// Order 1: steps 1-3 with machines 1, 2 (step 1), 3 (2-3), 4 (2) and 1 again.
// Order 2: steps 2-3 with machine 3 only. Order 3: steps 1-4, so every route
// needs group 4 or 9 or 7 or 10, none of which exist: no feasible route.
const char* kProblem =
    "1|5|3|2\n"
    "100|0|10|0|0\n110|0|1\n120|0|0|100\n130|0|1\n140|0|0|1|3\n"
    "100|1|5|0|0\n110|1|1\n120|1|0|100\n130|1|1\n140|1|0|1|3\n"
    "100|2|8|1|2\n110|2|1\n120|2|0|100\n130|2|1\n140|2|0|1|3\n"
    "100|3|6|1|1\n110|3|1\n120|3|0|100\n130|3|1\n140|3|0|1|3\n"
    "100|4|6|2|2\n110|4|1\n120|4|0|100\n130|4|1\n140|4|0|1|3\n"
    "200|0|900|0|3|40|0|2|0\n210|0|5\n220|0|0|0|0\n220|0|0|0|1\n220|0|1|2|2\n220|0|1|1|3\n"
    "220|0|0|0|0\n"
    "200|1|900|0|2|40|1|2|1\n210|1|1\n220|1|1|2|2\n"
    "200|2|900|0|1|40|0|3|1\n210|2|1\n220|2|0|0|0\n";

TEST(Derivations, GroupsTypesAllowedMachinesRoutesAndJobs) {
  const Problem p = problem_from_text(kProblem);
  EXPECT_EQ(p.Machines[3].group, 6);
  EXPECT_EQ((CountedList{2, 1, 2}), p.MG_M[1]);
  EXPECT_EQ((CountedList{1, 3}), p.MG_M[6]);
  EXPECT_EQ((CountedList{0}), p.MG_M[4]);  // a group without machines has an empty list
  EXPECT_EQ(p.Orders[1].ExeType, 8);
  EXPECT_EQ(p.Orders[2].ExeType, 6);
  EXPECT_EQ(p.Orders[3].ExeType, 10);
  // A machine named twice is listed twice, in step-entry order.
  EXPECT_EQ((CountedList{3, 1, 2, 1}), p.Orders[1].allowed_machines[1]);
  EXPECT_EQ((CountedList{1, 4}), p.Orders[1].allowed_machines[2]);
  EXPECT_EQ((CountedList{0}), p.Orders[1].allowed_machines[3]);
  // Type 8 routes 9 (1 2 3), 10 (1 6), 11 (5 3), 12 (8): only route 10 is usable.
  EXPECT_EQ(p.Orders[1].R_feasible[0], 1);
  EXPECT_EQ(p.Orders[1].R_feasible[1], 10);
  EXPECT_EQ(p.Orders[2].R_feasible[0], 1);
  EXPECT_EQ(p.Orders[2].R_feasible[1], 20);
  EXPECT_EQ(p.Orders[3].R_feasible[0], 0);  // no feasible route, the load still succeeds
  EXPECT_EQ((CountedList{1, 3}), p.orders_of_type[10]);
  EXPECT_EQ((CountedList{1, 1}), p.orders_of_type[8]);
  EXPECT_EQ((CountedList{0}), p.orders_of_type[1]);
  ASSERT_EQ(p.N_Job, 6);
  EXPECT_EQ(p.Orders[1].FirstJob, 1);
  EXPECT_EQ(p.Orders[2].FirstJob, 4);
  EXPECT_EQ(p.Orders[3].FirstJob, 6);
  EXPECT_EQ(p.Jobs[5].O_ID, 2);
  EXPECT_EQ(p.Jobs[5].O_i, 2);
  EXPECT_EQ(p.Jobs[5].Job_ID, 5);
  ASSERT_EQ(p.M_wload.size(), 6u);
  EXPECT_EQ(p.M_wload[5].size(), 7u);
  EXPECT_EQ(p.M_wload[5][0], 0);
  ASSERT_EQ(p.J_A.size(), 7u);
  EXPECT_EQ(p.J_A[6][0], 0);
}

TEST(Derivations, MissingSetupPairsAreZero) {
  const Problem p = problem_from_text(
      "1|1|1|3\n100|0|1|0|0\n110|0|1\n120|0|0|10\n130|0|2\n140|0|0|1|7\n140|0|1|0|9\n"
      "200|0|10|0|1|1|0|0|0\n210|0|1\n220|0|0|0|0\n");
  const SetupMatrix& s = p.Machines[1].setup_time;
  EXPECT_EQ(s[1][2], 7);
  EXPECT_EQ(s[2][1], 9);
  for (int f = 1; f <= 3; ++f) {
    for (int t = 1; t <= 3; ++t) {
      if (!((f == 1 && t == 2) || (f == 2 && t == 1))) {
        EXPECT_EQ(s[f][t], 0) << f << "," << t;
      }
    }
  }
}

TEST(Problem, ReleaseIsSafeBeforeLoadAndTwice) {
  Problem empty;
  empty.release_problem();
  empty.release_problem();
  EXPECT_FALSE(empty.loaded());
  Problem p = problem_from_text(kProblem);
  p.release_problem();
  p.release_problem();
  EXPECT_FALSE(p.loaded());
  EXPECT_TRUE(p.MG_M.empty());
  EXPECT_EQ(p.N_Machine, 5);  // counts keep their values
  EXPECT_EQ(p.N_Job, 6);
}

TEST(Problem, CopiesAreDeep) {
  Problem p = problem_from_text(kProblem);
  MACHINE m;
  copy_machine(m, p.Machines[1]);
  p.Machines[1].calendar[1].ET = 55;
  p.Machines[1].setup_time[1][2] = 99;
  EXPECT_EQ(m.calendar[1].ET, 100);
  EXPECT_EQ(m.setup_time[1][2], 3);
  EXPECT_EQ(m.group, 1);

  ORDER o;
  copy_order(o, p.Orders[1]);
  p.Orders[1].allowed_machines[1][1] = 5;
  p.Orders[1].steps[1].M_ID = 4;
  EXPECT_EQ(o.allowed_machines[1][1], 1);
  EXPECT_EQ(o.steps[1].M_ID, 1);
  EXPECT_EQ(o.R_feasible[1], 10);

  JOB with_freeze;
  with_freeze.freeze = std::make_unique<FREEZE_JOB>();
  with_freeze.frozen_steps = 2;
  JOB j;
  copy_job(j, with_freeze);
  EXPECT_NE(j.freeze, nullptr);
  EXPECT_NE(j.freeze.get(), with_freeze.freeze.get());
  copy_job(j, p.Jobs[2]);
  EXPECT_EQ(j.freeze, nullptr);
  EXPECT_EQ(j.frozen_steps, 0);
  EXPECT_EQ(j.O_i, 2);
}

struct AddCase {
  int st, et, result;
};

TEST(Calendar, AddRefusesEmptyAndMeetingIntervals) {
  for (const AddCase c : {AddCase{300, 300, -1}, AddCase{300, 200, -1}, AddCase{120, 150, 0},
                          AddCase{50, 150, 0}, AddCase{50, 250, 0}, AddCase{200, 250, 0},
                          AddCase{250, 300, 0}, AddCase{80, 100, 0}, AddCase{180, 220, 0}}) {
    MACHINE m = machine_with({{100, 200}, {300, 400}});
    EXPECT_EQ(calendar_add(m, c.st, c.et), c.result) << c.st << "-" << c.et;
    EXPECT_EQ(m.N_Cal, 2);
  }
}

TEST(Calendar, AddInsertsInOrder) {
  MACHINE m = machine_with({{100, 200}, {300, 400}});
  EXPECT_EQ(calendar_add(m, 0, 50), 1);
  EXPECT_EQ(calendar_add(m, 500, 600), 1);
  EXPECT_EQ(calendar_add(m, 220, 280), 1);
  ASSERT_EQ(m.N_Cal, 5);
  const int starts[] = {0, 100, 220, 300, 500};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(m.calendar[i].ST, starts[i - 1]);
  MACHINE fresh;
  EXPECT_EQ(calendar_add(fresh, 5, 10), 1);
  EXPECT_EQ(fresh.calendar[1].ET, 10);
}

TEST(Calendar, DeleteKeepsTheLastInterval) {
  MACHINE m = machine_with({{100, 200}, {300, 400}, {500, 600}});
  EXPECT_EQ(calendar_delete(m, 2), 1);
  ASSERT_EQ(m.N_Cal, 2);
  EXPECT_EQ(m.calendar[2].ST, 500);
  EXPECT_EQ(calendar_delete(m, 3), 0);
  EXPECT_EQ(calendar_delete(m, 1), 1);
  EXPECT_EQ(calendar_delete(m, 1), 0);
  EXPECT_EQ(m.N_Cal, 1);
  EXPECT_EQ(m.calendar[1].ST, 500);
}

TEST(Calendar, AvailableTimeCountsIntervalPartsBeforeT) {
  const MACHINE m = machine_with({{100, 200}, {300, 400}});
  const std::pair<int, long long> cases[] = {{50, 0},    {100, 0},   {150, 50},  {200, 100},
                                             {250, 100}, {350, 150}, {400, 200}, {1000, 200}};
  for (const auto& [t, expected] : cases) EXPECT_EQ(available_time(m, t), expected) << "t=" << t;
}

}  // namespace
}  // namespace vema
