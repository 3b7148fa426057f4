// vema reschedule: load a released schedule with its shop data, change the
// shop, freeze what started by the freeze time, and search a new schedule
// for the rest (or only show the frozen initial state).
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "common/random.h"
#include "generator/generator_parameters.h"
#include "reschedule/environment.h"
#include "reschedule/reschedule_search.h"
#include "reschedule/rescheduler.h"
#include "search/run_log.h"

namespace vema::cli {
namespace {

struct RescheduleOptions {
  std::string plan;
  int freeze = -1;
  std::string order = "modify-first";
  std::string deviation_priorities;
  SearchOptions search;
  std::string out;
  std::string release;
  bool json = false;
  bool initial_state = false;
  // The environment changes, applied in the order they were given.
  std::vector<std::string> speed, calendar_add, calendar_delete, order_start, order_end;
  CLI::App* command = nullptr;
  std::map<const CLI::Option*, char> change_kind;
};

// A number as an edit field holds it: digits only, else no value (the
// field's filter empties anything else); more than nine characters count as
// no value too.
std::optional<int> field_number(const std::string& text) {
  const int value = text.size() > 9 ? -1 : field_text_value(text);
  return value < 0 ? std::nullopt : std::optional<int>(value);
}

// "N=VALUE": the 1-based record number and the value text.
std::pair<int, std::string> numbered(const std::string& option, const std::string& text, int count,
                                     const char* what) {
  const size_t eq = text.find('=');
  const int n = eq == std::string::npos ? -1 : field_number(text.substr(0, eq)).value_or(-1);
  if (n < 0) throw UsageError{option + " takes " + what + "=VALUE, not '" + text + "'"};
  if (n < 1 || n > count) {
    throw UsageError{option + ": there is no " + what + " " + std::to_string(n) + " (" + what +
                     "s 1.." + std::to_string(count) + ")"};
  }
  return {n, text.substr(eq + 1)};
}

// Applies one change; false when it was refused (its message is shown).
bool apply_change(char kind, const std::string& text, Problem& problem, UserInterface& ui) {
  switch (kind) {
    case 's': {
      const auto [m, value] = numbered("--speed", text, problem.N_Machine, "machine");
      return set_machine_speed(problem.Machines[m], field_number(value), ui);
    }
    case 'a': {
      const auto [m, value] = numbered("--calendar-add", text, problem.N_Machine, "machine");
      const size_t dash = value.find('-');
      const std::optional<int> st = field_number(value.substr(0, dash));
      const std::optional<int> et =
          dash == std::string::npos ? std::nullopt : field_number(value.substr(dash + 1));
      return add_calendar_interval(problem.Machines[m], st, et, ui);
    }
    case 'd': {
      const auto [m, value] = numbered("--calendar-delete", text, problem.N_Machine, "machine");
      return delete_calendar_interval(problem.Machines[m], field_number(value), ui);
    }
    case 'b': {
      const auto [o, value] = numbered("--order-start", text, problem.N_Order, "order");
      return set_order_start(problem.Orders[o], field_number(value), ui);
    }
    default: {
      const auto [o, value] = numbered("--order-end", text, problem.N_Order, "order");
      return set_order_end(problem.Orders[o], field_number(value), ui);
    }
  }
}

// The frozen tasks of every machine in the schedule: job, start and end.
nlohmann::json frozen_json(const SCH& schedule, const Problem& problem) {
  nlohmann::json machines = nlohmann::json::array();
  for (int m = 1; m <= problem.N_Machine; ++m) {
    nlohmann::json tasks = nlohmann::json::array();
    int k = 0;
    for (const TASK* t = schedule.machine_first[m];
         t != nullptr && ++k <= problem.Machines[m].frozen_tasks; t = t->next_on_machine) {
      tasks.push_back({{"job", t->job}, {"StartT", t->StartT}, {"EndT", t->EndT}});
    }
    machines.push_back(
        {{"machine", m}, {"frozen_tasks", problem.Machines[m].frozen_tasks}, {"tasks", tasks}});
  }
  return machines;
}

void print_frozen(std::ostream& out, const SCH& schedule, const Problem& problem) {
  out << "Frozen tasks per machine:\n";
  for (int m = 1; m <= problem.N_Machine; ++m) {
    out << "Mach_" << m << ": " << problem.Machines[m].frozen_tasks;
    int k = 0;
    for (const TASK* t = schedule.machine_first[m];
         t != nullptr && ++k <= problem.Machines[m].frozen_tasks; t = t->next_on_machine) {
      out << (k == 1 ? "  " : ", ") << "Job_" << t->job << " [" << t->StartT << " , " << t->EndT
          << "]";
    }
    out << '\n';
  }
}

int run_reschedule_command(const RescheduleOptions& o) {
  check_range(o.freeze, 0, kMaxFreezeTime,
              " The value of the Freeze time field is out of the range! It must be in [0 - 9999].");
  check_time_limit(o.search.time_limit);
  if (o.order != "freeze-first" && o.order != "modify-first") {
    throw UsageError{"--order must be freeze-first or modify-first"};
  }
  const FreezeOrder order =
      o.order == "freeze-first" ? FreezeOrder::kFreezeThenModify : FreezeOrder::kModifyThenFreeze;

  ProcessState state;
  apply_search_options(state, o.search);
  if (!o.deviation_priorities.empty()) {
    const auto p = parse_list(o.deviation_priorities, kDeviations, 0, 10, "deviation-priorities");
    for (int k = 0; k < kDeviations; ++k) state.priorities.deviation[k + 1] = p[k];
  }
  state.operator_priority[6] = 2;  // the rescheduling view

  TerminalUi ui(std::cerr, true);
  Problem problem;
  Rescheduler rescheduler;
  if (!std::ifstream(o.plan, std::ios::binary)) {
    std::cerr << "vema: cannot open '" << o.plan << "'" << std::endl;
    return 3;
  }
  std::string error;
  if (rescheduler.load_file(problem, state, ui, o.plan, &error) != 1) {
    if (problem.loaded() && !error.empty()) {
      std::cerr << "vema: the schedule part of '" << o.plan << "' cannot be read: " << error
                << std::endl;
    }
    return 2;
  }

  // The environment changes, in the order given on the command line.
  std::map<const CLI::Option*, size_t> used;
  bool changed = false;
  for (const CLI::Option* option : o.command->parse_order()) {
    const auto kind = o.change_kind.find(option);
    if (kind == o.change_kind.end()) continue;
    const std::vector<std::string>& texts = option->results();
    const size_t i = used[option]++;
    if (i >= texts.size()) continue;
    if (!apply_change(kind->second, texts[i], problem, ui)) return kExitUsage;
    changed = true;
  }
  if (changed) rescheduler.environment_modified(problem, state);

  const char* type = order == FreezeOrder::kFreezeThenModify
                         ? "First freeze released schedule then modify environment."
                         : "First modify environment then freeze released schedule.";
  OBJ_VALUE deviations;
  bool frozen_part_kept = true;
  if (o.initial_state) {
    const RescheduleStart start =
        prepare_reschedule_start(rescheduler, problem, state, order, o.freeze);
    deviations = start.values;
    rescheduler.show_initial_state(problem, state, order, o.freeze);
  } else {
    SystemClock clock;
    Random rng(clock);
    rng.set_fixed_seed(o.search.seed);
    catch_interrupts();
    ui.watch_run(&state, o.search.time_limit, isatty(STDERR_FILENO) != 0 && !o.json);
    if (run_reschedule(problem, state, rescheduler, ui, rng, order, o.freeze) != 1) {
      std::cerr << "vema: the run log could not be opened" << std::endl;
      return 3;
    }
    deviations = state.status.best_values;
    frozen_part_kept = state.status.frozen_part_kept;
  }

  const int status = write_schedule_outputs(state.current_schedule, problem, o.out, o.release);

  const OBJ_VALUE values = current_values_of(state);
  if (o.json) {
    nlohmann::json j;
    j["plan"] = o.plan;
    j["freeze_time"] = o.freeze;
    j["type"] = type;
    j["state"] = o.initial_state ? "initial" : "rescheduled";
    if (!o.initial_state) {
      j["best_step"] = state.status.best_step;
      j["log"] = state.status.log_path;
      j["freeze_interval_ok"] = frozen_part_kept;
    }
    if (!o.out.empty()) j["schedule"] = o.out;
    if (!o.release.empty()) j["released"] = o.release;
    j["values"] = values_json(values);
    j["deviations"] = nlohmann::json::array();
    for (int k = 1; k <= kDeviations; ++k) j["deviations"].push_back(deviations.deviation[k]);
    j["frozen"] = frozen_json(state.current_schedule, problem);
    std::cout << j.dump(2) << '\n';
    return status;
  }
  if (o.initial_state) {
    std::cout << "Initial state (freeze time " << o.freeze << ", " << type << "):\n";
  } else {
    std::cout << "Rescheduled schedule (freeze time " << o.freeze << ", " << type << " best step "
              << state.status.best_step << "):\n";
  }
  write_values_listing(std::cout, values);
  write_deviation_listing(std::cout, deviations);
  print_frozen(std::cout, state.current_schedule, problem);
  if (!o.initial_state) {
    std::cout << (frozen_part_kept ? "Freeze interval OK!" : "Freeze interval Modified!") << '\n';
    std::cout << "Run log: " << state.status.log_path << '\n';
  }
  if (!o.out.empty()) std::cout << "Schedule: " << o.out << '\n';
  if (!o.release.empty()) std::cout << "Released schedule: " << o.release << '\n';
  return status;
}

}  // namespace

void add_reschedule_command(CLI::App& app) {
  auto o = std::make_shared<RescheduleOptions>();
  CLI::App* s = app.add_subcommand(
      "reschedule",
      "Reschedule a released plan: change the shop, freeze what started by the freeze time and "
      "search a new schedule for the rest");
  o->command = s;
  s->add_option("PLAN", o->plan, "Released schedule file (.rsf) with its shop data")->required();
  s->add_option("--freeze", o->freeze, "Freeze time [0 - 9999]")->required();
  s->add_option("--order", o->order,
                "freeze-first (\"Fist freeze then modify env.\") or modify-first (\"Firts "
                "modify env. then freeze\")")
      ->capture_default_str();
  const auto change = [&](const char* name, std::vector<std::string>& target, char kind,
                          const char* help) {
    CLI::Option* option = s->add_option(name, target, help)->allow_extra_args(false);
    o->change_kind[option] = kind;
  };
  change("--speed", o->speed, 's', "New speed of a machine: MACHINE=SPEED, speed [1 - 1000]");
  change("--calendar-add", o->calendar_add, 'a',
         "New availability interval of a machine: MACHINE=START-END, start [0 - 32000], end "
         "[1 - 32000]");
  change("--calendar-delete", o->calendar_delete, 'd',
         "Delete availability interval K (1-based) of a machine: MACHINE=K");
  change("--order-start", o->order_start, 'b',
         "New constrained start time of an order: ORDER=TIME [0 - 32000]");
  change("--order-end", o->order_end, 'e',
         "New constrained end time of an order: ORDER=TIME [0 - 32000]");
  s->add_option("--deviation-priorities", o->deviation_priorities,
                "Priorities of the ten deviation measures, each [0 - 10] (default all 0)");
  add_search_options(*s, o->search, SearchOptionHelp{});
  add_seed_option(*s, o->search.seed);
  add_log_option(*s, o->search.log);
  s->add_option("--out", o->out, "Write the new schedule to this schedule file (.sch)");
  s->add_option("--release", o->release,
                "Write the new schedule with the modified shop as a released schedule file "
                "(.rsf)");
  add_time_limit_option(*s, o->search.time_limit);
  s->add_flag("--initial-state", o->initial_state,
              "Show the frozen initial state (values, deviations, frozen tasks) without "
              "searching");
  s->add_flag("--json", o->json, "Print the summary as JSON");
  s->callback([o] { throw CommandDone{run_reschedule_command(*o)}; });
}

}  // namespace vema::cli
