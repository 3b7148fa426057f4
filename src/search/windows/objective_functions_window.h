// The "Objective functions" window: six track bars for the objective
// priorities. Opened modally from the scheduler window, or non-modally with
// "Active control" beside the progress window during a run, where every
// move of a track bar reaches the running search at its next comparison.
#pragma once

#include <QDialog>
#include <memory>

#include "search/obj_value.h"

class QCheckBox;
class QSlider;
class QLineEdit;
class QPushButton;

namespace vema {

class ObjectiveFunctionsWindow : public QDialog {
  Q_OBJECT

 public:
  // priorities must outlive the window; entries 1-6 of its objective array
  // are set to 7, 8, 10, 10, 7, 5 here.
  ObjectiveFunctionsWindow(Priorities& priorities, QWidget* main_window);
  ~ObjectiveFunctionsWindow() override;

  // Unchecks "Active control", centres the window on the main window and
  // shows it modally (the scheduler window's "Detailes").
  void exec_detached();
  void set_active_control(bool on);
  bool active_control() const;
  // The "More" button is visible only while the rescheduler window is shown.
  void set_more_visible(bool visible);

  // For tests.
  QSlider* track_bar(int row) const;  // row 1..6
  QLineEdit* value_box(int row) const;
  QCheckBox* active_control_box() const;
  QPushButton* ok_button() const;
  QPushButton* more_button() const;

 signals:
  // The window was closed by any means.
  void closed();
  // "More" was pressed.
  void more_requested();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct Controls;

  void bar_moved(int row, int position);
  void copy_all_positions();

  Priorities& priorities_;
  QWidget* main_window_;
  std::unique_ptr<Controls> controls_;
};

}  // namespace vema
