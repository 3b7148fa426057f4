#include "cli/terminal_ui.h"

#include <iostream>
#include <string>

#include "problem/input_check_session.h"

namespace vema::cli {

void print_check_lists(std::ostream& out, const InputCheckLists& lists) {
  out << "Error list:\n";
  for (const std::string& e : lists.errors) out << e << '\n';
  out << "Warning list:\n";
  for (const std::string& w : lists.warnings) out << w << '\n';
}

void TerminalUi::message(const std::string& text) { err_ << text << std::endl; }

bool TerminalUi::ask(const std::string& text) {
  if (answer_) {
    err_ << text << (*answer_ ? " [yes]" : " [no]") << std::endl;
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

void TerminalUi::review_input_check(InputCheckSession& session) {
  err_ << "Input Data Checking: " << session.path() << '\n';
  print_check_lists(err_, session.lists());
  err_.flush();
}

}  // namespace vema::cli
