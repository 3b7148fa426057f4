// Helpers shared by the vema commands.
#pragma once

#include <string>
#include <vector>

#include "cli/terminal_ui.h"
#include "problem/problem.h"
#include "schedule/sch.h"
#include "search/obj_value.h"

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

// True when the path ends in the extension (case-insensitive, with the dot).
bool has_extension(const std::string& path, const std::string& extension);

}  // namespace vema::cli
