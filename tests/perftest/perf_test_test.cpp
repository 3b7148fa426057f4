// The performance test: its three stages, the log line by line, the summary,
// the best solution and the sign matrix, stop handling, the chart data, and
// the parallel mode against sequential runs of the same iterations.
#include "perftest/perf_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "fixed_clock.h"
#include "schedule/sch.h"
#include "scripted_ui.h"
#include "search/search_solution.h"
#include "search/starting_schedules.h"
#include "search/tabu_search.h"
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

// A clock whose readings wait until the test opens it (or a few seconds have
// passed): it holds worker threads at the start of their searches.
class GateClock : public Clock {
 public:
  int64_t now_seconds() const override {
    std::unique_lock lock(mutex_);
    opened_.wait_for(lock, std::chrono::seconds(5), [this] { return open_; });
    return kClockStart;
  }
  std::string time_of_day() const override { return "10:20:30"; }
  void open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable opened_;
  bool open_ = false;
};

// The six logged objectives of a data line ("rand", "s_3:" ...).
OBJ_VALUE six_of(const std::string& line) {
  const std::vector<std::string> f = split(line, '\t');
  OBJ_VALUE v;
  if (f.size() < 7) {
    ADD_FAILURE() << "not a data line: " << line;
    return v;
  }
  for (int i = 1; i <= 6; ++i) v.objective(i) = std::atoi(f[static_cast<size_t>(i)].c_str());
  return v;
}

// Field k (0-based, tab-separated) of a line.
std::string field(const std::string& line, size_t k) {
  const std::vector<std::string> f = split(line, '\t');
  return k < f.size() ? f[k] : "<missing>";
}

std::string sign_of(const OBJ_VALUE& x, const OBJ_VALUE& y, const Priorities& p) {
  const double d = weighted_difference(y, x, p);
  return d < 0 ? "-" : d > 0 ? "+" : "0";
}

std::string six_text(const OBJ_VALUE& v) {
  std::ostringstream out;
  for (int i = 1; i <= 6; ++i) out << '\t' << v.objective(i);
  return out.str();
}

void expect_same_six(const OBJ_VALUE& a, const OBJ_VALUE& b, const std::string& where) {
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(a.objective(i), b.objective(i)) << where << " obj " << i;
}

// The lines of iteration i: its head and the rand, heur and search lines
// (fewer when the iteration has no data).
std::vector<std::string> iteration_lines(const std::vector<std::string>& log, int i) {
  const std::string head = "   " + std::to_string(i) + ":";
  for (size_t k = 0; k < log.size(); ++k) {
    if (log[k].rfind(head, 0) != 0) continue;
    std::vector<std::string> out{log[k]};
    for (size_t m = k + 1; m < log.size() && m <= k + 3; ++m) {
      if (log[m].rfind("rand", 0) != 0 && log[m].rfind("heur", 0) != 0 &&
          log[m].rfind("search\t", 0) != 0) {
        break;
      }
      out.push_back(log[m]);
    }
    return out;
  }
  return {};
}

// The search line without its run time.
std::string without_time(const std::string& line) {
  return std::regex_replace(line, std::regex("\t[0-9]+(\\.[0-9]+)?s\t\\[|\t[0-9]+min [0-9]+s\t\\["),
                            "\t<time>\t[");
}

constexpr uint64_t kSeed = 4242;

class PerfTest : public ::testing::Test {
 protected:
  PerfTest() : rng(clock), problem(testing::example_problem("busy_shop.sif")) {
    problem.first_run = true;
    rng.set_fixed_seed(kSeed);
    state.log_file = dir.file("perf.txt");
    state.run.steps = 20;
    state.run.loops_per_step = 10;
    ui.on_run_progress = [this](RunEvent e, const RunStatus& s) {
      if (e == RunEvent::kStep) iterations_shown.push_back(s.step);
      if (e == RunEvent::kFinished) final_status = s;
    };
  }

  PerfTestResult run(int n, int threads = 1) {
    return run_performance_test(n, threads, problem, state, ui, rng);
  }
  std::string text() const { return file_text(state.log_file); }
  std::vector<std::string> lines() const { return split(text(), '\n'); }

  TempDir dir;
  FixedClock clock;
  Random rng;
  Problem problem;
  ProcessState state;
  ScriptedUi ui;
  std::vector<int> iterations_shown;
  RunStatus final_status;
};

// ---------------------------------------------------------------- signs

