// The tabu search runs: the interactive run, its automatic stop, the quiet
// search and the batch run, observed through their logs, the user interface
// and what they publish.
#include "search/tabu_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "fixed_clock.h"
#include "log_listings.h"
#include "problem/input_reader.h"
#include "schedule/timing.h"
#include "scripted_ui.h"
#include "search/process_state.h"
#include "search/run_log.h"
#include "search/solution_invariants.h"
#include "temp_dir.h"
#include "test_problems.h"
#include "text_files.h"

namespace vema {
namespace {

using testing::file_text;
using testing::FixedClock;
using testing::kClockStart;
using testing::ScriptedUi;
using testing::split;
using testing::TempDir;
using testing::values_listing;

// The number after `label` on the log line that starts with it.
int log_number(const std::string& log, const std::string& label) {
  const size_t at = log.find("\n" + label);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no line " << label;
    return -1;
  }
  return std::atoi(log.c_str() + at + 1 + label.size());
}

int best_step_of(const std::string& log) { return log_number(log, "best step: "); }
int best_loop_of(const std::string& log) {
  const size_t at = log.find("best loop: ");
  return at == std::string::npos ? -1 : std::atoi(log.c_str() + at + 11);
}
int evaluated_of(const std::string& log) {
  return log_number(log, "Number of evaluated schedule: ");
}
int tabu_size_of(const std::string& log) { return log_number(log, " size of TabuList: "); }

// Sets an environment variable for the lifetime of the guard.
class EnvGuard {
 public:
  EnvGuard(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~EnvGuard() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

constexpr uint64_t kSeed = 12345;

using RunFunction = int (*)(Problem&, ProcessState&, UserInterface&, Random&);

// One loaded problem with its process state, interface, clock and generator,
// ready for a run whose log goes into a scratch folder.
class RunTest : public ::testing::Test {
 protected:
  RunTest() : rng(clock) {
    load("busy_shop.sif");
    rng.set_fixed_seed(kSeed);
    state.log_file = dir.file("run_log.txt");
    state.run.steps = 30;
    state.run.loops_per_step = 20;
  }

  void load(const std::string& example) { load_into(problem, example); }

  static void load_into(Problem& p, const std::string& example) {
    const std::string path = testing::example_path(example);
    std::ifstream in(path);
    p = Problem{};
    ASSERT_TRUE(read_input(in, p));
    p.first_run = true;
    p.input_file_name = path;
  }

  void load_text(const std::string& text) {
    std::istringstream in(text);
    problem = Problem{};
    ASSERT_TRUE(read_input(in, problem));
    problem.first_run = true;
    problem.input_file_name = "inline.sif";
  }

  std::string log() const { return file_text(state.log_file); }

  // The values of the random start every first run begins with.
  OBJ_VALUE start_values() {
    FixedClock c;
    Random r(c);
    r.set_fixed_seed(kSeed);
    SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
    s.random_assignment(problem, r);
    s.evaluate(problem);
    OBJ_VALUE v;
    s.compute_objectives(v, problem);
    return v;
  }

  // The published values in listing form (the count of scheduled jobs is not
  // published; every job of the examples has a route).
  OBJ_VALUE published_values() const {
    OBJ_VALUE v = state.current_values;
    v.n_of_Scheduled_Jobs = problem.N_Job;
    return v;
  }

  // Records the status at the end of the run.
  void keep_final_status() {
    ui.on_run_progress = [this](RunEvent e, const RunStatus& s) {
      if (e == RunEvent::kFinished) final_status = s;
    };
  }

  // A hook run at the processing of events of the given step.
  void at_step(int step, std::function<void()> action) {
    ui.on_process_events = [this, step, action] {
      if (ui.events_processed == step) action();
    };
  }

  TempDir dir;
  FixedClock clock;
  Random rng;
  Problem problem;
  ProcessState state;
  ScriptedUi ui;
  RunStatus final_status;
};

// One machine of step 1 and one order of two equal jobs: the only schedules
// are the two job orders on that machine.
const char* const kTwoJobShop =
    "001|1|1|1\n100|0|5|0|0\n110|0|1\n120|0|0|100000\n130|0|1\n140|0|0|0|0\n"
    "200|0|100000|0|2|10|0|0|0\n210|0|1\n220|0|0|0|0\n";

// Two machines of step 1 and one job: every machine holds fewer than two jobs.
const char* const kTwoMachinesOneJob =
    "001|2|1|1\n"
    "100|0|5|0|0\n110|0|1\n120|0|0|100000\n130|0|1\n140|0|0|0|0\n"
    "100|1|5|0|0\n110|1|1\n120|1|0|100000\n130|1|1\n140|1|0|0|0\n"
    "200|0|100000|0|1|10|0|0|0\n210|0|2\n220|0|0|0|0\n220|0|0|0|1\n";

void only_operator(ProcessState& state, int k) {
  for (int i = 1; i <= operator_count; ++i) state.operator_priority[i] = i == k ? 1 : 0;
}

void expect_same_objectives(const OBJ_VALUE& a, const OBJ_VALUE& b) {
  for (int i = 1; i <= kObjectives; ++i)
    EXPECT_EQ(a.objective(i), b.objective(i)) << "objective " << i;
}

void zero_objective_priorities(ProcessState& state) {
  for (int i = 1; i <= kObjectives; ++i) state.priorities.objective[i] = 0;
}

// ------------------------------------------------------------ the run log

TEST_F(RunTest, LogHeadAndTailAreWordedExactly) {
  state.run.steps = 6;
  ui.on_process_events = [this] { clock.advance(7); };
  const OBJ_VALUE initial = start_values();
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);

  const std::string text = log();
  const int evaluated = evaluated_of(text);
  const int best_step = best_step_of(text);
  const int best_loop = best_loop_of(text);
  EXPECT_GT(evaluated, 1);
  EXPECT_GE(best_step, 0);
  EXPECT_LE(best_step, 6);
  EXPECT_GE(best_loop, 1);
  EXPECT_LE(best_loop, 20);
  std::ostringstream expected;
  expected << "Tabu Search with _S class and do_pi.\n"
           << "Input file :" << problem.input_file_name << "\n"
           << "Machine: 11 Orders: 12 Jobs:46\n"
           << "First running: Initialize with random values\n"
           << "\n Objective values of the initialized schedule:\n"
           << values_listing(initial) << "\n"
           << "\n Elapsed time: 42 (sec)\n\n"
           << "Number of evaluated schedule: " << evaluated << "\n"
           << "best step: " << best_step << "best loop: " << best_loop << "\n"
           << "\n"
           << values_listing(published_values()) << "\n\n"
           << " size of TabuList: " << std::min(evaluated - 1, 150) << "\n"
           << "End of file.";
  EXPECT_EQ(text, expected.str());
}

TEST_F(RunTest, ElapsedTimeFormsInTheRunAndBatchLogs) {
  struct Case {
    int64_t seconds;
    const char* tabu_line;
    const char* batch_time;
  };
  const Case cases[] = {
      {0, " Elapsed time: 0 (sec)", "0s"},
      {35, " Elapsed time: 35 (sec)", "35s"},
      {59, " Elapsed time: 59 (sec)", "59s"},
      {60, " Elapsed time: 1 (min) and 0 (sec)", "1min 0s"},
      {61, " Elapsed time: 1 (min) and 1 (sec)", "1min 1s"},
      {3725, " Elapsed time: 62 (min) and 5 (sec)", "62min 5s"},
  };
  state.run.steps = 1;
  state.run.loops_per_step = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    ui.on_process_events = [this, &c] { clock.advance(c.seconds); };
    ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
    EXPECT_NE(log().find(std::string("\n\n") + c.tabu_line + "\n\n"), std::string::npos) << log();
    ASSERT_EQ(run_batch(problem, state, ui, rng), 1);
    EXPECT_NE(log().find(std::string("\t") + c.batch_time + "\t["), std::string::npos) << log();
  }
}

TEST_F(RunTest, SameSeedAndClockGiveTheSameLogAndSchedule) {
  struct Case {
    const char* name;
    RunFunction run;
  };
  const Case cases[] = {
      {"tabu", run_tabu_search}, {"autostop", run_autostop}, {"batch", run_batch}};
  state.run.max_steps_without_improvement = 5;
  clock.set_step(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string logs[2];
    std::vector<JobAssignment> assignments[2];
    for (int round = 0; round < 2; ++round) {
      load("busy_shop.sif");
      ui = ScriptedUi{};
      clock.set_seconds(kClockStart);
      ASSERT_EQ(c.run(problem, state, ui, rng), 1);
      logs[round] = log();
      assignments[round] = problem.J_A;
    }
    EXPECT_EQ(logs[0], logs[1]);
    EXPECT_EQ(assignments[0], assignments[1]);
  }
}

TEST_F(RunTest, UnopenableLogMeansNoRunAndNothingPublished) {
  struct Case {
    const char* name;
    RunFunction run;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"tabu", run_tabu_search, {}},
      {"autostop", run_autostop, {}},
      {"batch", run_batch, {"File opening error! Process stopped."}},
  };
  EnvGuard xdg("XDG_DATA_HOME", "/proc/nonexistent");
  EnvGuard home("HOME", "/proc/nonexistent");
  state.log_file.clear();
  state.program_folder = dir.file("no such folder");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui = ScriptedUi{};
    const std::vector<JobAssignment> J_A = problem.J_A;
    const std::vector<CountedList> M_wload = problem.M_wload;
    EXPECT_EQ(c.run(problem, state, ui, rng), -1);
    EXPECT_EQ(ui.messages, c.messages);
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(problem.J_A, J_A);
    EXPECT_EQ(problem.M_wload, M_wload);
    EXPECT_FALSE(state.current_schedule.has_arrays());
    EXPECT_EQ(state.current_values.n_jobs, 0);
    EXPECT_TRUE(problem.first_run);
    EXPECT_EQ(ui.events_processed, 0);
  }
}

