// The run log "__last_run__.txt": opened (truncated) by every run in the
// program's folder, or in the per-user data folder when the program's folder
// is not writable. The last line is "End of file." without a line end.
#pragma once

#include <fstream>
#include <string>

#include "common/user_interface.h"
#include "problem/problem.h"
#include "search/obj_value.h"
#include "search/operators.h"
#include "search/process_state.h"

namespace vema {

inline constexpr const char* kRunLogName = "__last_run__.txt";

class RunLog {
 public:
  // Opens the log; false when neither folder takes it. When the log has to go
  // to the per-user folder, ui is told where, unless `announced` already
  // names that path (it is updated).
  bool open(const std::string& program_folder, UserInterface& ui, std::string& announced);
  // Opens the log at an explicit path (no fallback).
  bool open_at(const std::string& path);
  std::ofstream& out() { return out_; }
  const std::string& path() const { return path_; }
  // Writes "End of file." (no line end) and closes the log.
  void finish();

 private:
  std::ofstream out_;
  std::string path_;
};

// Opens the log of a run: at state.log_file when set, otherwise in the
// program's folder with the per-user fallback (see RunLog::open).
bool open_run_log(RunLog& log, ProcessState& state, UserInterface& ui);
// Hands the finished (closed) log to the run status: its path and its text.
void take_log(RunStatus& status, const RunLog& log);

// The ten lines of an objective-values listing.
void write_values_listing(std::ostream& out, const OBJ_VALUE& v);
// The six logged objectives, each after a tab: late orders, late jobs, sum
// and maximum of tardiness, setups, completion time.
void write_six(std::ostream& out, const OBJ_VALUE& v);
// Head lines of the batch run and performance test logs, each with its line end.
// "Prob_Sizes: \tMachine:..."
void write_problem_sizes(std::ostream& out, const Problem& problem);
// "Search_Pars:  \tmaxSTEP:..."
void write_search_parameters(std::ostream& out, const RunParameters& p);
// "Nx_op_pri:\tN1: ..." for the active operators.
void write_operator_priorities(std::ostream& out, const OperatorPriorities& p);
// "ObjPri:" and the six objective priorities.
void write_objective_priorities(std::ostream& out, const Priorities& p);
// " Elapsed time: 59 (sec)" or " Elapsed time: 1 (min) and 1 (sec)".
std::string elapsed_time_text(double seconds);
// The batch log's run time: "35s" or "1min 1s".
std::string batch_time_text(double seconds);
// The per-user folder for the log ($XDG_DATA_HOME/vema-scheduler or
// ~/.local/share/vema-scheduler).
std::string user_data_folder();

}  // namespace vema
