// vema check and vema info: the input checker and a loaded problem's summary.
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "problem/input_checker.h"
#include "problem/route_tables.h"

namespace vema::cli {
namespace {

std::string steps_text(int group) {
  const int first = first_group_step(group);
  const int last = last_group_step(group);
  return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

int run_check(const std::string& path) {
  std::ifstream probe(path, std::ios::binary);
  if (!probe) {
    std::cerr << "vema: cannot open '" << path << "'" << std::endl;
    return 3;
  }
  probe.close();
  InputCheckLists lists;
  const int result = check_input(path, lists);
  if (result == kCheckNotOpened) {
    std::cerr << "vema: cannot open '" << path << "'" << std::endl;
    return 3;
  }
  print_check_lists(std::cout, lists);
  if (result == kCheckErrors) return 2;
  if (result == kCheckWarnings) return 1;
  return 0;
}

nlohmann::json summary_json(const Problem& p) {
  nlohmann::json j;
  j["file"] = p.input_file_name;
  j["machines"] = p.N_Machine;
  j["orders"] = p.N_Order;
  j["jobs"] = p.N_Job;
  j["setup_types"] = p.N_SetupType;
  j["machine_groups"] = nlohmann::json::array();
  for (int g = 1; g <= kGroups; ++g) {
    nlohmann::json steps = nlohmann::json::array();
    for (int i = 1; i <= MG_TS[g][0]; ++i) steps.push_back(MG_TS[g][i]);
    nlohmann::json machines = nlohmann::json::array();
    for (int i = 1; i <= p.MG_M[g][0]; ++i) machines.push_back(p.MG_M[g][i]);
    j["machine_groups"].push_back({{"group", g}, {"steps", steps}, {"machines", machines}});
  }
  j["execution_types"] = nlohmann::json::array();
  for (int t = 1; t <= kGroups; ++t) {
    nlohmann::json orders = nlohmann::json::array();
    for (int i = 1; i <= p.orders_of_type[t][0]; ++i) orders.push_back(p.orders_of_type[t][i]);
    j["execution_types"].push_back({{"type", t}, {"orders", orders}});
  }
  j["order_list"] = nlohmann::json::array();
  for (int o = 1; o <= p.N_Order; ++o) {
    const ORDER& order = p.Orders[o];
    nlohmann::json routes = nlohmann::json::array();
    for (int i = 1; i <= order.R_feasible[0]; ++i) {
      const int r = order.R_feasible[i];
      nlohmann::json groups = nlohmann::json::array();
      for (int l = 1; l <= R_MG_ex[r][0]; ++l) groups.push_back(R_MG_ex[r][l]);
      routes.push_back({{"route", r}, {"groups", groups}});
    }
    j["order_list"].push_back({{"order", o},
                               {"execution_type", order.ExeType},
                               {"jobs", order.NJob},
                               {"job_size", order.SJob},
                               {"first_job", order.FirstJob},
                               {"setup_type", order.SetupType},
                               {"CST", order.CST},
                               {"CET", order.CET},
                               {"feasible_routes", routes}});
  }
  return j;
}

void print_summary(std::ostream& out, const Problem& p) {
  out << "Problem: " << p.input_file_name << '\n'
      << "Machines: " << p.N_Machine << '\n'
      << "Orders: " << p.N_Order << '\n'
      << "Jobs: " << p.N_Job << '\n'
      << "Setup types: " << p.N_SetupType << '\n'
      << "Machines per machine group:\n";
  for (int g = 1; g <= kGroups; ++g) {
    if (p.MG_M[g][0] == 0) continue;
    out << "  MG_" << g << " (steps " << steps_text(g) << "):";
    for (int i = 1; i <= p.MG_M[g][0]; ++i) out << " Mach_" << p.MG_M[g][i];
    out << '\n';
  }
  out << "Orders per execution type:\n";
  for (int t = 1; t <= kGroups; ++t) {
    if (p.orders_of_type[t][0] == 0) continue;
    out << "  Exe_" << t << " (steps " << steps_text(t) << "):";
    for (int i = 1; i <= p.orders_of_type[t][0]; ++i) out << " Order_" << p.orders_of_type[t][i];
    out << '\n';
  }
  out << "Feasible routes per order:\n";
  for (int o = 1; o <= p.N_Order; ++o) {
    const ORDER& order = p.Orders[o];
    out << "  Order_" << o << " (Exe_" << order.ExeType << ", " << order.NJob << " jobs of "
        << order.SJob << ", Job_" << order.FirstJob << "..Job_" << order.FirstJob + order.NJob - 1
        << "):";
    if (order.R_feasible[0] == 0) out << " none";
    for (int i = 1; i <= order.R_feasible[0]; ++i) {
      const int r = order.R_feasible[i];
      out << (i > 1 ? "," : "") << " Route_" << r << " (";
      for (int l = 1; l <= R_MG_ex[r][0]; ++l) out << (l > 1 ? " " : "") << "MG_" << R_MG_ex[r][l];
      out << ")";
    }
    out << '\n';
  }
}

int run_info(const std::string& path, bool json) {
  TerminalUi ui(std::cerr, false);
  Problem problem;
  if (const int status = load_problem(path, problem, ui); status != 0) return status;
  if (json) {
    std::cout << summary_json(problem).dump(2) << '\n';
  } else {
    print_summary(std::cout, problem);
  }
  return 0;
}

}  // namespace

void add_problem_commands(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  CLI::App* check = app.add_subcommand(
      "check", "Check a scheduling input file and print its error and warning lists");
  check->add_option("FILE", *path, "Scheduling input file (.sif or .txt)")->required();
  check->callback([path] { throw CommandDone{run_check(*path)}; });

  auto info_path = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  CLI::App* info = app.add_subcommand("info", "Load a scheduling input file and summarise it");
  info->add_option("FILE", *info_path, "Scheduling input file (.sif or .txt)")->required();
  info->add_flag("--json", *json, "Print the summary as JSON");
  info->callback([info_path, json] { throw CommandDone{run_info(*info_path, *json)}; });
}

}  // namespace vema::cli
