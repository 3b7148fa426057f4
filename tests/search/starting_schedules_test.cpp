// The six starting-schedule methods and the "Initializing" window's
// keep/discard bookkeeping.
#include "search/starting_schedules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "fixed_clock.h"
#include "problem/input_reader.h"
#include "schedule/timing.h"
#include "scripted_ui.h"
#include "search/solution_invariants.h"
#include "search/tabu_search.h"
#include "test_problems.h"

namespace vema {
namespace {

using testing::FixedClock;
using testing::ScriptedUi;
using testing::solution_invariants;
using testing::tables_of;

// The problem of the input text as a run finds it right after loading.
Problem read(const std::string& text) {
  Problem p = testing::problem_from_text(text);
  p.first_run = true;
  return p;
}

// Machines 1..3 of step 1; each order lists them in the order given.
// Orders have the CETs given and `jobs` jobs each.
std::string one_step_shop(const std::vector<int>& cets, int jobs,
                          const std::vector<int>& machine_order = {0, 1, 2}) {
  std::ostringstream text;
  text << "001|3|" << cets.size() << "|1\n";
  for (int m = 0; m < 3; ++m) {
    text << "100|" << m << "|5|0|0\n110|" << m << "|1\n120|" << m << "|0|100000\n130|" << m
         << "|1\n140|" << m << "|0|0|0\n";
  }
  for (size_t o = 0; o < cets.size(); ++o) {
    text << "200|" << o << "|" << cets[o] << "|0|" << jobs << "|10|0|0|0\n210|" << o << "|"
         << machine_order.size() << "\n";
    for (int m : machine_order) text << "220|" << o << "|0|0|" << m << "\n";
  }
  return text.str();
}

// Six machines: 1, 2 step 1; 3, 5 step 2; 4 steps 1-2; 6 steps 3-4.
// Order 1 (3 jobs, steps 1-2) may take route 17 on machines 1|2 then 3|5,
// or route 18 on machine 4. Order 2 (2 jobs) runs step 2 on machine 3.
// Order 3 (1 job, step 3) names only machine 6, which covers steps 3-4, so
// it has no feasible route.
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

// The bundled examples that pass the input check.
std::vector<std::pair<std::string, Problem>> checked_examples() {
  std::vector<std::pair<std::string, Problem>> problems;
  std::vector<std::string> paths;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(VEMA_SOURCE_DIR) + "/examples")) {
    if (entry.path().extension() == ".sif") paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  for (const std::string& path : paths) {
    Problem p;
    ScriptedUi ui;
    if (load_input_file(p, ui, path) == kLoadDone) {
      problems.emplace_back(std::filesystem::path(path).filename().string(), std::move(p));
    }
  }
  return problems;
}

SearchSolution build(int method, const Problem& p, Random& rng) {
  SearchSolution s(p.N_Order, p.N_Job, p.N_Machine);
  build_starting_schedule(method, s, p, rng);
  return s;
}

std::vector<int> sequence_of(const SearchSolution& s, int m) {
  return std::vector<int>(s.sequence(m) + 1, s.sequence(m) + 1 + s.sequence(m)[0]);
}

std::vector<int> orders_on(const SearchSolution& s, const Problem& p, int m) {
  std::vector<int> orders;
  for (int j : sequence_of(s, m)) orders.push_back(p.Jobs[j].O_ID);
  return orders;
}

// ------------------------------------------------------------ the methods

TEST(StartingMethods, NamesAreTheWindowsListInOrder) {
  EXPECT_STREQ(kStartingMethodNames[1], "Order oriented assign.t and EDD seq.");
  EXPECT_STREQ(kStartingMethodNames[2], "Order oriented assign. and rendom seq.");
  EXPECT_STREQ(kStartingMethodNames[3], "Job oriented assign. and random seq.");
  EXPECT_STREQ(kStartingMethodNames[4], "Job oriented assign. and bach seq.");
  EXPECT_STREQ(kStartingMethodNames[5], "Order exe type oriented assign.");
  EXPECT_STREQ(kStartingMethodNames[6], "Order exe type oriented assign. with jobs");
  EXPECT_EQ(kDefaultStartingMethod, 5);
}

TEST(StartingMethods, EveryMethodGivesAConsistentFeasibleSchedule) {
  std::vector<std::pair<std::string, Problem>> problems = checked_examples();
  ASSERT_GE(problems.size(), 2u);
  problems.emplace_back("no feasible route", read(kShop));
  FixedClock clock(1700000000);
  Random rng(clock);
  for (auto& [name, p] : problems) {
    for (int method = 1; method <= kStartingMethods; ++method) {
      SCOPED_TRACE(name + ", method " + std::to_string(method));
      const SearchSolution s = build(method, p, rng);
      EXPECT_TRUE(solution_invariants(s, p));
      // Every job of an order with a feasible route is placed.
      for (int j = 1; j <= p.N_Job; ++j) {
        const ORDER& order = p.Orders[p.Jobs[j].O_ID];
        EXPECT_EQ(s.assignment(j)[0] != 0, order.R_feasible[0] > 0) << "job " << j;
      }
    }
  }
}

TEST(StartingMethods, OrderOrientedMethodsUseFirstRouteAndFirstListedMachine) {
  // The orders list machine 3 first, then 1 and 2.
  const Problem p = read(one_step_shop({50, 40}, 2, {2, 0, 1}));
  FixedClock clock(1);
  Random rng(clock);
  for (int method : {1, 2}) {
    SCOPED_TRACE(method);
    const SearchSolution s = build(method, p, rng);
    EXPECT_TRUE(sequence_of(s, 1).empty());
    EXPECT_TRUE(sequence_of(s, 2).empty());
    EXPECT_EQ(sequence_of(s, 3),
              method == 1 ? std::vector<int>({3, 4, 1, 2}) : std::vector<int>({1, 2, 3, 4}));
  }
}

TEST(StartingMethods, MethodOneSortsOrdersByDueTimeWithSelectionSort) {
  struct Case {
    std::vector<int> cets;
    std::vector<int> order_sequence;  // method 1's order of the orders
  };
  const Case cases[] = {
      {{100, 200, 300}, {1, 2, 3}},
      {{300, 200, 100}, {3, 2, 1}},
      {{30, 10, 20}, {2, 3, 1}},
      // Equal CETs do not keep their numbering: the swaps move order 1
      // behind order 3.
      {{5, 3, 5, 3}, {2, 4, 3, 1}},
      {{7}, {1}},
  };
  FixedClock clock(1);
  Random rng(clock);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.cets));
    const Problem p = read(one_step_shop(c.cets, 1));
    EXPECT_EQ(sequence_of(build(1, p, rng), 1), c.order_sequence);
    const bool ascending = std::is_sorted(c.cets.begin(), c.cets.end());
    // Methods 1 and 2 agree exactly when the CETs ascend with the numbers.
    EXPECT_EQ(tables_of(build(1, p, rng)) == tables_of(build(2, p, rng)), ascending);
  }
}

