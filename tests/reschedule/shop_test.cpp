// Shop snapshots, loading a released schedule, modifying the environment,
// freezing, the freeze-aware timing and the initial state.
#include "reschedule/shop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reschedule/environment.h"
#include "reschedule/frozen_operators.h"
#include "reschedule/reschedule_fixture.h"
#include "reschedule/reschedule_search.h"
#include "reschedule/rescheduler.h"
#include "schedule/timing.h"
#include "scripted_ui.h"
#include "search/operators.h"
#include "search/process_state.h"

namespace vema {
namespace {

using testing::arrays_equal;
using testing::jobs_equal;
using testing::machines_equal;
using testing::no_jobs;
using testing::no_sequences;
using testing::orders_equal;
using testing::put_sequence;
using testing::same_schedule;
using testing::same_timing;
using testing::ScriptedUi;
using testing::TempDir;

// ------------------------------------------------------------------ helpers

// One machine for every group (two in group 1), each with speed 10 (machine
// 2: 5), one interval [0, 10000] and one setup type without setup time.
// Order 1 (jobs 1, 2) runs through steps 1..4 with every machine allowed,
// job size 40; order 2 (job 3) is step 1 only, on machines 1 and 2, size 10.
std::string all_groups_text() {
  std::string t = "001|11|2|1\n";
  const int steps[11][2] = {{0, 0}, {0, 0}, {1, 1}, {2, 2}, {3, 3}, {0, 1},
                            {1, 2}, {2, 3}, {0, 2}, {1, 3}, {0, 3}};
  for (int id = 0; id < 11; ++id) {
    const std::string i = std::to_string(id);
    t += "100|" + i + "|" + (id == 1 ? "5" : "10") + "|" + std::to_string(steps[id][0]) + "|" +
         std::to_string(steps[id][1]) + "\n";
    t += "110|" + i + "|1\n120|" + i + "|0|10000\n130|" + i + "|1\n140|" + i + "|0|0|0\n";
  }
  t += "200|0|5000|0|2|40|0|3|0\n210|0|11\n";
  for (int id = 0; id < 11; ++id) {
    t += "220|0|" + std::to_string(steps[id][0]) + "|" + std::to_string(steps[id][1]) + "|" +
         std::to_string(id) + "\n";
  }
  t += "200|1|5000|0|1|10|0|0|0\n210|1|2\n220|1|0|0|0\n220|1|0|0|1\n";
  return t;
}

// The reference plan on that problem: job 1 on route 1 (groups 1, 2, 3, 4)
// over machines 1, 3, 4, 5 (times 0-4, 4-8, 8-12, 12-16); job 2 on route 8
// (group 10) on machine 11 (0-4); job 3 on machine 1 after job 1 (4-5).
struct AllGroups {
  Problem problem = testing::problem_from_text(all_groups_text());
  std::vector<JobAssignment> J_A = no_jobs(3);
  std::vector<CountedList> M_wload = no_sequences(11, 3);

  AllGroups() {
    J_A[1] = {1, 1, 3, 4, 5};
    J_A[2] = {8, 11, 0, 0, 0};
    J_A[3] = {23, 1, 0, 0, 0};
    put_sequence(M_wload, 1, {1, 3});
    put_sequence(M_wload, 3, {1});
    put_sequence(M_wload, 4, {1});
    put_sequence(M_wload, 5, {1});
    put_sequence(M_wload, 11, {2});
  }
  SearchSolution reference() {
    SearchSolution r(2, 3, 11, J_A, M_wload);
    r.evaluate(problem);
    return r;
  }
};

// A loaded rescheduler on a released random schedule of busy_shop.
struct Loaded {
  TempDir dir;
  Problem problem;
  ProcessState state;
  ScriptedUi ui;
  Rescheduler rescheduler;
  std::string path;

