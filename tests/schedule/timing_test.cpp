#include "schedule/timing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "schedule/sch.h"
#include "search/search_solution.h"
#include "test_problems.h"

namespace vema {
namespace {

using testing::machine_with;

struct FitCase {
  const char* name;
  std::vector<CAL_INTERVAL> calendar;
  int start, duration, lower_bound;
  int want_start, want_ok;
};

TEST(FitToCalendar, MovesTheWholeTaskToTheFirstIntervalThatHoldsIt) {
  const std::vector<CAL_INTERVAL> two = {{0, 10}, {20, 100}};
  const FitCase cases[] = {
      {"fits where it is", two, 2, 6, 0, 2, 1},
      {"ends exactly at ET", two, 4, 6, 0, 4, 1},
      {"overruns the first interval", two, 7, 6, 0, 20, 1},
      {"fits nowhere", two, 7, 90, 0, 20, 0},
      {"starts exactly at ET", two, 10, 1, 0, 20, 1},
      {"in a gap", two, 12, 5, 0, 20, 1},
      {"lower bound raises the start", two, 0, 5, 25, 25, 1},
      {"after the last interval", two, 150, 5, 0, 150, 0},
      {"before the first interval", {{30, 40}}, 0, 5, 0, 30, 1},
      {"overruns the last interval", {{0, 10}, {20, 30}}, 25, 8, 0, 25, 0},
      {"skips a short interval", {{0, 10}, {20, 23}, {40, 90}}, 5, 8, 0, 40, 1},
      {"no intervals", {}, 5, 3, 8, 8, 0},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.name);
    const MACHINE m = machine_with(c.calendar);
    int64_t start = c.start, end = c.start + c.duration;
    EXPECT_EQ(fit_to_calendar(m, start, end, c.lower_bound), c.want_ok);
    EXPECT_EQ(start, c.want_start);
    EXPECT_EQ(end - start, c.duration);
  }
}

// The cursor a machine keeps between its tasks must never change where a
// task lands, whatever the calendar and however the starts move.
TEST(FitToCalendar, CursorGivesTheSameResultAsAFreshScan) {
  std::mt19937 rng(5);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int n = 0; n < 2000; ++n) {
    std::vector<CAL_INTERVAL> intervals;
    int t = pick(0, 20);
    const bool ordered = n % 5 != 0;  // every fifth calendar is out of order
    for (int k = pick(0, 6); k > 0; --k) {
      const int st = ordered ? t + pick(1, 15) : pick(0, 150);
      intervals.push_back({st, st + pick(1, 30)});
      t = intervals.back().ET;
    }
    const MACHINE machine = machine_with(intervals);
    const MachineView m(machine);
    CalendarCursor cursor;
    int64_t previous_end = 0;
    for (int task = 0; task < 20; ++task) {
      const int64_t want = pick(0, 3) == 0 ? pick(0, 200) : previous_end + pick(0, 10);
      const int64_t duration = pick(0, 25);
      const int64_t bound = pick(0, 1) == 0 ? previous_end : pick(0, 200);
      int64_t start = want, end = want + duration;
      int64_t fresh_start = want, fresh_end = want + duration;
      CalendarCursor fresh;
      const int ok = fit_to_calendar(m, start, end, bound, cursor);
      ASSERT_EQ(ok, fit_to_calendar(m, fresh_start, fresh_end, bound, fresh)) << n << "/" << task;
      ASSERT_EQ(start, fresh_start) << n << "/" << task;
      ASSERT_EQ(end, fresh_end) << n << "/" << task;
      previous_end = end;
    }
  }
}

struct TaskCase {
  const char* name;
  int speed, ready_time;
  TaskContext c;
  bool has_prev;
  TimingRecord prev;
  TimingRecord want;
};