TEST_F(RunTest, UnwritableProgramFolderSendsTheLogToTheUserFolderAndSaysSoOnce) {
  EnvGuard xdg("XDG_DATA_HOME", dir.file("data"));
  state.log_file.clear();
  state.program_folder = dir.file("no such folder");
  state.run.steps = 2;
  const std::string expected_path = dir.file("data") + "/vema-scheduler/__last_run__.txt";
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].find(expected_path), std::string::npos) << ui.messages[0];
  EXPECT_EQ(file_text(expected_path).rfind("Tabu Search with _S class and do_pi.\n", 0), 0u);
  ui.answers = {false};
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  EXPECT_EQ(ui.messages.size(), 1u) << "told once";
}

// ------------------------------------------------------------- the start

TEST_F(RunTest, OnlyRunsAfterTheFirstAskToReloadTheLastSchedule) {
  state.run.steps = 5;
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_NE(log().find("\nFirst running: Initialize with random values\n\n"), std::string::npos);
  EXPECT_FALSE(problem.first_run);
  const OBJ_VALUE first_best = published_values();

  ui.answers = {true};
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  EXPECT_EQ(ui.questions,
            std::vector<std::string>{"Would You like to reload the last Sch values?"});
  EXPECT_NE(log().find("\n\nInitialize with last schedule!\n\n Objective values of the "
                       "initialized schedule:\n" +
                       values_listing(first_best)),
            std::string::npos)
      << "the second run starts from the published schedule\n"
      << log();

  ui.answers = {false};
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  EXPECT_EQ(ui.questions.size(), 2u);
  EXPECT_NE(log().find("\nInitialize with random values!\n\n"), std::string::npos);
}

