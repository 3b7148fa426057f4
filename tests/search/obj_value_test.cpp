#include "search/obj_value.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vema {
namespace {

OBJ_VALUE values(std::initializer_list<int> objectives) {
  OBJ_VALUE v;
  int i = 1;
  for (int x : objectives) v.objective(i++) = x;
  return v;
}

TEST(ObjValue, TableFollowsDeclarationOrder) {
  OBJ_VALUE v = values({1, 2, 3, 4, 5, 6, 7, 8, -9});
  EXPECT_EQ(v.n_of_Late_Orders, 1);
  EXPECT_EQ(v.n_of_Setup, 5);
  EXPECT_EQ(v.Completion_Time, 6);
  EXPECT_EQ(v.sumEarly_Startness, -9);
}

TEST(ObjValue, SetFromAndTakeValuesCopyWhatTheySay) {
  OBJ_VALUE source = values({1, 2, 3, 4, 5, 6, 7, 8, -9});
  source.n_of_Scheduled_Jobs = 44;
  source.deviation[3] = 12;
  OBJ_VALUE a;
  a.n_of_Scheduled_Jobs = 1;
  a.set_from(source, 3, 30, 10);
  EXPECT_EQ(a.sumTardiness, 3);
  EXPECT_EQ(a.n_orders, 3);
  EXPECT_EQ(a.n_jobs, 30);
  EXPECT_EQ(a.n_machines, 10);
  EXPECT_EQ(a.n_of_Scheduled_Jobs, 1);
  EXPECT_EQ(a.deviation[3], 0);
  OBJ_VALUE b;
  b.n_jobs = 7;
  b.take_values(source);
  EXPECT_EQ(b.sumEarly_Startness, -9);
  EXPECT_EQ(b.deviation[3], 12);
  EXPECT_EQ(b.n_of_Scheduled_Jobs, 0);
  EXPECT_EQ(b.n_jobs, 7);
}

struct CompareCase {
  const char* name;
  OBJ_VALUE a, b;
  double expected;
};

TEST(WeightedDifference, FollowsTheRelativeDifferenceRule) {
  const Priorities defaults;
  const CompareCase cases[] = {
      {"identical", values({4, 5, 100, 30, 12, 900}), values({4, 5, 100, 30, 12, 900}), 0.0},
      // 4 -> 5 late jobs with priority 8: (5-4)*100/5 = 20, times 8.
      {"late jobs worse", values({0, 4}), values({0, 5}), 160.0},
      {"zero to positive is a full change", values({0}), values({3}), 700.0},
      {"positive to zero", values({3}), values({0}), -700.0},
      {"both zero", values({0, 0, 0}), values({0, 0, 0}), 0.0},
      // Objectives 7..9 carry priority 0.
      {"unweighted objectives", values({1, 1, 1, 1, 1, 1, 5, 6, -7}),
       values({1, 1, 1, 1, 1, 1, 50, 60, -70}), 0.0},
      // Mixed: better on sum of tardiness (10), worse on setups (7).
      {"mixed", values({0, 0, 100, 0, 10}), values({0, 0, 50, 0, 20}), 10 * -50.0 + 7 * 50.0},
  };
  for (const CompareCase& c : cases) {
    EXPECT_DOUBLE_EQ(weighted_difference(c.a, c.b, defaults), c.expected) << c.name;
  }
}

TEST(WeightedDifference, PredicatesTakeTheSign) {
  const Priorities p;
  const OBJ_VALUE good = values({0, 4}), bad = values({0, 5});
  EXPECT_TRUE(better_than(good, bad, p));
  EXPECT_FALSE(better_than(bad, good, p));
  EXPECT_TRUE(worse_than(bad, good, p));
  EXPECT_TRUE(not_worse_than(good, bad, p));
  EXPECT_FALSE(not_worse_than(bad, good, p));
  EXPECT_TRUE(equal_to(good, good, p));
  EXPECT_TRUE(not_worse_than(good, good, p));
  EXPECT_FALSE(better_than(good, good, p));
  Priorities none;
  none.objective.fill(0);
  EXPECT_TRUE(equal_to(good, bad, none));
}

TEST(WeightedDifference, DeviationsCountOnlyWithTheirPriority) {
  Priorities p;
  OBJ_VALUE a, b;
  a.deviation[2] = 2;
  b.deviation[2] = 4;
  EXPECT_EQ(weighted_difference(a, b, p), 0.0);
  p.deviation[2] = 3;
  EXPECT_DOUBLE_EQ(weighted_difference(a, b, p), 3 * 50.0);
}

// Regression: early startness is <= 0, so (-3, 0) has no positive divisor.
// With its priority 0 the term must not turn the sum into NaN.
TEST(WeightedDifference, EarlyStartnessPairNeverGivesNaN) {
  Priorities p;
  OBJ_VALUE a = values({1, 2, 3, 4, 5, 6, 0, 1, -3});
  OBJ_VALUE b = values({1, 2, 3, 4, 5, 6, 0, 0, 0});
  const double d = weighted_difference(a, b, p);
  EXPECT_FALSE(std::isnan(d));
  EXPECT_EQ(d, 0.0);
  EXPECT_TRUE(equal_to(a, b, p));
  EXPECT_TRUE(not_worse_than(a, b, p));
  EXPECT_TRUE(not_worse_than(b, a, p));
  // Even with a weight the term is finite.
  p.objective[9] = 1;
  EXPECT_TRUE(std::isfinite(weighted_difference(a, b, p)));
  EXPECT_DOUBLE_EQ(weighted_difference(a, b, p), 100.0);
}

}  // namespace
}  // namespace vema
