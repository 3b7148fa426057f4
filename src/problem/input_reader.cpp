#include "problem/input_reader.h"

#include <array>
#include <fstream>
#include <limits>
#include <string_view>

#include "problem/input_check_session.h"
#include "problem/input_checker.h"
#include "problem/input_lines.h"

namespace vema {

const char* const kInputFileFilter =
    "Scheduling input files (*.sif) or Text files (*.txt)|*.sif;*.SIF;*.txt;*.TXT|Scheduling "
    "input files (*.sif)|*.sif;*.SIF|Text files (*.txt)|*.txt;*.TXT";

namespace {

constexpr int kMaxFields = 9;

// Splits at '|' into at most kMaxFields values; absent and empty fields read 0.
void split_values(std::string_view line, std::array<int, kMaxFields + 1>& f) {
  f.fill(0);
  int k = 0;
  size_t start = 0;
  while (k < kMaxFields) {
    const size_t bar = line.find('|', start);
    f[++k] = field_value(line.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
}

bool valid_step(int s) { return s >= 1 && s <= kSteps; }

// File numbering starts at 0; saturates instead of overflowing.
int plus1(int v) { return v < std::numeric_limits<int>::max() ? v + 1 : v; }

}  // namespace

bool read_input(std::istream& in, Problem& p) {
  p = Problem{};
  InputLineReader reader(in);
  std::string line;
  std::array<int, kMaxFields + 1> f{};
  std::vector<int> calendar_items, step_items;
  bool header = false;
  while (reader.next(line)) {
    split_values(line, f);
    const int id = f[1];
    if (id == 1) {
      if (header || f[2] < 1 || f[3] < 1 || f[4] < 1 || f[2] > kMaxMachines || f[3] > kMaxOrders ||
          f[4] > kMaxSetupTypes) {
        return false;
      }
      header = true;
      p.N_Machine = f[2];
      p.N_Order = f[3];
      p.N_SetupType = f[4];
      p.Machines.assign(static_cast<size_t>(p.N_Machine) + 1, MACHINE{});
      p.Orders.assign(static_cast<size_t>(p.N_Order) + 1, ORDER{});
      calendar_items.assign(p.Machines.size(), 0);
      step_items.assign(p.Orders.size(), 0);
      continue;
    }
    if (!header) return false;
    const bool machine_line = id >= 100 && id <= 140;
    const bool order_line = id >= 200 && id <= 220;
    if (!machine_line && !order_line) continue;
    const long long index = static_cast<long long>(f[2]) + 1;
    if (machine_line) {
      if (index > p.N_Machine) return false;
      MACHINE& m = p.Machines[index];
      m.ID = static_cast<int>(index);
      switch (id) {
        case 100:
          m.Speed = f[3];
          m.StartStep = plus1(f[4]);
          m.EndStep = plus1(f[5]);
          break;
        case 110:
          m.N_Cal = f[3];
          m.calendar.assign(static_cast<size_t>(m.N_Cal) + 1, CAL_INTERVAL{});
          calendar_items[index] = 0;
          break;
        case 120: {
          const int k = ++calendar_items[index];
          if (k > m.N_Cal) return false;
          m.calendar[k] = CAL_INTERVAL{f[3], f[4]};
          break;
        }
        case 130:
          m.N_Set = f[3];
          m.setup_time = SetupMatrix(p.N_SetupType);
          break;
        case 140:
          if (m.setup_time.empty() || f[3] >= p.N_SetupType || f[4] >= p.N_SetupType) return false;
          m.setup_time[f[3] + 1][f[4] + 1] = f[5];
          break;
        default:
          break;
      }
    } else {
      if (index > p.N_Order) return false;
      ORDER& o = p.Orders[index];
      o.ID = static_cast<int>(index);
      switch (id) {
        case 200:
          o.CET = f[3];
          o.CST = f[4];
          o.file_CST = f[4];
          o.NJob = f[5];
          o.SJob = f[6];
          o.StartStep = plus1(f[7]);
          o.EndStep = plus1(f[8]);
          o.SetupType = plus1(f[9]);
          break;
        case 210:
          o.N_Step = f[3];
          o.steps.assign(static_cast<size_t>(o.N_Step) + 1, ORDER_STEP{});
          step_items[index] = 0;
          break;
        case 220: {
          const int k = ++step_items[index];
          if (k > o.N_Step) return false;
          o.steps[k] = ORDER_STEP{plus1(f[3]), plus1(f[4]), plus1(f[5]), 0};
          break;
        }
        default:
          break;
      }
    }
  }
  if (!header) return false;
  // A checked file always describes every record completely; anything less
  // would leave the derivations with holes, so it is not a problem.
  for (int m = 1; m <= p.N_Machine; ++m) {
    const MACHINE& machine = p.Machines[m];
    if (machine.ID != m || machine.Speed < 1 || !valid_step(machine.StartStep) ||
        !valid_step(machine.EndStep) || machine.EndStep < machine.StartStep || machine.N_Cal < 1 ||
        calendar_items[m] != machine.N_Cal || machine.setup_time.empty()) {
      return false;
    }
  }
  for (int o = 1; o <= p.N_Order; ++o) {
    const ORDER& order = p.Orders[o];
    if (order.ID != o || order.NJob < 1 || !valid_step(order.StartStep) ||
        !valid_step(order.EndStep) || order.EndStep < order.StartStep || order.SetupType < 1 ||
        order.SetupType > p.N_SetupType || order.N_Step < 1 || step_items[o] != order.N_Step) {
      return false;
    }
    for (int k = 1; k <= order.N_Step; ++k) {
      const ORDER_STEP& s = order.steps[k];
      if (s.M_ID < 1 || s.M_ID > p.N_Machine || s.SS != p.Machines[s.M_ID].StartStep ||
          s.ES != p.Machines[s.M_ID].EndStep) {
        return false;
      }
    }
  }
  long long jobs = 0;
  for (int o = 1; o <= p.N_Order; ++o) jobs += p.Orders[o].NJob;
  if ((static_cast<long long>(p.N_Machine) + 1) * (jobs + 1) > kMaxWorkspaceCells) return false;
  p.derive();
  return true;
}

int load_input_file(Problem& problem, UserInterface& ui, const std::string& path) {
  problem.input_file_name = path;
  if (!check_gate(path, ui)) return kLoadRefused;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kLoadRefused;
  Problem fresh;
  if (!read_input(in, fresh)) return kLoadRefused;
  fresh.input_file_name = path;
  fresh.first_run = true;
  problem.release_problem();
  problem = std::move(fresh);
  return kLoadDone;
}

int load_input(Problem& problem, UserInterface& ui, const FileDialogRequest& dialog,
               std::string* chosen_path) {
  const std::optional<std::string> path = ui.open_file(dialog);
  if (!path) return kLoadCancelled;
  if (chosen_path != nullptr) *chosen_path = *path;
  return load_input_file(problem, ui, *path);
}

}  // namespace vema
