#include "search/run_log.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>

#include "common/text_file.h"

namespace vema {

std::string user_data_folder() {
  namespace fs = std::filesystem;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
    return (fs::path(xdg) / "vema-scheduler").string();
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return (fs::path(home) / ".local" / "share" / "vema-scheduler").string();
  }
  return (fs::temp_directory_path() / "vema-scheduler").string();
}

bool RunLog::open(const std::string& program_folder, UserInterface& ui, std::string& announced) {
  namespace fs = std::filesystem;
  if (out_.is_open()) out_.close();
  path_ = (fs::path(program_folder.empty() ? "." : program_folder) / kRunLogName).string();
  out_.open(path_, std::ios::out | std::ios::trunc);
  if (out_) return true;
  out_.clear();
  std::error_code ec;
  const fs::path folder = user_data_folder();
  fs::create_directories(folder, ec);
  const std::string fallback = (folder / kRunLogName).string();
  out_.open(fallback, std::ios::out | std::ios::trunc);
  if (!out_) return false;
  if (announced != fallback) {
    announced = fallback;
    ui.message("The program folder is not writable; the run log is written to " + fallback);
  }
  path_ = fallback;
  return true;
}

bool RunLog::open_at(const std::string& path) {
  if (out_.is_open()) out_.close();
  path_ = path;
  out_.open(path_, std::ios::out | std::ios::trunc);
  return static_cast<bool>(out_);
}

void RunLog::finish() {
  out_ << "End of file.";
  out_.close();
}

bool open_run_log(RunLog& log, ProcessState& state, UserInterface& ui) {
  if (!state.log_file.empty()) return log.open_at(state.log_file);
  return log.open(state.program_folder, ui, state.announced_log_path);
}

void take_log(RunStatus& status, const RunLog& log) {
  status.log_path = log.path();
  // A log that cannot be read back shows as empty.
  std::string text;
  read_text_file(log.path(), text);
  status.log_text = std::move(text);
}

void write_six(std::ostream& out, const OBJ_VALUE& v) {
  out << '\t' << v.n_of_Late_Orders << '\t' << v.n_of_Late_Jobs << '\t' << v.sumTardiness << '\t'
      << v.max_Tardiness << '\t' << v.n_of_Setup << '\t' << v.Completion_Time;
}

void write_problem_sizes(std::ostream& out, const Problem& problem) {
  out << "Prob_Sizes: \tMachine:" << problem.N_Machine << "\tOrders:" << problem.N_Order
      << "\tJobs:" << problem.N_Job << "\tSetup_Types:" << problem.N_SetupType << '\n';
}

void write_search_parameters(std::ostream& out, const RunParameters& p) {
  out << "Search_Pars:  \tmaxSTEP:" << p.steps << "\tmaxLOOP:" << p.loops_per_step
      << "\tminLOOP:" << p.min_loop << "\tmaxImpless:" << p.max_steps_without_improvement
      << "\tmaxTABU:" << p.tabu_size << '\n';
}

void write_operator_priorities(std::ostream& out, const OperatorPriorities& p) {
  out << "Nx_op_pri:";
  for (int k = 1; k <= operator_count; ++k) out << "\tN" << k << ": " << p[k];
  out << '\n';
}

void write_objective_priorities(std::ostream& out, const Priorities& p) {
  out << "ObjPri:";
  for (int i = 1; i <= 6; ++i) out << '\t' << p.objective[i];
  out << '\n';
}

void write_values_listing(std::ostream& out, const OBJ_VALUE& v) {
  out << " n_of_Late_Jobs: " << v.n_of_Late_Jobs << '\n'
      << " n_of_Late_Orders: " << v.n_of_Late_Orders << '\n'
      << " max_Tardiness:" << v.max_Tardiness << '\n'
      << " sumTardiness: " << v.sumTardiness << '\n'
      << " sumAbsLateness: " << v.sumAbsLateness << '\n'
      << " n_of_Setup: " << v.n_of_Setup << '\n'
      << " n_of_Early_Starting_Jobs: " << v.n_of_Early_Starting_Jobs << '\n'
      << " sumEarly_Startness: " << v.sumEarly_Startness << '\n'
      << " Completion_Time: " << v.Completion_Time << '\n'
      << " n_of_Scheduled_Jobs " << v.n_of_Scheduled_Jobs << '\n';
}

std::string elapsed_time_text(double seconds) {
  std::ostringstream out;
  if (seconds < 60) {
    out << " Elapsed time: " << seconds << " (sec)";
  } else {
    const auto m = static_cast<long long>(seconds / 60);
    const auto r = static_cast<long long>(seconds - 60.0 * static_cast<double>(m));
    out << " Elapsed time: " << m << " (min) and " << r << " (sec)";
  }
  return out.str();
}

std::string batch_time_text(double seconds) {
  std::ostringstream out;
  if (seconds < 60) {
    out << seconds << "s";
  } else {
    const auto m = static_cast<long long>(seconds / 60);
    const auto r = static_cast<long long>(seconds - 60.0 * static_cast<double>(m));
    out << m << "min " << r << "s";
  }
  return out.str();
}

}  // namespace vema
