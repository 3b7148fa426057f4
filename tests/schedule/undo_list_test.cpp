#include "schedule/undo_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace vema {
namespace {

// State k of a two-machine shop (machine 1 in group 1, machine 2 in group 2)
// with four jobs. k picks which jobs take the two-step route 17 (1 2) rather
// than route 23 (1), and the order on machine 1; states 0..47 all differ in
// routes or sequences. Every task carries StartT = k.
SCH state(int k) {
  const int jobs = 4;
  std::vector<JobAssignment> J_A(jobs + 1, JobAssignment{});
  std::vector<CountedList> M_wload(3, CountedList(jobs + 1, 0));
  for (int j = 1; j <= jobs; ++j) {
    const bool two_steps = ((k % 16) >> (j - 1) & 1) != 0;
    J_A[j] = two_steps ? JobAssignment{17, 1, 2, 0, 0} : JobAssignment{23, 1, 0, 0, 0};
  }
  std::array<int, 4> order{1, 2, 3, 4};
  for (int p = 0; p < k % 24; ++p) std::next_permutation(order.begin(), order.end());
  M_wload[1][0] = jobs;
  std::copy(order.begin(), order.end(), M_wload[1].begin() + 1);
  for (int j = jobs; j >= 1; --j) {
    if (J_A[j][0] == 17) M_wload[2][++M_wload[2][0]] = j;
  }
  SCH s;
  s.build_from_assignment(1, jobs, 2, J_A, M_wload);
  for (int j = 1; j <= jobs; ++j) {
    for (TASK* t = s.job_first[j]; t != nullptr; t = t->next_in_job) t->StartT = k;
  }
  return s;
}

::testing::AssertionResult IsState(const SCH& s, int k) {
  const SCH expected = state(k);
  if (same_sequences(s, expected) != 1)
    return ::testing::AssertionFailure() << "sequences differ from state " << k;
  for (int j = 1; j <= expected.n_jobs; ++j) {
    JobAssignment got{};
    JobAssignment want{};
    if (s.read_job_assignment(j, got) != expected.read_job_assignment(j, want) || got != want)
      return ::testing::AssertionFailure() << "job " << j << " assignment differs from state " << k;
    for (const TASK* t = s.job_first[j]; t != nullptr; t = t->next_in_job) {
      if (t->StartT != k)
        return ::testing::AssertionFailure()
               << "job " << j << " carries times of state " << t->StartT << ", not " << k;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(UndoList, EmptyListHasNothingRecorded) {
  UNDOLIST list(25);
  SCH s = state(3);
  EXPECT_EQ(list.undo(s), -1);
  EXPECT_EQ(list.redo(s), -1);
  EXPECT_TRUE(IsState(s, 3));
  EXPECT_EQ(list.count(), 0);
}

TEST(UndoList, SingleEntryHasNothingToDo) {
  UNDOLIST list(25);
  list.push(state(0));
  SCH s = state(1);
  EXPECT_EQ(list.undo(s), 0);
  EXPECT_EQ(list.redo(s), 0);
  EXPECT_TRUE(IsState(s, 1));  // untouched
  EXPECT_EQ(list.count(), 1);
  EXPECT_EQ(list.current(), list.oldest());
  EXPECT_EQ(list.current(), list.newest());
}

TEST(UndoList, UndoAndRedoBetweenTwoStates) {
  UNDOLIST list(25);
  SCH s = state(0);
  list.push(s);
  s = state(1);  // the entry is a copy: changing the schedule leaves it alone
  list.push(s);
  EXPECT_EQ(list.undo(s), 2);
  EXPECT_TRUE(IsState(s, 0));
  EXPECT_EQ(list.redo(s), 2);
  EXPECT_TRUE(IsState(s, 1));
  EXPECT_EQ(list.redo(s), 0);
  EXPECT_TRUE(IsState(s, 1));

  // A schedule without arrays takes the state by a full copy.
  SCH empty;
  EXPECT_EQ(list.undo(empty), 2);
  EXPECT_TRUE(IsState(empty, 0));
}

TEST(UndoList, PushAfterUndoDiscardsTheRedoBranch) {
  UNDOLIST list(25);
  for (int k = 0; k < 3; ++k) list.push(state(k));
  SCH s = state(2);
  EXPECT_EQ(list.undo(s), 1);
  EXPECT_TRUE(IsState(s, 1));
  EXPECT_EQ(list.undo(s), 2);
  EXPECT_TRUE(IsState(s, 0));

  list.push(state(3));
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.current(), list.newest());
  EXPECT_EQ(list.newest()->older, list.oldest());
  EXPECT_EQ(list.oldest()->newer, list.newest());
  EXPECT_EQ(list.oldest()->older, nullptr);
  EXPECT_EQ(list.newest()->newer, nullptr);
  EXPECT_TRUE(IsState(list.oldest()->schedule, 0));
  EXPECT_TRUE(IsState(list.newest()->schedule, 3));

  s = state(3);
  EXPECT_EQ(list.redo(s), 0);
  EXPECT_EQ(list.undo(s), 2);
  EXPECT_TRUE(IsState(s, 0));
  EXPECT_EQ(list.redo(s), 2);
  EXPECT_TRUE(IsState(s, 3));
}

TEST(UndoList, CapacityKeepsTheNewestStates) {
  struct Case {
    int capacity;
    int pushes;
    int kept;
  };
  const Case cases[] = {{25, 30, 25}, {25, 3, 3}, {1, 4, 1}, {0, 2, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "capacity " << c.capacity << ", " << c.pushes << " pushes");
    UNDOLIST list(c.capacity);
    for (int k = 0; k < c.pushes; ++k) list.push(state(k));
    ASSERT_EQ(list.count(), c.kept);
    SCH s = state(c.pushes - 1);
    if (c.kept == 0) {
      EXPECT_EQ(list.newest(), nullptr);
      EXPECT_EQ(list.oldest(), nullptr);
      EXPECT_EQ(list.undo(s), -1);
      EXPECT_EQ(list.redo(s), -1);
      continue;
    }
    EXPECT_EQ(list.current(), list.newest());
    EXPECT_TRUE(IsState(list.newest()->schedule, c.pushes - 1));
    EXPECT_TRUE(IsState(list.oldest()->schedule, c.pushes - c.kept));
    EXPECT_EQ(list.oldest()->older, nullptr);

    // Undo walks back to the oldest kept state, the last step returning 2.
    for (int step = 1; step < c.kept; ++step) {
      EXPECT_EQ(list.undo(s), step + 1 == c.kept ? 2 : 1) << "undo " << step;
      EXPECT_TRUE(IsState(s, c.pushes - 1 - step));
    }
    EXPECT_EQ(list.undo(s), 0);
    EXPECT_TRUE(IsState(s, c.pushes - c.kept));
    for (int step = 1; step < c.kept; ++step) {
      EXPECT_EQ(list.redo(s), step + 1 == c.kept ? 2 : 1) << "redo " << step;
    }
    EXPECT_TRUE(IsState(s, c.pushes - 1));
  }
}

}  // namespace
}  // namespace vema
