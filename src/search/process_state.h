// What the whole process shares besides the loaded problem: the current
// schedule and its values, the priorities, the run parameters and what a
// running search shows. The application owns one; tests make as many as
// they like. Runs and windows meet only here.
#pragma once

#include <string>
#include <vector>

#include "schedule/sch.h"
#include "search/obj_value.h"
#include "search/operators.h"

namespace vema {

// Parameters of a search run with the scheduler window's defaults.
struct RunParameters {
  int steps = 2000;                        // "Num. of steps"
  int loops_per_step = 100;                // "Num. of loops"; live during a run
  int tabu_size = 150;                     // "TabuList size"; live during a run
  int max_steps_without_improvement = 20;  // "Max. steps imp.less:"
  int min_loop = 10;                       // "Min. loop:"
};

// Which run is going: it decides where the result window puts the log
// (the "Index" page for the interactive runs, "Average Obj_values" for the
// batch run and the performance test) and which charts it fills.
enum class RunKind { kSearch, kEnumeration, kBatch, kPerfTest };

// What a running search shows; filled by the run, read by the display.
struct RunStatus {
  RunKind kind = RunKind::kSearch;
  std::string title;       // "VEMA Solver"
  std::string subtitle;    // "" or "Batch scheduling mode"
  std::string start_time;  // hh:mm:ss
  int steps = 0;
  // Shown in place of steps when not empty (the enumeration's number of
  // assignment combinations, which need not fit an int).
  std::string steps_text;
  int step = 0;
  int best_step = 0;
  bool show_objectives = true;  // the "Objective functions" group
  bool show_controls = true;    // the "Control parameters" group
  // The "Rescheduling  Objective func." group: during a rescheduling run it
  // shows deviation measures 7 and 8 (late orders), 3 and 4 (late jobs) and
  // 9 and 10 (machine setups) of best_values.
  bool show_rescheduling = false;
  OBJ_VALUE best_values;
  OperatorCounters counters;
  // history[1 .. history_count - 1]: the step's best values after each step.
  std::vector<OBJ_VALUE> history;
  int history_count = 1;
  int history_plotted = 1;
  // improvement_list[1 .. improvement_count - 1]: late jobs at each new best.
  std::vector<int> improvement_list;
  int improvement_count = 1;
  // A rescheduling run: whether the frozen tasks kept their places.
  bool frozen_part_kept = true;
  std::string log_text;  // the finished run's log, for the result window's memo
  std::string log_path;
  // The performance test: step and steps count iterations ("Iteration:"),
  // and its "Measuring" chart gets the late jobs of the rand, heur and
  // search results of every completed iteration (iteration i at i - 1).
  bool counts_iterations = false;
  std::vector<int> measuring_rand;
  std::vector<int> measuring_heur;
  std::vector<int> measuring_search;
};

class ProcessState {
 public:
  SCH current_schedule;
  OBJ_VALUE current_values;
  Priorities priorities;  // objective_priority and deviation_priority
  OperatorPriorities operator_priority = kDefaultOperatorPriorities;
  RunParameters run;
  RunStatus status;
  bool stop_requested = false;
  // Folder of the program: the run log "__last_run__.txt" goes there.
  std::string program_folder = ".";
  // When set, the run log goes exactly here instead.
  std::string log_file;
  // The per-user log path the planner has already been told about.
  std::string announced_log_path;
};

}  // namespace vema
