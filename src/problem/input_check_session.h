// What the input data checking window works on: the file, the two message
// lists of the last check and the refusal flag that the check gate reads
// after the window closes.
#pragma once

#include <string>

#include "common/user_interface.h"
#include "problem/input_checker.h"

namespace vema {

class InputCheckSession {
 public:
  explicit InputCheckSession(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  const InputCheckLists& lists() const { return lists_; }
  bool refused() const { return refused_; }
  void set_refused(bool refused) { refused_ = refused; }

  // Runs the checker over the file; returns its result.
  int check();
  // "Save and Check": writes the edited text over the file, then checks it
  // again. Results 0 and -1 set the refusal flag, 1 and 2 clear it. When the
  // text cannot be written the file is unchanged and the result is 0.
  int save_and_check(const std::string& text);
  // Closing the window discards the lists.
  void close() { lists_.clear(); }

 private:
  std::string path_;
  InputCheckLists lists_;
  bool refused_ = false;
};

// The message shown when a file is refused.
extern const char* const kInputRefusedMessage;

// Checks the file before loading. Errors or warnings open the checking
// window; returns true when loading may go on.
bool check_gate(const std::string& path, UserInterface& ui);

}  // namespace vema
