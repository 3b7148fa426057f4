// The tabu list: first in, first out over remembered machine sequences,
// matched on the sequences alone, with hashes that only shortcut the
// comparison and entries whose storage is reused.
#include "search/tabu_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fixed_clock.h"
#include "search/operators.h"
#include "test_problems.h"

namespace vema {
namespace {

using testing::FixedClock;

class TabuListTest : public ::testing::Test {
 protected:
  TabuListTest() : rng_(clock_), problem_(testing::example_problem("busy_shop.sif")) {}

  // A random solution of the example; different seeds give different ones.
  SearchSolution solution(uint64_t seed) {
    rng_.set_fixed_seed(seed);
    SearchSolution s(problem_.N_Order, problem_.N_Job, problem_.N_Machine);
    s.random_assignment(problem_, rng_);
    return s;
  }

  // `count` pairwise different solutions, each a changed job away from the last.
  std::vector<SearchSolution> distinct_solutions(int count) {
    std::vector<SearchSolution> list;
    SearchSolution s = solution(1);
    rng_.seed(9);
    TABULIST seen;
    while (static_cast<int>(list.size()) < count) {
      change_job(s, rng_.mod(problem_.N_Job) + 1, problem_, rng_);
      if (seen.contains(s)) continue;
      seen.add(seen.make_entry(s));
      list.emplace_back(s);
    }
    return list;
  }

  // What a run does with a new neighbour under the given capacity.
  static void remember(TABULIST& list, const SearchSolution& s, int capacity) {
    list.add(list.make_entry(s));
    if (list.count() > capacity) list.remove_oldest();
  }

  FixedClock clock_;
  Random rng_;
  Problem problem_;
};

TEST_F(TabuListTest, EmptyListContainsNothingAndRemovingFromItDoesNothing) {
  TABULIST list;
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.head(), nullptr);
  EXPECT_EQ(list.tail(), nullptr);
  EXPECT_FALSE(list.contains(solution(1)));
  list.remove_oldest();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.head(), nullptr);
  EXPECT_EQ(list.tail(), nullptr);
  // Emptied again after use.
  list.add(list.make_entry(solution(1)));
  list.remove_oldest();
  list.remove_oldest();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.head(), nullptr);
  EXPECT_EQ(list.tail(), nullptr);
  EXPECT_FALSE(list.contains(solution(1)));
}

TEST_F(TabuListTest, OldestEntriesLeaveFirstAndLinksStayConsistent) {
  const std::vector<SearchSolution> s = distinct_solutions(5);
  TABULIST list;
  for (int i = 0; i < 5; ++i) list.add(list.make_entry(s[i]));
  EXPECT_EQ(list.count(), 5);
  EXPECT_TRUE(list.head()->matches(s[4]));
  EXPECT_TRUE(list.tail()->matches(s[0]));
  for (int removed = 1; removed <= 5; ++removed) {
    list.remove_oldest();
    EXPECT_EQ(list.count(), 5 - removed);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list.contains(s[i]), i >= removed) << i;
    // Walking newest to oldest and back visits every entry once.
    int forward = 0;
    const TABU* last = nullptr;
    for (const TABU* e = list.head(); e != nullptr; e = e->next) {
      EXPECT_EQ(e->prev, last);
      last = e;
      ++forward;
    }
    EXPECT_EQ(last, list.tail());
    EXPECT_EQ(forward, list.count());
  }
}

TEST_F(TabuListTest, CapacityOneHoldsExactlyTheLastAddedSolution) {
  const std::vector<SearchSolution> s = distinct_solutions(6);
  TABULIST list;
  for (int i = 0; i < 6; ++i) {
    remember(list, s[i], 1);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.head(), list.tail());
    for (int k = 0; k < 6; ++k) EXPECT_EQ(list.contains(s[k]), k == i) << "after " << i;
  }
}

