// The desktop interface with scripted answers: message boxes, questions and
// file dialogs are recorded and answered from queues, everything else (the
// progress and result windows, pending events) is the real thing.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/windows_ui.h"

namespace vema::testing {

class ScriptedWindowsUi : public WindowsUi {
 public:
  void message(const std::string& text) override { messages.push_back(text); }
  bool ask(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> open_file(const FileDialogRequest& request) override {
    dialogs.push_back(request);
    return next_path();
  }
  std::optional<std::string> save_file(const FileDialogRequest& request) override {
    dialogs.push_back(request);
    return next_path();
  }
  std::optional<SaveFileChoice> save_file_choice(const FileDialogRequest& request) override {
    std::optional<std::string> p = save_file(request);
    if (!p) return std::nullopt;
    return SaveFileChoice{*p, 1};
  }
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

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<FileDialogRequest> dialogs;
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> paths;
  int events_processed = 0;
  int reviews = 0;
  std::function<void()> on_process_events;
  std::function<void(InputCheckSession&)> on_review;
  std::vector<RunEvent> run_events;

 private:
  std::optional<std::string> next_path() {
    if (paths.empty()) return std::nullopt;
    auto p = paths.front();
    paths.pop_front();
    return p;
  }
};

}  // namespace vema::testing
