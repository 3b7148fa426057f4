// What a run needs from the person in front of it. The desktop windows
// implement this with Qt, the command line with a terminal and the tests
// with scripted answers. The core never talks to a screen directly.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vema {

class InputCheckSession;
struct RunStatus;

// What happened in a run, for the progress display.
enum class RunEvent {
  kStarted,       // the progress window appears, the caller's window hides
  kStep,          // a new step begins (status.step)
  kBest,          // a new best (status.best_step, status.best_values)
  kCounters,      // operator counters changed
  kResumed,       // the planner declined to stop: show the progress window again
  kFinished,      // the run ended: hide the progress window, show charts and log
  kLogNotOpened,  // the run could not open its log and did nothing
};

// Settings of an open or save file dialog.
struct FileDialogRequest {
  std::string title;
  std::string filter;          // "Description|*.a;*.b|Description|*.c" pairs
  std::string initial_folder;  // empty: the program's folder
  std::string file_name;       // proposed file name, may be empty
  std::string default_extension;
};

// What the planner chose in a save dialog: the path and the filter entry
// selected when it was confirmed (1 = the first entry of the filter).
struct SaveFileChoice {
  std::string path;
  int filter_index = 1;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A modal message box.
  virtual void message(const std::string& text) = 0;
  // A Yes/No question with the caption "Question"; true for Yes.
  virtual bool ask(const std::string& text) = 0;
  // Open and save dialogs; no value when the planner cancels.
  virtual std::optional<std::string> open_file(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> save_file(const FileDialogRequest& request) = 0;
  // A save dialog that also reports the selected filter entry. Interfaces
  // without a filter choice report the first entry.
  virtual std::optional<SaveFileChoice> save_file_choice(const FileDialogRequest& request) {
    std::optional<std::string> path = save_file(request);
    if (!path) return std::nullopt;
    return SaveFileChoice{std::move(*path), 1};
  }
  // Lets the interface handle pending input from inside a long operation.
  virtual void process_events() = 0;
  // Shows the input data checking window modally over the session's lists.
  // The window may save edited text and check again through the session.
  virtual void review_input_check(InputCheckSession& session) = 0;
  // Progress of a search run; the default shows nothing.
  virtual void run_progress(RunEvent /*event*/, const RunStatus& /*status*/) {}
};

}  // namespace vema