TEST(StartingMethods, MethodsOneAndTwoAgreeOnAscendingDueTimesOfAMultiStepShop) {
  Problem p = read(kShop);
  p.Orders[1].CET = 10;
  p.Orders[2].CET = 20;
  p.Orders[3].CET = 20;
  FixedClock clock(1);
  Random rng(clock);
  EXPECT_TRUE(tables_of(build(1, p, rng)) == tables_of(build(2, p, rng)));
  p.Orders[1].CET = 30;
  EXPECT_FALSE(tables_of(build(1, p, rng)) == tables_of(build(2, p, rng)));
}

// Which methods draw from the clock and which continue the generator.
TEST(StartingMethods, MethodsThreeAndFourReseedFromTheClockFiveAndSixDoNot) {
  // Twelve jobs, each free to take any of three machines.
  const Problem p = read(one_step_shop({10, 20, 30, 40}, 3));
  struct Case {
    int method;
    bool follows_clock;  // else: follows the generator's state
  };
  for (const Case c : {Case{1, false}, Case{2, false}, Case{3, true}, Case{4, true}, Case{5, false},
                       Case{6, false}}) {
    SCOPED_TRACE(c.method);
    const bool deterministic = c.method <= 2;
    // Same generator state, different clocks.
    FixedClock clock_a(1000), clock_b(2000);
    Random a(clock_a), b(clock_b);
    a.seed(7);
    b.seed(7);
    EXPECT_EQ(tables_of(build(c.method, p, a)) == tables_of(build(c.method, p, b)),
              deterministic || !c.follows_clock);
    // Same clock, different generator states.
    FixedClock clock(1000);
    Random x(clock), y(clock);
    x.seed(1);
    y.seed(2);
    EXPECT_EQ(tables_of(build(c.method, p, x)) == tables_of(build(c.method, p, y)),
              deterministic || c.follows_clock);
  }
}

TEST(StartingMethods, SameSecondGivesTheSameScheduleForEveryMethod) {
  const std::vector<std::pair<std::string, Problem>> problems = checked_examples();
  const Problem& p = problems.front().second;
  FixedClock clock(1700000000);
  for (int method = 1; method <= kStartingMethods; ++method) {
    SCOPED_TRACE(method);
    Random a(clock), b(clock);
    a.seed_from_clock();
    b.seed_from_clock();
    EXPECT_TRUE(tables_of(build(method, p, a)) == tables_of(build(method, p, b)));
  }
}

