// The default tabu search (2000 steps, 100 loops, tabu list of 150) on a
// problem of the generator's default size: 10 machine groups of about 12
// machines with 10 calendar intervals each, 4 setup types, about 40 orders of
// each of the 10 execution types with about 10 jobs of size about 200.
//
// BM_DefaultSearch reports evaluated schedules per second, the share of the
// run spent in the tabu test (hash, membership scan and the new entry,
// measured apart on the same problem and multiplied by the number of
// neighbours), and the peak resident memory once the tabu list is full and
// at the end. Times are the thread's processor time, so a busy machine does
// not distort them. The micro-benchmarks show the parts of one neighbour.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>

#include "bench_support.h"
#include "common/random.h"
#include "search/operators.h"
#include "search/process_state.h"
#include "search/search_solution.h"
#include "search/tabu_list.h"
#include "search/tabu_search.h"

namespace {

using vema::bench::default_size_problem;
using vema::bench::FixedClock;

// Counts the search's steps (it asks for events once a step) and calls
// on_step with the count.
class StepCountingUi : public vema::bench::QuietUi {
 public:
  void process_events() override {
    ++steps;
    if (on_step) on_step(steps);
  }

  int steps = 0;
  std::function<void(int)> on_step;
};

vema::SearchSolution random_solution(const vema::Problem& p, uint64_t seed) {
  FixedClock clock;
  vema::Random rng(clock);
  rng.set_fixed_seed(seed);
  vema::SearchSolution s(p.N_Order, p.N_Job, p.N_Machine);
  s.random_assignment(p, rng);
  return s;
}

// Processor time of this thread in seconds: other work on the machine does
// not count, and the search runs on one thread.
double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double peak_rss_mb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A full tabu list of neighbours of one random solution, and a neighbour
// that is not in it: the state of every membership test once a run is going.
struct TabuFixture {
  vema::Problem problem = default_size_problem();
  vema::SearchSolution current = random_solution(problem, 3);
  vema::SearchSolution probe = current;
  vema::TABULIST list;

  TabuFixture() {
    FixedClock clock;
    vema::Random rng(clock);
    rng.seed(5);
    vema::SearchSolution w(current);
    for (int i = 0; i < 150; ++i) {
      w.assign_from(current);
      vema::change_job(w, rng.mod(problem.N_Job) + 1, problem, rng);
      list.add(list.make_entry(w));
    }
    vema::change_order(probe, 1, problem, rng);
  }
};

// Seconds of one tabu test as the run does it for a neighbour that is not
// tabu: hash, scan of the full list, new entry from recycled storage, oldest
// entry out.
double tabu_test_seconds(TabuFixture& f, int repetitions) {
  const double begin = cpu_seconds();
  bool any = false;
  for (int i = 0; i < repetitions; ++i) {
    const uint64_t hash = vema::sequence_hash(f.probe);
    any |= f.list.contains(f.probe, hash);
    f.list.add(f.list.make_entry(f.probe, hash ^ static_cast<uint64_t>(i + 1)));
    f.list.remove_oldest();
  }
  benchmark::DoNotOptimize(any);
  return (cpu_seconds() - begin) / repetitions;
}

int log_number(const std::string& text, const std::string& label) {
  const size_t at = text.find(label);
  return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + label.size());
}