// Setup matrix on machine: [1][2] = 5, [2][1] = 8, others 0; calendar [0, 1000].
TEST(TimeTask, FollowsTheStartAndSetupRules) {
  // TaskContext fields: size, setup_type, cst, first_task, route_pred_end, prev,
  // prev_setup_type, freeze, freeze_time.
  const TaskCase cases[] = {
      {"first task at position 1 waits for CST",
       10,
       0,
       {25, 2, 3, true},
       false,
       {},
       {1, 3, 5, 3, 11, 1}},
      {"first task at position 1 waits for the machine",
       10,
       7,
       {25, 2, 3, true},
       false,
       {},
       {1, 7, 5, 3, 15, 1}},
      {"setup charged at position 1 even when zero",
       10,
       0,
       {25, 1, 0, true},
       false,
       {},
       {1, 0, 0, 3, 3, 1}},
      {"first task after the machine predecessor",
       10,
       0,
       {25, 2, 3, true, 0, nullptr, 2},
       true,
       {1, 3, 5, 3, 11, 1},
       {0, 11, 0, 3, 14, 1}},
      {"first task not before CST",
       10,
       0,
       {25, 1, 30, true, 0, nullptr, 2},
       true,
       {1, 3, 5, 3, 11, 1},
       {1, 30, 8, 3, 41, 1}},
      {"route successor on an idle machine sets up in advance",
       10,
       0,
       {25, 1, 0, false, 50, nullptr, 2},
       true,
       {1, 0, 0, 30, 30, 1},
       {1, 42, 8, 3, 53, 1}},
      {"advance setup not before CST",
       10,
       0,
       {25, 1, 45, false, 50, nullptr, 2},
       true,
       {1, 0, 0, 30, 30, 1},
       {1, 45, 8, 3, 56, 1}},
      {"advance setup not before the machine is free",
       10,
       0,
       {25, 1, 0, false, 50, nullptr, 2},
       true,
       {1, 0, 0, 46, 46, 1},
       {1, 46, 8, 3, 57, 1}},
      {"route successor behind a busy machine",
       10,
       0,
       {25, 1, 0, false, 50, nullptr, 2},
       true,
       {1, 0, 0, 60, 60, 1},
       {1, 60, 8, 3, 71, 1}},
      {"route successor at position 1",
       10,
       0,
       {25, 2, 0, false, 50},
       false,
       {},
       {1, 45, 5, 3, 53, 1}},
      {"route successor at position 1 waits for the machine",
       10,
       48,
       {25, 2, 0, false, 50},
       false,
       {},
       {1, 48, 5, 3, 56, 1}},
      {"route successor at position 1 not before CST",
       10,
       0,
       {25, 2, 47, false, 50},
       false,
       {},
       {1, 47, 5, 3, 55, 1}},
      {"speed 0 does no work", 0, 0, {25, 2, 3, true}, false, {}, {0, 3, 0, 0, 3, -1}},
      {"speed 0 after a predecessor",
       0,
       0,
       {25, 2, 3, true, 0, nullptr, 1},
       true,
       {0, 3, 0, 0, 9, -1},
       {0, 9, 0, 0, 9, -1}},
      {"freeze raises the start",
       10,
       0,
       {25, 2, 3, true, 0, nullptr, 0, true, 100},
       false,
       {},
       {1, 100, 5, 3, 108, 1}},
      {"freeze below the start changes nothing",
       10,
       0,
       {25, 2, 3, true, 0, nullptr, 0, true, 2},
       false,
       {},
       {1, 3, 5, 3, 11, 1}},
      {"freeze after the last interval",
       10,
       0,
       {25, 2, 3, true, 0, nullptr, 0, true, 995},
       false,
       {},
       {1, 995, 5, 3, 1003, 0}},
  };
  for (const TaskCase& tc : cases) {
    SCOPED_TRACE(tc.name);
    MACHINE m = machine_with({{0, 1000}});
    m.Speed = tc.speed;
    m.ready_time = tc.ready_time;
    m.setup_time = SetupMatrix(2);
    m.setup_time[1][2] = 5;
    m.setup_time[2][1] = 8;
    TaskContext c = tc.c;
    if (tc.has_prev) c.prev = &tc.prev;
    TimingRecord got;
    time_task(m, c, got);
    EXPECT_EQ(got.Setup, tc.want.Setup);
    EXPECT_EQ(got.StartT, tc.want.StartT);
    EXPECT_EQ(got.SetT, tc.want.SetT);
    EXPECT_EQ(got.ProcT, tc.want.ProcT);
    EXPECT_EQ(got.EndT, tc.want.EndT);
    EXPECT_EQ(got.M_Calendar_OK, tc.want.M_Calendar_OK);
  }
}