// ------------------------------------------------------------- the steps

TEST_F(RunTest, OneStepTriesEveryNeighbourAndPublishesTheBetterOfStartAndStep) {
  // Capacity 0 keeps the list empty, so no neighbour is ever tabu and the
  // number of evaluated schedules shows whether the step was left early.
  state.run.steps = 1;
  state.run.loops_per_step = 40;
  state.run.tabu_size = 0;
  only_operator(state, 5);
  keep_final_status();
  const OBJ_VALUE initial = start_values();
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  const std::string text = log();
  EXPECT_EQ(evaluated_of(text), 41) << "step 1 is never left early";
  EXPECT_EQ(tabu_size_of(text), 0);
  ASSERT_EQ(final_status.history_count, 2);
  const OBJ_VALUE& step_best = final_status.history[1];
  const bool step_wins = not_worse_than(step_best, initial, state.priorities);
  EXPECT_EQ(best_step_of(text), step_wins ? 1 : 0);
  expect_same_objectives(state.current_values, step_wins ? step_best : initial);
  expect_same_objectives(state.current_values, final_status.best_values);
}

TEST_F(RunTest, WithAllObjectivePrioritiesZeroEveryStepTakesItsFirstNeighbourAndImproves) {
  state.run.steps = 7;
  zero_objective_priorities(state);
  keep_final_status();
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  const std::string text = log();
  EXPECT_NE(text.find("\nbest step: 7best loop: 1\n"), std::string::npos) << text;
  EXPECT_EQ(final_status.counters.total_count[0], 7);
  EXPECT_EQ(final_status.counters.improve_count[0], 7);
  EXPECT_EQ(final_status.improvement_count, 8);
  ASSERT_EQ(final_status.history_count, 8);
  // The published schedule is the one whose values the run kept as best.
  expect_same_objectives(state.current_values, final_status.history[7]);
  expect_same_objectives(state.current_values, final_status.best_values);
}

