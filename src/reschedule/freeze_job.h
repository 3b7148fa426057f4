// What freezing leaves open to one job: the routes it may still follow and,
// per machine group, the machines it may still use. Owned by its JOB; copies
// are deep.
#pragma once

#include <array>
#include <vector>

#include "problem/route_tables.h"

namespace vema {

struct FREEZE_JOB {
  // Counted list of routes (rows of R_MG_ex), the layout of an order's R_feasible.
  std::array<int, kMaxExeRoutes + 1> feasible_routes{};
  // group_machines[g], g = 1..10: counted list of the machines the job may
  // still use for group g. Slot 0 holds no list.
  std::array<std::vector<int>, kGroups + 1> group_machines;

  FREEZE_JOB() = default;
  // For a job of an order with these allowed_machines lists: each group list
  // has room for as many machines as the order's list of that group, and
  // every count is 0.
  explicit FREEZE_JOB(const std::array<std::vector<int>, kGroups + 1>& allowed_machines) {
    for (int g = 1; g <= kGroups; ++g) {
      const std::vector<int>& allowed = allowed_machines[g];
      const int room = allowed.empty() ? 0 : allowed[0];
      group_machines[g].assign(static_cast<size_t>(room) + 1, 0);
    }
  }
};

}  // namespace vema
