// Checking and reading a large input file (1200 machines, 1200 orders of 10 jobs).
#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>

#include "problem/input_checker.h"
#include "problem/input_reader.h"

namespace {

std::string large_input() {
  std::mt19937 rng(7);
  const int machines = 1200, orders = 1200, setups = 4;
  std::ostringstream out;
  out << "001|" << machines << '|' << orders << '|' << setups << '\n';
  for (int m = 0; m < machines; ++m) {
    const int step = m % 4;
    out << "100|" << m << '|' << 5 + rng() % 10 << '|' << step << '|' << step << '\n';
    out << "110|" << m << "|10\n";
    int t = static_cast<int>(rng() % 400);
    for (int k = 0; k < 10; ++k) {
      const int len = 800 + static_cast<int>(rng() % 400);
      out << "120|" << m << '|' << t << '|' << t + len << '\n';
      t += len + 50 + static_cast<int>(rng() % 100);
    }
    out << "130|" << m << '|' << setups * (setups - 1) << '\n';
    for (int f = 0; f < setups; ++f) {
      for (int to = 0; to < setups; ++to) {
        if (f != to) out << "140|" << m << '|' << f << '|' << to << '|' << 30 + rng() % 40 << '\n';
      }
    }
  }
  for (int o = 0; o < orders; ++o) {
    out << "200|" << o << "|5000|" << rng() % 600 << "|10|200|0|3|" << rng() % setups << '\n';
    out << "210|" << o << "|12\n";
    for (int k = 0; k < 12; ++k) {
      const int m = static_cast<int>(rng() % machines);
      out << "220|" << o << '|' << m % 4 << '|' << m % 4 << '|' << m << '\n';
    }
  }
  return out.str();
}

const std::string& input() {
  static const std::string text = large_input();
  return text;
}

void BM_CheckInput(benchmark::State& state) {
  for (auto _ : state) {
    std::istringstream in(input());
    vema::InputCheckLists lists;
    benchmark::DoNotOptimize(vema::check_input_stream(in, lists));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input().size()));
}
BENCHMARK(BM_CheckInput)->Unit(benchmark::kMillisecond);

void BM_ReadInput(benchmark::State& state) {
  for (auto _ : state) {
    std::istringstream in(input());
    vema::Problem p;
    benchmark::DoNotOptimize(vema::read_input(in, p));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input().size()));
}
BENCHMARK(BM_ReadInput)->Unit(benchmark::kMillisecond);

}  // namespace
