// The performance test's wall time for 10 iterations on a problem of the
// generator's default size (10 machine groups of about 12 machines, about 40
// orders of each of the 10 execution types with about 10 jobs each), with
// shortened searches (50 steps of 20 neighbours, no early automatic stop),
// sequentially and on 2 threads. The 2-thread run reports its speed-up over
// the 1-thread run ("speedup"), which approaches the number of cores
// ("cores") when the machine is otherwise idle.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/random.h"
#include "common/user_interface.h"
#include "perftest/perf_test.h"
#include "problem/input_reader.h"
#include "problem/route_tables.h"
#include "search/process_state.h"

namespace {

// The generator's random model: a +- d % of a, uniform; a when the spread is
// below 1.
class Spread {
 public:
  explicit Spread(uint32_t seed) : rng_(seed) {}
  int mod(int n) { return n > 0 ? static_cast<int>(rng_() % static_cast<uint32_t>(n)) : 0; }
  int operator()(int a, int d) {
    const double x = a * d * 0.01;
    if (x < 1) return a;
    const int h = static_cast<int>(x);
    const int w = static_cast<int>(2 * x);
    return a - h + mod(w + 1);
  }

 private:
  std::mt19937 rng_;
};

// Input text of the generator's default size: every group has machines,
// every order lists about R = 4 in 10 of each group's machines.
std::string default_size_input(uint32_t seed) {
  using vema::kGroups;
  using vema::MG_TS;
  Spread spread(seed);
  const int S = 4, R = 4;
  std::vector<std::vector<int>> group_machines(kGroups + 1);
  std::ostringstream machines;
  int m = 0;
  for (int g = 1; g <= kGroups; ++g) {
    const int count = spread(12, 20), speed = spread(10, 20);
    const int first = MG_TS[g][1] - 1, last = MG_TS[g][MG_TS[g][0]] - 1;
    for (int i = 0; i < count; ++i, ++m) {
      group_machines[g].push_back(m);
      machines << "100|" << m << '|' << spread(speed, 20) << '|' << first << '|' << last << '\n';
      machines << "110|" << m << "|10\n";
      int st = spread.mod(400);
      for (int k = 0; k < 10; ++k) {
        const int et = st + spread(1000, 20);
        machines << "120|" << m << '|' << st << '|' << et << '\n';
        st = et + spread(100, 20);
      }
      machines << "130|" << m << '|' << S * S << '\n';
      for (int f = 0; f < S; ++f) {
        for (int to = 0; to < S; ++to) {
          machines << "140|" << m << '|' << f << '|' << to << '|' << (f == to ? 0 : spread(50, 20))
                   << '\n';
        }
      }
    }
  }
  std::ostringstream orders;
  int o = 0;
  for (int t = 1; t <= kGroups; ++t) {
    const int n_orders = spread(40, 20), jobs = spread(10, 20), size = spread(200, 20);
    const int start = spread(300, 20);
    const int first = MG_TS[t][1] - 1, last = MG_TS[t][MG_TS[t][0]] - 1;
    for (int i = 0; i < n_orders; ++i, ++o) {
      const int cst = spread.mod(start);
      const int cet = cst + spread(1100, 80);
      orders << "200|" << o << '|' << cet << '|' << cst << '|' << spread(jobs, 20) << '|'
             << spread(size, 20) << '|' << first << '|' << last << '|' << spread.mod(S) << '\n';
      std::vector<std::pair<int, int>> allowed;  // group, machine
      for (int g = 1; g <= kGroups; ++g) {
        const int n = static_cast<int>(group_machines[g].size());
        const int r = spread.mod(n) + 1;
        for (int p = 1; p <= n; ++p) {
          if (p == r || spread.mod(10) + 1 >= R) allowed.emplace_back(g, group_machines[g][p - 1]);
        }
      }
      orders << "210|" << o << '|' << allowed.size() << '\n';
      for (const auto& [g, a] : allowed) {
        orders << "220|" << o << '|' << MG_TS[g][1] - 1 << '|' << MG_TS[g][MG_TS[g][0]] - 1 << '|'
               << a << '\n';
      }
    }
  }
  return "001|" + std::to_string(m) + '|' + std::to_string(o) + '|' + std::to_string(S) + '\n' +
         machines.str() + orders.str();
}

class FixedClock : public vema::Clock {
 public:
  int64_t now_seconds() const override { return 1700000000; }
  std::string time_of_day() const override { return "00:00:00"; }
};

class QuietUi : public vema::UserInterface {
 public:
  void message(const std::string&) override {}
  bool ask(const std::string&) override { return false; }
  std::optional<std::string> open_file(const vema::FileDialogRequest&) override { return {}; }
  std::optional<std::string> save_file(const vema::FileDialogRequest&) override { return {}; }
  void process_events() override {}
  void review_input_check(vema::InputCheckSession&) override {}
};

const vema::Problem& default_size_problem() {
  static const vema::Problem problem = [] {
    std::istringstream in(default_size_input(20240611));
    vema::Problem p;
    if (!vema::read_input(in, p)) std::abort();
    p.input_file_name = "generated";
    return p;
  }();
  return problem;
}

double g_one_thread_seconds = 0;

void BM_PerfTest10Iterations(benchmark::State& bench) {
  const int threads = static_cast<int>(bench.range(0));
  vema::Problem problem = default_size_problem();
  vema::ProcessState state;
  state.run.steps = 50;
  state.run.loops_per_step = 20;
  state.run.min_loop = 10;
  state.run.max_steps_without_improvement = 9999;
  state.log_file = (std::filesystem::temp_directory_path() / "vema_perftest_bench.txt").string();
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