TEST_F(RunTest, StepsWhoseNeighboursAreAllTabuRepeatTheLastStep) {
  load_text(kTwoJobShop);
  state.run.steps = 6;
  state.run.loops_per_step = 10;
  only_operator(state, 5);
  keep_final_status();
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  const std::string text = log();
  // Both job orders are generated in step 1; from step 2 on all are tabu.
  EXPECT_EQ(evaluated_of(text), 3);
  EXPECT_EQ(tabu_size_of(text), 2);
  EXPECT_EQ(final_status.counters.total_count[0], 6);
  EXPECT_EQ(final_status.counters.total_count[5], 6);
  // The two orders tie, so every repeated step counts as an improvement.
  EXPECT_EQ(final_status.counters.improve_count[5], 6);
  EXPECT_EQ(best_step_of(text), 6);
  ASSERT_EQ(final_status.history_count, 7);
  for (int h = 2; h <= 6; ++h) {
    EXPECT_TRUE(equal_to(final_status.history[static_cast<size_t>(h)], final_status.history[1],
                         Priorities{}));
  }
}

TEST_F(RunTest, DroppedN3NeighboursAreNeitherTabuNorEvaluated) {
  load_text(kTwoMachinesOneJob);
  state.run.steps = 4;
  only_operator(state, 3);
  keep_final_status();
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  const std::string text = log();
  EXPECT_EQ(evaluated_of(text), 1);
  EXPECT_EQ(tabu_size_of(text), 0);
  EXPECT_EQ(final_status.counters.total_count[3], 0);
}

TEST_F(RunTest, StopRequestIsConfirmedAtTheNextStep) {
  struct Case {
    bool answer;
    int steps_run;
  };
  for (const Case c : {Case{true, 3}, Case{false, 10}}) {
    SCOPED_TRACE(c.answer ? "Yes" : "No");
    load("busy_shop.sif");
    ui = ScriptedUi{};
    state = ProcessState{};
    state.log_file = dir.file("run_log.txt");
    state.run.steps = 10;
    state.run.loops_per_step = 10;
    ui.answers = {c.answer};
    at_step(3, [this] { state.stop_requested = true; });
    keep_final_status();
    ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Do You really want to stop the process?"});
    EXPECT_EQ(ui.events_processed, c.steps_run);
    EXPECT_EQ(final_status.history_count, c.steps_run + 1);
    EXPECT_EQ(ui.messages,
              c.answer ? std::vector<std::string>{"Process stopped!"} : std::vector<std::string>{});
    EXPECT_EQ(std::count(ui.run_events.begin(), ui.run_events.end(), RunEvent::kResumed),
              c.answer ? 0 : 1);
    if (!c.answer) {
      EXPECT_FALSE(state.stop_requested);
    }
    // The log is complete and the best schedule is published either way.
    const std::string text = log();
    EXPECT_NE(text.find("\n size of TabuList: "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 13), "\nEnd of file.");
    EXPECT_NE(text.find(values_listing(published_values()) + "\n\n size of TabuList"),
              std::string::npos);
    ASSERT_TRUE(state.current_schedule.has_arrays());
    SearchSolution published(problem.N_Order, problem.N_Job, problem.N_Machine, problem.J_A,
                             problem.M_wload);
    EXPECT_TRUE(testing::solution_invariants(published, problem));
    EXPECT_FALSE(problem.first_run);
  }
}

// Regression: with one removal per addition a lowered capacity was never reached.
TEST_F(RunTest, LoweringTheTabuSizeShrinksTheListByOnePerAddition) {
  // Objective priorities 0: no step is left early, so additions are easy to
  // count from the evaluated schedules. The list reaches 150 in two steps.
  zero_objective_priorities(state);
  only_operator(state, 5);
  state.run.loops_per_step = 100;
  struct Outcome {
    int evaluated, size;
  };
  auto run = [this](int steps, int size, int new_size) {
    load("busy_shop.sif");
    ui = ScriptedUi{};
    state.run.steps = steps;
    state.run.tabu_size = size;
    at_step(3, [this, new_size] { state.run.tabu_size = new_size; });
    EXPECT_EQ(run_tabu_search(problem, state, ui, rng), 1);
    const std::string text = log();
    return Outcome{evaluated_of(text), tabu_size_of(text)};
  };
  const Outcome two = run(2, 150, 150);
  ASSERT_EQ(two.size, 150);
  const Outcome lowered = run(3, 150, 10);
  const int added = lowered.evaluated - two.evaluated;
  ASSERT_GT(added, 50);
  EXPECT_EQ(lowered.size, 150 - added);
  EXPECT_EQ(run(4, 150, 10).size, 10) << "down to the new capacity and no further";

  const Outcome small = run(2, 10, 10);
  ASSERT_EQ(small.size, 10);
  const Outcome raised = run(3, 10, 150);
  EXPECT_EQ(raised.size, std::min(150, 10 + raised.evaluated - small.evaluated));
}

