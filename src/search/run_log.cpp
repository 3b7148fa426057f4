#include "search/run_log.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

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
