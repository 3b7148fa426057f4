#include "generator/generator.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "common/text_file.h"
#include "problem/route_tables.h"
#include "schedule/schedule_file.h"

namespace vema {

const char* const kGeneratorFileFilter =
    "Scheduling input file (*.sif)|*.sif|Text file (*.txt)|*.txt";
const char* const kOneStageFileFilter =
    "Text file (*.txt)|*.txt|Scheduling input file (*.sif)|*.sif|All files (*)|*";
const char* const kGeneratorFileName = "input_data.txt";

namespace {

using PerGroup = std::array<int, kGroups + 1>;  // slot 0 unused

// Counts below zero only arise from parameters outside their ranges; they
// size nothing.
size_t slots(int count) { return static_cast<size_t>(std::max(count, 0)) + 1; }

void add_machines(GeneratedProblem& out, const GeneratorParameters& p, const PerGroup& count,
                  const PerGroup& group_speed, Random& rng,
                  std::array<std::vector<int>, kGroups + 1>& group_machines) {
  const int S = p.setup_types;
  out.Machines.resize(1);
  for (int g = 1; g <= kGroups; ++g) {
    for (int k = 0; k < count[g]; ++k) {
      MACHINE m;
      m.ID = static_cast<int>(out.Machines.size());
      m.Speed = spread(rng, group_speed[g], p.speed_deviation);
      m.StartStep = first_group_step(g);
      m.EndStep = last_group_step(g);
      m.group = g;
      m.N_Cal = p.calendar_count;
      m.calendar.resize(slots(m.N_Cal));
      for (int i = 1; i <= m.N_Cal; ++i) {
        CAL_INTERVAL& interval = m.calendar[i];
        interval.ST = i == 1 ? rng.mod(p.first_start_limit)
                             : m.calendar[i - 1].ET + spread(rng, p.gap_average, p.gap_deviation);
        interval.ET = interval.ST + spread(rng, p.availability_average, p.availability_deviation);
      }
      m.N_Set = S * S;
      m.setup_time = SetupMatrix(std::max(S, 0));
      for (int from = 1; from <= S; ++from) {
        for (int to = 1; to <= S; ++to) {
          m.setup_time[from][to] = from == to ? 0 : spread(rng, p.setup_average, p.setup_deviation);
        }
      }
      group_machines[g].push_back(m.ID);
      out.Machines.push_back(std::move(m));
    }
  }
}

void add_orders(GeneratedProblem& out, const GeneratorParameters& p, const PerGroup& count,
                const PerGroup& jobs_level, const PerGroup& size_level, const PerGroup& start_limit,
                Random& rng, const std::array<std::vector<int>, kGroups + 1>& group_machines) {
  out.Orders.resize(1);
  for (int t = 1; t <= kGroups; ++t) {
    for (int k = 0; k < count[t]; ++k) {
      ORDER o;
      o.ID = static_cast<int>(out.Orders.size());
      o.StartStep = first_group_step(t);
      o.EndStep = last_group_step(t);
      o.ExeType = t;
      o.NJob = spread(rng, jobs_level[t], p.jobs_deviation);
      o.SJob = spread(rng, size_level[t], p.size_deviation);
      o.SetupType = rng.mod(p.setup_types) + 1;
      o.CST = rng.mod(start_limit[t]);
      o.file_CST = o.CST;
      o.CET = o.CST + spread(rng, p.window_average, p.window_deviation);
      // Every group offers one guaranteed machine and each of its others with
      // probability (11 - R) / 10, whatever the order's type. The guaranteed
      // position is drawn also for an empty group; a position equal to it
      // draws nothing.
      o.steps.resize(1);
      for (int g = 1; g <= kGroups; ++g) {
        const std::vector<int>& machines = group_machines[g];
        const int n = static_cast<int>(machines.size());
        const int r = rng.mod(n) + 1;
        for (int pos = 1; pos <= n; ++pos) {
          if (pos == r || rng.mod(10) + 1 >= p.machine_requirements) {
            const MACHINE& m = out.Machines[machines[pos - 1]];
            o.steps.push_back(ORDER_STEP{m.StartStep, m.EndStep, m.ID, m.group});
          }
        }
      }
      o.N_Step = static_cast<int>(o.steps.size()) - 1;
      out.Orders.push_back(std::move(o));
    }
  }
}

int generate_and_save(const GeneratorParameters& parameters, GenerationMethod method, Random& rng,
                      UserInterface& ui, const std::string& program_folder,
                      GenerationReport* report) {
  const GeneratedProblem problem = generate_problem(parameters, method, rng);
  FileDialogRequest request;
  request.title = "Save generated problem";
  request.initial_folder = program_folder;
  request.file_name = program_folder.empty()
                          ? std::string(kGeneratorFileName)
                          : (std::filesystem::path(program_folder) / kGeneratorFileName).string();
  request.filter = method == GenerationMethod::kBasic ? kGeneratorFileFilter : kOneStageFileFilter;
  const std::optional<SaveFileChoice> choice = ui.save_file_choice(request);
  if (!choice) return kGenerateCancelled;
  const std::string path = method == GenerationMethod::kBasic
                               ? basic_output_name(choice->path, choice->filter_index)
                               : choice->path;
  const bool written = write_text_file_atomically(path, input_file_text(problem));
  if (report != nullptr) {
    *report = GenerationReport{path, problem.N_Machine, problem.N_Order, problem.N_SetupType,
                               problem.jobs()};
  }
  return written ? kGenerateDone : kGenerateNotOpened;
}

}  // namespace

int GeneratedProblem::jobs() const {
  int total = 0;
  for (size_t o = 1; o < Orders.size(); ++o) total += Orders[o].NJob;
  return total;
}

int spread(Random& rng, int a, int d) {
  const double x = static_cast<double>(a) * d * 0.01;
  if (x < 1) return a;
  const int h = static_cast<int>(x);
  const int w = static_cast<int>(2 * x);
  return a - h + rng.mod(w + 1);
}

GeneratedProblem generate_problem(const GeneratorParameters& p, GenerationMethod method,
                                  Random& rng) {
  rng.seed_from_clock();
  const bool one_stage = method == GenerationMethod::kOneStage;

  // Machine groups: machine count and group speed, drawn group by group.
  PerGroup machine_count{}, group_speed{};
  for (int g = 1; g <= kGroups; ++g) {
    if (one_stage) {
      machine_count[g] = g == 1 ? p.machines_average : 0;
    } else {
      machine_count[g] = spread(rng, p.machines_average, p.machines_deviation);
    }
    group_speed[g] = spread(rng, p.speed_average, p.speed_deviation);
  }

  // Execution types: order count and the levels their orders are drawn around.
  PerGroup order_count{}, jobs_level{}, size_level{}, start_limit{};
  for (int t = 1; t <= kGroups; ++t) {
    if (one_stage) {
      order_count[t] = t == 1 ? p.orders_average : 0;
    } else {
      order_count[t] = spread(rng, p.orders_average, p.orders_deviation);
    }
    jobs_level[t] = spread(rng, p.jobs_average, p.jobs_deviation);
    size_level[t] = spread(rng, p.size_average, p.size_deviation);
    start_limit[t] = spread(rng, p.start_limit_average, p.start_limit_deviation);
  }

  GeneratedProblem out;
  out.N_SetupType = p.setup_types;
  std::array<std::vector<int>, kGroups + 1> group_machines;
  add_machines(out, p, machine_count, group_speed, rng, group_machines);
  add_orders(out, p, order_count, jobs_level, size_level, start_limit, rng, group_machines);
  out.N_Machine = static_cast<int>(out.Machines.size()) - 1;
  out.N_Order = static_cast<int>(out.Orders.size()) - 1;
  return out;
}

std::string input_file_text(const GeneratedProblem& problem) {
  std::string text;
  append_shop_text(text,
                   ShopRecords{problem.N_Machine, problem.N_Order, problem.N_SetupType,
                               problem.Machines, problem.Orders},
                   SetupLines::kEveryPair);
  return text;
}

std::string basic_output_name(const std::string& chosen, int filter_index) {
  return replace_extension(chosen, filter_index == 1 ? ".sif" : ".txt");
}

int generate_basic(const GeneratorParameters& parameters, Random& rng, UserInterface& ui,
                   const std::string& program_folder, GenerationReport* report) {
  return generate_and_save(parameters, GenerationMethod::kBasic, rng, ui, program_folder, report);
}

int generate_one_stage(const GeneratorParameters& parameters, Random& rng, UserInterface& ui,
                       const std::string& program_folder, GenerationReport* report) {
  return generate_and_save(parameters, GenerationMethod::kOneStage, rng, ui, program_folder,
                           report);
}

}  // namespace vema