TEST_F(RunTest, RaisingTheLoopsLengthensTheStepsFromTheNextOne) {
  // Objective priorities 0 and capacity 0: each step evaluates all its loops.
  zero_objective_priorities(state);
  only_operator(state, 5);
  state.run.tabu_size = 0;
  state.run.steps = 4;
  state.run.loops_per_step = 10;
  at_step(3, [this] { state.run.loops_per_step = 25; });
  ASSERT_EQ(run_tabu_search(problem, state, ui, rng), 1);
  EXPECT_EQ(evaluated_of(log()), 1 + 10 + 10 + 25 + 25);
}

// ------------------------------------------------------------- autostop

TEST_F(RunTest, AutostopEndsAfterMaxStepsWithoutImprovement) {
  zero_objective_priorities(state);  // ties only: nothing ever improves
  state.run.steps = 50;
  state.run.max_steps_without_improvement = 1;
  ASSERT_EQ(run_autostop(problem, state, ui, rng), 1);
  EXPECT_EQ(ui.events_processed, 2);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"AutoStop: The result have not been improved!"});
  const std::string text = log();
  EXPECT_EQ(text.rfind("Tabu Search with AUTOSTOP.\n", 0), 0u);
  EXPECT_EQ(best_step_of(text), 0);
  EXPECT_EQ(text.substr(text.size() - 12), "End of file.");
}

TEST_F(RunTest, AutostopCountsFromTheLastImprovement) {
  state.run.steps = 2000;
  state.run.max_steps_without_improvement = 3;
  ASSERT_EQ(run_autostop(problem, state, ui, rng), 1);
  const int best_step = best_step_of(log());
  EXPECT_GT(best_step, 0) << "a random start of the example improves";
  EXPECT_EQ(ui.events_processed, best_step + 3 + 1);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"AutoStop: The result have not been improved!"});
}

// ------------------------------------------------------- the quiet search

class OneSearchTest : public RunTest {
 protected:
  SearchSolution start() {
    Random r(clock);
    r.set_fixed_seed(kSeed);
    SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
    s.random_assignment(problem, r);
    return s;
  }
  OneSearchResult search(SearchSolution& s, int steps, int loops, int min_loop, int max_less) {
    return run_one_search(steps, loops, min_loop, max_less, s, problem, state, ui, rng);
  }
};

TEST_F(OneSearchTest, MinLoopOneMayLeaveTheFirstStepEarlyMinLoopFiveMayNot) {
  SearchSolution a = start();
  const OneSearchResult left = search(a, 1, 100, 1, 20);
  ASSERT_LT(left.best_loop, 50) << "a random start improves within the first neighbours";
  // Having left at best_loop, a shorter step reaches the same result.
  SearchSolution b = start();
  const OneSearchResult shorter = search(b, 1, 50, 1, 20);
  EXPECT_EQ(shorter.best_loop, left.best_loop);
  EXPECT_EQ(testing::tables_of(a), testing::tables_of(b));
  // With min_loop 5 the same neighbours come, but the step goes on past them.
  SearchSolution c = start();
  const OneSearchResult stayed = search(c, 1, 100, 5, 20);
  EXPECT_GT(stayed.best_loop, left.best_loop);
  OBJ_VALUE va, vc;
  a.compute_objectives(va, problem);
  c.compute_objectives(vc, problem);
  EXPECT_TRUE(not_worse_than(vc, va, state.priorities));
}

