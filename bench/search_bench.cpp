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

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/random.h"
#include "common/user_interface.h"
#include "problem/input_reader.h"
#include "problem/route_tables.h"
#include "search/operators.h"
#include "search/process_state.h"
#include "search/search_solution.h"
#include "search/tabu_list.h"
#include "search/tabu_search.h"

namespace {

// The generator's random model: a +- d % of a, uniform, a when the spread is
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

// Input text with the generator's default parameters (basic method).
std::string default_size_input(uint32_t seed) {
  Spread spread(seed);
  const int S = 4, R = 4;
  int count[vema::kGroups + 1], speed[vema::kGroups + 1];
  int M = 0;
  for (int g = 1; g <= vema::kGroups; ++g) {
    count[g] = spread(12, 20);
    speed[g] = spread(10, 20);
    M += count[g];
  }
  int orders[vema::kGroups + 1], jobs[vema::kGroups + 1], size[vema::kGroups + 1],
      start[vema::kGroups + 1];
  int O = 0;
  for (int t = 1; t <= vema::kGroups; ++t) {
    orders[t] = spread(40, 20);
    jobs[t] = spread(10, 20);
    size[t] = spread(200, 20);
    start[t] = spread(300, 20);
    O += orders[t];
  }
  std::ostringstream out;
  out << "001|" << M << '|' << O << '|' << S << '\n';
  std::vector<std::vector<int>> group_machines(vema::kGroups + 1);
  int m = 0;
  for (int g = 1; g <= vema::kGroups; ++g) {
    const int first = vema::MG_TS[g][1] - 1, last = vema::MG_TS[g][vema::MG_TS[g][0]] - 1;
    for (int i = 0; i < count[g]; ++i, ++m) {
      group_machines[g].push_back(m);
      out << "100|" << m << '|' << spread(speed[g], 20) << '|' << first << '|' << last << '\n';
      out << "110|" << m << "|10\n";
      int st = spread.mod(400);
      for (int k = 0; k < 10; ++k) {
        const int et = st + spread(1000, 20);
        out << "120|" << m << '|' << st << '|' << et << '\n';
        st = et + spread(100, 20);
      }
      out << "130|" << m << '|' << S * S << '\n';
      for (int f = 0; f < S; ++f) {
        for (int to = 0; to < S; ++to) {
          out << "140|" << m << '|' << f << '|' << to << '|' << (f == to ? 0 : spread(50, 20))
              << '\n';
        }
      }
    }
  }
  int o = 0;
  for (int t = 1; t <= vema::kGroups; ++t) {
    const int first = vema::MG_TS[t][1] - 1, last = vema::MG_TS[t][vema::MG_TS[t][0]] - 1;
    for (int i = 0; i < orders[t]; ++i, ++o) {
      const int cst = spread.mod(start[t]);
      const int n_job = spread(jobs[t], 20), s_job = spread(size[t], 20);
      const int setup = spread.mod(S);
      const int cet = cst + spread(1100, 80);
      std::vector<int> allowed;
      for (int g = 1; g <= vema::kGroups; ++g) {
        const int n = static_cast<int>(group_machines[g].size());
        if (n == 0) continue;
        const int r = spread.mod(n) + 1;
        for (int p = 1; p <= n; ++p) {
          if (p == r || spread.mod(10) + 1 >= R) allowed.push_back(group_machines[g][p - 1]);
        }
      }
      out << "200|" << o << '|' << cet << '|' << cst << '|' << n_job << '|' << s_job << '|' << first
          << '|' << last << '|' << setup << '\n';
      out << "210|" << o << '|' << allowed.size() << '\n';
      for (int a : allowed) {
        int g = 1;
        while (std::find(group_machines[g].begin(), group_machines[g].end(), a) ==
               group_machines[g].end()) {
          ++g;
        }
        out << "220|" << o << '|' << vema::MG_TS[g][1] - 1 << '|'
            << vema::MG_TS[g][vema::MG_TS[g][0]] - 1 << '|' << a << '\n';
      }
    }
  }
  return out.str();
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
  void process_events() override {
    ++steps;
    if (on_step) on_step(steps);
  }
  void review_input_check(vema::InputCheckSession&) override {}

  int steps = 0;
  std::function<void(int)> on_step;
};

vema::Problem default_size_problem() {
  std::istringstream in(default_size_input(20240611));
  vema::Problem p;
  if (!vema::read_input(in, p)) std::abort();
  p.first_run = true;
  p.input_file_name = "generated";
  return p;
}

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
  const std::string log_path =
      (std::filesystem::temp_directory_path() / "vema_search_bench_log.txt").string();
  double seconds = 0, rss_full = 0, rss_end = 0;
  int evaluated = 0, steps = 0;
  for (auto _ : state) {
    vema::ProcessState ps;
    ps.log_file = log_path;
    QuietUi ui;
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
