// The desktop interface with scripted answers: message boxes, questions and
// file dialogs are recorded and answered from queues, everything else (the
// progress and result windows, pending events) is the real thing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/windows_ui.h"
#include "scripted_ui.h"

namespace vema::testing {

class ScriptedWindowsUi : public WithScriptedDialogs<WindowsUi> {
 public:
  void process_events() override {
    WindowsUi::process_events();
    ++events_processed;
    if (on_process_events) on_process_events();
  }
  void review_input_check(InputCheckSession& session) override {
    ++reviews;
    if (on_review) {
      on_review(session);
    } else {
      WindowsUi::review_input_check(session);
    }
  }
  void run_progress(RunEvent event, const RunStatus& status) override {
    WindowsUi::run_progress(event, status);
    run_events.push_back(event);
  }

  int events_processed = 0;
  int reviews = 0;
  std::function<void()> on_process_events;
  std::function<void(InputCheckSession&)> on_review;
  std::vector<RunEvent> run_events;
};

}  // namespace vema::testing