TEST_F(OneSearchTest, EndsWithoutImprovementAndLeavesTheBestEvaluated) {
  zero_objective_priorities(state);
  SearchSolution s = start();
  ui.on_process_events = [this] { clock.advance(2); };
  const OneSearchResult r = search(s, 100, 10, 10, 4);
  EXPECT_EQ(ui.events_processed, 5);
  EXPECT_EQ(r.best_step, 0);
  EXPECT_EQ(r.elapsed, 10.0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(testing::solution_invariants(s, problem));

  state.priorities = Priorities{};
  SearchSolution t = start();
  search(t, 20, 10, 10, 20);
  OBJ_VALUE left, again;
  t.compute_objectives(left, problem);
  t.evaluate(problem);
  t.compute_objectives(again, problem);
  for (int i = 1; i <= kObjectives; ++i) EXPECT_EQ(left.objective(i), again.objective(i)) << i;
}

TEST_F(OneSearchTest, StopRequestEndsTheSearchWithoutAsking) {
  SearchSolution s = start();
  at_step(2, [this] { state.stop_requested = true; });
  search(s, 10, 10, 10, 20);
  EXPECT_EQ(ui.events_processed, 2);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Batch Scheduling Process stopped!"});
}

// ------------------------------------------------------------- batch mode

TEST_F(RunTest, BatchLogHasItsHeadAndOneInitAndOneSearchLine) {
  state.run.steps = 20;
  state.run.loops_per_step = 10;
  state.operator_priority = {1, 2, 0, 3, 1, 5, 2, 0, 0};
  state.priorities.objective = {0, 1, 2, 3, 4, 5, 6, 0, 0, 0};
  const OBJ_VALUE initial = start_values();
  ASSERT_EQ(run_batch(problem, state, ui, rng), 1);
  const std::vector<std::string> lines = split(log(), '\n');
  ASSERT_EQ(lines.size(), 12u) << log();
  EXPECT_EQ(lines[0], "Tabu Search in bacth mode.");
  EXPECT_EQ(lines[1], " Input file :" + problem.input_file_name);
  EXPECT_EQ(lines[2], "Prob_Sizes: \tMachine:11\tOrders:12\tJobs:46\tSetup_Types:3");
  EXPECT_EQ(lines[3], "First running: Initialize with random values");
  EXPECT_EQ(lines[4],
            "Search_Pars:  \tmaxSTEP:20\tmaxLOOP:10\tminLOOP:10\tmaxImpless:20\tmaxTABU:150");
  EXPECT_EQ(lines[5], "Nx_op_pri:\tN1: 2\tN2: 0\tN3: 3\tN4: 1\tN5: 5");
  EXPECT_EQ(lines[6], "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\tRunT\tBStep");
  EXPECT_EQ(lines[7], "ObjPri:\t1\t2\t3\t4\t5\t6");
  EXPECT_EQ(lines[8], "\t------\t------\t------\t------\t------\t------");
  auto six = [](const OBJ_VALUE& v) {
    std::ostringstream out;
    out << '\t' << v.n_of_Late_Orders << '\t' << v.n_of_Late_Jobs << '\t' << v.sumTardiness << '\t'
        << v.max_Tardiness << '\t' << v.n_of_Setup << '\t' << v.Completion_Time;
    return out.str();
  };
  EXPECT_EQ(lines[9], "init" + six(initial));
  const std::vector<std::string> search = split(lines[10], '\t');
  ASSERT_EQ(search.size(), 9u) << lines[10];
  EXPECT_EQ(lines[10].rfind("search" + six(state.current_values) + "\t", 0), 0u) << lines[10];
  EXPECT_TRUE(std::regex_match(search[7], std::regex("[0-9]+s|[0-9]+min [0-9]+s"))) << search[7];
  EXPECT_TRUE(std::regex_match(search[8], std::regex("\\[[0-9]+\\]"))) << search[8];
  EXPECT_LE(std::atoi(search[8].c_str() + 1), 20);
  EXPECT_EQ(lines[11], "End of file.");
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_FALSE(problem.first_run);
  EXPECT_TRUE(state.current_schedule.has_arrays());
}

TEST_F(RunTest, BatchStopEndsTheSearchAndStillCompletesTheLog) {
  state.run.steps = 50;
  at_step(2, [this] { state.stop_requested = true; });
  ASSERT_EQ(run_batch(problem, state, ui, rng), 1);
  EXPECT_EQ(ui.events_processed, 2);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Batch Scheduling Process stopped!"});
  const std::string text = log();
  EXPECT_NE(text.find("\nsearch\t"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 13), "\nEnd of file.");
  EXPECT_TRUE(state.current_schedule.has_arrays());
}

}  // namespace
}  // namespace vema
