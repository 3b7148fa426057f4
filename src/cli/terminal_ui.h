// The command line's user interface: messages and check reports go to
// standard error, questions are answered from the terminal or by a fixed
// answer given on the command line.
#pragma once

#include <iosfwd>
#include <optional>

#include "common/user_interface.h"
#include "problem/input_checker.h"

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
  void process_events() override {}
  void review_input_check(InputCheckSession& session) override;

 private:
  std::ostream& err_;
  std::optional<bool> answer_;
};

// Prints "Error list:", the errors, "Warning list:", the warnings, one a line.
void print_check_lists(std::ostream& out, const InputCheckLists& lists);

}  // namespace vema::cli