TEST(StartingMethods, GroupingByOrderKeepsFirstAppearanceAndRelativeOrder) {
  // One machine of step 1; orders 1..3 with two jobs each: jobs 1-2 of
  // order 1, 3-4 of order 2, 5-6 of order 3.
  const Problem p = read(one_step_shop({10, 20, 30}, 2));
  struct Case {
    std::vector<int> jobs;
    std::vector<int> grouped;
  };
  const Case cases[] = {
      // Orders 3, 1, 3, 2, 1 become 3, 3, 1, 1, 2.
      {{5, 1, 6, 3, 2}, {5, 6, 1, 2, 3}},
      {{1, 3, 5, 2, 4, 6}, {1, 2, 3, 4, 5, 6}},
      {{4, 2, 3, 1}, {4, 3, 2, 1}},
      {{6, 5, 4}, {6, 5, 4}},
      {{2}, {2}},
      {{}, {}},
  };
  const int route = Exe_R[1][1];
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.jobs));
    std::vector<JobAssignment> J_A(7, JobAssignment{});
    std::vector<CountedList> M_wload(4, CountedList(7, 0));
    for (int j : c.jobs) J_A[j] = {route, 1};
    M_wload[1][0] = static_cast<int>(c.jobs.size());
    std::copy(c.jobs.begin(), c.jobs.end(), M_wload[1].begin() + 1);
    SearchSolution s(3, 6, 3, J_A, M_wload);
    group_sequences_by_order(s, p);
    EXPECT_EQ(sequence_of(s, 1), c.grouped);
    EXPECT_TRUE(solution_invariants(s, p));
  }
}

TEST(StartingMethods, MethodFourIsMethodThreeGroupedByOrder) {
  for (auto& [name, p] : checked_examples()) {
    SCOPED_TRACE(name);
    FixedClock clock(1700000123);
    Random rng(clock);
    const SearchSolution random = build(3, p, rng);
    const SearchSolution grouped = build(4, p, rng);
    for (int m = 1; m <= p.N_Machine; ++m) {
      SCOPED_TRACE("machine " + std::to_string(m));
      // Order groups in order of first appearance, jobs in their old order.
      std::vector<int> expected;
      std::vector<int> seen;
      const std::vector<int> jobs = sequence_of(random, m);
      for (int j : jobs) {
        const int o = p.Jobs[j].O_ID;
        if (std::find(seen.begin(), seen.end(), o) != seen.end()) continue;
        seen.push_back(o);
        for (int k : jobs) {
          if (p.Jobs[k].O_ID == o) expected.push_back(k);
        }
      }
      EXPECT_EQ(sequence_of(grouped, m), expected);
      for (int j : jobs) {
        EXPECT_TRUE(
            std::equal(random.assignment(j), random.assignment(j) + 5, grouped.assignment(j)))
            << "job " << j;
      }
    }
  }
}

TEST(StartingMethods, ExecutionTypeMethodsBuildOrderBlocksOnTheLastRoute) {
  std::vector<std::pair<std::string, Problem>> problems = checked_examples();
  problems.emplace_back("shop", read(kShop));
  FixedClock clock(1);
  Random rng(clock);
  rng.seed(99);
  for (auto& [name, p] : problems) {
    for (int method : {5, 6}) {
      SCOPED_TRACE(name + ", method " + std::to_string(method));
      const SearchSolution s = build(method, p, rng);
      bool machines_differ_within_an_order = false;
      for (int o = 1; o <= p.N_Order; ++o) {
        const ORDER& order = p.Orders[o];
        const int last = order.R_feasible[0] > 0 ? order.R_feasible[order.R_feasible[0]] : 0;
        for (int j = order.FirstJob; j < order.FirstJob + order.NJob; ++j) {
          EXPECT_EQ(s.assignment(j)[0], last) << "job " << j;
          const bool same =
              std::equal(s.assignment(j), s.assignment(j) + 5, s.assignment(order.FirstJob));
          if (method == 5) {
            EXPECT_TRUE(same) << "job " << j;
          }
          machines_differ_within_an_order |= !same;
        }
      }
      // On each machine: orders by execution type, then by their place in
      // orders_of_type; jobs of an order in a block in job order.
      for (int m = 1; m <= p.N_Machine; ++m) {
        const std::vector<int> jobs = sequence_of(s, m);
        const auto key = [&p](int j) {
          const int o = p.Jobs[j].O_ID;
          return std::make_tuple(p.Orders[o].ExeType, o, j);
        };
        EXPECT_TRUE(
            std::is_sorted(jobs.begin(), jobs.end(), [&](int x, int y) { return key(x) < key(y); }))
            << "machine " << m << ": " << ::testing::PrintToString(jobs);
        if (method == 5) {
          for (size_t i = 0; i + 1 < jobs.size(); ++i) {
            if (p.Jobs[jobs[i]].O_ID == p.Jobs[jobs[i + 1]].O_ID) {
              EXPECT_EQ(jobs[i + 1], jobs[i] + 1) << "machine " << m;
            }
          }
        }
      }
      if (name == "busy_shop.sif" && method == 6) {
        EXPECT_TRUE(machines_differ_within_an_order);
      }
    }
  }
}