TEST(RelativeQualitySign, BetterWorseAndEqualUnderThePriorities) {
  const auto values = [](int late_jobs, int sum_tardiness, int setups, int abs_lateness) {
    OBJ_VALUE v;
    v.n_of_Late_Orders = 2;
    v.n_of_Late_Jobs = late_jobs;
    v.sumTardiness = sum_tardiness;
    v.max_Tardiness = 30;
    v.n_of_Setup = setups;
    v.Completion_Time = 500;
    v.sumAbsLateness = abs_lateness;
    return v;
  };
  Priorities none;
  none.objective.fill(0);
  struct Case {
    const char* name;
    OBJ_VALUE x, y;
    Priorities p;
    const char* sign;  // of x against y
  };
  const Case cases[] = {
      {"fewer late jobs is better", values(4, 100, 5, 0), values(5, 100, 5, 0), {}, "\t-"},
      {"more late jobs is worse", values(5, 100, 5, 0), values(4, 100, 5, 0), {}, "\t+"},
      {"identical", values(4, 100, 5, 0), values(4, 100, 5, 0), {}, "\t0"},
      {"only an unweighted objective differs",
       values(4, 100, 5, 9),
       values(4, 100, 5, 0),
       {},
       "\t0"},
      {"all priorities 0", values(1, 10, 1, 0), values(9, 900, 9, 0), none, "\t0"},
      // Tardiness 100 -> 50 is -50 % at weight 10; setups 5 -> 6 is +16.7 % at 7.
      {"heavier objective decides", values(4, 50, 6, 0), values(4, 100, 5, 0), {}, "\t-"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(relative_quality_sign(c.x, c.y, c.p), c.sign) << c.name;
  }
}

// ---------------------------------------------------------------- the log

TEST_F(PerfTest, LogLinesFollowTheFixedLayoutAndAgreeWithEachOther) {
  // A clock that moves one second per reading gives every random assignment
  // its own seed and every search a run time of one second.
  FixedClock moving(kClockStart, 1);
  Random moving_rng(moving);
  state.priorities.objective = {0, 1, 2, 3, 4, 5, 6, 0, 0, 0};
  state.operator_priority[1] = 2;
  state.operator_priority[4] = 0;
  state.run.tabu_size = 77;
  state.run.min_loop = 3;
  state.run.max_steps_without_improvement = 9;
  const PerfTestResult r = run_performance_test(2, 1, problem, state, ui, moving_rng);
  ASSERT_EQ(r.status, 1);
  ASSERT_EQ(r.iterations.size(), 2u);

  const std::string log = text();
  ASSERT_GE(log.size(), 12u);
  EXPECT_EQ(log.substr(log.size() - 13), "\nEnd of file.");
  const std::vector<std::string> l = split(log, '\n');
  const std::string six = "(\t[0-9]+){6}";
  const std::string avg = "(\t[0-9]+(\\.[0-9]+)?(e\\+[0-9]+)?){6}";
  const std::string sign = "\t[-+0]";
  const std::vector<std::string> expected = {
      std::regex_replace(" Performance test.   Input file :" + problem.input_file_name,
                         std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&"),
      "Prob_Sizes: \tMachine:11\tOrders:12\tJobs:46\tSetup_Types:3",
      "Search_Pars:  \tmaxSTEP:20\tmaxLOOP:10\tminLOOP:3\tmaxImpless:9\tmaxTABU:77",
      "Nx_op_pri:\tN1: 2\tN2: 1\tN3: 1\tN4: 0\tN5: 1",
      "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC\tF\\(r,x\\)\tF\\(h,x\\)\tRunT\tBStep",
      "ObjPri:\t1\t2\t3\t4\t5\t6",
      "   1:(\t------){6}",
      "rand" + six,
      "heur" + six + sign,
      "search" + six + sign + sign + "\t1s\t\\[[0-9]+\\]",
      "   2:(\t------){6}",
      "rand" + six,
      "heur" + six + sign,
      "search" + six + sign + sign + "\t1s\t\\[[0-9]+\\]",
      " Avp\\(2it\\):(\t======){6}",
      "rand:" + avg,
      "heur:" + avg + sign,
      "search:" + avg + sign + sign + "\t1s",
      "",
      "ObjF:\tLOrder\tLJob\tsumT\tmaxT\tSet\tmaxC",
      "ObjPri:\t1\t2\t3\t4\t5\t6",
      "(\t------){6}",
      "s_1:" + six,
      "s_2:" + six,
      "best solution:\ts_[12]",
      "",
      "Rel\\. quality of s_row: - better, \\+ worse, 0 equal\\.",
      "\ts_1\ts_2",
      "s_1\t0" + sign,
      "s_2" + sign + "\t0",
      "End of file\\.",
  };
  ASSERT_EQ(l.size(), expected.size()) << log;
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_TRUE(std::regex_match(l[k], std::regex(expected[k])))
        << "line " << k << ": '" << l[k] << "' vs /" << expected[k] << "/";
  }

  // The data lines agree with the returned results, the summary with them.
  const Priorities& p = state.priorities;
  OBJ_VALUE rand[2], heur[2], search[2];
  for (int i = 0; i < 2; ++i) {
    const size_t at = 7 + 4 * static_cast<size_t>(i);
    rand[i] = six_of(l[at]);
    heur[i] = six_of(l[at + 1]);
    search[i] = six_of(l[at + 2]);
    const PerfTestIteration& it = r.iterations[static_cast<size_t>(i)];
    expect_same_six(rand[i], it.rand, "rand");
    expect_same_six(heur[i], it.heur, "heur");
    expect_same_six(search[i], it.search, "search");
    EXPECT_EQ(field(l[at + 1], 7), sign_of(heur[i], rand[i], p));
    EXPECT_EQ(field(l[at + 2], 7), sign_of(search[i], rand[i], p));
    EXPECT_EQ(field(l[at + 2], 8), sign_of(search[i], heur[i], p));
    EXPECT_EQ(l[at + 2].substr(l[at + 2].rfind('[')), "[" + std::to_string(it.best_step) + "]");
    expect_same_six(six_of(l[22 + static_cast<size_t>(i)]), search[i], "s_ line");
  }
  for (int k = 1; k <= 6; ++k) {
    const auto average = [k](const OBJ_VALUE& a, const OBJ_VALUE& b) {
      std::ostringstream out;
      out << (static_cast<double>(a.objective(k)) + b.objective(k)) / 2;
      return out.str();
    };
    EXPECT_EQ(field(l[15], static_cast<size_t>(k)), average(rand[0], rand[1])) << k;
    EXPECT_EQ(field(l[16], static_cast<size_t>(k)), average(heur[0], heur[1])) << k;
    EXPECT_EQ(field(l[17], static_cast<size_t>(k)), average(search[0], search[1])) << k;
  }
  const auto average_sign = [&p](const OBJ_VALUE* x, const OBJ_VALUE* y) {
    const double d = weighted_difference(y[0], x[0], p) + weighted_difference(y[1], x[1], p);
    return std::string(d < 0 ? "-" : d > 0 ? "+" : "0");
  };
  EXPECT_EQ(field(l[16], 7), average_sign(heur, rand));
  EXPECT_EQ(field(l[17], 7), average_sign(search, rand));
  EXPECT_EQ(field(l[17], 8), average_sign(search, heur));
  EXPECT_EQ(l[28], "s_1\t0\t" + sign_of(search[0], search[1], p));
  EXPECT_EQ(l[29], "s_2\t" + sign_of(search[1], search[0], p) + "\t0");
  const int best = worse_than(search[0], search[1], p) ? 2 : 1;
  EXPECT_EQ(l[24], "best solution:\ts_" + std::to_string(best));
  EXPECT_EQ(r.best, best);
}

TEST_F(PerfTest, RunTimesOfAMinuteOrMoreAreWrittenInMinutesWithAnExtraEmptyLine) {
  struct Case {
    int64_t seconds_per_reading;
    std::string time;
    std::string after_summary;  // what follows the "search:" line
  };
  const Case cases[] = {
      {1, "1s", "\n\nObjF:"},
      {59, "59s", "\n\nObjF:"},
      {75, "1min 15s", "\n\n\nObjF:"},
  };
  for (const Case& c : cases) {
    FixedClock moving(kClockStart, c.seconds_per_reading);
    Random moving_rng(moving);
    ASSERT_EQ(run_performance_test(1, 1, problem, state, ui, moving_rng).status, 1);
    const std::string log = text();
    const std::string search_line = iteration_lines(split(log, '\n'), 1).back();
    EXPECT_NE(search_line.find("\t" + c.time + "\t["), std::string::npos) << search_line;
    EXPECT_NE(log.find("\t" + c.time + c.after_summary), std::string::npos) << log;
  }
}

TEST_F(PerfTest, StagesAreRandomAssignmentThenHeuristicOnTheSameDrawsThenSearchFromIt) {
  // The same three stages by hand, on the generator the test seeds.
  Problem copy = problem;
  Random r(clock);
  r.set_fixed_seed(kSeed);
  SearchSolution s(copy.N_Order, copy.N_Job, copy.N_Machine);
  OBJ_VALUE rand, heur, search;
  s.random_assignment(copy, r);
  s.evaluate(copy);
  s.compute_objectives(rand, copy);
  SearchSolution h(copy.N_Order, copy.N_Job, copy.N_Machine);
  build_starting_schedule(6, h, copy, r);
  h.evaluate(copy);
  h.compute_objectives(heur, copy);
  ProcessState quiet;
  quiet.run = state.run;
  ScriptedUi quiet_ui;
  const OneSearchResult one =
      run_one_search(20, 10, state.run.min_loop, state.run.max_steps_without_improvement, h, copy,
                     quiet, quiet_ui, r);
  h.compute_objectives(search, copy);

  const PerfTestResult result = run(1);
  ASSERT_EQ(result.iterations.size(), 1u);
  const std::vector<std::string> it = iteration_lines(lines(), 1);
  ASSERT_EQ(it.size(), 4u);
  EXPECT_EQ(it[1], "rand" + six_text(rand));
  EXPECT_EQ(it[2].substr(0, it[2].size() - 2), "heur" + six_text(heur));
  const std::string search_head = "search" + six_text(search);
  EXPECT_EQ(it[3].substr(0, search_head.size()), search_head);
  EXPECT_EQ(it[3].substr(it[3].rfind('[')), "[" + std::to_string(one.best_step) + "]");
  EXPECT_EQ(result.iterations[0].best_step, one.best_step);
}

TEST_F(PerfTest, SingleIterationHasAOneByOneMatrixAndNamesItsOnlySearchBest) {
  const PerfTestResult r = run(1);
  ASSERT_EQ(r.iterations.size(), 1u);
  EXPECT_EQ(r.best, 1);
  const std::string log = text();
  EXPECT_NE(log.find(" Avp(1it):"), std::string::npos);
  EXPECT_NE(log.find("best solution:\ts_1\n\nRel. quality of s_row: - better, + worse, 0 equal.\n"
                     "\ts_1\ns_1\t0\nEnd of file."),
            std::string::npos)
      << log;
  // With one iteration the averages are the iteration's own values.
  const std::vector<std::string> l = split(log, '\n');
  const std::vector<std::string> it = iteration_lines(l, 1);
  ASSERT_EQ(it.size(), 4u);
  for (const std::string& stage :
       {std::string("rand"), std::string("heur"), std::string("search")}) {
    const std::string* data = nullptr;
    const std::string* summary = nullptr;
    for (const std::string& line : it) {
      if (line.rfind(stage + "\t", 0) == 0) data = &line;
    }
    for (const std::string& line : l) {
      if (line.rfind(stage + ":", 0) == 0) summary = &line;
    }
    ASSERT_TRUE(data != nullptr && summary != nullptr) << stage;
    expect_same_six(six_of(*summary), six_of(*data), stage);
  }
}

TEST_F(PerfTest, TiesKeepTheEarlierIterationAsTheBestSolution) {
  struct Case {
    const char* name;
    bool all_priorities_zero;
    bool same_seed_every_iteration;
  };
  // With the generator's seed fixed, every reseed gives the same draws, so all
  // iterations are alike; with all priorities 0 every pair compares equal.
  const Case cases[] = {
      {"identical iterations", false, true},
      {"all priorities zero", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FixedClock moving(kClockStart, 1);
    Random moving_rng(moving);
    if (c.same_seed_every_iteration) moving_rng.set_fixed_seed(kSeed);
    ProcessState s;
    s.log_file = state.log_file;
    s.run = state.run;
    if (c.all_priorities_zero) s.priorities.objective.fill(0);
    const PerfTestResult r = run_performance_test(3, 1, problem, s, ui, moving_rng);
    ASSERT_EQ(r.iterations.size(), 3u);
    EXPECT_EQ(r.best, 1);
    const std::string log = text();
    EXPECT_NE(log.find("best solution:\ts_1\n"), std::string::npos);
    EXPECT_NE(log.find("\ts_1\ts_2\ts_3\ns_1\t0\t0\t0\ns_2\t0\t0\t0\ns_3\t0\t0\t0\n"),
              std::string::npos)
        << log;
    if (c.all_priorities_zero) {
      EXPECT_FALSE(std::regex_search(log, std::regex("\t[-+](\t|\n)"))) << log;
    }
  }
}

// ---------------------------------------------------------------- failures and stops

TEST_F(PerfTest, UnopenableLogStopsWithAMessageAndRunsNothing) {
  state.log_file = dir.file("no_such_folder/perf.txt");
  const PerfTestResult r = run(3);
  EXPECT_EQ(r.status, -1);
  EXPECT_TRUE(r.iterations.empty());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"File opening error! Process stopped."});
  EXPECT_TRUE(ui.run_events.empty());
  EXPECT_EQ(ui.events_processed, 0);
}