// Regression: times past the 32-bit range must saturate, not wrap negative.
TEST(TimeTask, SaturatesHugeTimes) {
  MACHINE m = machine_with({{0, 2'000'000'000}});
  m.Speed = 1;
  TaskContext c{2'000'000'000, 1, 1'000'000'000, true};
  TimingRecord got;
  time_task(m, c, got);
  EXPECT_EQ(got.StartT, 1'000'000'000);
  EXPECT_EQ(got.EndT, INT_MAX);
  EXPECT_EQ(got.M_Calendar_OK, 0);
}

struct Built {
  Problem problem;
  SCH schedule;
};

// Builds the problem from input text and the schedule from J_A rows and
// machine sequences.
void build(Built& b, const std::string& text, const std::vector<JobAssignment>& J_A,
           const std::vector<std::vector<int>>& sequences) {
  b.problem = testing::problem_from_text(text);
  std::vector<CountedList> M_wload(b.problem.N_Machine + 1, CountedList(b.problem.N_Job + 1, 0));
  for (size_t m = 1; m < sequences.size(); ++m) {
    M_wload[m][0] = static_cast<int>(sequences[m].size());
    std::copy(sequences[m].begin(), sequences[m].end(), M_wload[m].begin() + 1);
  }
  b.schedule.build_from_assignment(b.problem.N_Order, b.problem.N_Job, b.problem.N_Machine, J_A,
                                   M_wload);
}

TimingRecord record_of(const TASK& t) {
  return {t.Setup, t.StartT, t.SetT, t.ProcT, t.EndT, t.M_Calendar_OK};
}

void expect_record(const TASK* t, const TimingRecord& want) {
  ASSERT_NE(t, nullptr);
  SCOPED_TRACE("job " + std::to_string(t->job) + " step " + std::to_string(t->step));
  const TimingRecord got = record_of(*t);
  EXPECT_EQ(got.Setup, want.Setup);
  EXPECT_EQ(got.StartT, want.StartT);
  EXPECT_EQ(got.SetT, want.SetT);
  EXPECT_EQ(got.ProcT, want.ProcT);
  EXPECT_EQ(got.EndT, want.EndT);
  EXPECT_EQ(got.M_Calendar_OK, want.M_Calendar_OK);
}

// One machine of step 1, speed 10, calendar [0, 1000], setup [1][2] = 5; one
// order of two jobs of size 25, setup type 2, CST 3.
const char* const kOneMachine =
    "001|1|1|2\n"
    "100|0|10|0|0\n110|0|1\n120|0|0|1000\n130|0|1\n140|0|0|1|5\n"
    "200|0|100|3|2|25|0|0|1\n210|0|1\n220|0|0|0|0\n";

TEST(EvaluateSchedule, SequenceOnAStartMachine) {
  Built b;
  build(b, kOneMachine, {{}, {23, 1}, {23, 1}}, {{}, {1, 2}});
  evaluate(b.schedule, b.problem);
  const TASK* first = b.schedule.machine_first[1];
  expect_record(first, {1, 3, 5, 3, 11, 1});
  expect_record(first->next_on_machine, {0, 11, 0, 3, 14, 1});
  OBJ_VALUE v;
  compute_objectives(b.schedule, v, b.problem);
  EXPECT_EQ(v.n_of_Setup, 1);
  EXPECT_EQ(v.Completion_Time, 14);
}

TEST(EvaluateSchedule, SpeedZeroMachineDoesNoWorkAndNoSetups) {
  Built b;
  build(b, kOneMachine, {{}, {23, 1}, {23, 1}}, {{}, {2, 1}});
  b.problem.Machines[1].Speed = 0;
  evaluate(b.schedule, b.problem);
  const TASK* first = b.schedule.machine_first[1];
  expect_record(first, {0, 3, 0, 0, 3, -1});
  expect_record(first->next_on_machine, {0, 3, 0, 0, 3, -1});
  OBJ_VALUE v;
  compute_objectives(b.schedule, v, b.problem);
  EXPECT_EQ(v.n_of_Setup, 0);
  EXPECT_EQ(v.Completion_Time, 3);
}

// Machine 1 (step 1, speed 1, available from 45) and machine 2 (step 2, speed
// 10, setup [1][2] = 8). Job 1 (order 1, step 2 only) keeps machine 2 busy
// until 30; job 2 (order 2, steps 1-2) ends step 1 at 50.
std::string two_step_shop(int cst) {
  return "001|2|2|2\n"
         "100|0|1|0|0\n110|0|1\n120|0|45|1000\n130|0|1\n140|0|0|0|0\n"
         "100|1|10|1|1\n110|1|1\n120|1|0|1000\n130|1|1\n140|1|0|1|8\n"
         "200|0|1000|0|1|300|1|1|0\n210|0|1\n220|0|1|1|1\n"
         "200|1|1000|" +
         std::to_string(cst) + "|1|5|0|1|1\n210|1|2\n220|1|0|0|0\n220|1|1|1|1\n";
}

TEST(EvaluateSchedule, RouteSuccessorSetsUpWhileItsJobIsStillAtThePreviousStep) {
  struct Case {
    int cst;
    TimingRecord want;
  } cases[] = {
      {0, {1, 42, 8, 1, 51, 1}},   // processing starts at 50, when step 1 ends
      {45, {1, 45, 8, 1, 54, 1}},  // the setup cannot begin before CST
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cst);
    Built b;
    build(b, two_step_shop(c.cst), {{}, {24, 2}, {17, 1, 2}}, {{}, {2}, {1, 2}});
    evaluate(b.schedule, b.problem);
    expect_record(b.schedule.job_first[1], {1, 0, 0, 30, 30, 1});
    expect_record(b.schedule.job_first[2], {1, 45, 0, 5, 50, 1});
    expect_record(b.schedule.job_last[2], c.want);
  }
}

// One step-1 machine, speed 1, no setups, calendar [0, 1000]; three orders of
// jobs of size 10 (order 1 has two jobs).
std::string three_orders(int cet1, int cet2, int cet3) {
  return "001|1|3|1\n"
         "100|0|1|0|0\n110|0|1\n120|0|0|1000\n130|0|1\n140|0|0|0|0\n"
         "200|0|" +
         std::to_string(cet1) +
         "|0|2|10|0|0|0\n210|0|1\n220|0|0|0|0\n"
         "200|1|" +
         std::to_string(cet2) +
         "|0|1|10|0|0|0\n210|1|1\n220|1|0|0|0\n"
         "200|2|" +
         std::to_string(cet3) + "|0|1|10|0|0|0\n210|2|1\n220|2|0|0|0\n";
}

TEST(ComputeObjectives, CountsLateJobsOrdersAndTardiness) {
  struct Case {
    const char* name;
    int cet1, cet2, cet3;
    std::vector<int> sequence;
    int want[kObjectives];
  } cases[] = {
      // Ends 10, 20 (order 1), 30 (order 2), 40 (order 3).
      {"two late orders", 5, 100, 30, {1, 2, 3, 4}, {2, 3, 30, 15, 1, 40, 100, 0, 0}},
      {"nothing late", 20, 30, 40, {1, 2, 3, 4}, {0, 0, 0, 0, 1, 40, 10, 0, 0}},
      // Ends: job 3 at 10, job 1 at 20, job 4 at 30, job 2 at 40.
      {"late jobs of one order apart", 15, 100, 25, {3, 1, 4, 2}, {2, 3, 35, 25, 1, 40, 125, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Built b;
    build(b, three_orders(c.cet1, c.cet2, c.cet3), {{}, {23, 1}, {23, 1}, {23, 1}, {23, 1}},
          {{}, c.sequence});
    evaluate(b.schedule, b.problem);
    OBJ_VALUE v;
    v.n_of_Scheduled_Jobs = 77;
    compute_objectives(b.schedule, v, b.problem);
    for (int i = 1; i <= kObjectives; ++i) EXPECT_EQ(v.objective(i), c.want[i - 1]) << i;
    EXPECT_EQ(v.n_of_Scheduled_Jobs, 77);
  }
}

TEST(ComputeObjectives, WritesJobAndOrderTimes) {
  Built b;
  build(b, three_orders(5, 100, 30), {{}, {23, 1}, {23, 1}, {23, 1}, {23, 1}}, {{}, {2, 3, 1, 4}});
  evaluate(b.schedule, b.problem);
  OBJ_VALUE v;
  compute_objectives(b.schedule, v, b.problem);
  const int start[] = {0, 20, 0, 10, 30}, completion[] = {0, 30, 10, 20, 40};
  for (int j = 1; j <= 4; ++j) {
    EXPECT_EQ(b.problem.Jobs[j].start, start[j]) << "job " << j;
    EXPECT_EQ(b.problem.Jobs[j].completion, completion[j]) << "job " << j;
  }
  EXPECT_EQ(b.problem.Orders[1].order_start, 0);
  EXPECT_EQ(b.problem.Orders[1].order_end, 30);
  EXPECT_EQ(b.problem.Orders[2].order_start, 10);
  EXPECT_EQ(b.problem.Orders[2].order_end, 20);
}

TEST(ComputeObjectives, UntimedTasksCountLateAndEarly) {
  Built b;
  build(b, three_orders(500, 500, 500), {{}, {23, 1}, {23, 1}, {23, 1}, {0}}, {{}, {1, 2, 3}});
  evaluate(b.schedule, b.problem);
  TASK* second = b.schedule.job_first[2];
  second->StartT = -1;
  second->EndT = -1;
  OBJ_VALUE v;
  compute_objectives(b.schedule, v, b.problem);
  EXPECT_EQ(v.n_of_Late_Jobs, 1);
  EXPECT_EQ(v.n_of_Late_Orders, 1);
  EXPECT_EQ(v.n_of_Early_Starting_Jobs, 1);
  EXPECT_EQ(v.sumEarly_Startness, -1);
  EXPECT_EQ(v.Completion_Time, 30);
}

TEST(ObjectiveTally, CountsALateOrderOnEveryChangeOfOrder) {
  struct Case {
    const char* name;
    std::vector<int> late_job_orders;
    int want_orders;
  } cases[] = {
      {"one order", {2, 2}, 1},
      {"orders 2, 3, 2", {2, 3, 2}, 3},
      {"three orders", {1, 2, 3}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ObjectiveTally tally;
    std::vector<ORDER> orders(4);
    for (int o = 1; o <= 3; ++o) orders[o].ID = o;
    int index = 0;
    for (int o : c.late_job_orders) {
      JOB job;
      job.O_ID = o;
      tally.add_job(++index, job, orders[o], 10, 0);  // CET 0: late
    }
    OBJ_VALUE v;
    tally.store(v);
    EXPECT_EQ(v.n_of_Late_Orders, c.want_orders);
    EXPECT_EQ(v.n_of_Late_Jobs, static_cast<int>(c.late_job_orders.size()));
  }
}

// Regression: sums must be taken in 64 bits and stored saturated.
TEST(ObjectiveTally, SaturatesLargeSums) {
  ObjectiveTally tally;
  ORDER order;
  order.ID = 1;
  order.CET = 0;
  for (int j = 1; j <= 3; ++j) {
    JOB job;
    job.O_ID = 1;
    tally.add_job(j, job, order, 2'000'000'000, 0);
  }
  OBJ_VALUE v;
  tally.store(v);
  EXPECT_EQ(v.sumTardiness, INT_MAX);
  EXPECT_EQ(v.sumAbsLateness, INT_MAX);
  EXPECT_EQ(v.max_Tardiness, 2'000'000'000);
}

TEST(EvaluateWithFreeze, FrozenPositionsCopyTheReferenceOthersStartAfterTheFreeze) {
  Built b;
  build(b, three_orders(500, 500, 500), {{}, {23, 1}, {23, 1}, {23, 1}, {23, 1}},
        {{}, {1, 2, 3, 4}});
  // Reference: the timing of the released schedule, before CST changed.
  SearchSolution reference(b.schedule);
  reference.evaluate(b.problem);
  b.problem.Orders[1].CST = 50;
  b.problem.Machines[1].frozen_tasks = 2;
  evaluate_with_freeze(b.schedule, b.problem, reference.timing_view(), 35);
  const TASK* t = b.schedule.machine_first[1];
  expect_record(t, {1, 0, 0, 10, 10, 1});
  expect_record(t->next_on_machine, {0, 10, 0, 10, 20, 1});
  expect_record(t->next_on_machine->next_on_machine, {0, 35, 0, 10, 45, 1});
  expect_record(b.schedule.job_last[4], {0, 45, 0, 10, 55, 1});

  OBJ_VALUE v;
  compute_objectives(b.schedule, v, b.problem);
  // The frozen jobs of order 1 now start before its new CST.
  EXPECT_EQ(v.n_of_Early_Starting_Jobs, 2);
  EXPECT_EQ(v.sumEarly_Startness, -50 - 40);
}

}  // namespace
}  // namespace vema