TEST(StartingMethods, OrdersOfTypeListDecidesTheBlockOrder) {
  // Three orders of one type on one machine; the type's list is reversed by
  // hand, so method 5 follows the list and not the order numbers.
  Problem p = read(one_step_shop({10, 20, 30}, 1));
  ASSERT_EQ(p.orders_of_type[1][0], 3);
  p.orders_of_type[1] = {3, 3, 1, 2};
  FixedClock clock(1);
  Random rng(clock);
  // Every order on machine 1 only.
  for (int o = 1; o <= 3; ++o) p.Orders[o].allowed_machines[1] = {1, 1};
  EXPECT_EQ(orders_on(build(5, p, rng), p, 1), std::vector<int>({3, 1, 2}));
  EXPECT_EQ(orders_on(build(6, p, rng), p, 1), std::vector<int>({3, 1, 2}));
}

TEST(StartingMethods, GenerateSchedulePublishesTheScheduleAndItsValues) {
  Problem p = read(kShop);
  ProcessState state;
  FixedClock clock(1);
  Random rng(clock);
  rng.seed(5);
  generate_starting_schedule(1, p, state, rng);
  ASSERT_TRUE(state.current_schedule.has_arrays());

  Random again(clock);
  SearchSolution s = build(1, p, again);
  s.evaluate(p);
  OBJ_VALUE expected;
  s.compute_objectives(expected, p);
  EXPECT_TRUE(tables_of(SearchSolution(state.current_schedule)) == tables_of(s));
  for (int i = 1; i <= kObjectives; ++i) {
    EXPECT_EQ(state.current_values.objective(i), expected.objective(i)) << i;
  }
  EXPECT_EQ(state.current_values.n_jobs, p.N_Job);
  EXPECT_EQ(p.J_A[1][0], s.assignment(1)[0]);
  // The schedule is timed.
  EXPECT_EQ(state.current_schedule.job_first[1]->EndT,
            s.timing(s.assignment(1)[1])[s.position_of(1)[1]].EndT);
}

// ------------------------------------------------- the Initializing window

const char* const kChanged = "The schedule has been changed. Would You like to save changes?";
const char* const kSaved = "The schedule has been saved succesfully!";
const char* const kDiscarded = "Discard changes and exit!";

enum class Current { kNone, kAtOpening, kLastGenerated };

struct Scenario {
  const char* name;
  bool schedule_at_opening;
  std::vector<int> generate;  // methods, in order
  int saves_after;            // "Save changes" presses after generating
  std::vector<bool> answers;
  std::vector<std::string> questions;
  std::vector<std::string> messages;
  Current current_after_close;
  bool first_run_after;
};

