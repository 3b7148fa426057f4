// The user interface of the desktop application: message boxes, questions
// and file dialogs with Qt, pending events processed by Qt's event loop,
// the input checking window, and a run's progress shown in the progress
// and result chart windows.
#pragma once

#include "app/window_set.h"
#include "common/user_interface.h"

class QWidget;

namespace vema {

class ProcessState;

class WindowsUi : public UserInterface {
 public:
  WindowsUi() = default;

  // The windows and the process state must outlive this object.
  void attach(const WindowSet& windows, ProcessState& state);
  // The window a run hides at its start and shows again at its end.
  void set_run_owner(QWidget* owner) { run_owner_ = owner; }
  bool run_active() const { return run_active_; }
  // A run ended by an exception: the progress window goes and the window
  // that started the run comes back.
  void abandon_run();

  void message(const std::string& text) override;
  bool ask(const std::string& text) override;
  std::optional<std::string> open_file(const FileDialogRequest& request) override;
  std::optional<std::string> save_file(const FileDialogRequest& request) override;
  std::optional<SaveFileChoice> save_file_choice(const FileDialogRequest& request) override;
  void process_events() override;
  void review_input_check(InputCheckSession& session) override;
  void run_progress(RunEvent event, const RunStatus& status) override;

 protected:
  // The window message boxes and dialogs belong to.
  QWidget* dialog_parent() const;

 private:
  // The progress window goes, the side windows close (the chart window
  // too when asked) and the window that started the run comes back.
  void end_progress(bool close_chart);
  void finish_run(const RunStatus& status);

  WindowSet windows_;
  ProcessState* state_ = nullptr;
  QWidget* run_owner_ = nullptr;
  bool run_active_ = false;
};

}  // namespace vema
