// The "Generating Schedule" window: what the planner sees while a run is
// going, and the controls that act on it. It talks to the running search
// only through the process state (stop_requested, the live loops and tabu
// size, the priorities and the run history).
#pragma once

#include <QList>
#include <QWidget>

#include "search/process_state.h"

class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace vema {

class ResultChartWindow;
class ObjectiveFunctionsWindow;
class SearchingOperatorsWindow;

class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  // Every argument must outlive the window.
  ProgressWindow(ProcessState& state, QWidget* main_window, ResultChartWindow& chart,
                 ObjectiveFunctionsWindow& objectives, SearchingOperatorsWindow& operators);

  // A run starts: places and shows the window, clears its check boxes and
  // labels, shows or hides its groups as the status says, puts the live
  // loops and tabu size into the control fields and starts the clock.
  void begin_run(const RunStatus& status);
  // Refreshes every label from the run's status.
  void show_status(const RunStatus& status);
  // The planner declined to stop: the window is shown again.
  void show_again();
  // The run ended: stops the clock and hides the window.
  void end_run();

  // For tests.
  QLabel* label(const QString& name) const;  // by object name, e.g. "step", "best_step"
  QCheckBox* chart_visible_box() const;
  QCheckBox* priority_visible_box() const;
  QCheckBox* operators_visible_box() const;
  QSpinBox* loops_field() const;
  QSpinBox* tabu_field() const;
  QLineEdit* time_limit_field() const;
  QLabel* time_limit_label() const;
  QPushButton* stop_button() const;
  QTimer* time_limit_timer() const;
  QTimer* chart_timer() const;
  QTimer* clock_timer() const;
  QGroupBox* objectives_group() const;
  QGroupBox* rescheduling_group() const;
  QGroupBox* controls_group() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void show_heading(const RunStatus& status);
  void show_above_main_bottom(QWidget& window, int left);
  QRect main_frame() const;
  void place_window();
  void place_chart();
  void chart_box_toggled(bool on);
  void priority_box_toggled(bool on);
  void operators_box_toggled(bool on);
  void time_limit_edited(const QString& text);
  void time_limit_expired();
  void chart_tick();
  void clock_tick();

  ProcessState& state_;
  QWidget* main_window_;
  ResultChartWindow& chart_;
  ObjectiveFunctionsWindow& objectives_;
  SearchingOperatorsWindow& operators_;

  QList<QLabel*> value_labels_;
  QLabel* step_caption_ = nullptr;
  QGroupBox* objectives_group_ = nullptr;
  QGroupBox* rescheduling_group_ = nullptr;
  QGroupBox* controls_group_ = nullptr;
  QCheckBox* chart_box_ = nullptr;
  QCheckBox* priority_box_ = nullptr;
  QCheckBox* operators_box_ = nullptr;
  QSpinBox* loops_ = nullptr;
  QSpinBox* tabu_ = nullptr;
  QLineEdit* time_limit_ = nullptr;
  QLabel* time_limit_status_ = nullptr;
  QPushButton* stop_ = nullptr;
  QTimer* time_limit_timer_ = nullptr;
  QTimer* chart_timer_ = nullptr;
  QTimer* clock_ = nullptr;
};

}  // namespace vema