  explicit Loaded(uint64_t seed = 5) {
    path = testing::released_example(dir, "busy_shop.sif", seed);
    EXPECT_EQ(rescheduler.load_file(problem, state, ui, path), 1);
  }
};

// ---------------------------------------------------------------- snapshots

TEST(ShopSnapshot, CopyIsDeepAndIndependent) {
  Loaded l;
  // Give the jobs FREEZE_JOBs so that the copy has them to copy.
  const SearchSolution r =
      l.rescheduler.prepare_initial_state(l.problem, l.state, FreezeOrder::kModifyThenFreeze, 200);
  SHOP shop;
  shop.capture(l.problem.N_SetupType, l.problem.Orders, l.problem.Jobs, l.problem.Machines,
               l.state.current_schedule, l.state.current_values);
  const SHOP copy(shop);
  EXPECT_EQ(copy.n_setup_types, shop.n_setup_types);
  EXPECT_TRUE(arrays_equal(copy.orders, shop.orders, shop.n_orders(), orders_equal));
  EXPECT_TRUE(arrays_equal(copy.jobs, shop.jobs, shop.n_jobs(), jobs_equal));
  EXPECT_TRUE(arrays_equal(copy.machines, shop.machines, shop.n_machines(), machines_equal));
  EXPECT_TRUE(same_schedule(copy.sch, shop.sch));
  for (int i = 1; i <= kObjectives; ++i)
    EXPECT_EQ(copy.values.objective(i), shop.values.objective(i));

  // Changing the original leaves the copy alone.
  ASSERT_NE(shop.jobs[1].freeze, nullptr);
  EXPECT_NE(shop.jobs[1].freeze.get(), copy.jobs[1].freeze.get());
  shop.jobs[1].freeze->feasible_routes[0] = 0;
  shop.machines[1].calendar[1].ET += 1;
  shop.orders[1].allowed_machines[1].push_back(99);
  const int job = shop.sch.machine_first[1] != nullptr ? shop.sch.machine_first[1]->job : 0;
  shop.sch = SCH{};
  EXPECT_FALSE(jobs_equal(shop.jobs[1], copy.jobs[1]));
  EXPECT_FALSE(machines_equal(shop.machines[1], copy.machines[1]));
  EXPECT_TRUE(arrays_equal(copy.jobs, l.problem.Jobs, copy.n_jobs(), jobs_equal));
  EXPECT_TRUE(arrays_equal(copy.machines, l.problem.Machines, copy.n_machines(), machines_equal));
  EXPECT_TRUE(arrays_equal(copy.orders, l.problem.Orders, copy.n_orders(), orders_equal));
  if (job != 0) {
    EXPECT_EQ(copy.sch.machine_first[1]->job, job);
  }
}

TEST(ShopSnapshot, RestoreBringsBackWhatWasCaptured) {
  Loaded l;
  Problem& p = l.problem;
  SHOP shop;
  shop.capture(p.N_SetupType, p.Orders, p.Jobs, p.Machines, l.state.current_schedule,
               l.state.current_values);
  const Problem before = p;
  const SCH schedule_before = l.state.current_schedule;

  // Change everything restore must undo.
  p.Machines[2].Speed = 1;
  ASSERT_EQ(calendar_add(p.Machines[2], 30000, 31000), 1);
  p.Machines[3].frozen_tasks = 2;
  p.Orders[4].CST += 7;
  p.Orders[4].frozen = 1;
  p.Jobs[5].frozen_steps = 1;
  p.Jobs[5].freeze = std::make_unique<FREEZE_JOB>();
  l.state.current_schedule = testing::random_schedule(p, 99);
  ASSERT_FALSE(same_schedule(l.state.current_schedule, schedule_before));

  shop.restore(p.Orders, p.Jobs, p.Machines, l.state.current_schedule);
  EXPECT_TRUE(arrays_equal(p.Machines, before.Machines, p.N_Machine, machines_equal));
  EXPECT_TRUE(arrays_equal(p.Orders, before.Orders, p.N_Order, orders_equal));
  EXPECT_TRUE(arrays_equal(p.Jobs, before.Jobs, p.N_Job, jobs_equal));
  EXPECT_TRUE(same_schedule(l.state.current_schedule, schedule_before));

  shop.destroy();
  EXPECT_TRUE(shop.orders.empty() && shop.jobs.empty() && shop.machines.empty());
  EXPECT_FALSE(shop.sch.has_arrays());
}

// ------------------------------------------------------------------ loading

TEST(RescheduleLoad, ReadsShopAndReleasedScheduleIntoBothSnapshots) {
  TempDir dir;
  const Problem original = testing::example_problem("busy_shop.sif");
  const SCH released = testing::random_schedule(original, 21);
  const std::string path = dir.file("plan.rsf");
  ASSERT_EQ(write_released_schedule_file(path, released, original), kFileDone);

  Problem p;
  ProcessState state;
  ScriptedUi ui;
  Rescheduler r;
  ASSERT_EQ(r.load_file(p, state, ui, path), 1);
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{"Input data reading OK!", "Released Schedule loading ok!"}));
  ASSERT_TRUE(r.loaded());
  EXPECT_TRUE(p.first_run);
  EXPECT_EQ(p.input_file_name, path);