TEST_F(PerfTest, StopRequestIsConfirmedAtTheNextIterationAndTheSummaryCoversTheCompletedOnes) {
  struct Case {
    const char* name;
    int threads;
    int raise_at_event;  // the process_events call that raises the request
    bool answer;
    size_t completed;
    std::vector<std::string> messages;
    size_t questions;
  };
  // Sequential: call 1 is iteration 1's own, the search clears the flag
  // right after it; call 2 is the search's first step, which stops it.
  // Parallel: call 1 is iteration 1's own; the request is asked at iteration 2.
  const Case cases[] = {
      {"sequential, search running, Yes",
       1,
       2,
       true,
       1,
       {"Batch Scheduling Process stopped!", "Test stopped!"},
       1},
      {"sequential, search running, No", 1, 2, false, 3, {"Batch Scheduling Process stopped!"}, 1},
      {"sequential, before the search", 1, 1, true, 3, {}, 0},
      {"parallel, Yes", 2, 1, true, 1, {"Test stopped!"}, 1},
      {"parallel, No", 2, 1, false, 3, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedUi stop_ui;
    stop_ui.answers = {c.answer};
    stop_ui.on_process_events = [&] {
      if (stop_ui.events_processed == c.raise_at_event) state.stop_requested = true;
    };
    const PerfTestResult r = run_performance_test(3, c.threads, problem, state, stop_ui, rng);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.iterations.size(), c.completed);
    EXPECT_EQ(r.stopped, c.answer && c.questions > 0);
    EXPECT_EQ(stop_ui.messages, c.messages);
    EXPECT_EQ(stop_ui.questions,
              std::vector<std::string>(c.questions, "Do You really want to stop the test?"));
    const std::vector<std::string> l = lines();
    const std::string log = text();
    EXPECT_NE(log.find(" Avp(" + std::to_string(c.completed) + "it):"), std::string::npos);
    if (c.completed < 3) {
      // The stopped iteration leaves its head line and no data.
      EXPECT_EQ(iteration_lines(l, static_cast<int>(c.completed) + 1).size(), 1u);
      EXPECT_TRUE(iteration_lines(l, static_cast<int>(c.completed) + 2).empty());
    }
    EXPECT_EQ(log.substr(log.size() - 12), "End of file.");
  }
}

