#include "cli/terminal_ui.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include "problem/input_check_session.h"
#include "search/process_state.h"

namespace vema::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void on_interrupt(int) { g_interrupted = 1; }

}  // namespace

void catch_interrupts() { std::signal(SIGINT, on_interrupt); }
bool interrupted() { return g_interrupted != 0; }

void print_check_lists(std::ostream& out, const InputCheckLists& lists) {
  out << "Error list:\n";
  for (const std::string& e : lists.errors) out << e << '\n';
  out << "Warning list:\n";
  for (const std::string& w : lists.warnings) out << w << '\n';
}

void TerminalUi::close_line() {
  if (!line_open_) return;
  err_ << '\n';
  line_open_ = false;
}

void TerminalUi::message(const std::string& text) {
  close_line();
  err_ << text << std::endl;
}

bool TerminalUi::ask(const std::string& text) {
  close_line();
  if (answer_) {
    err_ << "Question: " << text << (*answer_ ? " [yes]" : " [no]") << std::endl;
    return *answer_;
  }
  err_ << "Question: " << text << " [y/N] " << std::flush;
  std::string reply;
  if (!std::getline(std::cin, reply)) return false;
  return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
}

std::optional<std::string> TerminalUi::open_file(const FileDialogRequest& /*request*/) {
  return std::nullopt;  // the command line names its files as arguments
}

std::optional<std::string> TerminalUi::save_file(const FileDialogRequest& /*request*/) {
  return std::nullopt;
}

void TerminalUi::watch_run(ProcessState* state, int time_limit_minutes, bool live_progress) {
  state_ = state;
  live_ = live_progress;
  started_ = std::chrono::steady_clock::now();
  if (time_limit_minutes > 0) {
    deadline_ = started_ + std::chrono::minutes(time_limit_minutes);
  } else {
    deadline_.reset();
  }
}

void TerminalUi::process_events() {
  if (state_ == nullptr) return;
  if (interrupted()) state_->stop_requested = true;
  if (deadline_ && std::chrono::steady_clock::now() >= *deadline_) {
    deadline_.reset();
    state_->stop_requested = true;
  }
  // Keeps the clock of the progress line moving during long steps (the
  // iteration line has no clock).
  if (live_ && line_open_ && !state_->status.counts_iterations) {
    draw_progress(state_->status, false);
  }
}

void TerminalUi::review_input_check(InputCheckSession& session) {
  err_ << "Input Data Checking: " << session.path() << '\n';
  print_check_lists(err_, session.lists());
  err_.flush();
}

void TerminalUi::draw_progress(const RunStatus& st, bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - last_draw_ < std::chrono::milliseconds(100)) return;
  last_draw_ = now;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - started_).count();
  const OBJ_VALUE& v = st.best_values;
  const std::string steps = st.steps_text.empty() ? std::to_string(st.steps) : st.steps_text;
  char line[200];
  if (!st.show_objectives) {
    std::snprintf(line, sizeof line, "\rstep %d/%s  %02lld:%02lld ", st.step, steps.c_str(),
                  static_cast<long long>(elapsed / 60), static_cast<long long>(elapsed % 60));
  } else {
    std::snprintf(line, sizeof line,
                  "\rstep %d/%s  %02lld:%02lld  best step %d  late orders %d  late jobs %d  "
                  "sum tard. %d  max tard. %d  setups %d  completion %d ",
                  st.step, steps.c_str(), static_cast<long long>(elapsed / 60),
                  static_cast<long long>(elapsed % 60), st.best_step, v.n_of_Late_Orders,
                  v.n_of_Late_Jobs, v.sumTardiness, v.max_Tardiness, v.n_of_Setup,
                  v.Completion_Time);
  }
  err_ << line << std::flush;
  line_open_ = true;
}

void TerminalUi::run_progress(RunEvent event, const RunStatus& status) {
  if (!live_) return;
  if (status.counts_iterations) {
    // The performance test: "iteration i/N" as every iteration starts.
    if (event == RunEvent::kStep) {
      err_ << "\riteration " << status.step << '/' << status.steps << std::flush;
      line_open_ = true;
    } else if (event == RunEvent::kFinished) {
      close_line();
    }
    return;
  }
  switch (event) {
    case RunEvent::kStep:
    case RunEvent::kBest:
      draw_progress(status, false);
      break;
    case RunEvent::kFinished:
      draw_progress(status, true);
      close_line();
      break;
    default:
      break;
  }
}

}  // namespace vema::cli