TEST(InitializingSession, KeepsOrDiscardsGeneratedSchedules) {
  const Scenario scenarios[] = {
      {"open and close with a schedule", true, {}, 0, {}, {}, {}, Current::kAtOpening, true},
      {"open and close without a schedule",
       false,
       {},
       0,
       {},
       {},
       {" No schedule created!"},
       Current::kNone,
       true},
      {"generate twice, No restores the opening schedule",
       true,
       {2, 5},
       0,
       {false},
       {kChanged},
       {kDiscarded},
       Current::kAtOpening,
       true},
      {"generate without a schedule before, No discards it",
       false,
       {2},
       0,
       {false},
       {kChanged},
       {kDiscarded},
       Current::kNone,
       true},
      {"generate twice, Yes keeps the last",
       true,
       {2, 5},
       0,
       {true},
       {kChanged},
       {kSaved},
       Current::kLastGenerated,
       false},
      {"save, then nothing to save and nothing asked",
       false,
       {2},
       2,
       {},
       {},
       {kSaved, "There is no changes in the schedule!"},
       Current::kLastGenerated,
       false},
      {"generate the same schedule again asks nothing",
       true,
       {2},
       0,
       {},
       {},
       {},
       Current::kAtOpening,
       true},
  };
  for (const Scenario& c : scenarios) {
    SCOPED_TRACE(c.name);
    Problem p = read(kShop);
    ProcessState state;
    ScriptedUi ui;
    FixedClock clock(1);
    Random rng(clock);
    rng.seed(3);
    if (c.schedule_at_opening) generate_starting_schedule(2, p, state, rng);
    const SCH opening = state.current_schedule;
    const OBJ_VALUE opening_values = state.current_values;

    InitializingSession session(p, state, ui);
    EXPECT_FALSE(session.save_enabled());
    EXPECT_EQ(session.saved_schedule() != nullptr, c.schedule_at_opening);
    for (int method : c.generate) {
      session.generate(method, rng);
      EXPECT_TRUE(session.save_enabled());
    }
    const SCH last_generated = state.current_schedule;
    for (int i = 0; i < c.saves_after; ++i) session.save_changes();
    if (c.saves_after > 0) {
      EXPECT_FALSE(session.save_enabled());
    }
    ui.answers.assign(c.answers.begin(), c.answers.end());
    session.close();

    EXPECT_EQ(ui.questions, c.questions);
    EXPECT_EQ(ui.messages, c.messages);
    EXPECT_EQ(session.saved_schedule(), nullptr);
    EXPECT_EQ(p.first_run, c.first_run_after);
    const SCH& now = state.current_schedule;
    switch (c.current_after_close) {
      case Current::kNone:
        EXPECT_FALSE(now.has_arrays());
        break;
      case Current::kAtOpening:
        EXPECT_EQ(same_sequences(now, opening), 1);
        for (int i = 1; i <= kObjectives; ++i) {
          EXPECT_EQ(state.current_values.objective(i), opening_values.objective(i)) << i;
        }
        break;
      case Current::kLastGenerated:
        EXPECT_EQ(same_sequences(now, last_generated), 1);
        break;
    }
  }
}

TEST(InitializingSession, NoAfterGeneratingTwiceRestoresTheOpeningScheduleNotTheFirstGenerated) {
  Problem p = read(kShop);
  ProcessState state;
  ScriptedUi ui;
  FixedClock clock(1);
  Random rng(clock);
  rng.seed(11);
  generate_starting_schedule(6, p, state, rng);
  const SCH opening = state.current_schedule;
  const OBJ_VALUE opening_values = state.current_values;

  InitializingSession session(p, state, ui);
  session.generate(1, rng);
  const SCH first = state.current_schedule;
  ASSERT_EQ(same_sequences(first, opening), 0);
  session.generate(6, rng);
  ASSERT_EQ(same_sequences(state.current_schedule, first), 0);
  ui.answers = {false};
  session.close();
  EXPECT_EQ(same_sequences(state.current_schedule, opening), 1);
  EXPECT_EQ(same_sequences(state.current_schedule, first), 0);
  // The restored schedule is timed again and its values published.
  SCH timed = opening;
  evaluate(timed, p);
  EXPECT_EQ(state.current_schedule.job_first[1]->EndT, timed.job_first[1]->EndT);
  for (int i = 1; i <= kObjectives; ++i) {
    EXPECT_EQ(state.current_values.objective(i), opening_values.objective(i)) << i;
  }
}

TEST(InitializingSession, SaveChangesMessages) {
  Problem p = read(kShop);
  ProcessState state;
  ScriptedUi ui;
  FixedClock clock(1);
  Random rng(clock);
  {
    InitializingSession session(p, state, ui);
    session.save_changes();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No schedule created!"});
    session.generate(1, rng);
    session.save_changes();
    EXPECT_EQ(ui.messages.back(), kSaved);
    EXPECT_FALSE(p.first_run);
    ASSERT_NE(session.saved_schedule(), nullptr);
    EXPECT_EQ(same_sequences(*session.saved_schedule(), state.current_schedule), 1);
    session.generate(1, rng);  // the same schedule again
    session.save_changes();
    EXPECT_EQ(ui.messages.back(), "There is no changes in the schedule!");
    session.generate(2, rng);
    ui.answers = {false};
    session.close();
    // No restores the schedule saved last, not the one current at opening.
    EXPECT_TRUE(state.current_schedule.has_arrays());
    EXPECT_EQ(ui.messages.back(), kDiscarded);
  }
  SearchSolution saved(state.current_schedule);
  Random again(clock);
  EXPECT_TRUE(tables_of(saved) == tables_of(build(1, p, again)));
}

}  // namespace
}  // namespace vema
