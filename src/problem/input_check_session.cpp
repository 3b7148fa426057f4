#include "problem/input_check_session.h"

#include "common/text_file.h"

namespace vema {

const char* const kInputRefusedMessage = "  Input data are incorrect!\nOpening process stopped!";

int InputCheckSession::check() { return check_input(path_, lists_); }

int InputCheckSession::save_and_check(const std::string& text) {
  lists_.clear();
  int result = kCheckNotOpened;
  if (write_text_file_atomically(path_, text)) result = check();
  refused_ = result == kCheckNotOpened || result == kCheckErrors;
  return result;
}

bool check_gate(const std::string& path, UserInterface& ui) {
  InputCheckSession session(path);
  session.set_refused(false);
  const int result = session.check();
  if (result == kCheckErrors) {
    session.set_refused(true);
    ui.review_input_check(session);
  } else if (result == kCheckWarnings) {
    ui.review_input_check(session);
  }
  session.close();
  if (result != kCheckNotOpened && !session.refused()) return true;
  ui.message(kInputRefusedMessage);
  return false;
}

}  // namespace vema