  // The released snapshot holds the shop data and the schedule as released,
  // timed and evaluated with its own records.
  const SHOP& rel = *r.released_shop();
  EXPECT_TRUE(same_schedule(rel.sch, released));
  // (A released file lists every setup time, so its records are compared
  // with the file read as input.)
  const Problem as_input = testing::problem_from_file(path);
  EXPECT_TRUE(arrays_equal(rel.machines, as_input.Machines, p.N_Machine, machines_equal));
  EXPECT_EQ(rel.n_setup_types, original.N_SetupType);
  Problem check = as_input;
  SCH timed = released;
  evaluate(timed, check);
  OBJ_VALUE expected;
  compute_objectives(timed, expected, check);
  // The evaluation wrote the snapshot's own job and order times.
  EXPECT_TRUE(arrays_equal(rel.orders, check.Orders, p.N_Order, orders_equal));
  EXPECT_TRUE(arrays_equal(rel.jobs, check.Jobs, p.N_Job, jobs_equal));
  for (int i = 1; i <= kObjectives; ++i) {
    EXPECT_EQ(rel.values.objective(i), expected.objective(i)) << "objective " << i;
    EXPECT_EQ(state.current_values.objective(i), expected.objective(i)) << "objective " << i;
  }
  EXPECT_EQ(state.current_values.n_jobs, p.N_Job);
  EXPECT_TRUE(same_schedule(state.current_schedule, released));

  // The modified snapshot starts as an independent copy of the released one.
  const SHOP& mod = *r.modified_shop();
  EXPECT_NE(&mod.machines[1], &rel.machines[1]);
  EXPECT_TRUE(arrays_equal(mod.machines, rel.machines, rel.n_machines(), machines_equal));
  EXPECT_TRUE(arrays_equal(mod.orders, rel.orders, rel.n_orders(), orders_equal));
  EXPECT_TRUE(arrays_equal(mod.jobs, rel.jobs, rel.n_jobs(), jobs_equal));
  EXPECT_TRUE(same_schedule(mod.sch, rel.sch));
}

TEST(RescheduleLoad, OpenDialogAndCancel) {
  Problem p;
  ProcessState state;
  ScriptedUi ui;
  Rescheduler r;
  EXPECT_EQ(r.load(p, state, ui, "/opt/vema"), kLoadCancelled);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].filter, "Released schedule files (*.rsf)|*.rsf;*.RSF");
  EXPECT_EQ(ui.dialogs[0].initial_folder, "/opt/vema");
  EXPECT_EQ(ui.dialogs[0].file_name, "");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(r.loaded());

  TempDir dir;
  ui.paths.push_back(testing::released_example(dir, "busy_shop.sif", 4));
  EXPECT_EQ(r.load(p, state, ui, "/opt/vema"), 1);
  EXPECT_TRUE(r.loaded());
}

TEST(RescheduleLoad, UnreadableScheduleFailsAfterTheShopWasRead) {
  TempDir dir;
  const std::string good = testing::released_example(dir, "busy_shop.sif", 4);
  std::string text = testing::file_text(good);
  // Job 1 gets route 27, which does not exist.
  const size_t at = text.find("\n4|1|");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 5, "\n4|1|27|");
  const std::string bad = dir.write("bad.rsf", text);

  Problem p;
  ProcessState state;
  ScriptedUi ui;
  Rescheduler r;
  ASSERT_EQ(r.load_file(p, state, ui, good), 1);
  std::string error;
  EXPECT_EQ(r.load_file(p, state, ui, bad, &error), 0);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ui.messages.back(), "Input data reading OK!");
  EXPECT_FALSE(r.loaded());
  // The new problem stays loaded, the current schedule is empty and the
  // released snapshot holds only its (empty) schedule.
  EXPECT_TRUE(p.loaded());
  EXPECT_EQ(p.input_file_name, bad);
  EXPECT_EQ(r.modified_shop(), nullptr);
  ASSERT_NE(r.released_shop(), nullptr);
  EXPECT_TRUE(r.released_shop()->orders.empty());
  for (int j = 1; j <= p.N_Job; ++j) EXPECT_EQ(state.current_schedule.job_route[j], 0);
}

TEST(RescheduleLoad, SecondLoadLeavesNothingOfTheFirst) {
  Loaded l(8);
  l.rescheduler.modify_environment(l.problem, l.state, [](Problem& p) { p.Machines[1].Speed = 1; });
  l.rescheduler.prepare_initial_state(l.problem, l.state, kDefaultFreezeOrder, 300);
  ASSERT_EQ(l.rescheduler.load_file(l.problem, l.state, l.ui, l.path), 1);
  const SHOP& rel = *l.rescheduler.released_shop();
  const SHOP& mod = *l.rescheduler.modified_shop();
  const Problem fresh = testing::problem_from_file(l.path);
  EXPECT_TRUE(arrays_equal(mod.machines, fresh.Machines, fresh.N_Machine, machines_equal));
  EXPECT_TRUE(arrays_equal(l.problem.Machines, fresh.Machines, fresh.N_Machine, machines_equal));
  EXPECT_TRUE(arrays_equal(mod.jobs, rel.jobs, rel.n_jobs(), jobs_equal));
  for (int j = 1; j <= l.problem.N_Job; ++j) {
    EXPECT_EQ(l.problem.Jobs[j].freeze, nullptr);
    EXPECT_EQ(l.problem.Jobs[j].frozen_steps, 0);
  }
}

