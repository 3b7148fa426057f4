// The scheduler window: loads a problem, holds the search parameters and
// the method, starts runs and opens the related windows. Created once; its
// fields keep their values between showings.
#pragma once

#include <QDialog>

#include "app/window_set.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vema {

class NumberField;
class Problem;
class ProcessState;
class Random;
class WindowsUi;

class SchedulerWindow : public QDialog {
  Q_OBJECT

 public:
  // The methods in the order of the " Method:" list.
  enum Method { kTabuSearch = 0, kAutostop, kBatch, kEnumeration };

  // Every argument must outlive the window; the windows of the set are
  // looked up when used, so they may be created after this one.
  SchedulerWindow(Problem& problem, ProcessState& state, WindowsUi& ui, Random& rng,
                  const WindowSet& windows, QWidget* main_window);

  // The buttons' actions.
  void load();
  void run();
  void run_test();
  void show_results();

  // For tests.
  NumberField* steps_field() const { return steps_; }
  NumberField* loops_field() const { return loops_; }
  NumberField* tabu_field() const { return tabu_; }
  NumberField* iterations_field() const { return iterations_; }
  NumberField* max_steps_field() const { return max_steps_; }
  NumberField* min_loop_field() const { return min_loop_; }
  QComboBox* method_list() const { return method_; }
  QComboBox* objective_list() const { return objective_; }
  QCheckBox* perf_test_box() const { return perf_test_; }
  QLabel* status_label() const { return status_; }
  QPushButton* button(const QString& text) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void method_changed();
  void perf_test_toggled(bool checked);
  void set_auto_stop_visible(bool visible);
  void close_window();
  void set_buttons_enabled(std::initializer_list<QWidget*> widgets, bool enabled);
  // The leaving checks of the fields a run or the test reads; false when
  // one of them reset a value.
  bool fields_valid(bool for_test);
  void read_parameters();
  void not_available(const char* what);

  Problem& problem_;
  ProcessState& state_;
  WindowsUi& ui_;
  Random& rng_;
  const WindowSet& windows_;

  QPushButton* load_ = nullptr;
  QPushButton* create_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* input_data_ = nullptr;
  QGroupBox* generate_ = nullptr;
  QComboBox* objective_ = nullptr;
  QPushButton* details_ = nullptr;
  QComboBox* method_ = nullptr;
  NumberField* steps_ = nullptr;
  NumberField* loops_ = nullptr;
  NumberField* tabu_ = nullptr;
  NumberField* iterations_ = nullptr;
  NumberField* max_steps_ = nullptr;
  NumberField* min_loop_ = nullptr;
  QLabel* max_steps_label_ = nullptr;
  QLabel* min_loop_label_ = nullptr;
  QPushButton* operators_ = nullptr;
  QCheckBox* perf_test_ = nullptr;
  QPushButton* test_ = nullptr;
  QPushButton* run_ = nullptr;
  QPushButton* show_results_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace vema
