// The "Searching operators" window: the roulette priorities of the
// neighbourhood operators and, during a run, their success counters.
#pragma once

#include <QDialog>
#include <memory>

#include "search/operators.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vema {

class SearchingOperatorsWindow : public QDialog {
  Q_OBJECT

 public:
  // priorities must outlive the window; entries 0..operator_count are set
  // to 1 here.
  SearchingOperatorsWindow(OperatorPriorities& priorities, QWidget* main_window);
  ~SearchingOperatorsWindow() override;

  // Hides the counters, centres the window on the main window, shows it
  // modally and makes the counters visible again when it closes.
  void exec_without_counters();
  void set_counters_visible(bool visible);
  // A run begins: every counter and sum shows 0, each priority column its
  // plain number.
  void begin_run();
  // The run's counters after a step.
  void show_counters(const OperatorCounters& counters);

  // For tests.
  QComboBox* operator_list() const;
  QComboBox* priority_list() const;
  QLabel* priority_text(int k) const;  // k = 1..operator_count; 0 = the sums row
  QLabel* improve_text(int k) const;
  QLabel* total_text(int k) const;
  QPushButton* ok_button() const;
  QLabel* operator_label(int k) const;  // k = 1..8, "N1".."N8"

 signals:
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct Controls;

  int selected_operator() const;
  void show_selected_priority();
  void priority_chosen(int index);
  void update_priority_texts();

  OperatorPriorities& priorities_;
  QWidget* main_window_;
  std::unique_ptr<Controls> controls_;
};

}  // namespace vema