// -------------------------------------------------------------- environment

TEST(EnvironmentModification, ActionsCheckAndReportLikeTheInputDataWindow) {
  MACHINE base;
  base.ID = 1;
  base.Speed = 10;
  base.N_Cal = 1;
  base.calendar = {CAL_INTERVAL{}, CAL_INTERVAL{0, 100}};
  MACHINE wide = base;
  wide.calendar[1].ET = 500;
  MACHINE two = base;
  ASSERT_EQ(calendar_add(two, 200, 300), 1);
  ORDER order;
  order.ID = 1;
  order.CST = 100;
  order.CET = 700;

  using Action = std::function<bool(MACHINE&, ORDER&, UserInterface&)>;
  using Check = std::function<void(const MACHINE&, const ORDER&)>;
  const std::string speed_range =
      " The value of the speed field is out of the range! It must be in [1 - 1000].";
  const std::string start_range =
      " The value of the start time field is out of the range! It must be in [0 - 32000].";
  const std::string end_range =
      " The value of the end time field is out of the range! It must be in [0 - 32000].";
  const std::string missing = " Missing integer value(s)!";
  const std::string overlap = "Availability time intervals can not be overlapped!";
  const std::string length = "Length of an availability time interval can not be zero or smaller!";
  const std::string none_selected = "There is no selected item!";
  const std::string only_one = "Machine has only one calendar element. It can not be deleted!";
  const std::string start_order =
      " The Constraint Start Time has to be smaller then Constraint End Time.";
  const std::string end_order =
      " The Constraint End Time has to be larger than Constraint Start Time.";
  const auto speed = [](std::optional<int> v) -> Action {
    return [v](MACHINE& m, ORDER&, UserInterface& ui) { return set_machine_speed(m, v, ui); };
  };
  const auto add = [](std::optional<int> s, std::optional<int> e) -> Action {
    return [s, e](MACHINE& m, ORDER&, UserInterface& ui) {
      return add_calendar_interval(m, s, e, ui);
    };
  };
  const auto del = [](std::optional<int> k) -> Action {
    return
        [k](MACHINE& m, ORDER&, UserInterface& ui) { return delete_calendar_interval(m, k, ui); };
  };
  const auto start = [](std::optional<int> v) -> Action {
    return [v](MACHINE&, ORDER& o, UserInterface& ui) { return set_order_start(o, v, ui); };
  };
  const auto end = [](std::optional<int> v) -> Action {
    return [v](MACHINE&, ORDER& o, UserInterface& ui) { return set_order_end(o, v, ui); };
  };
  struct Case {
    const char* name;
    MACHINE machine;
    Action action;
    std::string message;  // empty: accepted
    Check check;
  };
  const std::vector<Case> cases = {
      {"empty speed", base, speed(std::nullopt), speed_range, nullptr},
      {"speed 0", base, speed(0), speed_range, nullptr},
      {"speed 1001", base, speed(1001), speed_range, nullptr},
      {"speed 1000", base, speed(1000), "",
       [](const MACHINE& m, const ORDER&) { EXPECT_EQ(m.Speed, 1000); }},
      {"speed 1", base, speed(1), "",
       [](const MACHINE& m, const ORDER&) { EXPECT_EQ(m.Speed, 1); }},
      {"add without start", base, add(std::nullopt, 200), missing, nullptr},
      {"add without end", base, add(300, std::nullopt), missing, nullptr},
      {"add end outside the edit's range", base, add(300, 32001), missing, nullptr},
      {"add meeting [0, 100]", base, add(100, 200), overlap, nullptr},
      {"add inside [0, 500]", wide, add(100, 200), overlap, nullptr},
      {"add of zero length", base, add(300, 300), length, nullptr},
      {"add of negative length", base, add(400, 300), length, nullptr},
      {"add after the calendar", base, add(150, 250), "",
       [](const MACHINE& m, const ORDER&) {
         ASSERT_EQ(m.N_Cal, 2);
         EXPECT_EQ(m.calendar[2].ST, 150);
         EXPECT_EQ(m.calendar[2].ET, 250);
       }},
      {"delete without selection", two, del(std::nullopt), none_selected, nullptr},
      {"delete past the list", two, del(3), none_selected, nullptr},
      {"delete the only interval", base, del(1), only_one, nullptr},
      {"delete the first of two", two, del(1), "",
       [](const MACHINE& m, const ORDER&) {
         ASSERT_EQ(m.N_Cal, 1);
         EXPECT_EQ(m.calendar[1].ST, 200);
       }},
      {"empty start", base, start(std::nullopt), start_range, nullptr},
      {"start 32001", base, start(32001), start_range, nullptr},
      {"start equal to CET", base, start(700), start_order, nullptr},
      {"start 699", base, start(699), "",
       [](const MACHINE&, const ORDER& o) { EXPECT_EQ(o.CST, 699); }},
      {"start 0", base, start(0), "", [](const MACHINE&, const ORDER& o) { EXPECT_EQ(o.CST, 0); }},
      {"empty end", base, end(std::nullopt), end_range, nullptr},
      {"end 32001", base, end(32001), end_range, nullptr},
      {"end equal to CST", base, end(100), end_order, nullptr},
      {"end 101", base, end(101), "",
       [](const MACHINE&, const ORDER& o) { EXPECT_EQ(o.CET, 101); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MACHINE m = c.machine;
    ORDER o = order;
    ScriptedUi ui;
    const bool done = c.action(m, o, ui);
    if (c.message.empty()) {
      EXPECT_TRUE(done);
      EXPECT_TRUE(ui.messages.empty());
      c.check(m, o);
    } else {
      EXPECT_FALSE(done);
      EXPECT_EQ(ui.messages, std::vector<std::string>{c.message});
      EXPECT_TRUE(machines_equal(m, c.machine));
      EXPECT_TRUE(orders_equal(o, order));
    }
  }
}

TEST(EnvironmentModification, RetimesTheCurrentScheduleAndRetakesTheModifiedSnapshot) {
  Loaded l;
  const OBJ_VALUE before = l.state.current_values;
  l.rescheduler.modify_environment(l.problem, l.state, [&](Problem& p) {
    ASSERT_TRUE(set_machine_speed(p.Machines[1], 1, l.ui));
    ASSERT_TRUE(set_order_end(p.Orders[1], p.Orders[1].CST + 1, l.ui));
  });
  SCH timed = l.state.current_schedule;
  evaluate(timed, l.problem);
  OBJ_VALUE expected;
  compute_objectives(timed, expected, l.problem);
  bool changed = false;
  for (int i = 1; i <= kObjectives; ++i) {
    EXPECT_EQ(l.state.current_values.objective(i), expected.objective(i)) << "objective " << i;
    changed = changed || before.objective(i) != expected.objective(i);
  }
  EXPECT_TRUE(changed);
  const SHOP& mod = *l.rescheduler.modified_shop();
  const SHOP& rel = *l.rescheduler.released_shop();
  EXPECT_EQ(mod.machines[1].Speed, 1);
  EXPECT_EQ(mod.orders[1].CET, mod.orders[1].CST + 1);
  EXPECT_NE(rel.machines[1].Speed, 1);
  EXPECT_TRUE(arrays_equal(mod.machines, l.problem.Machines, l.problem.N_Machine, machines_equal));
  for (int i = 1; i <= kObjectives; ++i) EXPECT_EQ(mod.values.objective(i), expected.objective(i));
}

// ----------------------------------------------------------------- freezing

TEST(Freezing, FreezeTimeZeroFreezesStartsAtZeroAndAJobFrozenInGroupOneKeepsItsRoutes) {
  AllGroups a;
  Problem& p = a.problem;
  const SearchSolution r = a.reference();
  ASSERT_EQ(r.timing(1)[1].StartT, 0);   // job 1, step 1
  ASSERT_EQ(r.timing(3)[1].StartT, 4);   // job 1, step 2
  ASSERT_EQ(r.timing(11)[1].StartT, 0);  // job 2
  ASSERT_EQ(r.timing(1)[2].StartT, 4);   // job 3
  freeze_jobs(r, p.Orders, p.Jobs, p.Machines, 0);

  EXPECT_EQ(p.Orders[1].frozen, 1);
  EXPECT_EQ(p.Orders[2].frozen, 0);
  EXPECT_EQ(p.Jobs[1].frozen_steps, 1);
  EXPECT_EQ(p.Jobs[2].frozen_steps, 1);
  EXPECT_EQ(p.Jobs[3].frozen_steps, 0);
  std::vector<int> frozen_tasks;
  for (int m = 1; m <= 11; ++m) frozen_tasks.push_back(p.Machines[m].frozen_tasks);
  EXPECT_EQ(frozen_tasks, (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));

  // Job 1 keeps the routes that begin with group 1 (1, 2, 3, 4); those that
  // begin with groups 5, 8 and 10 also cover step 1 and are gone.
  const FREEZE_JOB& f1 = *p.Jobs[1].freeze;
  ASSERT_EQ(p.Orders[1].R_feasible[0], 8);
  EXPECT_EQ(f1.feasible_routes, (std::array<int, 9>{4, 1, 2, 3, 4, 0, 0, 0, 0}));
  EXPECT_EQ(f1.group_machines[1], (std::vector<int>{1, 1, 0}));
  for (const int g : {5, 8, 10}) EXPECT_EQ(f1.group_machines[g][0], 0) << "group " << g;
  for (const int g : {2, 3, 4, 6, 7, 9}) {
    EXPECT_EQ(f1.group_machines[g], p.Orders[1].allowed_machines[g]) << "group " << g;
  }
  // Job 2, frozen in group 10, keeps only its own route and machine.
  const FREEZE_JOB& f2 = *p.Jobs[2].freeze;
  EXPECT_EQ(f2.feasible_routes, (std::array<int, 9>{1, 8, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(f2.group_machines[10], (std::vector<int>{1, 11}));
  for (int g = 1; g <= 9; ++g) EXPECT_EQ(f2.group_machines[g][0], 0) << "group " << g;
  // Job 3 is not frozen: its order's lists.
  const FREEZE_JOB& f3 = *p.Jobs[3].freeze;
  EXPECT_EQ(f3.feasible_routes, p.Orders[2].R_feasible);
  for (int g = 1; g <= kGroups; ++g) {
    EXPECT_EQ(f3.group_machines[g], p.Orders[2].allowed_machines[g]) << "group " << g;
  }
}

TEST(Freezing, FreezeTimeBeforeEveryStartFreezesNothing) {
  Loaded l;
  Problem& p = l.problem;
  SearchSolution r(l.rescheduler.released_shop()->sch);
  r.evaluate(p);
  const std::vector<int> starts = testing::start_times(r);
  ASSERT_GT(*std::min_element(starts.begin(), starts.end()), 0);
  freeze_jobs(r, p.Orders, p.Jobs, p.Machines, 0);
  for (int o = 1; o <= p.N_Order; ++o) EXPECT_EQ(p.Orders[o].frozen, 0);
  for (int m = 1; m <= p.N_Machine; ++m) EXPECT_EQ(p.Machines[m].frozen_tasks, 0);
  for (int j = 1; j <= p.N_Job; ++j) {
    const JOB& job = p.Jobs[j];
    EXPECT_EQ(job.frozen_steps, 0);
    ASSERT_NE(job.freeze, nullptr);
    EXPECT_EQ(job.freeze->feasible_routes, p.Orders[job.O_ID].R_feasible);
    for (int g = 1; g <= kGroups; ++g) {
      EXPECT_EQ(job.freeze->group_machines[g], p.Orders[job.O_ID].allowed_machines[g]);
    }
  }
}

TEST(Freezing, FreezeTimeAfterEveryStartFreezesEverythingAndTimingReproducesTheReference) {
  Loaded l;
  Problem& p = l.problem;
  SearchSolution r(l.rescheduler.released_shop()->sch);
  r.evaluate(p);
  const std::vector<int> starts = testing::start_times(r);
  const int t = *std::max_element(starts.begin(), starts.end());
  freeze_jobs(r, p.Orders, p.Jobs, p.Machines, t);
  for (int m = 1; m <= p.N_Machine; ++m) EXPECT_EQ(p.Machines[m].frozen_tasks, r.sequence(m)[0]);
  for (int j = 1; j <= p.N_Job; ++j) {
    const int* a = r.assignment(j);
    const int k = route_length(a[0]);
    EXPECT_EQ(p.Jobs[j].frozen_steps, k);
    // Only the job's own route consists of exactly its frozen groups.
    EXPECT_EQ(p.Jobs[j].freeze->feasible_routes[0], 1);
    EXPECT_EQ(p.Jobs[j].freeze->feasible_routes[1], a[0]);
    for (int l2 = 1; l2 <= k; ++l2) {
      EXPECT_EQ(p.Jobs[j].freeze->group_machines[R_MG_ex[a[0]][l2]][0], 1);
      EXPECT_EQ(p.Jobs[j].freeze->group_machines[R_MG_ex[a[0]][l2]][1], a[l2]);
    }
  }
  // Frozen everywhere: even timed under other data the reference times come back.
  p.Machines[1].Speed = 1;
  p.Orders[2].CST += 50;
  SearchSolution s(r);
  s.evaluate_with_freeze(p, r.timing_view(), t);
  SCH schedule = l.rescheduler.released_shop()->sch;
  evaluate_with_freeze(schedule, p, r.timing_view(), t);
  for (int m = 1; m <= p.N_Machine; ++m) {
    int k = 0;
    for (const TASK* task = schedule.machine_first[m]; task != nullptr;
         task = task->next_on_machine) {
      ++k;
      EXPECT_TRUE(same_timing(s.timing(m)[k], r.timing(m)[k])) << "machine " << m << " pos " << k;
      EXPECT_EQ(task->StartT, r.timing(m)[k].StartT);
      EXPECT_EQ(task->EndT, r.timing(m)[k].EndT);
    }
  }
}

TEST(Freezing, UnfrozenTaskThatWouldStartEarlierStartsAtTheFreezeTime) {
  AllGroups a;
  Problem& p = a.problem;
  const SearchSolution r = a.reference();
  freeze_jobs(r, p.Orders, p.Jobs, p.Machines, 2);
  ASSERT_EQ(p.Jobs[3].frozen_steps, 0);  // starts at 4 in the reference
  // Job 3 moved to the idle machine 2 would start at 0 without the freeze.
  SearchSolution s(r);
  remove_job(s, 3);
  s.assignment(3)[0] = 23;
  s.assignment(3)[1] = 2;
  s.position_of(3)[1] = 1;
  s.sequence(2)[0] = 1;
  s.sequence(2)[1] = 3;
  s.step_at(2)[1] = 1;
  s.evaluate(p);
  ASSERT_EQ(s.timing(2)[1].StartT, 0);
  s.evaluate_with_freeze(p, r.timing_view(), 2);
  EXPECT_EQ(s.timing(2)[1].StartT, 2);
  EXPECT_EQ(s.timing(2)[1].EndT, 2 + s.timing(2)[1].SetT + 2);  // size 10 at speed 5
  // Frozen tasks keep the reference's records; unfrozen job-1 steps follow.
  EXPECT_TRUE(same_timing(s.timing(1)[1], r.timing(1)[1]));
  EXPECT_TRUE(same_timing(s.timing(11)[1], r.timing(11)[1]));
  EXPECT_EQ(s.timing(3)[1].StartT, 4);

  // The linked schedule's twin times it the same way.
  std::vector<JobAssignment> J_A = no_jobs(3);
  std::vector<CountedList> M_wload = no_sequences(11, 3);
  s.export_arrays(J_A, M_wload);
  SCH schedule;
  schedule.build_from_assignment(2, 3, 11, J_A, M_wload);
  evaluate_with_freeze(schedule, p, r.timing_view(), 2);
  EXPECT_EQ(schedule.machine_first[2]->StartT, 2);
  EXPECT_EQ(schedule.machine_first[2]->EndT, s.timing(2)[1].EndT);
}

// The linked schedule and the search solution time a frozen schedule alike.
TEST(Freezing, FreezeAwareTimingOfScheduleAndSearchSolutionAgree) {
  Loaded l(13);
  Problem& p = l.problem;
  l.rescheduler.modify_environment(l.problem, l.state, [](Problem& q) {
    q.Machines[2].Speed = 2;
    q.Orders[3].CST += 40;
  });
  for (const FreezeOrder order : {FreezeOrder::kFreezeThenModify, FreezeOrder::kModifyThenFreeze}) {
    const SearchSolution r = l.rescheduler.prepare_initial_state(p, l.state, order, 150);
    // A solution that differs from the reference in its unfrozen part.
    testing::FixedClock clock;
    Random rng(clock);
    rng.set_fixed_seed(3);
    SearchSolution s(l.rescheduler.released_shop()->sch);
    OperatorWorkspace workspace(p.N_Job);
    OBJ_VALUE scratch;
    const FreezeContext freeze{r, 150};
    for (int i = 0; i < 20; ++i) {
      apply_frozen_operator(1 + i % 5, s, p, freeze, scratch, rng, workspace);
    }
    s.evaluate_with_freeze(p, r.timing_view(), 150);
    std::vector<JobAssignment> J_A = no_jobs(p.N_Job);
    std::vector<CountedList> M_wload = no_sequences(p.N_Machine, p.N_Job);
    s.export_arrays(J_A, M_wload);
    SCH schedule;
    schedule.build_from_assignment(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);
    evaluate_with_freeze(schedule, p, r.timing_view(), 150);
    for (int m = 1; m <= p.N_Machine; ++m) {
      int k = 0;
      for (const TASK* t = schedule.machine_first[m]; t != nullptr; t = t->next_on_machine) {
        const TimingRecord& rec = s.timing(m)[++k];
        EXPECT_EQ(t->StartT, rec.StartT) << "machine " << m << " position " << k;
        EXPECT_EQ(t->EndT, rec.EndT) << "machine " << m << " position " << k;
        EXPECT_EQ(t->Setup, rec.Setup);
        EXPECT_EQ(t->M_Calendar_OK, rec.M_Calendar_OK);
        if (k > p.Machines[m].frozen_tasks) {
          EXPECT_GE(t->StartT, 150);
        }
      }
    }
  }
}

// ------------------------------------------------------------ freeze orders

TEST(FreezeOrders, WithoutModificationBothOrdersFreezeTheSameTasksWithTheSameTimes) {
  Loaded l(17);
  Problem& p = l.problem;
  const SearchSolution first =
      l.rescheduler.prepare_initial_state(p, l.state, FreezeOrder::kFreezeThenModify, 180);
  const Problem after_first = p;
  const SearchSolution second =
      l.rescheduler.prepare_initial_state(p, l.state, FreezeOrder::kModifyThenFreeze, 180);
  EXPECT_TRUE(arrays_equal(p.Machines, after_first.Machines, p.N_Machine, machines_equal));
  EXPECT_TRUE(arrays_equal(p.Orders, after_first.Orders, p.N_Order, orders_equal));
  EXPECT_TRUE(arrays_equal(p.Jobs, after_first.Jobs, p.N_Job, jobs_equal));
  int frozen = 0;
  for (int m = 1; m <= p.N_Machine; ++m) {
    frozen += p.Machines[m].frozen_tasks;
    for (int k = 1; k <= first.sequence(m)[0]; ++k) {
      EXPECT_TRUE(same_timing(first.timing(m)[k], second.timing(m)[k]));
    }
  }
  EXPECT_GT(frozen, 0);
}

TEST(FreezeOrders, FreezingFirstKeepsReleasedTimesModifyingFirstRetimes) {
  Loaded l(17);
  Problem& p = l.problem;
  // A machine whose second task starts later once the machine runs at speed 1.
  SearchSolution released(l.rescheduler.released_shop()->sch);
  released.evaluate(p);
  int slow = 0;
  for (int m = 1; m <= p.N_Machine && slow == 0; ++m) {
    if (released.sequence(m)[0] < 2) continue;
    Problem slower = p;
    slower.Machines[m].Speed = 1;
    SearchSolution s(released);
    s.evaluate(slower);
    if (s.timing(m)[2].StartT > released.timing(m)[2].StartT) slow = m;
  }
  ASSERT_NE(slow, 0);
  const int t = released.timing(slow)[2].StartT;  // its first two tasks start by t
  l.rescheduler.modify_environment(p, l.state, [&](Problem& q) { q.Machines[slow].Speed = 1; });

  const SearchSolution r1 =
      l.rescheduler.prepare_initial_state(p, l.state, FreezeOrder::kFreezeThenModify, t);
  EXPECT_GE(p.Machines[slow].frozen_tasks, 2);
  for (int k = 1; k <= p.Machines[slow].frozen_tasks; ++k) {
    EXPECT_TRUE(same_timing(r1.timing(slow)[k], released.timing(slow)[k]));
  }
  const SearchSolution r2 =
      l.rescheduler.prepare_initial_state(p, l.state, FreezeOrder::kModifyThenFreeze, t);
  SearchSolution retimed(l.rescheduler.released_shop()->sch);
  retimed.evaluate(p);
  for (int k = 1; k <= retimed.sequence(slow)[0]; ++k) {
    EXPECT_TRUE(same_timing(r2.timing(slow)[k], retimed.timing(slow)[k]));
  }
  // Re-timed at speed 1 the second task no longer starts by t.
  EXPECT_LT(p.Machines[slow].frozen_tasks, 2);
}

// ------------------------------------------------------------ initial state

TEST(InitialState, ShowsTheReleasedScheduleFrozenAndPublishesItsValues) {
  Loaded l(23);
  Problem& p = l.problem;
  l.rescheduler.modify_environment(p, l.state, [](Problem& q) { q.Machines[4].Speed = 3; });
  const SHOP& drawn =
      l.rescheduler.show_initial_state(p, l.state, FreezeOrder::kFreezeThenModify, 200);
  EXPECT_EQ(&drawn, l.rescheduler.released_shop());
  EXPECT_EQ(l.rescheduler.snapshot_to_draw(), l.rescheduler.released_shop());
  EXPECT_TRUE(same_schedule(l.state.current_schedule, drawn.sch));
  const OBJ_VALUE shown = l.state.current_values;

  // The same state as a rescheduling run starts from.
  const RescheduleStart start =
      prepare_reschedule_start(l.rescheduler, p, l.state, FreezeOrder::kFreezeThenModify, 200);
  for (int i = 1; i <= kObjectives; ++i) {
    EXPECT_EQ(shown.objective(i), start.values.objective(i)) << "objective " << i;
  }
  // Frozen tasks carry the released times.
  for (int m = 1; m <= p.N_Machine; ++m) {
    int k = 0;
    for (const TASK* t = l.state.current_schedule.machine_first[m];
         t != nullptr && ++k <= p.Machines[m].frozen_tasks; t = t->next_on_machine) {
      EXPECT_EQ(t->StartT, start.reference.timing(m)[k].StartT);
      EXPECT_EQ(t->EndT, start.reference.timing(m)[k].EndT);
    }
  }
}

TEST(RescheduleClose, DestroysSnapshotsAndReleasesTheProblem) {
  Loaded l;
  l.rescheduler.show_initial_state(l.problem, l.state, kDefaultFreezeOrder, 100);
  l.rescheduler.close(l.problem);
  EXPECT_FALSE(l.rescheduler.loaded());
  EXPECT_EQ(l.rescheduler.released_shop(), nullptr);
  EXPECT_EQ(l.rescheduler.snapshot_to_draw(), nullptr);
  EXPECT_FALSE(l.problem.loaded());
}

}  // namespace
}  // namespace vema
