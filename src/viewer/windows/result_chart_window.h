// The "Results" window: the run log of the last interactive run, the compact
// log of a batch run or performance test, and the charts of the runs. Runs
// reset and fill it; the scheduler and progress windows show it.
#pragma once

#include <QWidget>

#include "search/process_state.h"

class QTabWidget;
class QPlainTextEdit;
class QComboBox;
class QCloseEvent;
class QChart;
class QXYSeries;
class QBarSet;

namespace vema {

class ResultChartWindow : public QWidget {
  Q_OBJECT

 public:
  // The pages, in the order they appear.
  enum class Page { kIndex = 0, kAverage, kMeasuring, kHMatrix, kBestObjValues, kObjValues };
  // The five history series of the "Obj. values" page, in drop-down order.
  static constexpr int kHistorySeries = 5;
  // A series shows the index beside each point only while it has at most
  // this many points; beyond that the labels would cover each other.
  static constexpr int kMaxLabelledPoints = 20;

  explicit ResultChartWindow(QWidget* main_window);

  // Empties both text panes and all nine series.
  void reset();
  // Replaces the text of the "Index" or "Average Obj_values" pane and makes
  // the pane visible; hide_log makes it invisible.
  void load_log(Page page, const QString& text);
  void hide_log(Page page);
  // Shows the window non-modally on the given page, or on its current one.
  void show_on(Page page);
  void show_current();
  // The next showing centres the window on the desktop again.
  void recentre_next_show();
  // Puts the window's frame at the given desktop rectangle; the next showing
  // keeps that place instead of centring the window.
  void place(const QRect& frame);

  // Appends history entries [from, to) of a run to the five history series.
  void append_history(const RunStatus& status, int from, int to);
  // Fills the charts at the end of a run, by its kind: the improvement and
  // history series after an interactive run, the "Measuring" bars after a
  // performance test. The series a run fills are cleared first.
  void fill_from_run(const RunStatus& status);

  // For tests and the progress window.
  Page current_page() const;
  int point_count(Page page, int series = 0) const;
  bool history_series_visible(int series) const;
  QString log_text(Page page) const;
  bool log_visible(Page page) const;
  QComboBox* series_selector() const;
  // The chart of the "Measuring", "Best Obj. values" or "Obj. values" page.
  QChart* chart(Page page) const;
  // Series of the "Best Obj. values" (series 0) or "Obj. values" (0..4) page.
  QXYSeries* point_series(Page page, int series) const;
  // The "Measuring" bar sets: 0 "rand", 1 "heur", 2 "search".
  QBarSet* bar_set(int series) const;

 signals:
  // The window was closed by any means.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Where the next showing puts the window.
  enum class Placement { kOnMainWindow, kOnDesktop, kKeep };

  QPlainTextEdit* log_pane(Page page) const;
  void show_selected_series(int entry);

  struct Charts;
  Charts* charts_ = nullptr;  // owned through Qt's parent chain
  QTabWidget* pages_ = nullptr;
  QPlainTextEdit* index_log_ = nullptr;
  QPlainTextEdit* average_log_ = nullptr;
  QComboBox* selector_ = nullptr;
  QWidget* main_window_ = nullptr;
  Placement placement_ = Placement::kOnMainWindow;
};

}  // namespace vema
