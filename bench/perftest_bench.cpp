// The performance test's wall time for 10 iterations on a problem of the
// generator's default size (10 machine groups of about 12 machines, about 40
// orders of each of the 10 execution types with about 10 jobs each), with
// shortened searches (50 steps of 20 neighbours, no early automatic stop),
// sequentially and on 2 threads. The 2-thread run reports its speed-up over
// the 1-thread run ("speedup"), which approaches the number of cores
// ("cores") when the machine is otherwise idle.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "bench_support.h"
#include "common/random.h"
#include "perftest/perf_test.h"
#include "search/process_state.h"

namespace {

using vema::bench::FixedClock;
using vema::bench::QuietUi;

double g_one_thread_seconds = 0;

void BM_PerfTest10Iterations(benchmark::State& bench) {
  const int threads = static_cast<int>(bench.range(0));
  vema::Problem problem = vema::bench::default_size_problem();
  vema::ProcessState state;
  state.run.steps = 50;
  state.run.loops_per_step = 20;
  state.run.min_loop = 10;
  state.run.max_steps_without_improvement = 9999;
  state.log_file = vema::bench::temp_log_path("vema_perftest_bench");
  FixedClock clock;
  QuietUi ui;
  double seconds = 0;
  for (auto _ : bench) {
    vema::Random rng(clock);
    rng.set_fixed_seed(7);
    const auto start = std::chrono::steady_clock::now();
    const vema::PerfTestResult r = vema::run_performance_test(10, threads, problem, state, ui, rng);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (r.status != 1 || r.iterations.size() != 10) bench.SkipWithError("test did not complete");
  }
  seconds /= static_cast<double>(bench.iterations());
  if (threads == 1) g_one_thread_seconds = seconds;
  bench.counters["machines"] = problem.N_Machine;
  bench.counters["orders"] = problem.N_Order;
  bench.counters["jobs"] = problem.N_Job;
  bench.counters["cores"] = std::thread::hardware_concurrency();
  if (threads > 1 && g_one_thread_seconds > 0) {
    bench.counters["speedup"] = g_one_thread_seconds / seconds;
  }
  std::error_code ignored;
  std::filesystem::remove(state.log_file, ignored);
}
BENCHMARK(BM_PerfTest10Iterations)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
