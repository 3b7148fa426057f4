// A user interface for tests: records every message and question and answers
// from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/user_interface.h"
#include "problem/input_check_session.h"

namespace vema::testing {

class ScriptedUi : public UserInterface {
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
  void process_events() override {
    ++events_processed;
    if (on_process_events) on_process_events();
  }
  void review_input_check(InputCheckSession& session) override {
    reviews.push_back(session.lists());
    if (on_review) on_review(session);
  }
  void run_progress(RunEvent event, const RunStatus& status) override {
    run_events.push_back(event);
    if (on_run_progress) on_run_progress(event, status);
  }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<FileDialogRequest> dialogs;
  std::vector<InputCheckLists> reviews;
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> paths;  // answers to file dialogs
  std::function<void(InputCheckSession&)> on_review;
  int events_processed = 0;
  // Called after events_processed has been counted, e.g. to request a stop
  // or change live run parameters at a chosen step.
  std::function<void()> on_process_events;
  std::vector<RunEvent> run_events;
  std::function<void(RunEvent, const RunStatus&)> on_run_progress;

 private:
  std::optional<std::string> next_path() {
    if (paths.empty()) return std::nullopt;
    auto p = paths.front();
    paths.pop_front();
    return p;
  }
};

}  // namespace vema::testing