// The default run. Peak memory is read at step 50, when the tabu list has
// long been full, and at the end; the tabu test is measured after the run on
// a separate full list of the same problem.
void BM_DefaultSearch(benchmark::State& state) {
  vema::Problem problem = default_size_problem();
  const std::string log_path = vema::bench::temp_log_path("vema_search_bench_log");
  double seconds = 0, rss_full = 0, rss_end = 0;
  int evaluated = 0, steps = 0;
  for (auto _ : state) {
    vema::ProcessState ps;
    ps.log_file = log_path;
    StepCountingUi ui;
    ui.on_step = [&](int step) {
      if (step == 50) rss_full = peak_rss_mb();
    };
    FixedClock clock;
    vema::Random rng(clock);
    rng.set_fixed_seed(1);
    const double begin = cpu_seconds();
    vema::run_tabu_search(problem, ps, ui, rng);
    seconds = cpu_seconds() - begin;
    rss_end = peak_rss_mb();
    std::ifstream in(log_path);
    std::stringstream text;
    text << in.rdbuf();
    evaluated = log_number(text.str(), "Number of evaluated schedule: ");
    steps = ui.steps;
    state.SetIterationTime(seconds);
  }
  std::filesystem::remove(log_path);
  TabuFixture tabu_fixture;
  const double tabu_seconds = tabu_test_seconds(tabu_fixture, 2000);
  state.counters["machines"] = problem.N_Machine;
  state.counters["orders"] = problem.N_Order;
  state.counters["jobs"] = problem.N_Job;
  state.counters["steps"] = steps;
  state.counters["evaluated"] = evaluated;
  state.counters["evaluated_per_s"] = evaluated / seconds;
  state.counters["us_per_neighbour"] = 1e6 * seconds / evaluated;
  state.counters["tabu_test_us"] = 1e6 * tabu_seconds;
  state.counters["tabu_share_pct"] = 100.0 * tabu_seconds * evaluated / seconds;
  state.counters["peak_rss_MB_step50"] = rss_full;
  state.counters["peak_rss_MB_end"] = rss_end;
}
BENCHMARK(BM_DefaultSearch)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_TabuContainsFullList(benchmark::State& state) {
  TabuFixture f;
  const uint64_t hash = vema::sequence_hash(f.probe);
  for (auto _ : state) benchmark::DoNotOptimize(f.list.contains(f.probe, hash));
}
BENCHMARK(BM_TabuContainsFullList)->Unit(benchmark::kMicrosecond);

void BM_TabuContainsFullListSameHashes(benchmark::State& state) {
  // What the scan would cost without hashes: 150 entries with the probe's
  // hash and counts that differ from it only in the last two jobs of the
  // last machine, so every entry is compared to the end.
  TabuFixture f;
  vema::SearchSolution near(f.probe);
  int m = near.n_machines();
  while (near.sequence(m)[0] < 2) --m;
  int* seq = near.sequence(m);
  std::swap(seq[seq[0] - 1], seq[seq[0]]);
  const uint64_t hash = vema::sequence_hash(f.probe);
  vema::TABULIST colliding;
  for (int i = 0; i < 150; ++i) colliding.add(colliding.make_entry(near, hash));
  for (auto _ : state) benchmark::DoNotOptimize(colliding.contains(f.probe, hash));
}
BENCHMARK(BM_TabuContainsFullListSameHashes)->Unit(benchmark::kMicrosecond);

void BM_SequenceHash(benchmark::State& state) {
  TabuFixture f;
  for (auto _ : state) benchmark::DoNotOptimize(vema::sequence_hash(f.probe));
}
BENCHMARK(BM_SequenceHash)->Unit(benchmark::kMicrosecond);

void BM_TabuEntryRecycled(benchmark::State& state) {
  TabuFixture f;
  const uint64_t hash = vema::sequence_hash(f.probe);
  for (auto _ : state) {
    f.list.add(f.list.make_entry(f.probe, hash));
    f.list.remove_oldest();
  }
}
BENCHMARK(BM_TabuEntryRecycled)->Unit(benchmark::kMicrosecond);

void BM_TabuTestPerNeighbour(benchmark::State& state) {
  TabuFixture f;
  for (auto _ : state) benchmark::DoNotOptimize(tabu_test_seconds(f, 1));
}
BENCHMARK(BM_TabuTestPerNeighbour)->Unit(benchmark::kMicrosecond);

void BM_NeighbourEvaluate(benchmark::State& state) {
  TabuFixture f;
  vema::SearchSolution w(f.current);
  vema::OBJ_VALUE values;
  for (auto _ : state) {
    w.assign_from(f.probe);
    w.evaluate(f.problem);
    w.compute_objectives(values, f.problem);
    benchmark::DoNotOptimize(values);
  }
}
BENCHMARK(BM_NeighbourEvaluate)->Unit(benchmark::kMicrosecond);

}  // namespace
