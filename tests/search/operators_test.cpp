// The roulette choice, the building blocks and the five neighbourhood
// operators. Every change is checked against the full set of search
// solution invariants.
#include "search/operators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fixed_clock.h"
#include "search/solution_invariants.h"
#include "test_problems.h"

namespace vema {
namespace {

using testing::example_problem;
using testing::FixedClock;
using testing::problem_from_text;
using testing::solution_invariants;
using testing::tables_of;

int pick(std::mt19937& rng, int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// A random shop: machines 0..3 cover one step each, the others random step
// ranges, so orders get several feasible routes; some orders name a machine
// twice, some have one job and some have no feasible route at all.
// late_free gives every order a time window no schedule can miss.
std::string random_shop(std::mt19937& rng, bool late_free = false) {
  const int machines = pick(rng, 5, 10), orders = pick(rng, 3, 7), setups = pick(rng, 1, 3);
  std::vector<int> first(machines), last(machines);
  std::ostringstream out;
  out << "001|" << machines << '|' << orders << '|' << setups << '\n';
  for (int m = 0; m < machines; ++m) {
    first[m] = m < 4 ? m : pick(rng, 0, 3);
    last[m] = m < 4 ? m : pick(rng, first[m], 3);
    out << "100|" << m << '|' << pick(rng, 1, 6) << '|' << first[m] << '|' << last[m] << '\n';
    const int intervals = pick(rng, 1, 3);
    out << "110|" << m << '|' << intervals << '\n';
    int t = pick(rng, 0, 30);
    for (int k = 0; k < intervals; ++k) {
      const int len = late_free ? 100000 : pick(rng, 40, 200);
      out << "120|" << m << '|' << t << '|' << t + len << '\n';
      t += len + pick(rng, 1, 40);
    }
    out << "130|" << m << "|1\n140|" << m << "|0|0|0\n";
  }
  for (int o = 0; o < orders; ++o) {
    const int from = pick(rng, 0, 3), to = pick(rng, from, 3);
    const int cst = pick(rng, 0, 60);
    const int jobs = o == 0 ? 1 : pick(rng, 1, 5);
    const int window = late_free ? 10000000 : pick(rng, 20, 200);
    out << "200|" << o << '|' << cst + window << '|' << cst << '|' << jobs << '|'
        << pick(rng, 1, 30) << '|' << from << '|' << to << '|' << pick(rng, 0, setups - 1) << '\n';
    std::vector<int> entries;
    for (int m = 0; m < machines; ++m) {
      if (first[m] < from || last[m] > to) continue;
      if (pick(rng, 0, 9) < 8) entries.push_back(m);
      if (pick(rng, 0, 9) == 0) entries.push_back(m);  // named twice
    }
    if (entries.empty()) entries.push_back(from);
    out << "210|" << o << '|' << entries.size() << '\n';
    for (int m : entries)
      out << "220|" << o << '|' << first[m] << '|' << last[m] << '|' << m << '\n';
  }
  return out.str();
}

struct NamedProblem {
  std::string name;
  Problem problem;
};

// busy_shop has late jobs under a random start; the random shops add
// single-job orders, orders without a route and idle machines.
std::vector<NamedProblem> test_problems() {
  std::vector<NamedProblem> list;
  list.push_back({"busy_shop", example_problem("busy_shop.sif")});
  std::mt19937 rng(4711);
  list.push_back({"random shop 1", problem_from_text(random_shop(rng))});
  list.push_back({"random shop 2", problem_from_text(random_shop(rng))});
  return list;
}

SearchSolution random_start(const Problem& p, uint64_t seed) {
  FixedClock clock;
  Random rng(clock);
  rng.set_fixed_seed(seed);
  SearchSolution s(p.N_Order, p.N_Job, p.N_Machine);
  s.random_assignment(p, rng);
  return s;
}

// One machine covering step 1 and one order of `jobs` jobs that must use it.
std::string one_machine_shop(int jobs) {
  return "001|1|1|1\n100|0|5|0|0\n110|0|1\n120|0|0|100000\n130|0|1\n140|0|0|0|0\n"
         "200|0|100000|0|" +
         std::to_string(jobs) + "|10|0|0|0\n210|0|1\n220|0|0|0|0\n";
}

std::vector<int> jobs_on(const SearchSolution& s, int m) {
  return std::vector<int>(s.sequence(m) + 1, s.sequence(m) + 1 + s.sequence(m)[0]);
}

// ---------------------------------------------------------------- roulette

TEST(ChooseOperator, FixedOutcomes) {
  struct Case {
    const char* what;
    int n;
    std::array<int, 9> p;
    int expected;
  };
  const Case cases[] = {
      {"all priorities 0 choose N1", 5, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
      {"only N5 weighted", 5, {0, 0, 0, 0, 0, 3, 0, 0, 0}, 5},
      {"only N2 weighted", 5, {0, 0, 10, 0, 0, 0, 0, 0, 0}, 2},
      {"entry 0 and entries past n are not read", 5, {9, 0, 0, 0, 4, 0, 9, 9, 9}, 4},
      {"one operator", 1, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
      {"one operator with a priority", 1, {0, 7, 0, 0, 0, 0, 0, 0, 0}, 1},
      {"no operator", 0, {1, 1, 1, 1, 1, 1, 0, 0, 0}, 0},
      {"negative count", -2, {1, 1, 1, 1, 1, 1, 0, 0, 0}, 0},
  };
  FixedClock clock;
  Random rng(clock);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rng.seed(99);
    for (int draw = 0; draw < 2000; ++draw)
      ASSERT_EQ(choose_operator(c.n, c.p.data(), rng), c.expected);
  }
}

TEST(ChooseOperator, ChoosesInProportionToPriorities) {
  const std::array<int, 9> p = {0, 1, 2, 3, 0, 4, 0, 0, 0};
  FixedClock clock;
  Random rng(clock);
  rng.seed(2024);
  constexpr int kDraws = 100000;
  std::array<int, 6> chosen{};
  for (int draw = 0; draw < kDraws; ++draw) ++chosen[choose_operator(5, p.data(), rng)];
  EXPECT_EQ(chosen[0], 0);
  EXPECT_EQ(chosen[4], 0) << "a priority of 0 is never chosen";
  for (int k = 1; k <= 5; ++k) {
    const double share = p[k] / 10.0;
    const double expected = kDraws * share;
    const double sigma = std::sqrt(kDraws * share * (1 - share));
    EXPECT_NEAR(chosen[k], expected, 5 * sigma + 1) << "N" << k;
  }
}

// ------------------------------------------------------- building blocks

TEST(Operators, EveryBuildingBlockAndOperatorKeepsTheInvariants) {
  for (NamedProblem& np : test_problems()) {
    SCOPED_TRACE(np.name);
    Problem& p = np.problem;
    SearchSolution s = random_start(p, 17);
    ASSERT_TRUE(solution_invariants(s, p));
    FixedClock clock;
    Random rng(clock);
    rng.seed(5);
    OperatorWorkspace workspace(p.N_Job);
    OBJ_VALUE values;
    for (int it = 0; it < 3000; ++it) {
      const int action = it % 10;
      const int j = rng.mod(p.N_Job) + 1;
      SCOPED_TRACE("iteration " + std::to_string(it) + " action " + std::to_string(action));
      switch (action) {
        case 0:
          remove_job(s, j);
          ASSERT_EQ(s.assignment(j)[0], 0);
          ASSERT_TRUE(solution_invariants(s, p));
          insert_job_random(s, j, p, rng);
          break;
        case 1:
          change_job(s, j, p, rng);
          break;
        case 2: {
          // Another job of the same order, so the copied route stays feasible.
          const ORDER& o = p.Orders[p.Jobs[j].O_ID];
          if (o.NJob < 2) continue;
          const int b = o.FirstJob + (j - o.FirstJob + 1 + rng.mod(o.NJob - 1)) % o.NJob;
          ASSERT_NE(b, j);
          copy_job_assignment(s, j, b);
          break;
        }
        case 3:
          change_order(s, rng.mod(p.N_Order) + 1, p, rng);
          break;
        case 4:
          do_pi(s, rng.mod(p.N_Machine) + 1, rng, workspace);
          break;
        default:
          apply_operator(action - 4, s, p, values, rng, workspace);
          break;
      }
      ASSERT_TRUE(solution_invariants(s, p));
    }
  }
}

TEST(Operators, ChangeOrderPutsTheOrderAsOneDescendingBlock) {
  for (NamedProblem& np : test_problems()) {
    SCOPED_TRACE(np.name);
    Problem& p = np.problem;
    SearchSolution s = random_start(p, 3);
    FixedClock clock;
    Random rng(clock);
    rng.seed(11);
    for (int round = 0; round < 40; ++round) {
      for (int o = 1; o <= p.N_Order; ++o) {
        change_order(s, o, p, rng);
        ASSERT_TRUE(solution_invariants(s, p));
        const int f = p.Orders[o].FirstJob, n = p.Orders[o].NJob;
        const int* af = s.assignment(f);
        const int k = route_length(af[0]);
        for (int b = f + 1; b < f + n; ++b) {
          ASSERT_EQ(s.assignment(b)[0], af[0]) << "job " << b << " of order " << o;
          for (int l = 1; l <= k; ++l) ASSERT_EQ(s.assignment(b)[l], af[l]);
        }
        // On each machine: f+n-1, ..., f+1, f at consecutive positions.
        for (int l = 1; l <= k; ++l) {
          const int m = af[l];
          const int start = s.position_of(f + n - 1)[l];
          for (int i = 0; i < n; ++i) {
            ASSERT_EQ(s.sequence(m)[start + i], f + n - 1 - i) << "order " << o << " machine " << m;
            ASSERT_EQ(s.step_at(m)[start + i], l);
          }
        }
      }
    }
  }
}

TEST(Operators, ChangeOrderOfAOneJobOrderIsChangeJob) {
  std::mt19937 gen(99);
  int compared = 0;
  for (int shop = 0; shop < 5; ++shop) {
    Problem p = problem_from_text(random_shop(gen));
    SearchSolution start = random_start(p, static_cast<uint64_t>(shop));
    for (int o = 1; o <= p.N_Order; ++o) {
      if (p.Orders[o].NJob != 1) continue;
      for (uint64_t seed = 0; seed < 20; ++seed) {
        SearchSolution by_order(start), by_job(start);
        FixedClock clock;
        Random r1(clock), r2(clock);
        r1.seed(seed);
        r2.seed(seed);
        change_order(by_order, o, p, r1);
        change_job(by_job, p.Orders[o].FirstJob, p, r2);
        ASSERT_EQ(tables_of(by_order), tables_of(by_job)) << "order " << o << " seed " << seed;
        ASSERT_EQ(r1.next(), r2.next()) << "both drew the same random values";
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 0);
}

TEST(Operators, InsertJobRandomReachesEveryPositionAndKeepsTheOthersInOrder) {
  Problem p = problem_from_text(one_machine_shop(4));
  SearchSolution start = random_start(p, 1);
  ASSERT_EQ(jobs_on(start, 1), (std::vector<int>{1, 2, 3, 4}));
  remove_job(start, 2);
  ASSERT_EQ(jobs_on(start, 1), (std::vector<int>{1, 3, 4}));
  std::set<int> positions;
  for (uint64_t seed = 0; seed < 200; ++seed) {
    SearchSolution s(start);
    FixedClock clock;
    Random rng(clock);
    rng.seed(seed);
    insert_job_random(s, 2, p, rng);
    ASSERT_TRUE(solution_invariants(s, p));
    std::vector<int> others = jobs_on(s, 1);
    others.erase(std::find(others.begin(), others.end(), 2));
    ASSERT_EQ(others, (std::vector<int>{1, 3, 4}));
    positions.insert(s.position_of(2)[1]);
  }
  EXPECT_EQ(positions, (std::set<int>{1, 2, 3, 4}));
}

TEST(Operators, CopyJobAssignmentPutsTheCopyRightBeforeTheSource) {
  Problem p = example_problem("busy_shop.sif");
  SearchSolution s = random_start(p, 8);
  for (int o = 1; o <= p.N_Order; ++o) {
    const int a = p.Orders[o].FirstJob, b = a + p.Orders[o].NJob - 1;
    copy_job_assignment(s, a, b);
    ASSERT_TRUE(solution_invariants(s, p));
    ASSERT_EQ(s.assignment(b)[0], s.assignment(a)[0]);
    for (int l = 1; l <= route_length(s.assignment(a)[0]); ++l) {
      ASSERT_EQ(s.assignment(b)[l], s.assignment(a)[l]);
      ASSERT_EQ(s.position_of(b)[l] + 1, s.position_of(a)[l]) << "order " << o << " step " << l;
    }
  }
}

// ---------------------------------------------------------------- do_pi

TEST(DoPi, TwoJobsSwapWithTwoDrawnPositionsAndStayWithOne) {
  Problem p = problem_from_text(one_machine_shop(2));
  const SearchSolution start = random_start(p, 1);
  OperatorWorkspace workspace(p.N_Job);
  std::set<int> seen_c;
  for (uint64_t seed = 0; seed < 50; ++seed) {
    FixedClock clock;
    Random probe(clock), rng(clock);
    probe.seed(seed);
    rng.seed(seed);
    const int c = probe.mod(2) + 1;  // the first draw of do_pi
    seen_c.insert(c);
    SearchSolution s(start);
    ASSERT_TRUE(do_pi(s, 1, rng, workspace));
    ASSERT_TRUE(solution_invariants(s, p));
    EXPECT_EQ(jobs_on(s, 1), c == 2 ? (std::vector<int>{2, 1}) : (std::vector<int>{1, 2}))
        << "seed " << seed;
  }
  EXPECT_EQ(seen_c, (std::set<int>{1, 2}));
}

TEST(DoPi, ReachesEveryPermutationOfThreeJobs) {
  // Drawing the positions in increasing order instead of random order would
  // only ever rotate one way and miss one of the two 3-cycles.
  Problem p = problem_from_text(one_machine_shop(3));
  const SearchSolution start = random_start(p, 1);
  OperatorWorkspace workspace(p.N_Job);
  std::set<std::vector<int>> seen;
  for (uint64_t seed = 0; seed < 300; ++seed) {
    FixedClock clock;
    Random rng(clock);
    rng.seed(seed);
    SearchSolution s(start);
    ASSERT_TRUE(do_pi(s, 1, rng, workspace));
    ASSERT_TRUE(solution_invariants(s, p));
    seen.insert(jobs_on(s, 1));
  }
  EXPECT_EQ(seen.size(), 6u);
}

// Two machines of step 1; the order's one job can use either, so one machine
// holds one job and the other none.
const char* const kTwoMachinesOneJob =
    "001|2|1|1\n"
    "100|0|5|0|0\n110|0|1\n120|0|0|100000\n130|0|1\n140|0|0|0|0\n"
    "100|1|5|0|0\n110|1|1\n120|1|0|100000\n130|1|1\n140|1|0|0|0\n"
    "200|0|100000|0|1|10|0|0|0\n210|0|2\n220|0|0|0|0\n220|0|0|0|1\n";

TEST(DoPi, FewerThanTwoJobsChangeNothingAndDropTheN3Neighbour) {
  Problem p = problem_from_text(kTwoMachinesOneJob);
  const SearchSolution start = random_start(p, 1);
  const int busy = start.assignment(1)[1];
  OperatorWorkspace workspace(p.N_Job);
  FixedClock clock;
  Random rng(clock);
  rng.seed(3);
  for (int m = 1; m <= 2; ++m) {
    SearchSolution s(start);
    EXPECT_FALSE(do_pi(s, m, rng, workspace)) << "machine " << m;
    EXPECT_EQ(tables_of(s), tables_of(start));
    EXPECT_EQ(s.sequence(m)[0], m == busy ? 1 : 0);
  }
  OBJ_VALUE values;
  for (int draw = 0; draw < 50; ++draw) {
    SearchSolution s(start);
    EXPECT_FALSE(apply_operator(3, s, p, values, rng, workspace));
  }
}

// ------------------------------------------------------- late-job operators

TEST(Operators, PickLateJobPicksOnlyLateJobsAndEachOfThem) {
  Problem p = example_problem("busy_shop.sif");
  SearchSolution s = random_start(p, 21);
  OBJ_VALUE values;
  s.evaluate(p);
  s.compute_objectives(values, p);
  std::set<int> late;
  for (int j = 1; j <= p.N_Job; ++j) {
    if (p.Jobs[j].completion > p.Orders[p.Jobs[j].O_ID].CET) late.insert(j);
  }
  ASSERT_GE(late.size(), 2u) << "the example must have late jobs under a random start";
  ASSERT_EQ(values.n_of_Late_Jobs, static_cast<int>(late.size()));
  std::set<int> picked;
  FixedClock clock;
  Random rng(clock);
  rng.seed(1);
  for (int draw = 0; draw < 500; ++draw) {
    const int j = pick_late_job(s, p, values, rng);
    ASSERT_EQ(late.count(j), 1u) << "picked job " << j;
    picked.insert(j);
  }
  EXPECT_EQ(picked, late);
}

TEST(Operators, WithoutLateJobsN2AndN4LeaveTheNeighbourAndN3OnlyPermutes) {
  std::mt19937 gen(7);
  for (int shop = 0; shop < 3; ++shop) {
    Problem p = problem_from_text(random_shop(gen, /*late_free=*/true));
    const SearchSolution start = random_start(p, static_cast<uint64_t>(shop));
    OperatorWorkspace workspace(p.N_Job);
    OBJ_VALUE values;
    for (uint64_t seed = 0; seed < 30; ++seed) {
      FixedClock clock;
      Random rng(clock), ref(clock);
      rng.seed(seed);
      ref.seed(seed);
      for (int k : {2, 4}) {
        SearchSolution w(start);
        EXPECT_TRUE(apply_operator(k, w, p, values, rng, workspace));
        ASSERT_EQ(values.n_of_Late_Jobs, 0);
        EXPECT_EQ(tables_of(w), tables_of(start)) << "N" << k;
      }
      // N3 without a late job is do_pi on a random machine.
      ref.seed(seed);
      rng.seed(seed);
      SearchSolution w(start), expected(start);
      const bool kept = apply_operator(3, w, p, values, rng, workspace);
      const bool expected_kept = do_pi(expected, ref.mod(p.N_Machine) + 1, ref, workspace);
      EXPECT_EQ(kept, expected_kept);
      EXPECT_EQ(tables_of(w), tables_of(expected)) << "seed " << seed;
    }
  }
}

TEST(Operators, LateJobOperatorsMoveOnlyALateJobOrItsOrder) {
  Problem p = example_problem("busy_shop.sif");
  OperatorWorkspace workspace(p.N_Job);
  OBJ_VALUE values;
  FixedClock clock;
  Random rng(clock);
  rng.seed(77);
  int moved_n4 = 0, moved_n2 = 0;
  for (uint64_t start_seed = 0; start_seed < 30; ++start_seed) {
    SearchSolution start = random_start(p, start_seed);
    start.evaluate(p);
    start.compute_objectives(values, p);
    std::set<int> late, late_orders;
    for (int j = 1; j <= p.N_Job; ++j) {
      if (p.Jobs[j].completion > p.Orders[p.Jobs[j].O_ID].CET) {
        late.insert(j);
        late_orders.insert(p.Jobs[j].O_ID);
      }
    }
    for (int k : {2, 4}) {
      SearchSolution w(start);
      ASSERT_TRUE(apply_operator(k, w, p, values, rng, workspace));
      ASSERT_TRUE(solution_invariants(w, p));
      // Jobs whose route or machines changed (positions of others shift).
      std::set<int> changed, changed_orders;
      for (int j = 1; j <= p.N_Job; ++j) {
        const int k_start = route_length(start.assignment(j)[0]);
        if (!std::equal(start.assignment(j), start.assignment(j) + k_start + 1, w.assignment(j))) {
          changed.insert(j);
          changed_orders.insert(p.Jobs[j].O_ID);
        }
      }
      if (k == 4) {
        ASSERT_LE(changed.size(), 1u);
        if (!changed.empty()) {
          EXPECT_EQ(late.count(*changed.begin()), 1u);
          ++moved_n4;
        }
      } else {
        ASSERT_LE(changed_orders.size(), 1u);
        if (!changed_orders.empty()) {
          EXPECT_EQ(late_orders.count(*changed_orders.begin()), 1u);
          ++moved_n2;
        }
      }
    }
  }
  EXPECT_GT(moved_n4, 0);
  EXPECT_GT(moved_n2, 0);
}

}  // namespace
}  // namespace vema
