// A user interface for tests: records every message and question and answers
// from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/user_interface.h"
#include "problem/input_check_session.h"

namespace vema::testing {

// The recorded messages, questions and file dialogs, and the queued answers
// to them. Unanswered questions get No, unanswered dialogs are cancelled.
struct ScriptedAnswers {
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<FileDialogRequest> dialogs;
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> paths;  // answers to file dialogs

  bool next_answer(const std::string& question) {
    questions.push_back(question);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> next_path(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (paths.empty()) return std::nullopt;
    auto p = paths.front();
    paths.pop_front();
    return p;
  }
};

// A user interface whose message boxes, questions and file dialogs are
// scripted; Base supplies the rest.
template <class Base>
class WithScriptedDialogs : public Base, public ScriptedAnswers {
 public:
  void message(const std::string& text) override { messages.push_back(text); }
  bool ask(const std::string& text) override { return next_answer(text); }
  std::optional<std::string> open_file(const FileDialogRequest& request) override {
    return next_path(request);
  }
  std::optional<std::string> save_file(const FileDialogRequest& request) override {
    return next_path(request);
  }
  std::optional<SaveFileChoice> save_file_choice(const FileDialogRequest& request) override {
    std::optional<std::string> p = save_file(request);
    if (!p) return std::nullopt;
    return SaveFileChoice{*p, 1};
  }
};

class ScriptedUi : public WithScriptedDialogs<UserInterface> {
 public:
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

  std::vector<InputCheckLists> reviews;
  std::function<void(InputCheckSession&)> on_review;
  int events_processed = 0;
  // Called after events_processed has been counted, e.g. to request a stop
  // or change live run parameters at a chosen step.
  std::function<void()> on_process_events;
  std::vector<RunEvent> run_events;
  std::function<void(RunEvent, const RunStatus&)> on_run_progress;
};

}  // namespace vema::testing
