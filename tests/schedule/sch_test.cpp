#include "schedule/sch.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "problem/route_tables.h"
#include "scripted_ui.h"

namespace vema {
namespace {

using Sequences = std::vector<std::vector<int>>;  // per machine 1..n, jobs in order

// A small shop, hand-made: machines 1 and 2 in group 1 (step 1), 3 in group 2,
// 4 in group 3, 5 in group 4, 6 in group 6 (steps 2-3), 7 in group 5 (steps
// 1-2) with no work. Jobs take routes of every length from 0 to 4.
struct Shop {
  int orders = 3;
  std::vector<int> group_of{0, 1, 1, 2, 3, 4, 6, 5};
  std::vector<JobAssignment> J_A{
      {0, 0, 0, 0, 0},  {1, 1, 3, 4, 5},  // job 1: route 1 (1 2 3 4)
      {3, 2, 6, 5, 0},                    // job 2: route 3 (1 6 4)
      {10, 1, 6, 0, 0},                   // job 3: route 10 (1 6)
      {0, 0, 0, 0, 0},                    // job 4: no route
      {1, 2, 3, 4, 5},                    // job 5: route 1
      {23, 1, 0, 0, 0},                   // job 6: route 23 (1)
      {17, 2, 3, 0, 0},                   // job 7: route 17 (1 2)
  };
  Sequences seq{{}, {3, 1, 6}, {7, 5, 2}, {5, 1, 7}, {1, 5}, {2, 5, 1}, {3, 2}, {}};

  int jobs() const { return static_cast<int>(J_A.size()) - 1; }
  int machines() const { return static_cast<int>(seq.size()) - 1; }

  // M_wload rows as loading creates them: room for every job.
  std::vector<CountedList> workload() const {
    std::vector<CountedList> rows(seq.size(), CountedList(J_A.size(), 0));
    for (size_t m = 1; m < seq.size(); ++m) {
      rows[m][0] = static_cast<int>(seq[m].size());
      for (size_t k = 0; k < seq[m].size(); ++k) rows[m][k + 1] = seq[m][k];
    }
    return rows;
  }