TEST_F(TabuListTest, RecycledEntriesForgetTheirOldSequences) {
  // Entries are reused after removal; a reused entry must hold only the new
  // solution, also when that one is shorter or longer than the old one.
  const std::vector<SearchSolution> s = distinct_solutions(40);
  TABULIST list;
  for (int i = 0; i < 40; ++i) {
    remember(list, s[i], 3);
    for (int k = 0; k <= i; ++k) EXPECT_EQ(list.contains(s[k]), k > i - 3) << k << " after " << i;
  }
  SearchSolution empty(problem_.N_Order, problem_.N_Job, problem_.N_Machine);
  remember(list, empty, 3);
  EXPECT_TRUE(list.contains(empty));
  EXPECT_FALSE(list.contains(s[37]));
  remember(list, s[0], 3);
  EXPECT_TRUE(list.contains(s[0]));
  EXPECT_TRUE(list.contains(empty));
}

TEST_F(TabuListTest, SameJobsInAnotherOrderAreDifferent) {
  SearchSolution a = solution(4);
  int m = 1;
  while (a.sequence(m)[0] < 2) ++m;
  SearchSolution b(a);
  std::swap(b.sequence(m)[1], b.sequence(m)[2]);
  TABULIST list;
  list.add(list.make_entry(a));
  EXPECT_TRUE(list.contains(a));
  EXPECT_FALSE(list.contains(b));
  EXPECT_FALSE(list.head()->matches(b));
}

TEST_F(TabuListTest, OnlyTheMachineSequencesAreCompared) {
  const SearchSolution a = solution(5);
  TABULIST list;
  list.add(list.make_entry(a));
  // Same sequences, other assignment tables, position tables and timing.
  SearchSolution b(a);
  for (int j = 1; j <= problem_.N_Job; ++j) {
    for (int l = 0; l <= kMaxRouteLen; ++l) {
      b.assignment(j)[l] = 0;
      b.position_of(j)[l] = 0;
    }
  }
  for (int m = 1; m <= problem_.N_Machine; ++m) {
    for (int p = 1; p <= b.sequence(m)[0]; ++p) b.step_at(m)[p] = 0;
  }
  SearchSolution timed(a);
  timed.evaluate(problem_);
  EXPECT_TRUE(list.contains(b));
  EXPECT_TRUE(list.contains(timed));
}

TEST_F(TabuListTest, EqualHashesStillCompareTheSequences) {
  const std::vector<SearchSolution> s = distinct_solutions(3);
  constexpr uint64_t kSame = 42;
  TABULIST list;
  list.add(list.make_entry(s[0], kSame));
  list.add(list.make_entry(s[1], kSame));
  EXPECT_TRUE(list.contains(s[0], kSame));
  EXPECT_TRUE(list.contains(s[1], kSame));
  EXPECT_FALSE(list.contains(s[2], kSame)) << "a hash collision is not a match";
  EXPECT_FALSE(list.contains(s[0], kSame + 1)) << "a different hash is never a match";

  // Entries of another machine count never match, even with equal counts.
  SearchSolution two(1, 1, 2), three(1, 1, 3);
  TABU entry;
  entry.take(two, kSame);
  EXPECT_TRUE(entry.matches(two));
  EXPECT_FALSE(entry.matches(three));
  TABU longer;
  longer.take(three, kSame);
  EXPECT_FALSE(longer.matches(two));
}

TEST_F(TabuListTest, HashFollowsTheSequencesOnly) {
  const std::vector<SearchSolution> s = distinct_solutions(200);
  SearchSolution copy(s[0]);
  copy.evaluate(problem_);
  EXPECT_EQ(sequence_hash(copy), sequence_hash(s[0]));
  std::vector<uint64_t> hashes;
  for (const SearchSolution& x : s) hashes.push_back(sequence_hash(x));
  std::sort(hashes.begin(), hashes.end());
  EXPECT_EQ(std::unique(hashes.begin(), hashes.end()), hashes.end())
      << "200 different solutions of the example should not collide";
}

}  // namespace
}  // namespace vema
