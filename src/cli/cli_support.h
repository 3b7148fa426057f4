// Helpers shared by the vema commands.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/terminal_ui.h"
#include "problem/problem.h"
#include "schedule/sch.h"
#include "search/obj_value.h"
#include "search/process_state.h"

namespace vema::cli {

// Loads an input file (or the shop part of a released schedule file) the way
// the scheduler does. Returns 0 when loaded, else the exit status to use
// (2 refused, 3 not readable), after telling standard error why.
int load_problem(const std::string& path, Problem& problem, UserInterface& ui);

// Imports a schedule file into a schedule for the problem; 0 or exit status 2.
int import_schedule(const std::string& path, const Problem& problem, SCH& schedule);

// Number of jobs with a route.
int scheduled_jobs(const SCH& schedule);

// Times the schedule and fills its values (n_of_Scheduled_Jobs included).
OBJ_VALUE time_schedule(SCH& schedule, Problem& problem);

// The published values of the current schedule with its number of scheduled
// jobs, which publishing does not carry.
OBJ_VALUE current_values_of(const ProcessState& state);

// The ten values of a summary as JSON: the six objectives, the lateness and
// early-start values and the number of scheduled jobs.
nlohmann::json values_json(const OBJ_VALUE& values);

// Writes the schedule to `out` (.sch) and with the problem's shop to
// `release` (.rsf), each only when named, and tells standard error about a
// file that cannot be written. Returns 0, or 3 when a file was not written.
int write_schedule_outputs(const SCH& schedule, const Problem& problem, const std::string& out,
                           const std::string& release);

// Parses "a,b,c" into exactly count numbers in [lo, hi]; otherwise a
// UsageError naming the option.
std::vector<int> parse_list(const std::string& text, size_t count, int lo, int hi,
                            const std::string& what);
// UsageError with message when value lies outside [lo, hi].
void check_range(int value, int lo, int hi, const std::string& message);
// Folder of the running executable (where the run log goes), or ".".
std::string program_folder();

// Checks the scheduler window's ranges of steps, loops and tabu size (its
// messages on refusal) and sets them as the run parameters.
void set_run_size(ProcessState& state, int steps, int loops, int tabu);
// Checks and sets the automatic-stop pair; min_loop defaults to 10.
void set_autostop(ProcessState& state, int max_without_improvement, std::optional<int> min_loop);
// Sets the six objective priorities and the N1..N5 operator priorities from
// "a,b,c,..." lists; an empty list keeps the defaults.
void set_priorities(ProcessState& state, const std::string& objectives,
                    const std::string& operators);

// The options of a search run shared by solve, perftest and reschedule.
struct SearchOptions {
  int steps = 2000;
  int loops = 100;
  int tabu = 150;
  bool with_autostop = false;  // set when the automatic-stop options were added
  int max_without_improvement = 20;
  std::optional<int> min_loop;
  std::string priorities;
  std::string operator_priorities;
  std::optional<uint64_t> seed;
  std::string log;
  int time_limit = 0;  // minutes; 0 for none
};

// Help texts that differ between the commands. Without an automatic-stop
// text the command has no --max-steps-without-improvement and --min-loop.
struct SearchOptionHelp {
  const char* steps = "Num. of steps [1 - 9999]";
  const char* max_without_improvement = nullptr;
  const char* min_loop = nullptr;
};

// Adds --steps, --loops, --tabu, --max-steps-without-improvement and
// --min-loop (when help names them), --priorities and --operator-priorities,
// in this order.
void add_search_options(CLI::App& command, SearchOptions& options, const SearchOptionHelp& help);
// --seed (with its usual help unless given another), --log and --time-limit.
inline constexpr const char* kSeedHelp = "Seed of the random generator (default: the clock)";
void add_seed_option(CLI::App& command, std::optional<uint64_t>& seed,
                     const char* help = kSeedHelp);
void add_log_option(CLI::App& command, std::string& log);
void add_time_limit_option(CLI::App& command, int& minutes);

// UsageError unless the time limit lies in 0..241 minutes.
void check_time_limit(int minutes);
// Checks and sets the options' run size, automatic stop (when the command
// has it) and priorities, in that order, then the program folder and the
// run log.
void apply_search_options(ProcessState& state, const SearchOptions& options);

// True when the path ends in the extension (case-insensitive, with the dot).
bool has_extension(const std::string& path, const std::string& extension);

}  // namespace vema::cli