  SCH build() const {
    SCH s;
    s.build_from_assignment(orders, jobs(), machines(), J_A, workload());
    return s;
  }
};

Sequences sequences(const SCH& s) {
  Sequences out(static_cast<size_t>(s.n_machines) + 1);
  for (int m = 1; m <= s.n_machines; ++m) {
    for (const TASK* t = s.machine_first[m]; t != nullptr; t = t->next_on_machine) {
      out[m].push_back(t->job);
    }
  }
  return out;
}

std::vector<JobAssignment> assignments(const SCH& s) {
  std::vector<JobAssignment> out(static_cast<size_t>(s.n_jobs) + 1, JobAssignment{});
  for (int j = 1; j <= s.n_jobs; ++j) s.read_job_assignment(j, out[j]);
  return out;
}

std::set<const TASK*> nodes(const SCH& s) {
  std::set<const TASK*> out;
  for (int j = 1; j <= s.n_jobs; ++j) {
    for (const TASK* t = s.job_first[j]; t != nullptr; t = t->next_in_job) out.insert(t);
  }
  return out;
}

std::vector<const TASK*> chain(const SCH& s, int job) {
  std::vector<const TASK*> out;
  for (const TASK* t = s.job_first[job]; t != nullptr; t = t->next_in_job) out.push_back(t);
  return out;
}

// Every field a task carries besides its links, for all tasks in job order.
std::vector<std::array<int, 9>> task_fields(const SCH& s) {
  std::vector<std::array<int, 9>> out;
  for (int j = 1; j <= s.n_jobs; ++j) {
    for (const TASK* t : chain(s, j)) {
      out.push_back({t->job, t->step, t->machine, t->Setup, t->StartT, t->SetT, t->ProcT, t->EndT,
                     t->M_Calendar_OK});
    }
  }
  return out;
}

// Distinct timing values on every task, as a timed schedule would carry.
void stamp_times(SCH& s, int base) {
  for (int j = 1; j <= s.n_jobs; ++j) {
    for (TASK* t = s.job_first[j]; t != nullptr; t = t->next_in_job) {
      const int v = base + 10 * j + t->step;
      t->Setup = v % 2;
      t->StartT = v;
      t->SetT = v + 1;
      t->ProcT = v + 2;
      t->EndT = 3 * v + 3;
      t->M_Calendar_OK = v % 3 - 1;
    }
  }
}

// The structural invariants of a linked schedule: chains with steps 1..k
// matching the route and its machine groups, consistent links both ways,
// every task in exactly one machine sequence (its own machine's) and counts
// equal to the sequence lengths.
::testing::AssertionResult WellFormed(const SCH& s, const std::vector<int>& group_of) {
  if (!s.has_arrays()) return ::testing::AssertionFailure() << "no arrays";
  const size_t jobs = static_cast<size_t>(s.n_jobs) + 1;
  const size_t machines = static_cast<size_t>(s.n_machines) + 1;
  if (s.job_first.size() != jobs || s.job_route.size() != jobs || s.job_last.size() != jobs ||
      s.machine_first.size() != machines || s.machine_count.size() != machines ||
      group_of.size() != machines)
    return ::testing::AssertionFailure() << "array sizes";

  std::map<const TASK*, int> seen;  // task -> times found in machine sequences
  for (int j = 1; j <= s.n_jobs; ++j) {
    const int route = s.job_route[j];
    const int length = route_length(route);
    const TASK* prev = nullptr;
    int step = 0;
    std::set<int> used;
    for (const TASK* t = s.job_first[j]; t != nullptr; t = t->next_in_job) {
      ++step;
      if (step > length)
        return ::testing::AssertionFailure() << "job " << j << " has more tasks than its route";
      if (t->job != j || t->step != step)
        return ::testing::AssertionFailure() << "job " << j << " step " << step << " mislabelled";
      if (t->prev_in_job != prev)
        return ::testing::AssertionFailure() << "job " << j << " back link at step " << step;
      if (t->machine < 1 || t->machine > s.n_machines ||
          group_of[t->machine] != R_MG_ex[route][step])
        return ::testing::AssertionFailure() << "job " << j << " step " << step << " on machine "
                                             << t->machine << " of the wrong group";
      if (!used.insert(t->machine).second)
        return ::testing::AssertionFailure() << "job " << j << " twice on machine " << t->machine;
      seen[t] = 0;
      prev = t;
    }
    if (step != length)
      return ::testing::AssertionFailure()
             << "job " << j << " has " << step << " tasks, route " << route << " needs " << length;
    if (s.job_last[j] != prev)
      return ::testing::AssertionFailure() << "job " << j << " last task link";
  }

  for (int m = 1; m <= s.n_machines; ++m) {
    const TASK* prev = nullptr;
    int length = 0;
    for (const TASK* t = s.machine_first[m]; t != nullptr; t = t->next_on_machine) {
      auto it = seen.find(t);
      if (it == seen.end())
        return ::testing::AssertionFailure() << "machine " << m << " links a task no job owns";
      if (++it->second > 1)
        return ::testing::AssertionFailure()
               << "machine " << m << " links job " << t->job << " twice (or a cycle)";
      if (t->machine != m)
        return ::testing::AssertionFailure()
               << "job " << t->job << " listed on machine " << m << " but placed on " << t->machine;
      if (t->prev_on_machine != prev)
        return ::testing::AssertionFailure() << "machine " << m << " back link at job " << t->job;
      prev = t;
      ++length;
    }
    if (s.machine_count[m] != length)
      return ::testing::AssertionFailure()
             << "machine " << m << " count " << s.machine_count[m] << " but " << length << " tasks";
  }
  for (const auto& [t, times] : seen) {
    if (times != 1)
      return ::testing::AssertionFailure()
             << "job " << t->job << " step " << t->step << " is in no machine sequence";
  }
  return ::testing::AssertionSuccess();
}

const Shop kShop;

// ---------------------------------------------------------------------------

TEST(SchBuild, GivesBackTheAssignmentAndWorkload) {
  SCH s = kShop.build();
  ASSERT_TRUE(WellFormed(s, kShop.group_of));
  EXPECT_EQ(s.n_orders, 3);
  EXPECT_EQ(assignments(s), kShop.J_A);
  EXPECT_EQ(sequences(s), kShop.seq);

  const std::vector<int> lengths{0, 4, 3, 2, 0, 4, 1, 2};
  for (int j = 1; j <= kShop.jobs(); ++j) {
    JobAssignment out{};
    EXPECT_EQ(s.read_job_assignment(j, out), lengths[j]) << "job " << j;
  }
  // A job without a route has no tasks and sits on no machine.
  EXPECT_EQ(s.job_first[4], nullptr);
  EXPECT_EQ(s.job_last[4], nullptr);
  EXPECT_EQ(s.machine_count[7], 0);
  EXPECT_EQ(s.machine_first[7], nullptr);

  // Building again over a built schedule replaces it (the old nodes are freed).
  Shop other = kShop;
  other.seq[1] = {6, 3, 1};
  s.build_from_assignment(other.orders, other.jobs(), other.machines(), other.J_A,
                          other.workload());
  EXPECT_TRUE(WellFormed(s, kShop.group_of));
  EXPECT_EQ(sequences(s), other.seq);
}

TEST(SchBuild, WorkloadNamingAJobWithoutTaskThereIsSkipped) {
  // Guards against linking a null task (or one node twice) from an
  // inconsistent workload list.
  Shop bad = kShop;
  bad.seq[1] = {3, 1, 1, 6, 5};  // job 1 twice; job 5 has no step on machine 1
  SCH s;
  s.build_from_assignment(bad.orders, bad.jobs(), bad.machines(), bad.J_A, bad.workload());
  EXPECT_TRUE(WellFormed(s, kShop.group_of));
  EXPECT_EQ(sequences(s)[1], (std::vector<int>{3, 1, 6}));
}

TEST(SchEmpty, OperationsWithoutArraysDoNothing) {
  SCH empty;
  JobAssignment out{7, 7, 7, 7, 7};
  EXPECT_EQ(empty.read_job_assignment(1, out), 0);
  EXPECT_EQ(out, (JobAssignment{7, 7, 7, 7, 7}));
  empty.set_job_assignment(2, JobAssignment{17, 1, 3, 0, 0}, 1);
  empty.move_step_to_machine(1, 1, 1);
  empty.follow_job(1, 2);
  EXPECT_EQ(empty.task_of_job_on_machine(1, 1), nullptr);
  std::vector<std::string> labels{"stale"};
  empty.machine_job_labels(1, labels);
  EXPECT_TRUE(labels.empty());
  testing::ScriptedUi ui;
  EXPECT_FALSE(empty.set_machine_sequence_from_labels({}, 1, ui));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(empty.has_arrays());

  const SCH built = kShop.build();
  EXPECT_EQ(same_sequences(empty, built), 0);
  EXPECT_EQ(same_sequences(built, empty), 0);
  EXPECT_EQ(same_sequences(empty, SCH{}), 0);

  // assign_from falls back to the full copy in both directions.
  EXPECT_EQ(empty.assign_from(built), 2);
  EXPECT_TRUE(WellFormed(empty, kShop.group_of));
  EXPECT_EQ(same_sequences(empty, built), 1);
  EXPECT_EQ(empty.assign_from(SCH{}), 2);
  EXPECT_FALSE(empty.has_arrays());
  EXPECT_EQ(empty.n_jobs, 0);
}

TEST(SchCopy, CopyIsDeepWithEqualSequencesRoutesAndTimes) {
  SCH original = kShop.build();
  stamp_times(original, 100);

  // Into an empty schedule, into a built one and into one of another size.
  SCH small;
  small.build_from_assignment(1, 1, 1, {{}, {23, 1, 0, 0, 0}}, {{0}, {1, 1}});
  std::vector<SCH> copies(3);
  copies[1] = kShop.build();
  copies[2] = std::move(small);
  for (size_t k = 0; k < copies.size(); ++k) {
    SCH& copy = copies[k];
    copy.copy_from(original);
    SCOPED_TRACE(k);
    ASSERT_TRUE(WellFormed(copy, kShop.group_of));
    EXPECT_EQ(copy.n_orders, original.n_orders);
    EXPECT_EQ(same_sequences(copy, original), 1);
    EXPECT_EQ(assignments(copy), kShop.J_A);
    EXPECT_EQ(task_fields(copy), task_fields(original));
    for (const TASK* t : nodes(copy)) EXPECT_EQ(nodes(original).count(t), 0u);
  }

  // Changing the copy leaves the original alone.
  testing::ScriptedUi ui;
  ASSERT_TRUE(copies[0].set_machine_sequence_from_labels({"Job_1", "Job_3", "Job_6"}, 1, ui));
  EXPECT_EQ(same_sequences(copies[0], original), 0);
  EXPECT_EQ(sequences(original), kShop.seq);

  const SCH by_constructor(original);
  EXPECT_TRUE(WellFormed(by_constructor, kShop.group_of));
  EXPECT_EQ(task_fields(by_constructor), task_fields(original));
}

TEST(SchMove, MovingHandsOverTheNodes) {
  SCH source = kShop.build();
  const std::set<const TASK*> before = nodes(source);
  SCH moved(std::move(source));
  EXPECT_FALSE(source.has_arrays());  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(source.n_jobs, 0);
  EXPECT_EQ(nodes(moved), before);
  EXPECT_TRUE(WellFormed(moved, kShop.group_of));

  SCH target = kShop.build();  // its own nodes must be freed by the assignment
  target = std::move(moved);
  EXPECT_EQ(nodes(target), before);
  EXPECT_TRUE(WellFormed(target, kShop.group_of));
  EXPECT_FALSE(moved.has_arrays());  // NOLINT(bugprone-use-after-move)
}

TEST(SameSequences, ComparesJobsPositionByPositionOnly) {
  struct Case {
    const char* name;
    void (*change)(SCH&);
    int expected;
  };
  const Case cases[] = {
      {"timing fields only", [](SCH& s) { stamp_times(s, 7); }, 1},
      {"two jobs swapped on one machine",
       [](SCH& s) {
         testing::ScriptedUi ui;
         s.set_machine_sequence_from_labels({"Job_3", "Job_6", "Job_1"}, 1, ui);
       },
       0},
      {"a step moved to another machine", [](SCH& s) { s.move_step_to_machine(2, 1, 6); }, 0},
      {"another shop size",
       [](SCH& s) {
         s.build_from_assignment(1, 1, 1, {{}, {23, 1, 0, 0, 0}}, {{0}, {1, 1}});
       },
       0},
  };
  const SCH reference = kShop.build();
  for (const Case& c : cases) {
    SCH changed = reference;
    c.change(changed);
    EXPECT_EQ(same_sequences(changed, reference), c.expected) << c.name;
    EXPECT_EQ(same_sequences(reference, changed), c.expected) << c.name;
  }
}

// ---------------------------------------------------------------------------

// Job 5 routes used to make schedules whose route lengths differ.
constexpr JobAssignment kRoute4{1, 2, 3, 4, 5};
constexpr JobAssignment kRoute4Other{1, 1, 3, 4, 5};
constexpr JobAssignment kRoute3{3, 2, 6, 5, 0};
constexpr JobAssignment kRoute2{21, 4, 5, 0, 0};
constexpr JobAssignment kRoute1{23, 1, 0, 0, 0};
constexpr JobAssignment kRoute0{0, 0, 0, 0, 0};

SCH with_job5(const JobAssignment& a) {
  SCH s = kShop.build();
  s.set_job_assignment(route_length(a[0]), a, 5);
  return s;
}

TEST(AssignFrom, CopiesIntoExistingNodesForEveryRouteLengthChange) {
  struct Case {
    const char* name;
    JobAssignment target;
    JobAssignment source;
  };
  const Case cases[] = {
      {"L = L', other machine", kRoute4, kRoute4Other},
      {"L < L' (2 -> 4)", kRoute2, kRoute4},
      {"L < L' (0 -> 4)", kRoute0, kRoute4},
      {"L < L' (1 -> 3)", kRoute1, kRoute3},
      {"L > L' (4 -> 2)", kRoute4, kRoute2},
      {"L > L' (4 -> 0)", kRoute4, kRoute0},
      {"L > L' (3 -> 1)", kRoute3, kRoute1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH source = with_job5(c.source);
    // Reverse machine 1 so the sequences differ from the target's too.
    std::vector<std::string> labels;
    source.machine_job_labels(1, labels);
    testing::ScriptedUi ui;
    ASSERT_TRUE(source.set_machine_sequence_from_labels({labels.rbegin(), labels.rend()}, 1, ui));
    stamp_times(source, 500);
    ASSERT_TRUE(WellFormed(source, kShop.group_of));

    SCH target = with_job5(c.target);
    const std::vector<const TASK*> job1_nodes = chain(target, 1);
    ASSERT_EQ(target.assign_from(source), 1);

    ASSERT_TRUE(WellFormed(target, kShop.group_of));
    EXPECT_EQ(assignments(target), assignments(source));
    EXPECT_EQ(sequences(target), sequences(source));
    EXPECT_EQ(task_fields(target), task_fields(source));
    for (int m = 1; m <= target.n_machines; ++m) {
      EXPECT_EQ(target.machine_count[m], source.machine_count[m]) << "machine " << m;
    }
    const int length = route_length(c.source[0]);
    ASSERT_EQ(static_cast<int>(chain(target, 5).size()), length);
    if (length > 0) {
      EXPECT_EQ(target.job_last[5]->step, length);
    }
    // The nodes are reused, not reallocated.
    EXPECT_EQ(chain(target, 1), job1_nodes);
  }
}

TEST(AssignFrom, FallsBackToAFullCopyWhenSizesDiffer) {
  const SCH source = kShop.build();
  SCH small;
  small.build_from_assignment(1, 1, 1, {{}, {23, 1, 0, 0, 0}}, {{0}, {1, 1}});
  EXPECT_EQ(small.assign_from(source), 2);
  EXPECT_TRUE(WellFormed(small, kShop.group_of));
  EXPECT_EQ(same_sequences(small, source), 1);
  EXPECT_EQ(assignments(small), kShop.J_A);
}

// ---------------------------------------------------------------------------

TEST(SetJobAssignment, MovesChangedStepsOrRecreatesTheJobAtTheEnds) {
  struct Case {
    const char* name;
    int job;
    JobAssignment a;
    Sequences expected;
  };
  const Case cases[] = {
      {"same route, same machines: nothing moves", 1, {1, 1, 3, 4, 5}, kShop.seq},
      {"same route, step 1 on another machine: only that step moves",
       1,
       {1, 2, 3, 4, 5},
       {{}, {3, 6}, {7, 5, 2, 1}, {5, 1, 7}, {1, 5}, {2, 5, 1}, {3, 2}, {}}},
      {"new route: every step at the end of its machine",
       3,
       {3, 2, 6, 5, 0},
       {{}, {1, 6}, {7, 5, 2, 3}, {5, 1, 7}, {1, 5}, {2, 5, 1, 3}, {2, 3}, {}}},
      {"route 0 to a route",
       4,
       {23, 2, 0, 0, 0},
       {{}, {3, 1, 6}, {7, 5, 2, 4}, {5, 1, 7}, {1, 5}, {2, 5, 1}, {3, 2}, {}}},
      {"a route to route 0",
       6,
       {0, 0, 0, 0, 0},
       {{}, {3, 1}, {7, 5, 2}, {5, 1, 7}, {1, 5}, {2, 5, 1}, {3, 2}, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH s = kShop.build();
    s.set_job_assignment(route_length(c.a[0]), c.a, c.job);
    ASSERT_TRUE(WellFormed(s, kShop.group_of));
    EXPECT_EQ(sequences(s), c.expected);
    JobAssignment out{};
    EXPECT_EQ(s.read_job_assignment(c.job, out), route_length(c.a[0]));
    EXPECT_EQ(out, c.a);
  }
}

TEST(MoveStepToMachine, AppendsTheStepOrDoesNothing) {
  const Sequences moved{{}, {3, 6}, {7, 5, 2, 1}, {5, 1, 7}, {1, 5}, {2, 5, 1}, {3, 2}, {}};
  struct Case {
    const char* name;
    int machine;
    int step;
    int job;
    Sequences expected;
  };
  const Case cases[] = {
      {"step to another machine of its group", 2, 1, 1, moved},
      {"already on that machine", 1, 1, 1, kShop.seq},
      {"job has fewer steps", 5, 3, 3, kShop.seq},
      {"job without route", 1, 1, 4, kShop.seq},
      {"step 0", 2, 0, 1, kShop.seq},
      {"machine out of range", 8, 1, 1, kShop.seq},
      {"job out of range", 2, 1, 8, kShop.seq},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH s = kShop.build();
    s.move_step_to_machine(c.machine, c.step, c.job);
    ASSERT_TRUE(WellFormed(s, kShop.group_of));
    EXPECT_EQ(sequences(s), c.expected);
  }
}

TEST(FollowJob, PlacesEachTaskDirectlyBehindTheOtherJobsTask) {
  struct Case {
    const char* name;
    int a;
    int b;
    Sequences expected;
  };
  const Case cases[] = {
      // Job 6 takes job 1's route: its tasks first land at the ends, then
      // move behind job 1 (in the middle of machine 3 and 4, at the end of 5).
      {"other route copied first",
       6,
       1,
       {{}, {3, 1, 6}, {7, 5, 2}, {5, 1, 6, 7}, {1, 6, 5}, {2, 5, 1, 6}, {3, 2}, {}}},
      // Job 1 takes job 5's machines: it moves from in front of job 5 on
      // machine 4 to behind it; on 3 and 5 it already follows job 5.
      {"same route copied first",
       1,
       5,
       {{}, {3, 6}, {7, 5, 1, 2}, {5, 1, 7}, {5, 1}, {2, 5, 1}, {3, 2}, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH s = kShop.build();
    JobAssignment a{};
    const int n = s.read_job_assignment(c.b, a);
    s.set_job_assignment(n, a, c.a);
    s.follow_job(c.a, c.b);
    ASSERT_TRUE(WellFormed(s, kShop.group_of));
    EXPECT_EQ(sequences(s), c.expected);
  }

  // Steps on different machines stay where they are; only the shared
  // machine 1 changes.
  SCH s = kShop.build();
  s.follow_job(3, 1);
  ASSERT_TRUE(WellFormed(s, kShop.group_of));
  Sequences expected = kShop.seq;
  expected[1] = {1, 3, 6};
  EXPECT_EQ(sequences(s), expected);
  s.follow_job(1, 1);
  EXPECT_TRUE(WellFormed(s, kShop.group_of));
  EXPECT_EQ(sequences(s), expected);
}

// ---------------------------------------------------------------------------

TEST(MachineLabels, ListTheSequenceAndReorderIt) {
  SCH s = kShop.build();
  std::vector<std::string> labels{"stale"};
  s.machine_job_labels(2, labels);
  EXPECT_EQ(labels, (std::vector<std::string>{"Job_7", "Job_5", "Job_2"}));
  s.machine_job_labels(7, labels);
  EXPECT_TRUE(labels.empty());

  testing::ScriptedUi ui;
  const std::vector<std::string> order{"Job_2", "Job_7", "Job_5"};
  ASSERT_TRUE(s.set_machine_sequence_from_labels(order, 2, ui));
  ASSERT_TRUE(WellFormed(s, kShop.group_of));
  s.machine_job_labels(2, labels);
  EXPECT_EQ(labels, order);
  EXPECT_EQ(s.machine_count[2], 3);

  // Two jobs: the later one listed first comes first.
  ASSERT_TRUE(s.set_machine_sequence_from_labels({"Job_2", "Job_3"}, 6, ui));
  EXPECT_EQ(sequences(s)[6], (std::vector<int>{2, 3}));
  // An empty machine takes an empty list.
  EXPECT_TRUE(s.set_machine_sequence_from_labels({}, 7, ui));
  EXPECT_TRUE(WellFormed(s, kShop.group_of));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(MachineLabels, RefuseListsThatDoNotNameEachJobOnceAndChangeNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> list;
  };
  const Case cases[] = {
      {"too few lines", {"Job_7", "Job_5"}},
      {"too many lines", {"Job_7", "Job_5", "Job_2", "Job_2"}},
      {"no lines", {}},
      // Guards against the crash when a label names a job without a task on the machine.
      {"job not on the machine", {"Job_7", "Job_5", "Job_1"}},
      {"job without route", {"Job_7", "Job_5", "Job_4"}},
      {"job out of range", {"Job_7", "Job_5", "Job_99"}},
      // Guards against linking one task twice (a cycle) when a job is named twice.
      {"job named twice", {"Job_7", "Job_7", "Job_2"}},
      {"unreadable label", {"Job_7", "Job_5", "Job_x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SCH s = kShop.build();
    const TASK* first = s.machine_first[2];
    testing::ScriptedUi ui;
    EXPECT_FALSE(s.set_machine_sequence_from_labels(c.list, 2, ui));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Problem with number of jobs on machine 2"}));
    ASSERT_TRUE(WellFormed(s, kShop.group_of));
    EXPECT_EQ(sequences(s), kShop.seq);
    EXPECT_EQ(s.machine_first[2], first);
  }
}

TEST(LabelNumber, ReadsTheNumberAfterTheLastUnderscore) {
  const std::pair<const char*, int> cases[] = {
      {"Job_12", 12},
      {"Mach_3", 3},
      {"a_b_7", 7},
      {"12", 12},
      {"_5", 5},
      {"Job_", 0},
      {"", 0},
      {"Job_x", 0},
      {"Job_12a", 0},
      {"Job_ 4", 0},
      {"Job_99999999999", 0},
      {"Job_2147483647", 2147483647},
      {"Route_1_Job_", 0},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(label_number(text), expected) << text;
}

}  // namespace
}  // namespace vema
