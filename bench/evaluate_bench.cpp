// Timing and objective values of a large schedule (about 4000 jobs on 120
// machines with 10 calendar intervals each and 4 setup types), in the array
// form every search step evaluates and in the linked form. The "per_task"
// counter is the time for one task.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/random.h"
#include "problem/input_reader.h"
#include "schedule/sch.h"
#include "schedule/timing.h"
#include "search/search_solution.h"

namespace {

std::string large_input() {
  std::mt19937 rng(11);
  const int machines = 120, orders = 400, jobs_per_order = 10, setups = 4;
  std::vector<int> first(machines), last(machines);
  std::ostringstream out;
  out << "001|" << machines << '|' << orders << '|' << setups << '\n';
  for (int m = 0; m < machines; ++m) {
    // Mostly single-step machines, every fifth one covers two or more steps.
    first[m] = m % 4;
    last[m] = m % 5 == 4 ? std::min(3, first[m] + 1 + static_cast<int>(rng() % 2)) : first[m];
    out << "100|" << m << '|' << 2 + rng() % 6 << '|' << first[m] << '|' << last[m] << '\n';
    out << "110|" << m << "|10\n";
    int t = static_cast<int>(rng() % 200);
    for (int k = 0; k < 10; ++k) {
      const int len = 700 + static_cast<int>(rng() % 600);
      out << "120|" << m << '|' << t << '|' << t + len << '\n';
      t += len + 20 + static_cast<int>(rng() % 200);
    }
    out << "130|" << m << '|' << setups * (setups - 1) << '\n';
    for (int f = 0; f < setups; ++f) {
      for (int to = 0; to < setups; ++to) {
        if (f != to) out << "140|" << m << '|' << f << '|' << to << '|' << 5 + rng() % 20 << '\n';
      }
    }
  }
  for (int o = 0; o < orders; ++o) {
    const int from = static_cast<int>(rng() % 2), to = 2 + static_cast<int>(rng() % 2);
    const int cst = static_cast<int>(rng() % 3000);
    out << "200|" << o << '|' << cst + 1500 + rng() % 4000 << '|' << cst << '|' << jobs_per_order
        << '|' << 20 + rng() % 80 << '|' << from << '|' << to << '|' << rng() % setups << '\n';
    std::vector<int> entries;
    for (int m = 0; m < machines; ++m) {
      if (first[m] >= from && last[m] <= to && rng() % 4 == 0) entries.push_back(m);
    }
    for (int s = from; s <= to; ++s) entries.push_back(s);  // every step has a machine
    out << "210|" << o << '|' << entries.size() << '\n';
    for (int m : entries) {
      out << "220|" << o << '|' << first[m] << '|' << last[m] << '|' << m << '\n';
    }
  }
  return out.str();
}

struct Fixture {
  vema::Problem problem;
  std::vector<vema::JobAssignment> J_A;
  std::vector<vema::CountedList> M_wload;
  int64_t tasks = 0;

  Fixture() {
    std::istringstream in(large_input());
    if (!vema::read_input(in, problem)) std::abort();
    const vema::bench::FixedClock clock(1);
    vema::Random rng(clock);
    vema::SearchSolution s(problem.N_Order, problem.N_Job, problem.N_Machine);
    s.random_assignment(problem, rng);
    s.export_arrays(J_A, M_wload);
    for (int m = 1; m <= problem.N_Machine; ++m) tasks += M_wload[m][0];
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void set_counters(benchmark::State& state, int64_t tasks) {
  state.counters["tasks"] = static_cast<double>(tasks);
  state.counters["per_task"] =
      benchmark::Counter(static_cast<double>(tasks), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_SearchSolutionEvaluate(benchmark::State& state) {
  Fixture& f = fixture();
  vema::SearchSolution s(f.problem.N_Order, f.problem.N_Job, f.problem.N_Machine, f.J_A, f.M_wload);
  vema::OBJ_VALUE values;
  for (auto _ : state) {
    s.evaluate(f.problem);
    s.compute_objectives(values, f.problem);
    benchmark::DoNotOptimize(values);
  }
  set_counters(state, f.tasks);
}
BENCHMARK(BM_SearchSolutionEvaluate)->Unit(benchmark::kMicrosecond);

// The two halves of the above, apart.
void BM_SearchSolutionEvaluateOnly(benchmark::State& state) {
  Fixture& f = fixture();
  vema::SearchSolution s(f.problem.N_Order, f.problem.N_Job, f.problem.N_Machine, f.J_A, f.M_wload);
  for (auto _ : state) {
    s.evaluate(f.problem);
    benchmark::ClobberMemory();
  }
  set_counters(state, f.tasks);
}
BENCHMARK(BM_SearchSolutionEvaluateOnly)->Unit(benchmark::kMicrosecond);

void BM_SearchSolutionObjectivesOnly(benchmark::State& state) {
  Fixture& f = fixture();
  vema::SearchSolution s(f.problem.N_Order, f.problem.N_Job, f.problem.N_Machine, f.J_A, f.M_wload);
  s.evaluate(f.problem);
  vema::OBJ_VALUE values;
  for (auto _ : state) {
    s.compute_objectives(values, f.problem);
    benchmark::DoNotOptimize(values);
  }
  set_counters(state, f.tasks);
}
BENCHMARK(BM_SearchSolutionObjectivesOnly)->Unit(benchmark::kMicrosecond);

// Resetting a working solution, as every neighbour of a search step does.
void BM_SearchSolutionAssignFrom(benchmark::State& state) {
  Fixture& f = fixture();
  const vema::SearchSolution source(f.problem.N_Order, f.problem.N_Job, f.problem.N_Machine, f.J_A,
                                    f.M_wload);
  vema::SearchSolution target(source);
  for (auto _ : state) {
    target.assign_from(source);
    benchmark::ClobberMemory();
  }
  set_counters(state, f.tasks);
}
BENCHMARK(BM_SearchSolutionAssignFrom)->Unit(benchmark::kMicrosecond);

void BM_ScheduleEvaluate(benchmark::State& state) {
  Fixture& f = fixture();
  vema::SCH schedule;
  schedule.build_from_assignment(f.problem.N_Order, f.problem.N_Job, f.problem.N_Machine, f.J_A,
                                 f.M_wload);
  vema::OBJ_VALUE values;
  for (auto _ : state) {
    vema::evaluate(schedule, f.problem);
    vema::compute_objectives(schedule, values, f.problem);
    benchmark::DoNotOptimize(values);
  }
  set_counters(state, f.tasks);
}
BENCHMARK(BM_ScheduleEvaluate)->Unit(benchmark::kMicrosecond);

}  // namespace
