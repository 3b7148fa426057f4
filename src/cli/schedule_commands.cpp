// vema evaluate, vema random and vema release.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "common/random.h"
#include "schedule/schedule_file.h"
#include "search/run_log.h"
#include "search/search_solution.h"

namespace vema::cli {
namespace {

struct EvaluateOptions {
  std::string first;
  std::string second;
  bool tasks = false;
  bool json = false;
};

int run_evaluate(const EvaluateOptions& o) {
  // With one file it must be a released schedule, which carries its own shop.
  const bool released_only = o.second.empty();
  const std::string problem_path = o.first;
  const std::string schedule_path = released_only ? o.first : o.second;
  if (released_only && !has_extension(o.first, ".rsf")) {
    throw UsageError{"evaluate needs PROBLEM and SCHEDULE, or a released schedule file (.rsf)"};
  }
  TerminalUi ui(std::cerr, false);
  Problem problem;
  if (const int status = load_problem(problem_path, problem, ui); status != 0) return status;
  SCH schedule;
  if (const int status = import_schedule(schedule_path, problem, schedule); status != 0) {
    return status;
  }
  const OBJ_VALUE v = time_schedule(schedule, problem);

  if (o.json) {
    nlohmann::json j;
    j["problem"] = problem_path;
    j["schedule"] = schedule_path;
    j["machines"] = problem.N_Machine;
    j["orders"] = problem.N_Order;
    j["jobs"] = problem.N_Job;
    j["values"] = values_json(v);
    if (o.tasks) {
      j["tasks"] = nlohmann::json::array();
      for (int job = 1; job <= schedule.n_jobs; ++job) {
        for (const TASK* t = schedule.job_first[job]; t != nullptr; t = t->next_in_job) {
          j["tasks"].push_back({{"job", t->job},
                                {"step", t->step},
                                {"machine", t->machine},
                                {"Setup", t->Setup},
                                {"StartT", t->StartT},
                                {"SetT", t->SetT},
                                {"ProcT", t->ProcT},
                                {"EndT", t->EndT},
                                {"M_Calendar_OK", t->M_Calendar_OK}});
        }
      }
    }
    std::cout << j.dump(2) << '\n';
    return 0;
  }
  std::cout << "Machine: " << problem.N_Machine << " Orders: " << problem.N_Order
            << " Jobs:" << problem.N_Job << '\n';
  write_values_listing(std::cout, v);
  if (o.tasks) {
    std::cout << "job,step,machine,Setup,StartT,SetT,ProcT,EndT,M_Calendar_OK\n";
    for (int job = 1; job <= schedule.n_jobs; ++job) {
      for (const TASK* t = schedule.job_first[job]; t != nullptr; t = t->next_in_job) {
        std::cout << t->job << ',' << t->step << ',' << t->machine << ',' << t->Setup << ','
                  << t->StartT << ',' << t->SetT << ',' << t->ProcT << ',' << t->EndT << ','
                  << t->M_Calendar_OK << '\n';
      }
    }
  }
  return 0;
}

int run_random(const std::string& problem_path, const std::string& out,
               std::optional<uint64_t> seed) {
  TerminalUi ui(std::cerr, false);
  Problem problem;
  if (const int status = load_problem(problem_path, problem, ui); status != 0) return status;
  SystemClock clock;
  Random rng(clock);
  rng.set_fixed_seed(seed);
  SearchSolution solution(problem.N_Order, problem.N_Job, problem.N_Machine);
  solution.random_assignment(problem, rng);
  solution.export_arrays(problem.J_A, problem.M_wload);
  SCH schedule;
  schedule.build_from_assignment(problem.N_Order, problem.N_Job, problem.N_Machine, problem.J_A,
                                 problem.M_wload);
  if (write_schedule_file(out, schedule) != kFileDone) {
    std::cerr << "vema: cannot write '" << out << "'" << std::endl;
    return 3;
  }
  std::cerr << "Random schedule written to " << out << std::endl;
  return 0;
}

int run_release(const std::string& problem_path, const std::string& schedule_path,
                const std::string& out) {
  TerminalUi ui(std::cerr, false);
  Problem problem;
  if (const int status = load_problem(problem_path, problem, ui); status != 0) return status;
  SCH schedule;
  if (const int status = import_schedule(schedule_path, problem, schedule); status != 0) {
    return status;
  }
  if (write_released_schedule_file(out, schedule, problem) != kFileDone) {
    std::cerr << "vema: cannot write '" << out << "'" << std::endl;
    return 3;
  }
  std::cerr << "Released schedule written to " << out << std::endl;
  return 0;
}

}  // namespace

void add_schedule_commands(CLI::App& app) {
  auto eval = std::make_shared<EvaluateOptions>();
  CLI::App* e = app.add_subcommand(
      "evaluate", "Time a schedule (.sch, or a released .rsf) and print its objective values");
  e->add_option("PROBLEM", eval->first,
                "Scheduling input file, or a released schedule file (.rsf) alone")
      ->required();
  e->add_option("SCHEDULE", eval->second, "Schedule file (.sch) or released schedule file (.rsf)");
  e->add_flag("--tasks", eval->tasks, "Also list every task's times (CSV, job and step order)");
  e->add_flag("--json", eval->json, "Print everything as JSON");
  e->callback([eval] { throw CommandDone{run_evaluate(*eval)}; });

  struct RandomOptions {
    std::string problem;
    std::string out;
    std::optional<uint64_t> seed;
  };
  auto rnd = std::make_shared<RandomOptions>();
  CLI::App* r = app.add_subcommand("random", "Write a random feasible schedule for a problem");
  r->add_option("PROBLEM", rnd->problem, "Scheduling input file")->required();
  r->add_option("-o,--out", rnd->out, "Schedule file to write (.sch)")->required();
  add_seed_option(*r, rnd->seed);
  r->callback([rnd] { throw CommandDone{run_random(rnd->problem, rnd->out, rnd->seed)}; });

  struct ReleaseOptions {
    std::string problem;
    std::string schedule;
    std::string out;
  };
  auto rel = std::make_shared<ReleaseOptions>();
  CLI::App* l = app.add_subcommand(
      "release", "Write a released schedule file: the shop data followed by the schedule");
  l->add_option("PROBLEM", rel->problem, "Scheduling input file")->required();
  l->add_option("SCHEDULE", rel->schedule, "Schedule file (.sch)")->required();
  l->add_option("-o,--out", rel->out, "Released schedule file to write (.rsf)")->required();
  l->callback([rel] { throw CommandDone{run_release(rel->problem, rel->schedule, rel->out)}; });
}

}  // namespace vema::cli
