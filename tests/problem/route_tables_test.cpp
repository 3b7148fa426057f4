#include "problem/route_tables.h"

#include <gtest/gtest.h>

namespace vema {
namespace {

TEST(RouteTables, GroupCodesMatchStepRanges) {
  for (int g = 1; g <= kGroups; ++g) {
    const auto& steps = MG_TS[g];
    ASSERT_GE(steps[0], 1);
    for (int i = 2; i <= steps[0]; ++i) EXPECT_EQ(steps[i], steps[i - 1] + 1) << "group " << g;
    EXPECT_EQ(group_code(steps[1], steps[steps[0]]), g);
  }
  EXPECT_EQ(group_code(3, 2), 0);
  EXPECT_EQ(group_code(0, 2), 0);
  EXPECT_EQ(group_code(1, 5), 0);
}

// Exe_R[t] must hold exactly the routes whose groups cut t's range into
// consecutive pieces, in catalogue order.
TEST(RouteTables, ExecutionTypesListExactlyTheRoutesCoveringThem) {
  for (int t = 1; t <= kGroups; ++t) {
    const int first = MG_TS[t][1];
    const int last = MG_TS[t][MG_TS[t][0]];
    int listed = 0;
    for (int r = 1; r <= kRoutes; ++r) {
      int next = first;
      bool covers = true;
      for (int l = 1; l <= R_MG_ex[r][0]; ++l) {
        const auto& steps = MG_TS[R_MG_ex[r][l]];
        if (steps[1] != next) covers = false;
        next = steps[steps[0]] + 1;
      }
      covers = covers && next == last + 1;
      bool in_list = false;
      for (int i = 1; i <= Exe_R[t][0]; ++i) in_list = in_list || Exe_R[t][i] == r;
      EXPECT_EQ(covers, in_list) << "type " << t << " route " << r;
      listed += covers ? 1 : 0;
    }
    EXPECT_EQ(listed, Exe_R[t][0]);
    for (int i = 2; i <= Exe_R[t][0]; ++i) EXPECT_LT(Exe_R[t][i - 1], Exe_R[t][i]);
  }
  EXPECT_EQ(route_length(1), 4);
  EXPECT_EQ(route_length(8), 1);
  EXPECT_EQ(route_length(0), 0);
  EXPECT_EQ(route_length(27), 0);
}

}  // namespace
}  // namespace vema
