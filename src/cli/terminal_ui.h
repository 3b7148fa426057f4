// The command line's user interface: messages and check reports go to
// standard error, questions are answered from the terminal or by a fixed
// answer given on the command line, and a running search shows a live
// progress line when standard error is a terminal: its step and clock (with
// the best values when the run shows objectives), or "iteration i/N" for a
// run that counts iterations (the performance test).
#pragma once

#include <chrono>
#include <iosfwd>
#include <optional>

#include "common/user_interface.h"
#include "problem/input_checker.h"

namespace vema {
class ProcessState;
}

namespace vema::cli {

class TerminalUi : public UserInterface {
 public:
  // answer: the fixed answer to every question, or none to ask on the terminal.
  explicit TerminalUi(std::ostream& err, std::optional<bool> answer = std::nullopt)
      : err_(err), answer_(answer) {}

  void message(const std::string& text) override;
  bool ask(const std::string& text) override;
  std::optional<std::string> open_file(const FileDialogRequest& request) override;
  std::optional<std::string> save_file(const FileDialogRequest& request) override;
  void process_events() override;
  void review_input_check(InputCheckSession& session) override;
  void run_progress(RunEvent event, const RunStatus& status) override;

  // Lets Ctrl-C and the time limit reach a running search through state.
  // A time limit of 0 minutes means none.
  void watch_run(ProcessState* state, int time_limit_minutes, bool live_progress);

 private:
  void draw_progress(const RunStatus& status, bool force);
  // Ends an open progress line.
  void close_line();

  std::ostream& err_;
  std::optional<bool> answer_;
  ProcessState* state_ = nullptr;
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  std::chrono::steady_clock::time_point started_{};
  std::chrono::steady_clock::time_point last_draw_{};
  bool live_ = false;
  bool line_open_ = false;
};

// Prints "Error list:", the errors, "Warning list:", the warnings, one a line.
void print_check_lists(std::ostream& out, const InputCheckLists& lists);

// Installs a SIGINT handler that only records the interrupt.
void catch_interrupts();
bool interrupted();

}  // namespace vema::cli
