// The "Input Data Checking" window: the checker's error and warning lists
// beside the file's text, which the planner can edit, save and check again.
#pragma once

#include <QDialog>

#include "problem/input_check_session.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vema {

class InputCheckWindow : public QDialog {
  Q_OBJECT

 public:
  explicit InputCheckWindow(QWidget* main_window);

  // Shows the session's lists and file modally; "Save and Check" works
  // through the session. Returns when the window is closed; the lists and
  // the editor are empty again then.
  void review(InputCheckSession& session);

  // For tests (valid while review() runs).
  QLabel* file_label() const;
  QListWidget* error_list() const;
  QListWidget* warning_list() const;
  QPlainTextEdit* editor() const;
  QPushButton* save_and_check_button() const;
  QPushButton* close_button() const;

 private:
  void show_lists();
  void save_and_check();
  // Selects the whole of the editor's line (1 = the first), its line break
  // included; a line that does not exist puts the cursor at the end.
  void go_to_line(int line);

  InputCheckSession* session_ = nullptr;
  QLabel* file_label_;
  QListWidget* error_list_;
  QListWidget* warning_list_;
  QPlainTextEdit* editor_;
  QPushButton* save_button_;
  QPushButton* close_button_;
};

}  // namespace vema
