// Enumeration for small problems: its building blocks, the counts it logs,
// agreement with an independent brute force, stopping and the size guard.
#include "search/enumeration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "fixed_clock.h"
#include "scripted_ui.h"
#include "search/solution_invariants.h"
#include "search/starting_schedules.h"
#include "temp_dir.h"
#include "test_problems.h"
#include "text_files.h"

namespace vema {
namespace {

using testing::file_text;
using testing::FixedClock;
using testing::ScriptedUi;
using testing::solution_invariants;
using testing::TempDir;

// The problem of the input text as a run finds it right after loading.
Problem read(const std::string& text) {
  Problem p = testing::problem_from_text(text);
  p.first_run = true;
  p.input_file_name = "inline.sif";
  return p;
}

std::string machine_block(int id, int speed, int first_step, int last_step,
                          const std::string& calendar = "120|%|0|100000\n",
                          const std::string& setups = "140|%|0|0|0\n") {
  const auto fill = [id](std::string text) {
    for (size_t at; (at = text.find('%')) != std::string::npos;) {
      text.replace(at, 1, std::to_string(id));
    }
    return text;
  };
  const auto lines = [](const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
  };
  std::ostringstream out;
  out << "100|" << id << "|" << speed << "|" << first_step << "|" << last_step << "\n"
      << "110|" << id << "|" << lines(calendar) << "\n"
      << fill(calendar) << "130|" << id << "|" << lines(setups) << "\n"
      << fill(setups);
  return out.str();
}

// Four machines, one per step; order 1 has two jobs on machine 1, order 2
// three jobs on machine 2, order 3 one job on machine 3; machine 4 stays
// empty. There is one assignment and 2! x 3! = 12 sequence combinations.
std::string twelve_schedules_shop() {
  return "001|4|3|1\n" + machine_block(0, 5, 0, 0) + machine_block(1, 5, 1, 1) +
         machine_block(2, 5, 2, 2) + machine_block(3, 5, 3, 3) +
         "200|0|3|0|2|10|0|0|0\n210|0|1\n220|0|0|0|0\n"
         "200|1|5|0|3|10|1|1|0\n210|1|1\n220|1|1|1|1\n"
         "200|2|9|0|1|10|2|2|0\n210|2|1\n220|2|2|2|2\n";
}

// Machines 1, 2 of step 1 (machine 2 with a calendar gap), machine 3 of
// step 2, machine 4 of steps 1-2. Order 1 (two jobs, steps 1-2) may take
// route 17 on machine 1 or 2 and then 3, or route 18 on machine 4; order 2
// (two jobs, step 1) machine 1 or 2. Setups between the two setup types.
// 3 x 3 x 2 x 2 = 36 assignments.
std::string choice_shop() {
  return "001|4|2|2\n" +
         machine_block(0, 5, 0, 0, "120|%|0|100000\n", "140|%|0|1|3\n140|%|1|0|2\n") +
         machine_block(1, 2, 0, 0, "120|%|0|6\n120|%|10|100000\n", "140|%|0|1|1\n") +
         machine_block(2, 4, 1, 1) + machine_block(3, 3, 0, 1) +
         "200|0|12|0|2|8|0|1|0\n210|0|4\n220|0|0|0|0\n220|0|0|0|1\n220|0|1|1|2\n220|0|0|1|3\n"
         "200|1|6|1|2|6|0|0|1\n210|1|2\n220|1|0|0|0\n220|1|0|0|1\n";
}

// As choice_shop, plus an order whose only machine covers more steps than
// the order needs, so it has no feasible route.
std::string shop_with_unroutable_order() {
  return "001|5|3|2\n" + machine_block(0, 5, 0, 0, "120|%|0|100000\n", "140|%|0|1|3\n") +
         machine_block(1, 2, 0, 0) + machine_block(2, 4, 1, 1) + machine_block(3, 3, 0, 1) +
         machine_block(4, 3, 2, 3) +
         "200|0|12|0|2|8|0|1|0\n210|0|4\n220|0|0|0|0\n220|0|0|0|1\n220|0|1|1|2\n220|0|0|1|3\n"
         "200|1|6|1|2|6|0|0|1\n210|1|2\n220|1|0|0|0\n220|1|0|0|1\n"
         "200|2|20|0|1|5|2|2|0\n210|2|1\n220|2|2|3|4\n";
}

// `jobs` jobs of one order, each free to take any of `machines` machines of step 1.
std::string one_step_shop(int machines, int jobs) {
  std::string text = "001|" + std::to_string(machines) + "|1|1\n";
  for (int m = 0; m < machines; ++m) text += machine_block(m, 5, 0, 0);
  text +=
      "200|0|50|0|" + std::to_string(jobs) + "|10|0|0|0\n210|0|" + std::to_string(machines) + "\n";
  for (int m = 0; m < machines; ++m) text += "220|0|0|0|" + std::to_string(m) + "\n";
  return text;
}

Priorities only(int objective) {
  Priorities p;
  for (int i = 1; i <= kObjectives; ++i) p.objective[i] = i == objective ? 1 : 0;
  return p;
}

// ------------------------------------------------------- building blocks

TEST(EnumerationParts, PermutationSuccessorVisitsEveryPermutationInLexicographicOrder) {
  for (int n = 0; n <= 6; ++n) {
    SCOPED_TRACE(n);
    std::vector<int> p(static_cast<size_t>(n) + 1);
    std::iota(p.begin(), p.end(), 0);
    std::vector<int> reference(p.begin() + 1, p.end());
    uint64_t visited = 1;
    while (next_permutation_of(p.data(), n)) {
      ++visited;
      ASSERT_TRUE(std::next_permutation(reference.begin(), reference.end()));
      ASSERT_TRUE(std::equal(reference.begin(), reference.end(), p.begin() + 1));
    }
    EXPECT_EQ(visited, factorial(n));
    // The last permutation is left as it is.
    EXPECT_TRUE(std::is_sorted(p.begin() + 1, p.end(), std::greater<>()));
  }
}

TEST(EnumerationParts, FactorialIsExactInSixtyFourBits) {
  struct Case {
    int n;
    uint64_t factorial;
  };
  const Case cases[] = {
      {-1, 1},
      {0, 1},
      {1, 1},
      {2, 2},
      {3, 6},
      {12, 479001600},
      // 13! no longer fits 32 bits.
      {13, 6227020800ULL},
      {20, 2432902008176640000ULL},
      {21, std::numeric_limits<uint64_t>::max()},
  };
  for (const Case c : cases) EXPECT_EQ(factorial(c.n), c.factorial) << c.n;
}

TEST(EnumerationParts, CombinationsGoThroughRoutesWithTheLastStepFastest) {
  const Problem p = read(shop_with_unroutable_order());
  // Order 1's jobs: route 17 on machine 1 or 2, then 3; route 18 on machine 4.
  struct Case {
    int job;
    int64_t k;
    JobAssignment assignment;
  };
  const Case cases[] = {
      {1, 1, {17, 1, 3}}, {1, 2, {17, 2, 3}}, {1, 3, {18, 4}}, {2, 3, {18, 4}},
      {3, 1, {23, 1}},    {3, 2, {23, 2}},    {4, 2, {23, 2}}, {5, 1, {0}},
  };
  EXPECT_EQ(combination_count(p, 1), 3);
  EXPECT_EQ(combination_count(p, 3), 2);
  // No feasible route: one way, route 0.
  EXPECT_EQ(combination_count(p, 5), 1);

  SearchSolution s(p.N_Order, p.N_Job, p.N_Machine);
  FixedClock clock;
  Random rng(clock);
  build_starting_schedule(2, s, p, rng);
  for (const Case& c : cases) {
    SCOPED_TRACE("job " + std::to_string(c.job) + " k " + std::to_string(c.k));
    set_combination(s, p, c.job, c.k);
    const int* a = s.assignment(c.job);
    const int k = route_length(c.assignment[0]);
    EXPECT_TRUE(std::equal(a, a + k + 1, c.assignment.begin()));
    // Appended at the end of each of its machines.
    for (int l = 1; l <= k; ++l) EXPECT_EQ(s.position_of(c.job)[l], s.sequence(a[l])[0]);
    EXPECT_TRUE(solution_invariants(s, p));
  }
}

TEST(EnumerationParts, MachineChoicesOfSeveralStepsCountLikeDigits) {
  // Two machines for each of steps 1 and 2: route 17 gives 2 x 2 tuples, the
  // machine of step 2 varying fastest.
  const std::string text = "001|4|1|1\n" + machine_block(0, 5, 0, 0) + machine_block(1, 5, 0, 0) +
                           machine_block(2, 5, 1, 1) + machine_block(3, 5, 1, 1) +
                           "200|0|50|0|1|10|0|1|0\n210|0|4\n220|0|0|0|0\n220|0|0|0|1\n"
                           "220|0|1|1|2\n220|0|1|1|3\n";
  const Problem p = read(text);
  ASSERT_EQ(combination_count(p, 1), 4);
  SearchSolution s(p.N_Order, p.N_Job, p.N_Machine);
  const std::vector<std::vector<int>> expected = {{1, 3}, {1, 4}, {2, 3}, {2, 4}};
  for (int k = 1; k <= 4; ++k) {
    set_combination(s, p, 1, k);
    EXPECT_EQ(std::vector<int>(s.assignment(1) + 1, s.assignment(1) + 3), expected[k - 1]) << k;
  }
}

TEST(EnumerationSizeGuard, AdmitsTwentyMachinesAndTwentyJobs) {
  struct Case {
    int machines;
    int jobs;
    bool accepted;
  };
  for (const Case c : {Case{1, 1, true}, Case{20, 20, true}, Case{20, 21, false},
                       Case{21, 20, false}, Case{21, 1, false}}) {
    SCOPED_TRACE(std::to_string(c.machines) + " machines, " + std::to_string(c.jobs) + " jobs");
    Problem p;
    p.N_Machine = c.machines;
    p.N_Job = c.jobs;
    ScriptedUi ui;
    EXPECT_EQ(enumeration_size_accepted(p, ui), c.accepted);
    EXPECT_EQ(too_large_for_enumeration(p), !c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(ui.messages.empty());
    } else {
      EXPECT_EQ(ui.messages, std::vector<std::string>{
                                 "Too large problem for enumerating all cases!\n It may causes "
                                 "floating point overflow exception!\n Enumeration stopped!"});
    }
  }
}

// ------------------------------------------------------------- the run

class EnumerationRun : public ::testing::Test {
 protected:
  EnumerationRun() : rng(clock) {
    rng.set_fixed_seed(4242);
    state.log_file = dir.file("run_log.txt");
  }

