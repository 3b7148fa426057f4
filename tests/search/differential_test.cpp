// The search solution and the linked schedule must time every schedule
// identically. Random small problems with gaps in the calendars, idle
// machines, speed-0 machines and several feasible routes per order are timed
// both ways and compared task by task.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fixed_clock.h"
#include "schedule/sch.h"
#include "schedule/timing.h"
#include "search/search_solution.h"
#include "test_problems.h"

namespace vema {
namespace {

using testing::FixedClock;
using testing::problem_from_text;

int pick(std::mt19937& rng, int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(rng);
}
bool chance(std::mt19937& rng, double p) { return std::bernoulli_distribution(p)(rng); }

// Input text of a random small shop. Machines 0..3 each cover one step, so
// the all-single-steps route is mostly open; the others cover random step
// ranges, which gives orders several feasible routes.
std::string random_shop(std::mt19937& rng) {
  const int machines = pick(rng, 4, 9), orders = pick(rng, 1, 5), setups = pick(rng, 1, 3);
  std::vector<int> first(machines), last(machines);
  std::ostringstream out;
  out << "001|" << machines << '|' << orders << '|' << setups << '\n';
  for (int m = 0; m < machines; ++m) {
    first[m] = m < 4 ? m : pick(rng, 0, 3);
    last[m] = m < 4 ? m : pick(rng, first[m], 3);
    out << "100|" << m << '|' << pick(rng, 1, 6) << '|' << first[m] << '|' << last[m] << '\n';
    const int intervals = pick(rng, 1, 4);
    out << "110|" << m << '|' << intervals << '\n';
    int t = pick(rng, 0, 30);
    for (int k = 0; k < intervals; ++k) {
      const int len = pick(rng, 5, 80);
      out << "120|" << m << '|' << t << '|' << t + len << '\n';
      t += len + pick(rng, 1, 40);
    }
    std::vector<std::string> lines;
    for (int f = 0; f < setups; ++f) {
      for (int to = 0; to < setups; ++to) {
        if (f != to) {
          lines.push_back("140|" + std::to_string(m) + '|' + std::to_string(f) + '|' +
                          std::to_string(to) + '|' + std::to_string(pick(rng, 0, 12)));
        }
      }
    }
    if (lines.empty()) lines.push_back("140|" + std::to_string(m) + "|0|0|0");
    out << "130|" << m << '|' << lines.size() << '\n';
    for (const std::string& line : lines) out << line << '\n';
  }
  for (int o = 0; o < orders; ++o) {
    const int from = pick(rng, 0, 3), to = pick(rng, from, 3);
    const int cst = pick(rng, 0, 60);
    out << "200|" << o << '|' << cst + pick(rng, 10, 250) << '|' << cst << '|' << pick(rng, 1, 4)
        << '|' << pick(rng, 1, 30) << '|' << from << '|' << to << '|' << pick(rng, 0, setups - 1)
        << '\n';
    std::vector<int> entries;
    for (int m = 0; m < machines; ++m) {
      if (first[m] < from || last[m] > to) continue;
      if (chance(rng, m < 4 ? 0.93 : 0.7)) entries.push_back(m);
      if (chance(rng, 0.1)) entries.push_back(m);  // named twice
    }
    if (entries.empty()) entries.push_back(from);
    out << "210|" << o << '|' << entries.size() << '\n';
    for (int m : entries) {
      out << "220|" << o << '|' << first[m] << '|' << last[m] << '|' << m << '\n';
    }
  }
  return out.str();
}

Problem random_problem(std::mt19937& rng) {
  Problem p = problem_from_text(random_shop(rng));
  // No input holds these; speeds and calendars come from the data window,
  // ready times from rescheduling.
  for (int m = 1; m <= p.N_Machine; ++m) {
    if (chance(rng, 0.15)) p.Machines[m].Speed = 0;
    if (chance(rng, 0.3)) p.Machines[m].ready_time = pick(rng, 0, 60);
    if (chance(rng, 0.05)) p.Machines[m].N_Cal = 0;
  }
  return p;
}

// A random assignment with every machine sequence shuffled.
void random_placement(const Problem& p, int64_t seconds, std::mt19937& rng,
                      std::vector<JobAssignment>& J_A, std::vector<CountedList>& M_wload) {
  FixedClock clock(seconds);
  Random random(clock);
  SearchSolution s(p.N_Order, p.N_Job, p.N_Machine);
  s.random_assignment(p, random);
  s.export_arrays(J_A, M_wload);
  for (int m = 1; m <= p.N_Machine; ++m) {
    std::shuffle(M_wload[m].begin() + 1, M_wload[m].begin() + 1 + M_wload[m][0], rng);
  }
}

bool same_record(const TASK& t, const TimingRecord& r) {
  return t.Setup == r.Setup && t.StartT == r.StartT && t.SetT == r.SetT && t.ProcT == r.ProcT &&
         t.EndT == r.EndT && t.M_Calendar_OK == r.M_Calendar_OK;
}

std::string describe(const TASK& t) {
  std::ostringstream out;
  out << "job " << t.job << " step " << t.step << " on machine " << t.machine << ": {" << t.Setup
      << ", " << t.StartT << ", " << t.SetT << ", " << t.ProcT << ", " << t.EndT << ", "
      << t.M_Calendar_OK << "}";
  return out.str();
}

std::string describe(const TimingRecord& r) {
  std::ostringstream out;
  out << "{" << r.Setup << ", " << r.StartT << ", " << r.SetT << ", " << r.ProcT << ", " << r.EndT
      << ", " << r.M_Calendar_OK << "}";
  return out.str();
}

// Compares every task of the schedule with the record at its machine
// position; reports the first difference.
::testing::AssertionResult same_timing(const SCH& schedule, const TimingView& view) {
  for (int m = 1; m <= schedule.n_machines; ++m) {
    int k = 0;
    for (const TASK* t = schedule.machine_first[m]; t != nullptr; t = t->next_on_machine) {
      const TimingRecord& r = view.at(m, ++k);
      if (!same_record(*t, r)) {
        return ::testing::AssertionFailure()
               << "position " << k << ": " << describe(*t) << " vs " << describe(r);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

struct JobTimes {
  std::vector<int> start, completion, order_start, order_end;
  bool operator==(const JobTimes&) const = default;
};

JobTimes job_times(const Problem& p) {
  JobTimes t;
  for (int j = 1; j <= p.N_Job; ++j) {
    t.start.push_back(p.Jobs[j].start);
    t.completion.push_back(p.Jobs[j].completion);
  }
  for (int o = 1; o <= p.N_Order; ++o) {
    t.order_start.push_back(p.Orders[o].order_start);
    t.order_end.push_back(p.Orders[o].order_end);
  }
  return t;
}

// Clears the fields the evaluations write, so that each one has to write them.
void scribble(Problem& p) {
  for (int j = 1; j <= p.N_Job; ++j) p.Jobs[j].start = p.Jobs[j].completion = -99;
  for (int o = 1; o <= p.N_Order; ++o) p.Orders[o].order_start = p.Orders[o].order_end = -99;
}

constexpr int kProblems = 300;

TEST(Differential, SearchSolutionAndScheduleTimeAlike) {
  std::mt19937 rng(20240611);
  int scheduled_jobs = 0, unscheduled_jobs = 0, calendar_misses = 0, speed0_tasks = 0;
  for (int n = 0; n < kProblems; ++n) {
    SCOPED_TRACE("problem " + std::to_string(n));
    Problem p = random_problem(rng);
    for (int variant = 0; variant < 2; ++variant) {
      std::vector<JobAssignment> J_A;
      std::vector<CountedList> M_wload;
      random_placement(p, n * 2 + variant, rng, J_A, M_wload);
      SearchSolution s(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);
      SCH schedule;
      schedule.build_from_assignment(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);

      s.evaluate(p);
      evaluate(schedule, p);
      ASSERT_TRUE(same_timing(schedule, s.timing_view()));

      OBJ_VALUE from_solution, from_schedule;
      scribble(p);
      s.compute_objectives(from_solution, p);
      const JobTimes solution_times = job_times(p);
      scribble(p);
      compute_objectives(schedule, from_schedule, p);
      for (int i = 1; i <= kObjectives; ++i) {
        ASSERT_EQ(from_solution.objective(i), from_schedule.objective(i)) << "objective " << i;
      }
      ASSERT_TRUE(solution_times == job_times(p));

      for (int j = 1; j <= p.N_Job; ++j) (J_A[j][0] != 0 ? scheduled_jobs : unscheduled_jobs)++;
      for (int m = 1; m <= p.N_Machine; ++m) {
        for (const TASK* t = schedule.machine_first[m]; t != nullptr; t = t->next_on_machine) {
          calendar_misses += t->M_Calendar_OK == 0;
          speed0_tasks += t->M_Calendar_OK == -1;
        }
      }
    }
  }
  // The generator must actually reach the cases it is meant to cover.
  EXPECT_GT(unscheduled_jobs, 0);
  EXPECT_GT(scheduled_jobs, 0);
  EXPECT_GT(calendar_misses, 0);
  EXPECT_GT(speed0_tasks, 0);
}

TEST(Differential, FreezeKeepsFrozenPositionsAndStartsTheRestAfterTheFreeze) {
  std::mt19937 rng(77);
  for (int n = 0; n < kProblems; ++n) {
    SCOPED_TRACE("problem " + std::to_string(n));
    Problem p = random_problem(rng);
    std::vector<JobAssignment> J_A;
    std::vector<CountedList> M_wload;
    random_placement(p, n, rng, J_A, M_wload);
    SearchSolution reference(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);
    reference.evaluate(p);
    SCH schedule;
    schedule.build_from_assignment(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);

    // Freezing the timing a schedule already has, with a freeze time that
    // raises nothing, changes nothing.
    for (int m = 1; m <= p.N_Machine; ++m) {
      p.Machines[m].frozen_tasks = pick(rng, 0, schedule.machine_count[m]);
    }
    evaluate_with_freeze(schedule, p, reference.timing_view(), 0);
    ASSERT_TRUE(same_timing(schedule, reference.timing_view()));

    // Change the shop, then freeze: both forms agree, frozen positions keep
    // the reference exactly, every other task starts at or after the freeze
    // time.
    for (int o = 1; o <= p.N_Order; ++o) p.Orders[o].CST += pick(rng, 0, 30);
    for (int m = 1; m <= p.N_Machine; ++m) {
      if (p.Machines[m].Speed != 0) p.Machines[m].Speed = pick(rng, 1, 6);
    }
    const int freeze_time = pick(rng, 0, 150);
    evaluate_with_freeze(schedule, p, reference.timing_view(), freeze_time);
    SearchSolution frozen(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);
    frozen.evaluate_with_freeze(p, reference.timing_view(), freeze_time);
    ASSERT_TRUE(same_timing(schedule, frozen.timing_view()));
    for (int m = 1; m <= p.N_Machine; ++m) {
      int k = 0;
      for (const TASK* t = schedule.machine_first[m]; t != nullptr; t = t->next_on_machine) {
        ++k;
        if (k <= p.Machines[m].frozen_tasks) {
          ASSERT_TRUE(same_record(*t, reference.timing_view().at(m, k))) << describe(*t);
        } else {
          ASSERT_GE(t->StartT, freeze_time) << describe(*t);
        }
      }
    }

    // Nothing frozen and no freeze: the variant is the plain timing.
    for (int m = 1; m <= p.N_Machine; ++m) p.Machines[m].frozen_tasks = 0;
    evaluate_with_freeze(schedule, p, reference.timing_view(), 0);
    SearchSolution changed(p.N_Order, p.N_Job, p.N_Machine, J_A, M_wload);
    changed.evaluate(p);
    ASSERT_TRUE(same_timing(schedule, changed.timing_view()));
  }
}

}  // namespace
}  // namespace vema
