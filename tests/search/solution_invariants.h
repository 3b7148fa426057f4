// A checker for every table invariant of a search solution, for use after
// any change: assignment, position_of, sequence and step_at agree; every
// routed job stands once on the machine of each of its route steps and
// nowhere else; each machine belongs to its step's group and to the order's
// allowed machines; each route is one of the order's feasible routes (or 0).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "problem/problem.h"
#include "problem/route_tables.h"
#include "search/search_solution.h"

namespace vema::testing {

inline ::testing::AssertionResult solution_invariants(const SearchSolution& s,
                                                      const Problem& problem) {
  using ::testing::AssertionFailure;
  if (s.n_orders() != problem.N_Order || s.n_jobs() != problem.N_Job ||
      s.n_machines() != problem.N_Machine) {
    return AssertionFailure() << "dimensions " << s.n_orders() << "/" << s.n_jobs() << "/"
                              << s.n_machines() << " do not fit the problem";
  }
  const int J = s.n_jobs();
  const int M = s.n_machines();

  // Jobs: route, machines and the positions they point at.
  long long route_steps = 0;
  for (int j = 1; j <= J; ++j) {
    const int* a = s.assignment(j);
    const int* pos = s.position_of(j);
    const int route = a[0];
    const ORDER& order = problem.Orders[problem.Jobs[j].O_ID];
    const auto* feasible_end = order.R_feasible.begin() + 1 + order.R_feasible[0];
    if (route != 0 &&
        std::find(order.R_feasible.begin() + 1, feasible_end, route) == feasible_end) {
      return AssertionFailure() << "job " << j << " has route " << route
                                << ", not a feasible route of order " << order.ID;
    }
    const int k = route_length(route);
    route_steps += k;
    for (int l = 1; l <= k; ++l) {
      const int m = a[l];
      if (m < 1 || m > M) {
        return AssertionFailure() << "job " << j << " step " << l << " on machine " << m;
      }
      const int group = R_MG_ex[route][l];
      if (problem.Machines[m].group != group) {
        return AssertionFailure() << "job " << j << " step " << l << ": machine " << m
                                  << " is not in group " << group;
      }
      const CountedList& allowed = order.allowed_machines[group];
      if (std::find(allowed.begin() + 1, allowed.begin() + 1 + allowed[0], m) ==
          allowed.begin() + 1 + allowed[0]) {
        return AssertionFailure() << "job " << j << " step " << l << ": machine " << m
                                  << " is not allowed for order " << order.ID;
      }
      for (int e = 1; e < l; ++e) {
        if (a[e] == m) {
          return AssertionFailure() << "job " << j << " uses machine " << m << " twice";
        }
      }
      const int p = pos[l];
      const int* seq = s.sequence(m);
      if (p < 1 || p > seq[0]) {
        return AssertionFailure() << "job " << j << " step " << l << ": position " << p
                                  << " outside machine " << m << " (" << seq[0] << " jobs)";
      }
      if (seq[p] != j || s.step_at(m)[p] != l) {
        return AssertionFailure() << "job " << j << " step " << l << ": machine " << m
                                  << " position " << p << " holds job " << seq[p] << " step "
                                  << s.step_at(m)[p];
      }
    }
  }

  // Machines: every position belongs to a route step of its job that points
  // back at it. With the job side above this makes positions and route steps
  // correspond one to one.
  long long positions = 0;
  for (int m = 1; m <= M; ++m) {
    const int* seq = s.sequence(m);
    const int n = seq[0];
    if (n < 0 || n > J) return AssertionFailure() << "machine " << m << " count " << n;
    positions += n;
    for (int p = 1; p <= n; ++p) {
      const int j = seq[p];
      if (j < 1 || j > J) {
        return AssertionFailure() << "machine " << m << " position " << p << " holds job " << j;
      }
      const int l = s.step_at(m)[p];
      if (l < 1 || l > route_length(s.assignment(j)[0])) {
        return AssertionFailure() << "machine " << m << " position " << p << ": job " << j
                                  << " has no route step " << l;
      }
      if (s.assignment(j)[l] != m || s.position_of(j)[l] != p) {
        return AssertionFailure() << "machine " << m << " position " << p << ": job " << j
                                  << " step " << l << " points at machine " << s.assignment(j)[l]
                                  << " position " << s.position_of(j)[l];
      }
    }
  }
  if (positions != route_steps) {
    return AssertionFailure() << positions << " machine positions for " << route_steps
                              << " route steps";
  }
  return ::testing::AssertionSuccess();
}

// The machine sequences, assignments and positions of a solution, for
// comparing two solutions table by table.
struct SolutionTables {
  std::vector<int> assignment, position_of, sequence, step_at;
  bool operator==(const SolutionTables&) const = default;
};

inline SolutionTables tables_of(const SearchSolution& s) {
  SolutionTables t;
  for (int j = 1; j <= s.n_jobs(); ++j) {
    const int k = route_length(s.assignment(j)[0]);
    t.assignment.insert(t.assignment.end(), s.assignment(j), s.assignment(j) + k + 1);
    t.position_of.insert(t.position_of.end(), s.position_of(j) + 1, s.position_of(j) + k + 1);
  }
  for (int m = 1; m <= s.n_machines(); ++m) {
    const int n = s.sequence(m)[0];
    t.sequence.insert(t.sequence.end(), s.sequence(m), s.sequence(m) + n + 1);
    t.step_at.insert(t.step_at.end(), s.step_at(m) + 1, s.step_at(m) + n + 1);
  }
  return t;
}

}  // namespace vema::testing