  int run(Problem& p) { return run_enumeration(p, state, ui, rng, &summary); }
  std::string log() const { return file_text(state.log_file); }

  TempDir dir;
  FixedClock clock;
  Random rng;
  ProcessState state;
  ScriptedUi ui;
  EnumerationSummary summary;
};

TEST_F(EnumerationRun, TwelveSequencesOfOneAssignmentAndTheLogWordedExactly) {
  Problem p = read(twelve_schedules_shop());
  std::vector<RunStatus> finished;
  ui.on_run_progress = [&](RunEvent e, const RunStatus& s) {
    if (e == RunEvent::kStarted) {
      EXPECT_FALSE(s.show_objectives);
      EXPECT_FALSE(s.show_controls);
    }
    if (e == RunEvent::kFinished) finished.push_back(s);
  };
  ASSERT_EQ(run(p), 1);
  EXPECT_EQ(summary.evaluated, 12u);
  EXPECT_EQ(summary.assignments, 1u);
  EXPECT_EQ(summary.total_assignments, 1.0);
  EXPECT_EQ(ui.events_processed, 12);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_FALSE(p.first_run);
  ASSERT_EQ(finished.size(), 1u);
  EXPECT_EQ(finished[0].steps_text, "1");
  EXPECT_EQ(finished[0].step, 1);
  EXPECT_EQ(finished[0].history_count, 1);  // the charts stay empty
  EXPECT_EQ(finished[0].log_text, log());

  const OBJ_VALUE& v = state.current_values;
  std::ostringstream expected;
  expected << " Enumeration for small size problems\n"
           << "Input file :inline.sif\n"
           << "Machine: 4 Orders: 3 Jobs:6\n"
           << "Assignment permutation for jobs:\n"
           << " 1. job-->1\n 2. job-->1\n 3. job-->1\n 4. job-->1\n 5. job-->1\n 6. job-->1\n"
           << "\n\n"
           << "\n"
           << "Priority of objective funciton  0 : 7\n"
           << "Priority of objective funciton  1 : 8\n"
           << "Priority of objective funciton  2 : 10\n"
           << "Priority of objective funciton  3 : 10\n"
           << "Priority of objective funciton  4 : 7\n"
           << "Priority of objective funciton  5 : 5\n"
           << "\n\n"
           << " Elapsed time: 0 (sec)\n"
           << "\n"
           << "Number of evaluated schedule: 12\n"
           << "best solution: " << summary.best_solution << "\n"
           << "number of optimal solution: " << summary.optimal_count << "\n"
           << "\n"
           << "ObjFunc:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\n"
           << '\t' << v.n_of_Late_Orders << '\t' << v.n_of_Late_Jobs << '\t' << v.sumTardiness
           << '\t' << v.max_Tardiness << '\t' << v.n_of_Setup << '\t' << v.Completion_Time
           << "\n\n\n"
           << "End of file.";
  EXPECT_EQ(log(), expected.str());
  // Every ordering of this shop has the same values, so the random start is
  // never beaten and all twelve equal it.
  EXPECT_EQ(summary.best_solution, 0u);
  EXPECT_EQ(summary.optimal_count, 12u);
  // The second job of order 1 ends at 4, after CET 3; the third of order 2 at 6, after CET 5.
  EXPECT_EQ(v.n_of_Late_Jobs, 2);
}

// A brute force over every assignment and every machine ordering, built
// directly from assignment arrays, independent of the enumeration's order.
struct BruteForce {
  uint64_t schedules = 0;
  std::vector<OBJ_VALUE> values;
};

BruteForce brute_force(Problem& p) {
  BruteForce out;
  const int J = p.N_Job;
  const int M = p.N_Machine;
  // Every (route, machines) of every job.
  std::vector<std::vector<JobAssignment>> choices(static_cast<size_t>(J) + 1);
  for (int j = 1; j <= J; ++j) {
    const ORDER& order = p.Orders[p.Jobs[j].O_ID];
    for (int i = 1; i <= order.R_feasible[0]; ++i) {
      const int route = order.R_feasible[i];
      const int k = route_length(route);
      std::vector<JobAssignment> partial = {JobAssignment{route}};
      for (int l = 1; l <= k; ++l) {
        std::vector<JobAssignment> longer;
        const CountedList& allowed = order.allowed_machines[R_MG_ex[route][l]];
        for (const JobAssignment& a : partial) {
          for (int e = 1; e <= allowed[0]; ++e) {
            JobAssignment b = a;
            b[l] = allowed[e];
            longer.push_back(b);
          }
        }
        partial = longer;
      }
      choices[j].insert(choices[j].end(), partial.begin(), partial.end());
    }
    if (choices[j].empty()) choices[j].push_back(JobAssignment{});
  }
  std::vector<JobAssignment> J_A(static_cast<size_t>(J) + 1);
  std::vector<CountedList> M_wload(static_cast<size_t>(M) + 1,
                                   CountedList(static_cast<size_t>(J) + 1, 0));
  std::vector<std::vector<int>> on(static_cast<size_t>(M) + 1);

  std::function<void(int)> order_machine = [&](int m) {
    if (m > M) {
      SearchSolution s(p.N_Order, J, M, J_A, M_wload);
      s.evaluate(p);
      OBJ_VALUE v;
      s.compute_objectives(v, p);
      out.values.push_back(v);
      ++out.schedules;
      return;
    }
    std::vector<int> jobs = on[m];
    std::sort(jobs.begin(), jobs.end());
    do {
      M_wload[m][0] = static_cast<int>(jobs.size());
      std::copy(jobs.begin(), jobs.end(), M_wload[m].begin() + 1);
      order_machine(m + 1);
    } while (std::next_permutation(jobs.begin(), jobs.end()));
  };
  std::function<void(int)> assign_job = [&](int j) {
    if (j > J) {
      for (int m = 1; m <= M; ++m) on[m].clear();
      for (int i = 1; i <= J; ++i) {
        for (int l = 1; l <= route_length(J_A[i][0]); ++l) on[J_A[i][l]].push_back(i);
      }
      order_machine(1);
      return;
    }
    for (const JobAssignment& a : choices[j]) {
      J_A[j] = a;
      assign_job(j + 1);
    }
  };
  assign_job(1);
  return out;
}

TEST_F(EnumerationRun, AgreesWithABruteForceUnderSingleObjectivePriorities) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case shops[] = {{"choice shop", choice_shop()},
                        {"unroutable order", shop_with_unroutable_order()},
                        {"twelve", twelve_schedules_shop()}};
  for (const Case& shop : shops) {
    for (int objective : {1, 2, 3, 4, 5, 6}) {
      SCOPED_TRACE(std::string(shop.name) + ", objective " + std::to_string(objective));
      Problem p = read(shop.text);
      state = ProcessState{};
      state.log_file = dir.file("run_log.txt");
      state.priorities = only(objective);
      ui = ScriptedUi{};
      ASSERT_EQ(run(p), 1);

      Problem q = read(shop.text);
      const BruteForce brute = brute_force(q);
      EXPECT_EQ(summary.evaluated, brute.schedules);
      int best = std::numeric_limits<int>::max();
      for (const OBJ_VALUE& v : brute.values) best = std::min(best, v.objective(objective));
      const auto optimal = static_cast<uint64_t>(
          std::count_if(brute.values.begin(), brute.values.end(),
                        [&](const OBJ_VALUE& v) { return v.objective(objective) == best; }));
      EXPECT_EQ(state.current_values.objective(objective), best);
      EXPECT_EQ(summary.optimal_count, optimal);
      EXPECT_LE(summary.best_solution, summary.evaluated);
      // The published schedule is a complete one of the problem.
      EXPECT_TRUE(solution_invariants(SearchSolution(state.current_schedule), p));
    }
  }
}

TEST_F(EnumerationRun, CountsAssignmentsAndLogsCombinationsPerJob) {
  Problem p = read(choice_shop());
  int steps_shown = 0;
  ui.on_run_progress = [&](RunEvent e, const RunStatus& s) {
    if (e != RunEvent::kStep) return;
    ++steps_shown;
    EXPECT_EQ(s.step, steps_shown);
    EXPECT_EQ(s.steps_text, "36");
  };
  ASSERT_EQ(run(p), 1);
  EXPECT_EQ(steps_shown, 36);
  EXPECT_EQ(summary.assignments, 36u);
  EXPECT_EQ(summary.total_assignments, 36.0);
  const std::string text = log();
  EXPECT_NE(text.find("Assignment permutation for jobs:\n 1. job-->3\n 2. job-->3\n 3. job-->2\n"
                      " 4. job-->2\n\n\n\n"),
            std::string::npos);
}

// A search that never replaces the start publishes the start itself.
TEST_F(EnumerationRun, BestSolutionStaysZeroWhenTheStartIsNeverBeaten) {
  struct Case {
    const char* name;
    Priorities priorities;
    bool everything_ties;
  };
  Priorities none;
  none.objective.fill(0);
  for (const Case& c :
       {Case{"all priorities 0", none, true}, Case{"late jobs only", only(2), false},
        Case{"completion time only", only(6), false}}) {
    SCOPED_TRACE(c.name);
    Problem p = read(choice_shop());
    state = ProcessState{};
    state.log_file = dir.file("run_log.txt");
    state.priorities = c.priorities;
    ui = ScriptedUi{};
    ASSERT_EQ(run(p), 1);
    const EnumerationSummary first = summary;
    const SCH found = state.current_schedule;

    // Again, starting from the schedule just found.
    ui.answers = {true};
    ASSERT_EQ(run(p), 1);
    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"Would You like to reload the last Sch values?"});
    EXPECT_EQ(summary.best_solution, 0u);
    EXPECT_EQ(same_sequences(state.current_schedule, found), 1);
    EXPECT_EQ(summary.evaluated, first.evaluated);
    if (c.everything_ties) {
      // Everything ties: nothing ever beats the random start either.
      EXPECT_EQ(first.best_solution, 0u);
      EXPECT_EQ(summary.optimal_count, summary.evaluated);
    }
    EXPECT_NE(log().find("\nbest solution: 0\n"), std::string::npos);
  }
}

