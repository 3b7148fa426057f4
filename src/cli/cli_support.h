// Helpers shared by the vema commands.
#pragma once

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

// True when the path ends in the extension (case-insensitive, with the dot).
bool has_extension(const std::string& path, const std::string& extension);

}  // namespace vema::cli
