// The rescheduling search: deviation measures, the freeze interval check,
// the frozen-aware building blocks and the run with its log.
#include "reschedule/reschedule_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "log_listings.h"
#include "reschedule/frozen_operators.h"
#include "reschedule/reschedule_fixture.h"
#include "reschedule/rescheduler.h"
#include "schedule/timing.h"
#include "scripted_ui.h"
#include "search/solution_invariants.h"

namespace vema {
namespace {

using testing::deviation_listing;
using testing::file_text;
using testing::FixedClock;
using testing::kDeviationLabels;
using testing::no_jobs;
using testing::no_sequences;
using testing::put_sequence;
using testing::ScriptedUi;
using testing::solution_invariants;
using testing::tables_of;
using testing::TempDir;
using testing::values_listing;

// Machines 1, 2 in group 1, machine 3 in group 2, machine 4 in group 5, one
// interval [0, 10000] each; two orders of two jobs each over steps 1..2
// (routes 17 = groups 1, 2 and 18 = group 5), every machine allowed.
std::string two_step_text() {
  std::string t = "001|4|2|1\n";
  const int steps[4][2] = {{0, 0}, {0, 0}, {1, 1}, {0, 1}};
  for (int id = 0; id < 4; ++id) {
    const std::string i = std::to_string(id);
    t += "100|" + i + "|10|" + std::to_string(steps[id][0]) + "|" + std::to_string(steps[id][1]) +
         "\n110|" + i + "|1\n120|" + i + "|0|10000\n130|" + i + "|1\n140|" + i + "|0|0|0\n";
  }
  for (int o = 0; o < 2; ++o) {
    const std::string i = std::to_string(o);
    t += "200|" + i + "|500|0|2|10|0|1|0\n210|" + i + "|4\n";
    for (int id = 0; id < 4; ++id) {
      t += "220|" + i + "|" + std::to_string(steps[id][0]) + "|" + std::to_string(steps[id][1]) +
           "|" + std::to_string(id) + "\n";
    }
  }
  return t;
}

// ---------------------------------------------------------------- deviations

TEST(DeviationMeasures, CountJobsOrdersAndMachinesOnce) {
  const Problem p = testing::problem_from_text(two_step_text());
  ASSERT_EQ(p.N_Job, 4);
  // Reference: every job on route 17 over machines 1 and 3.
  std::vector<JobAssignment> ref_a = no_jobs(4);
  std::vector<CountedList> ref_w = no_sequences(4, 4);
  for (int j = 1; j <= 4; ++j) ref_a[j] = {17, 1, 3, 0, 0};
  put_sequence(ref_w, 1, {1, 2, 3, 4});
  put_sequence(ref_w, 3, {1, 2, 3, 4});
  const SearchSolution reference(2, 4, 4, ref_a, ref_w);

  struct Arrangement {
    std::vector<JobAssignment> a;
    std::vector<CountedList> w;
    std::array<bool, 5> late_ref{};  // per job
    std::array<bool, 5> late_now{};
    std::vector<int> ref_setups{0, 1, 0, 1, 0};
    std::vector<int> now_setups{0, 1, 0, 1, 0};  // must not exceed the machine's tasks
  };
  struct Case {
    const char* name;
    std::function<void(Arrangement&)> arrange;
    std::array<int, kDeviations + 1> expected;
  };
  const std::vector<Case> cases = {
      {"unchanged", [](Arrangement&) {}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"route of job 1 and machine of job 2 changed: order 1 counted once",
       [](Arrangement& x) {
         x.a[1] = {18, 4, 0, 0, 0};
         x.a[2] = {17, 2, 3, 0, 0};
         put_sequence(x.w, 1, {3, 4});
         put_sequence(x.w, 2, {2});
         put_sequence(x.w, 3, {2, 3, 4});
         put_sequence(x.w, 4, {1});
       },
       {0, 1, 2, 0, 0, 1, 1, 0, 0, 0, 0}},
      {"routes of jobs 1 and 3 changed: two orders",
       [](Arrangement& x) {
         x.a[1] = {18, 4, 0, 0, 0};
         x.a[3] = {18, 4, 0, 0, 0};
         put_sequence(x.w, 1, {2, 4});
         put_sequence(x.w, 3, {2, 4});
         put_sequence(x.w, 4, {1, 3});
       },
       {0, 2, 2, 0, 0, 2, 2, 0, 0, 0, 0}},
      {"late in the reference, on time now: late deviation, not new late",
       [](Arrangement& x) { x.late_ref[1] = true; },
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}},
      {"both jobs of order 2 newly late: order counted once",
       [](Arrangement& x) { x.late_now[3] = x.late_now[4] = true; },
       {0, 0, 0, 2, 2, 0, 0, 1, 1, 0, 0}},
      {"late in both: no deviation",
       [](Arrangement& x) { x.late_ref[2] = x.late_now[2] = true; },
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"fewer setups on machine 1, more on machine 3",
       [](Arrangement& x) {
         x.ref_setups[1] = 3;
         x.now_setups[3] = 2;
       },
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Arrangement x{ref_a, ref_w};
    c.arrange(x);
    SearchSolution s(2, 4, 4, x.a, x.w);
    for (int m = 1; m <= 4; ++m) {
      for (int q = 1; q <= s.sequence(m)[0]; ++q) s.timing(m)[q].Setup = q <= x.now_setups[m];
    }
    std::vector<ORDER> orders = p.Orders;
    std::vector<JOB> jobs = p.Jobs;
    std::vector<JOB> ref_jobs = p.Jobs;
    for (int j = 1; j <= 4; ++j) {
      jobs[j].completion = x.late_now[j] ? 501 : 500;  // CET 500: strictly later is late
      ref_jobs[j].completion = x.late_ref[j] ? 501 : 500;
    }
    OBJ_VALUE v;
    v.deviation.fill(7);
    deviation_measures(s, v, orders, jobs, reference, p.Orders, ref_jobs, x.ref_setups);
    EXPECT_EQ(v.deviation, c.expected);
  }
}

// Lateness of the reference side is judged by the reference orders' CETs.
TEST(DeviationMeasures, ReferenceSideUsesReferenceDueTimes) {
  const Problem p = testing::problem_from_text(two_step_text());
  std::vector<JobAssignment> a = no_jobs(4);
  std::vector<CountedList> w = no_sequences(4, 4);
  for (int j = 1; j <= 4; ++j) a[j] = {17, 1, 3, 0, 0};
  put_sequence(w, 1, {1, 2, 3, 4});
  put_sequence(w, 3, {1, 2, 3, 4});
  const SearchSolution s(2, 4, 4, a, w);
  std::vector<JOB> jobs = p.Jobs;
  for (int j = 1; j <= 4; ++j) jobs[j].completion = 450;
  std::vector<ORDER> reference_orders = p.Orders;
  reference_orders[1].CET = 400;  // the released due time; the modified one is 500
  OBJ_VALUE v;
  deviation_measures(s, v, p.Orders, jobs, s, reference_orders, jobs, {0, 0, 0, 0, 0});
  EXPECT_EQ(v.deviation, (std::array<int, 11>{0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}));
}

// ------------------------------------------------------ freeze interval check

TEST(FreezeIntervalCheck, DetectsChangesOfTheFrozenPartOnly) {
  const Problem p = testing::problem_from_text(two_step_text());
  // Reference: machine 1 runs 1, 2, 3, 4; machine 3 runs 1, 2, 3, 4.
  std::vector<JobAssignment> ref_a = no_jobs(4);
  std::vector<CountedList> ref_w = no_sequences(4, 4);
  for (int j = 1; j <= 4; ++j) ref_a[j] = {17, 1, 3, 0, 0};
  put_sequence(ref_w, 1, {1, 2, 3, 4});
  put_sequence(ref_w, 3, {1, 2, 3, 4});
  const SearchSolution reference(2, 4, 4, ref_a, ref_w);
  // Frozen: jobs 1 and 2 on machine 1 (their step 1); nothing on machine 3.
  std::vector<JOB> jobs = p.Jobs;
  jobs[1].frozen_steps = jobs[2].frozen_steps = 1;
  std::vector<MACHINE> machines = p.Machines;
  machines[1].frozen_tasks = 2;

  struct Case {
    const char* name;
    std::function<void(std::vector<JobAssignment>&, std::vector<CountedList>&)> change;
    bool ok;
  };
  const std::vector<Case> cases = {
      {"unchanged", [](auto&, auto&) {}, true},
      {"unfrozen jobs swapped on machine 1",
       [](auto&, auto& w) {
         put_sequence(w, 1, {1, 2, 4, 3});
       },
       true},
      {"second steps resequenced",
       [](auto&, auto& w) {
         put_sequence(w, 3, {4, 3, 2, 1});
       },
       true},
      {"job 4 rerouted",
       [](auto& a, auto& w) {
         a[4] = {18, 4, 0, 0, 0};
         put_sequence(w, 1, {1, 2, 3});
         put_sequence(w, 3, {1, 2, 3});
         put_sequence(w, 4, {4});
       },
       true},
      {"frozen jobs swapped",
       [](auto&, auto& w) {
         put_sequence(w, 1, {2, 1, 3, 4});
       },
       false},
      {"unfrozen job put before a frozen one",
       [](auto&, auto& w) {
         put_sequence(w, 1, {1, 3, 2, 4});
       },
       false},
      {"frozen step moved to machine 2",
       [](auto& a, auto& w) {
         a[2] = {17, 2, 3, 0, 0};
         put_sequence(w, 1, {1, 3, 4});
         put_sequence(w, 2, {2});
       },
       false},
      {"frozen job rerouted",
       [](auto& a, auto& w) {
         a[1] = {18, 4, 0, 0, 0};
         put_sequence(w, 1, {2, 3, 4});
         put_sequence(w, 3, {2, 3, 4});
         put_sequence(w, 4, {1});
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<JobAssignment> a = ref_a;
    std::vector<CountedList> w = ref_w;
    c.change(a, w);
    const SearchSolution s(2, 4, 4, a, w);
    EXPECT_EQ(freeze_interval_check(s, reference, jobs, machines), c.ok);
  }
}

// A setup done in advance can let a job's second step start by the freeze
// time while its first does not; the first step's position then lies in the
// unfrozen part and must not make the check report a modification.
TEST(FreezeIntervalCheck, StepStartedAfterTheFreezeTimeKeepsOnlyItsMachine) {
  const Problem p = testing::problem_from_text(two_step_text());
  std::vector<JobAssignment> ref_a = no_jobs(4);
  std::vector<CountedList> ref_w = no_sequences(4, 4);
  for (int j = 1; j <= 4; ++j) ref_a[j] = {17, 1, 3, 0, 0};
  put_sequence(ref_w, 1, {1, 2, 3, 4});
  put_sequence(ref_w, 3, {1, 2, 3, 4});
  const SearchSolution reference(2, 4, 4, ref_a, ref_w);
  // Job 1: step 2 frozen (head of machine 3), step 1 not (machine 1 has no
  // frozen tasks), so frozen_steps is 2.
  std::vector<JOB> jobs = p.Jobs;
  jobs[1].frozen_steps = 2;
  std::vector<MACHINE> machines = p.Machines;
  machines[3].frozen_tasks = 1;

  std::vector<CountedList> w = ref_w;
  put_sequence(w, 1, {2, 1, 3, 4});
  EXPECT_TRUE(freeze_interval_check(SearchSolution(2, 4, 4, ref_a, w), reference, jobs, machines));
  std::vector<JobAssignment> a = ref_a;
  a[1] = {17, 2, 3, 0, 0};
  w = ref_w;
  put_sequence(w, 1, {2, 3, 4});
  put_sequence(w, 2, {1});
  EXPECT_FALSE(freeze_interval_check(SearchSolution(2, 4, 4, a, w), reference, jobs, machines));
}

// ------------------------------------------------------------ building blocks

// A loaded busy_shop plan, frozen at freeze_time with the given order.
struct Frozen {
  TempDir dir;
  Problem problem;
  ProcessState state;
  ScriptedUi ui;
  Rescheduler rescheduler;
  FixedClock clock;
  Random rng{clock};

  Frozen(uint64_t plan_seed, const std::function<void(Problem&)>& modify = nullptr) {
    const std::string path = testing::released_example(dir, "busy_shop.sif", plan_seed);
    EXPECT_EQ(rescheduler.load_file(problem, state, ui, path), 1);
    if (modify) rescheduler.modify_environment(problem, state, modify);
    rng.seed(plan_seed);
  }
  RescheduleStart start(FreezeOrder order, int freeze_time) {
    return prepare_reschedule_start(rescheduler, problem, state, order, freeze_time);
  }
};

// The start time at the given fraction of the sorted start times of s.
int start_quantile(const SearchSolution& s, double fraction) {
  std::vector<int> starts = testing::start_times(s);
  std::sort(starts.begin(), starts.end());
  return starts[static_cast<size_t>(fraction * static_cast<double>(starts.size() - 1))];
}

TEST(FrozenBuildingBlocks, EveryNeighbourKeepsTheFrozenPart) {
  const std::function<void(Problem&)> modifications[] = {
      nullptr,
      [](Problem& p) {
        p.Machines[3].Speed = 2;
        p.Orders[5].CST += 60;
      },
  };
  int neighbours = 0, frozen_moves = 0;
  for (uint64_t seed = 1; seed <= 4; ++seed) {
    for (const auto& modify : modifications) {
      for (const FreezeOrder order :
           {FreezeOrder::kFreezeThenModify, FreezeOrder::kModifyThenFreeze}) {
        for (const double fraction : {0.1, 0.4, 0.7}) {
          Frozen f(seed, modify);
          SearchSolution probe(f.rescheduler.released_shop()->sch);
          probe.evaluate(f.problem);
          const int t = start_quantile(probe, fraction);
          RescheduleStart start = f.start(order, t);
          const FreezeContext freeze{start.reference, t};
          SCOPED_TRACE(::testing::Message() << "seed " << seed << " freeze time " << t);
          ASSERT_TRUE(freeze_interval_check(start.initial, start.reference, f.problem.Jobs,
                                            f.problem.Machines));
          SearchSolution current(start.initial);
          SearchSolution working(current);
          OperatorWorkspace workspace(f.problem.N_Job);
          OBJ_VALUE values;
          for (int i = 0; i < 150; ++i) {
            working.assign_from(current);
            const int k = 1 + f.rng.mod(operator_count);
            if (!apply_frozen_operator(k, working, f.problem, freeze, values, f.rng, workspace)) {
              continue;
            }
            ++neighbours;
            ASSERT_TRUE(solution_invariants(working, f.problem)) << "operator N" << k;
            ASSERT_TRUE(
                freeze_interval_check(working, start.reference, f.problem.Jobs, f.problem.Machines))
                << "operator N" << k;
            if (k != 3) {
              // Frozen jobs are reassigned too; they come back where they were.
              for (int j = 1; j <= f.problem.N_Job; ++j) {
                frozen_moves += f.problem.Jobs[j].frozen_steps > 0 &&
                                working.assignment(j)[0] != current.assignment(j)[0];
              }
            }
            if (f.rng.mod(3) == 0) current.assign_from(working);
          }
        }
      }
    }
  }
  EXPECT_GT(neighbours, 1000);
  EXPECT_GT(frozen_moves, 0);  // some frozen job took another of its open routes
}

TEST(FrozenBuildingBlocks, ResequencingNeedsTwoUnfrozenTasksAndLeavesTheFrozenHead) {
  Frozen f(6);
  SearchSolution probe(f.rescheduler.released_shop()->sch);
  probe.evaluate(f.problem);
  RescheduleStart start = f.start(kDefaultFreezeOrder, start_quantile(probe, 0.3));
  Problem& p = f.problem;
  int m = 1;
  for (int k = 1; k <= p.N_Machine; ++k) {
    if (start.initial.sequence(k)[0] > start.initial.sequence(m)[0]) m = k;
  }
  const int n = start.initial.sequence(m)[0];
  ASSERT_GE(n, 4);
  OperatorWorkspace workspace(p.N_Job);

  // All tasks frozen but one: never resequenced.
  p.Machines[m].frozen_tasks = n - 1;
  SearchSolution s(start.initial);
  EXPECT_FALSE(do_pi_frozen(s, m, p, f.rng, workspace));
  EXPECT_EQ(tables_of(s), tables_of(start.initial));

  // Two frozen: the head stays, the rest is permuted over the calls.
  p.Machines[m].frozen_tasks = 2;
  std::set<std::vector<int>> tails;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(do_pi_frozen(s, m, p, f.rng, workspace));
    ASSERT_TRUE(solution_invariants(s, p));
    EXPECT_EQ(s.sequence(m)[1], start.initial.sequence(m)[1]);
    EXPECT_EQ(s.sequence(m)[2], start.initial.sequence(m)[2]);
    tails.insert(std::vector<int>(s.sequence(m) + 3, s.sequence(m) + n + 1));
  }
  EXPECT_GT(tails.size(), 1u);

  // Unfrozen insertions land after the frozen head, also at its very end.
  std::set<int> positions;
  for (int i = 0; i < 200; ++i) {
    SearchSolution t(start.initial);
    const int job = t.sequence(m)[n];
    const int step = t.step_at(m)[n];
    const JobAssignment keep{t.assignment(job)[0], t.assignment(job)[1], t.assignment(job)[2],
                             t.assignment(job)[3], t.assignment(job)[4]};
    remove_job(t, job);
    t.assignment(job)[0] = keep[0];
    for (int l = 1; l <= route_length(keep[0]); ++l) {
      if (l == step) {
        insert_unfrozen(t, job, l, m, p, f.rng);
      } else {
        // Put the other steps back where they were.
        const int mm = keep[l];
        int* seq = t.sequence(mm);
        const int q = start.initial.position_of(job)[l];
        for (int r = ++seq[0]; r > q; --r) {
          seq[r] = seq[r - 1];
          t.step_at(mm)[r] = t.step_at(mm)[r - 1];
          t.position_of(seq[r])[t.step_at(mm)[r]] = r;
        }
        seq[q] = job;
        t.step_at(mm)[q] = l;
        t.assignment(job)[l] = mm;
        t.position_of(job)[l] = q;
      }
    }
    ASSERT_TRUE(solution_invariants(t, p));
    positions.insert(t.position_of(job)[step]);
  }
  EXPECT_EQ(*positions.begin(), 3);
  EXPECT_EQ(*positions.rbegin(), n);
}

// A job with frozen steps but no route left open (a released route outside
// its order's list) must be kept as it is, not removed.
TEST(FrozenBuildingBlocks, JobWithoutAnOpenRouteIsKeptUnchanged) {
  Frozen f(7);
  SearchSolution probe(f.rescheduler.released_shop()->sch);
  probe.evaluate(f.problem);
  const int t = start_quantile(probe, 0.5);
  RescheduleStart start = f.start(kDefaultFreezeOrder, t);
  Problem& p = f.problem;
  int job = 0;
  for (int j = 1; j <= p.N_Job && job == 0; ++j) {
    if (p.Jobs[j].frozen_steps >= 1 && p.Orders[p.Jobs[j].O_ID].NJob >= 2) job = j;
  }
  ASSERT_NE(job, 0);
  p.Jobs[job].freeze->feasible_routes[0] = 0;
  const FreezeContext freeze{start.reference, t};
  SearchSolution s(start.initial);
  EXPECT_FALSE(change_job_frozen(s, job, p, freeze, f.rng));
  EXPECT_EQ(tables_of(s), tables_of(start.initial));
  for (int i = 0; i < 30; ++i) {
    change_order_frozen(s, p.Jobs[job].O_ID, p, freeze, f.rng);
    ASSERT_TRUE(freeze_interval_check(s, start.reference, p.Jobs, p.Machines));
    ASSERT_TRUE(solution_invariants(s, p));
  }
}

TEST(FrozenBuildingBlocks, UnfrozenOrderMovesAsABlockBehindTheFrozenTasks) {
  Frozen f(9);
  SearchSolution probe(f.rescheduler.released_shop()->sch);
  probe.evaluate(f.problem);
  const int t = start_quantile(probe, 0.3);
  RescheduleStart start = f.start(kDefaultFreezeOrder, t);
  const Problem& p = f.problem;
  int order = 0;
  for (int o = 1; o <= p.N_Order && order == 0; ++o) {
    if (p.Orders[o].NJob >= 3 && p.Orders[o].frozen == 0) order = o;
  }
  ASSERT_NE(order, 0);
  const int first = p.Orders[order].FirstJob;
  const int n = p.Orders[order].NJob;
  const FreezeContext freeze{start.reference, t};
  SearchSolution s(start.initial);
  for (int i = 0; i < 20; ++i) {
    change_order_frozen(s, order, p, freeze, f.rng);
    const int* a = s.assignment(first);
    for (int l = 1; l <= route_length(a[0]); ++l) {
      const int m = a[l];
      EXPECT_GT(s.position_of(first)[l] - (n - 1), p.Machines[m].frozen_tasks);
      for (int b = first + 1; b < first + n; ++b) {
        EXPECT_EQ(s.assignment(b)[0], a[0]);
        EXPECT_EQ(s.assignment(b)[l], m);
        EXPECT_EQ(s.position_of(b)[l], s.position_of(first)[l] - (b - first));
      }
    }
  }
}

TEST(FrozenBuildingBlocks, FreezeTimeAfterEveryStartLeavesNothingToChange) {
  Frozen f(10);
  SearchSolution probe(f.rescheduler.released_shop()->sch);
  probe.evaluate(f.problem);
  const int t = start_quantile(probe, 1.0);
  RescheduleStart start = f.start(FreezeOrder::kFreezeThenModify, t);
  const FreezeContext freeze{start.reference, t};
  OperatorWorkspace workspace(f.problem.N_Job);
  OBJ_VALUE values;
  for (int i = 0; i < 100; ++i) {
    SearchSolution w(start.initial);
    const int k = 1 + i % operator_count;
    const bool kept = apply_frozen_operator(k, w, f.problem, freeze, values, f.rng, workspace);
    // No machine has two unfrozen tasks, so N3 always drops its neighbour.
    EXPECT_EQ(kept, k != 3);
    EXPECT_EQ(tables_of(w), tables_of(start.initial)) << "operator N" << k;
  }
}

// ---------------------------------------------------------------------- run

struct RunFixture {
  Frozen f;
  std::string log_path;

  explicit RunFixture(uint64_t seed, const std::function<void(Problem&)>& modify = nullptr)
      : f(seed, modify) {
    log_path = f.dir.file("run.txt");
    f.state.log_file = log_path;
    f.state.run.steps = 12;
    f.state.run.loops_per_step = 8;
    f.state.run.tabu_size = 30;
    f.rng.set_fixed_seed(seed);
  }
  int run(FreezeOrder order, int freeze_time) {
    return run_reschedule(f.problem, f.state, f.rescheduler, f.ui, f.rng, order, freeze_time);
  }
  int quantile(double fraction) {
    SearchSolution probe(f.rescheduler.released_shop()->sch);
    probe.evaluate(f.problem);
    return start_quantile(probe, fraction);
  }
};

// The number that follows `label` in the log.
int number_after(const std::string& log, const std::string& label) {
  const size_t at = log.find(label);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no " << label;
    return -1;
  }
  return std::atoi(log.c_str() + at + label.size());
}

TEST(RescheduleRun, LogIsWordedAndOrderedExactly) {
  for (const FreezeOrder order : {FreezeOrder::kFreezeThenModify, FreezeOrder::kModifyThenFreeze}) {
    RunFixture r(31, [](Problem& p) { p.Machines[2].Speed = 3; });
    const int t = r.quantile(0.4);
    ASSERT_EQ(r.run(order, t), 1);
    const std::string log = file_text(r.log_path);
    Problem& p = r.f.problem;

    // The published schedule's deviation values, recomputed from scratch.
    SearchSolution best(r.f.state.current_schedule);
    const OBJ_VALUE published = r.f.state.current_values;
    const SHOP& reference_shop = r.f.rescheduler.reference_shop(order);
    const OBJ_VALUE reference_values = reference_shop.values;
    EXPECT_EQ(r.f.rescheduler.snapshot_to_draw(), &reference_shop);
    RescheduleStart again = r.f.start(order, t);
    OBJ_VALUE best_values;
    evaluate_rescheduled(best, best_values, p, again, t);
    for (int i = 1; i <= kObjectives; ++i) {
      EXPECT_EQ(best_values.objective(i), published.objective(i)) << "objective " << i;
    }

    std::ostringstream expected;
    expected << " Tabu Search with _S class and do_pi\n"
             << "Input file :" << p.input_file_name << '\n'
             << "Machine: " << p.N_Machine << " Orders: " << p.N_Order << " Jobs:" << p.N_Job
             << '\n'
             << "Initialize with the actual schedule for rescheduling!\n"
             << (order == FreezeOrder::kFreezeThenModify
                     ? "Type: First freeze released schedule then modify environment.\n"
                     : "Type: First modify environment then freeze released schedule.\n")
             << '\n'
             << " Objective values of the stopped schedule:\n"
             << values_listing(reference_values) << "\n\n"
             << " Objective values of the initial schedule:\n"
             << values_listing(again.values) << "\n\n"
             << " Elapsed time: 0 (sec)\n\n"
             << "Number of evaluated schedule: "
             << number_after(log, "Number of evaluated schedule: ") << '\n'
             << "best step: " << number_after(log, "best step: ")
             << "best loop: " << number_after(log, "best loop: ") << "\n\n"
             << values_listing(best_values) << '\n'
             << deviation_listing(best_values)
             << "\n\n size of TabuList: " << number_after(log, " size of TabuList: ") << "\n\n"
             << "Freeze interval OK!\nEnd of file.";
    EXPECT_EQ(log, expected.str());
    EXPECT_NE(log.find(" num. of machines with setup number deviation: "), std::string::npos);
    EXPECT_EQ(r.f.state.status.log_text, log);
    EXPECT_TRUE(r.f.state.status.show_rescheduling);
    EXPECT_FALSE(p.first_run);
  }
}

TEST(RescheduleRun, UnchangedReleasedPlanFrozenBeforeEveryStartDeviatesInNothing) {
  Frozen f(12);
  RescheduleStart start = f.start(kDefaultFreezeOrder, 0);
  for (int m = 1; m <= f.problem.N_Machine; ++m) EXPECT_EQ(f.problem.Machines[m].frozen_tasks, 0);
  EXPECT_EQ(start.values.deviation, (std::array<int, kDeviations + 1>{}));
  // The start is the reference in routes, machines, sequences and times.
  EXPECT_EQ(tables_of(start.initial), tables_of(start.reference));
  for (int m = 1; m <= f.problem.N_Machine; ++m) {
    for (int k = 1; k <= start.reference.sequence(m)[0]; ++k) {
      EXPECT_TRUE(testing::same_timing(start.initial.timing(m)[k], start.reference.timing(m)[k]));
    }
  }
}

TEST(RescheduleRun, DeviationPrioritiesAloneKeepTheReleasedPlan) {
  RunFixture r(14);
  r.f.state.priorities.objective.fill(0);
  r.f.state.priorities.deviation.fill(10);
  ASSERT_EQ(r.run(kDefaultFreezeOrder, 0), 1);
  const std::string log = file_text(r.log_path);
  for (const char* label : kDeviationLabels) EXPECT_EQ(number_after(log, label), 0) << label;
}

TEST(RescheduleRun, NewPlanKeepsEveryFrozenTaskWithItsReleasedTimes) {
  RunFixture r(15, [](Problem& p) { p.Machines[5].Speed = 1; });
  const int t = r.quantile(0.5);
  // The released plan under the released data.
  SearchSolution released(r.f.rescheduler.released_shop()->sch);
  const Problem released_data = testing::example_problem("busy_shop.sif");
  released.evaluate(released_data);

  ASSERT_EQ(r.run(FreezeOrder::kFreezeThenModify, t), 1);
  const Problem& p = r.f.problem;
  const SCH& now = r.f.state.current_schedule;
  int frozen = 0;
  for (int m = 1; m <= p.N_Machine; ++m) {
    int k = 0;
    for (const TASK* task = now.machine_first[m]; task != nullptr; task = task->next_on_machine) {
      if (++k <= p.Machines[m].frozen_tasks) {
        ++frozen;
        EXPECT_EQ(task->job, released.sequence(m)[k]);
        EXPECT_EQ(task->StartT, released.timing(m)[k].StartT);
        EXPECT_EQ(task->EndT, released.timing(m)[k].EndT);
      } else {
        EXPECT_GE(task->StartT, t);
      }
    }
  }
  EXPECT_GT(frozen, 0);
  EXPECT_NE(file_text(r.log_path).find("Freeze interval OK!"), std::string::npos);
}

TEST(RescheduleRun, ConfirmedStopStillWritesTheWholeLogAndPublishes) {
  RunFixture r(16);
  r.f.ui.on_process_events = [&] {
    if (r.f.ui.events_processed == 3) r.f.state.stop_requested = true;
  };
  r.f.ui.answers = {true};
  ASSERT_EQ(r.run(kDefaultFreezeOrder, r.quantile(0.2)), 1);
  EXPECT_EQ(r.f.ui.questions.back(), "Do You really want to stop the process?");
  EXPECT_EQ(r.f.ui.messages.back(), "Process stopped!");
  const std::string log = file_text(r.log_path);
  EXPECT_LT(number_after(log, "best step: "), 4);
  EXPECT_NE(log.find("Freeze interval OK!\nEnd of file."), std::string::npos);
  EXPECT_EQ(r.f.ui.run_events.back(), RunEvent::kFinished);
}

TEST(RescheduleRun, LogThatCannotBeOpenedChangesNothing) {
  RunFixture r(17);
  r.f.state.log_file = r.f.dir.file("");  // a folder, not a file
  const SCH before = r.f.state.current_schedule;
  EXPECT_EQ(r.run(kDefaultFreezeOrder, 100), -1);
  EXPECT_TRUE(testing::same_schedule(r.f.state.current_schedule, before));
  EXPECT_EQ(r.f.ui.run_events.back(), RunEvent::kLogNotOpened);
  EXPECT_TRUE(r.f.problem.first_run);
}

}  // namespace
}  // namespace vema