TEST_F(EnumerationRun, StopIsAskedBeforeTheNextSchedule) {
  struct Case {
    bool answer;
    uint64_t evaluated;
  };
  for (const Case c : {Case{true, 5}, Case{false, 12}}) {
    SCOPED_TRACE(c.answer ? "Yes" : "No");
    Problem p = read(twelve_schedules_shop());
    state = ProcessState{};
    state.log_file = dir.file("run_log.txt");
    ui = ScriptedUi{};
    ui.answers = {c.answer};
    ui.on_process_events = [this] {
      if (ui.events_processed == 5) state.stop_requested = true;
    };
    ASSERT_EQ(run(p), 1);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Do You really want to stop the process?"});
    EXPECT_EQ(summary.evaluated, c.evaluated);
    EXPECT_EQ(summary.stopped, c.answer);
    EXPECT_EQ(ui.messages,
              c.answer ? std::vector<std::string>{"Process stopped!"} : std::vector<std::string>{});
    EXPECT_EQ(std::count(ui.run_events.begin(), ui.run_events.end(), RunEvent::kResumed),
              c.answer ? 0 : 1);
    EXPECT_FALSE(state.stop_requested && !c.answer);
    // Complete log and a published schedule either way.
    const std::string text = log();
    EXPECT_NE(text.find("Number of evaluated schedule: " + std::to_string(c.evaluated) + "\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("\n\n\nEnd of file."));
    EXPECT_TRUE(state.current_schedule.has_arrays());
  }
}

TEST_F(EnumerationRun, AProblemThatCouldNeverFinishRunsUntilStopped) {
  // Twenty jobs on two machines: 2^20 assignments, up to 20! orderings each.
  Problem p = read(one_step_shop(2, 20));
  ScriptedUi guard_ui;
  ASSERT_TRUE(enumeration_size_accepted(p, guard_ui));
  ui.answers = {true};
  ui.on_process_events = [this] {
    if (ui.events_processed == 3) state.stop_requested = true;
  };
  ASSERT_EQ(run(p), 1);
  EXPECT_EQ(summary.evaluated, 3u);
  EXPECT_EQ(summary.total_assignments, 1048576.0);
  EXPECT_EQ(state.status.steps_text, "1.04858e+06");
  EXPECT_NE(log().find(" 20. job-->2\n"), std::string::npos);
}

TEST_F(EnumerationRun, LogThatCannotBeOpenedEndsTheRunBeforeAnything) {
  Problem p = read(twelve_schedules_shop());
  state.log_file = dir.file("no_such_folder/run_log.txt");
  EXPECT_EQ(run(p), -1);
  EXPECT_EQ(ui.run_events, (std::vector<RunEvent>{RunEvent::kStarted, RunEvent::kLogNotOpened}));
  EXPECT_FALSE(state.current_schedule.has_arrays());
  EXPECT_TRUE(p.first_run);
  EXPECT_EQ(ui.events_processed, 0);
}

}  // namespace
}  // namespace vema
