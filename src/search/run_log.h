// The run log "__last_run__.txt": opened (truncated) by every run in the
// program's folder, or in the per-user data folder when the program's folder
// is not writable. The last line is "End of file." without a line end.
#pragma once

#include <fstream>
#include <string>

#include "common/user_interface.h"
#include "search/obj_value.h"

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

// The ten lines of an objective-values listing.
void write_values_listing(std::ostream& out, const OBJ_VALUE& v);
// " Elapsed time: 59 (sec)" or " Elapsed time: 1 (min) and 1 (sec)".
std::string elapsed_time_text(double seconds);
// The batch log's run time: "35s" or "1min 1s".
std::string batch_time_text(double seconds);
// The per-user folder for the log ($XDG_DATA_HOME/vema-scheduler or
// ~/.local/share/vema-scheduler).
std::string user_data_folder();

}  // namespace vema