// Guards against asking while the first iteration runs: a Yes there would
// leave no completed iteration to average.
TEST_F(PerfTest, ParallelStopRaisedDuringTheFirstIterationIsAskedAtTheSecond) {
  GateClock gate;
  Random gated(gate);
  gated.set_fixed_seed(kSeed);
  ScriptedUi stop_ui;
  stop_ui.answers = {true};
  // Call 1 is iteration 1's own; the calls after it poll while the workers
  // wait at the gate, which opens at call 4.
  stop_ui.on_process_events = [&] {
    if (stop_ui.events_processed == 1) state.stop_requested = true;
    if (stop_ui.events_processed == 4) gate.open();
  };
  const PerfTestResult r = run_performance_test(3, 2, problem, state, stop_ui, gated);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(r.iterations.size(), 1u);
  EXPECT_GE(stop_ui.events_processed, 4);
  EXPECT_EQ(stop_ui.messages, std::vector<std::string>{"Test stopped!"});
  EXPECT_NE(text().find(" Avp(1it):"), std::string::npos);
}

// ---------------------------------------------------------------- what it leaves behind

TEST_F(PerfTest, PublishesNothingAndHandsTheLateJobsToTheMeasuringChart) {
  for (int threads : {1, 2}) {
    SCOPED_TRACE(threads);
    // A current schedule from a random solution, as after a run.
    SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
    Random r(clock);
    r.set_fixed_seed(99);
    s.random_assignment(problem, r);
    publish_solution(s, problem, state);
    problem.first_run = true;
    const SCH schedule = state.current_schedule;
    const OBJ_VALUE values = state.current_values;
    const auto J_A = problem.J_A;
    const auto M_wload = problem.M_wload;
    iterations_shown.clear();

    const PerfTestResult result = run(3, threads);
    ASSERT_EQ(result.iterations.size(), 3u);
    EXPECT_EQ(same_sequences(schedule, state.current_schedule), 1);
    expect_same_six(state.current_values, values, "current_values");
    EXPECT_EQ(state.current_values.n_jobs, values.n_jobs);
    EXPECT_TRUE(problem.first_run);
    EXPECT_EQ(problem.J_A, J_A);
    EXPECT_EQ(problem.M_wload, M_wload);

    EXPECT_EQ(iterations_shown, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(final_status.counts_iterations);
    EXPECT_EQ(final_status.steps, 3);
    EXPECT_FALSE(final_status.show_objectives);
    EXPECT_FALSE(final_status.show_controls);
    EXPECT_EQ(final_status.title, "VEMA Solver");
    EXPECT_EQ(final_status.log_text, text());
    const std::vector<std::string> l = lines();
    ASSERT_EQ(final_status.measuring_rand.size(), 3u);
    ASSERT_EQ(final_status.measuring_heur.size(), 3u);
    ASSERT_EQ(final_status.measuring_search.size(), 3u);
    for (int i = 1; i <= 3; ++i) {
      const std::vector<std::string> it = iteration_lines(l, i);
      ASSERT_EQ(it.size(), 4u);
      const size_t at = static_cast<size_t>(i) - 1;
      EXPECT_EQ(final_status.measuring_rand[at], six_of(it[1]).n_of_Late_Jobs);
      EXPECT_EQ(final_status.measuring_heur[at], six_of(it[2]).n_of_Late_Jobs);
      EXPECT_EQ(final_status.measuring_search[at], six_of(it[3]).n_of_Late_Jobs);
    }
  }
}

// ---------------------------------------------------------------- parallel mode

TEST_F(PerfTest, ParallelIterationsMatchSequentialRunsWithTheirOwnSeeds) {
  const int n = 4;
  const PerfTestResult parallel = run(n, 2);
  ASSERT_EQ(parallel.iterations.size(), static_cast<size_t>(n));
  const std::vector<std::string> log = lines();

  for (int i = 1; i <= n; ++i) {
    SCOPED_TRACE(i);
    const std::vector<std::string> p = iteration_lines(log, i);
    ASSERT_EQ(p.size(), 4u);
    Random own(clock);
    own.set_fixed_seed(perf_test_iteration_seed(kSeed, i));
    ProcessState s;
    s.run = state.run;
    s.log_file = dir.file("one.txt");
    ASSERT_EQ(run_performance_test(1, 1, problem, s, ui, own).status, 1);
    const std::vector<std::string> q = iteration_lines(split(file_text(s.log_file), '\n'), 1);
    ASSERT_EQ(q.size(), 4u);
    EXPECT_EQ(p[1], q[1]);
    EXPECT_EQ(p[2], q[2]);
    EXPECT_EQ(without_time(p[3]), without_time(q[3]));
  }
  // The iterations really differ, so the order of the lines is checked.
  std::vector<std::string> rand_lines;
  for (int i = 1; i <= n; ++i) rand_lines.push_back(iteration_lines(log, i)[1]);
  std::sort(rand_lines.begin(), rand_lines.end());
  EXPECT_NE(std::unique(rand_lines.begin(), rand_lines.end()), rand_lines.begin() + 1);
}

TEST_F(PerfTest, MoreThreadsThanIterationsAndTheMatrixStayConsistent) {
  const PerfTestResult r = run(3, 8);
  ASSERT_EQ(r.iterations.size(), 3u);
  const std::vector<std::string> l = lines();
  std::vector<OBJ_VALUE> s;
  size_t matrix = 0;
  for (size_t k = 0; k < l.size(); ++k) {
    if (l[k].rfind("s_", 0) == 0 && l[k].find(':') != std::string::npos) s.push_back(six_of(l[k]));
    if (l[k] == "\ts_1\ts_2\ts_3") matrix = k;
  }
  ASSERT_EQ(s.size(), 3u);
  ASSERT_NE(matrix, 0u);
  for (size_t h = 0; h < 3; ++h) {
    for (size_t u = 0; u < 3; ++u) {
      EXPECT_EQ(field(l[matrix + 1 + h], u + 1), sign_of(s[h], s[u], state.priorities))
          << h << "," << u;
    }
  }
}

}  // namespace
}  // namespace vema
