// The "Generating Schedule" window: its labels, the live controls that reach
// the running search, the time limit, the live chart and the side windows.
#include "search/windows/progress_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTimer>
#include <QXYSeries>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "gui/gui_test_support.h"
#include "search/windows/objective_functions_window.h"
#include "search/windows/searching_operators_window.h"
#include "viewer/windows/result_chart_window.h"

namespace vema {
namespace {

using Page = ResultChartWindow::Page;

// The application's windows around one progress window, on a main window
// that fills a 1366 x 768 desktop below its task bar.
struct Rig {
  ProcessState state;
  QWidget main;
  ResultChartWindow chart{&main};
  ObjectiveFunctionsWindow objectives{state.priorities, &main};
  SearchingOperatorsWindow operators{state.operator_priority, &main};
  ProgressWindow progress{state, &main, chart, objectives, operators};

  Rig() {
    main.setGeometry(0, 0, 1366, 728);
    main.show();
  }
};

// What a tabu search run shows after its first improvements.
RunStatus search_status() {
  RunStatus status;
  status.title = "VEMA Solver";
  status.start_time = "09:15:02";
  status.steps = 2000;
  status.step = 37;
  status.best_step = 35;
  OBJ_VALUE& v = status.best_values;
  v.n_of_Late_Orders = 3;
  v.n_of_Late_Jobs = 11;
  v.sumTardiness = 1250;
  v.max_Tardiness = 240;
  v.n_of_Setup = 48;
  v.Completion_Time = 13870;
  for (int d = 1; d <= kDeviations; ++d) v.deviation[static_cast<size_t>(d)] = 100 + d;
  return status;
}

// Gives the run history entries 1..count - 1, each value its index.
void write_history(RunStatus& status, int count) {
  status.history.resize(static_cast<size_t>(count));
  for (int h = status.history_count; h < count; ++h) {
    OBJ_VALUE& v = status.history[static_cast<size_t>(h)];
    v.n_of_Late_Orders = h;
    v.n_of_Late_Jobs = 2 * h;
    v.max_Tardiness = 3 * h;
    v.n_of_Setup = 4 * h;
    v.Completion_Time = 5 * h;
  }
  status.history_count = count;
}

void tick(QTimer* timer) { QVERIFY(QMetaObject::invokeMethod(timer, "timeout")); }

QRect up_arrow(QSpinBox* field) {
  QStyleOptionSpinBox option;
  option.initFrom(field);
  option.rect = field->rect();
  option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame |
                       QStyle::SC_SpinBoxEditField;
  option.buttonSymbols = field->buttonSymbols();
  option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
  option.frame = field->hasFrame();
  return field->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, field);
}

int right_edge(const QRect& r) { return r.x() + r.width(); }
int bottom_edge(const QRect& r) { return r.y() + r.height(); }

}  // namespace

class ProgressWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { rig_ = std::make_unique<Rig>(); }
  void cleanup() { rig_.reset(); }

  void beginRunPlacesWindowAndResetsIt();
  void labelsFollowTheRun_data();
  void labelsFollowTheRun();
  void arrowsWriteTheLiveParameters();
  void stopAndClosingRequestAStop();
  void timeLimitField_data();
  void timeLimitField();
  void timeLimitExpiryRequestsAStop();
  void liveChartDrawsEachEntryOnce();
  void sideWindowsFollowTheirBoxes();
  void screenshot();

 private:
  std::unique_ptr<Rig> rig_;
};

void ProgressWindowTest::beginRunPlacesWindowAndResetsIt() {
  Rig& r = *rig_;
  ProgressWindow& w = r.progress;
  QCOMPARE(w.windowTitle(), QStringLiteral("Generating Schedule"));
  QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
  QVERIFY(!(w.windowFlags() & Qt::WindowMinMaxButtonsHint));
  QCOMPARE(w.minimumWidth(), w.maximumWidth());
  QCOMPARE(w.time_limit_label()->text(), QStringLiteral("Timer inactive"));

  // A previous run left values, open side windows and other field values.
  w.begin_run(search_status());
  w.show_status(search_status());
  w.chart_visible_box()->setChecked(true);
  w.priority_visible_box()->setChecked(true);
  w.operators_visible_box()->setChecked(true);
  QVERIFY(r.chart.isVisible() && r.objectives.isVisible() && r.operators.isVisible());
  w.end_run();
  QVERIFY(!w.isVisible());
  QVERIFY(!w.clock_timer()->isActive());

  r.state.run.loops_per_step = 120;
  r.state.run.tabu_size = 300;
  RunStatus next;
  next.title = "VEMA Solver";
  w.begin_run(next);

  QVERIFY(w.isVisible());
  QVERIFY(!w.chart_visible_box()->isChecked());
  QVERIFY(!w.priority_visible_box()->isChecked());
  QVERIFY(!w.operators_visible_box()->isChecked());
  QVERIFY(!r.chart.isVisible() && !r.objectives.isVisible() && !r.operators.isVisible());
  QCOMPARE(w.loops_field()->value(), 120);
  QCOMPARE(w.tabu_field()->value(), 300);
  QCOMPARE(r.state.run.loops_per_step, 120);
  for (const char* name : {"step", "steps", "best_step", "start_time", "current_time",
                           "late_orders", "completion_time", "setups_new"}) {
    QVERIFY2(w.label(QString::fromLatin1(name))->text().isEmpty(), name);
  }
  QCOMPARE(w.label(QStringLiteral("title"))->text(), QStringLiteral("VEMA Solver"));
  QVERIFY(w.clock_timer()->isActive());
  QCOMPARE(w.clock_timer()->interval(), 1000);

  // Inside the main window below its caption, down to 2 pixels above its
  // bottom, and everything fits on a 768-pixel desktop.
  const QRect frame = w.frameGeometry();
  QCOMPARE(frame.topLeft(), QPoint(4, 26));
  QCOMPARE(bottom_edge(frame), bottom_edge(r.main.frameGeometry()) - 2);
  QVERIFY(w.minimumSizeHint().height() <= frame.height());

  // The clock shows the time of day.
  tick(w.clock_timer());
  QVERIFY(QRegularExpression(QStringLiteral("^Current time: \\d\\d:\\d\\d:\\d\\d$"))
              .match(w.label(QStringLiteral("current_time"))->text())
              .hasMatch());
}

void ProgressWindowTest::labelsFollowTheRun_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QStringList>("expected");  // step caption, step, steps, best step, late jobs
  QTest::addColumn<bool>("objectives");
  QTest::addColumn<bool>("rescheduling");
  QTest::addColumn<bool>("controls");
  QTest::newRow("tabu search") << 0 << QStringList{"STEP:", "37", "2000", "35", "11"} << true
                               << false << true;
  QTest::newRow("rescheduling") << 1 << QStringList{"STEP:", "37", "2000", "35", "11"} << true
                                << true << true;
  QTest::newRow("enumeration") << 2 << QStringList{"STEP:", "37", "1.2096e+07", "", ""} << false
                               << false << false;
  QTest::newRow("performance test")
      << 3 << QStringList{"Iteration:", "37", "2000", "", ""} << false << false << false;
}

void ProgressWindowTest::labelsFollowTheRun() {
  QFETCH(int, kind);
  QFETCH(QStringList, expected);
  QFETCH(bool, objectives);
  QFETCH(bool, rescheduling);
  QFETCH(bool, controls);
  ProgressWindow& w = rig_->progress;
  RunStatus status = search_status();
  status.show_rescheduling = kind == 1;
  if (kind >= 2) {
    status.show_objectives = false;
    status.show_controls = false;
  }
  if (kind == 2) status.steps_text = "1.2096e+07";
  status.counts_iterations = kind == 3;

  w.begin_run(status);
  w.show_status(status);

  QCOMPARE(w.objectives_group()->isVisible(), objectives);
  QCOMPARE(w.rescheduling_group()->isVisible(), rescheduling);
  QCOMPARE(w.controls_group()->isVisible(), controls);
  QCOMPARE(w.label(QStringLiteral("step_caption"))->text(), expected[0]);
  QCOMPARE(w.label(QStringLiteral("step"))->text(), expected[1]);
  QCOMPARE(w.label(QStringLiteral("steps"))->text(), expected[2]);
  QCOMPARE(w.label(QStringLiteral("best_step"))->text(), expected[3]);
  QCOMPARE(w.label(QStringLiteral("late_jobs"))->text(), expected[4]);
  QCOMPARE(w.label(QStringLiteral("start_time"))->text(), QStringLiteral("Start time:09:15:02"));
  if (!objectives) return;

  const std::pair<const char*, QString> values[] = {
      {"late_orders", "3"},     {"late_jobs", "11"}, {"sum_tardiness", "1250"},
      {"max_tardiness", "240"}, {"setups", "48"},    {"completion_time", "13870"}};
  for (const auto& [name, text] : values) {
    QCOMPARE(w.label(QString::fromLatin1(name))->text(), text);
  }
  if (!rescheduling) return;
  // Deviation measures 7/8 (orders), 3/4 (jobs) and 9/10 (setups).
  const std::pair<const char*, QString> deviations[] = {
      {"late_orders_dev", "107"}, {"late_orders_new", "108"}, {"late_jobs_dev", "103"},
      {"late_jobs_new", "104"},   {"setups_dev", "109"},      {"setups_new", "110"}};
  for (const auto& [name, text] : deviations) {
    QCOMPARE(w.label(QString::fromLatin1(name))->text(), text);
  }
}

void ProgressWindowTest::arrowsWriteTheLiveParameters() {
  Rig& r = *rig_;
  ProgressWindow& w = r.progress;
  r.state.run.loops_per_step = 100;
  r.state.run.tabu_size = 150;
  w.begin_run(search_status());
  QSpinBox* loops = w.loops_field();
  QCOMPARE(loops->minimum(), 1);
  QCOMPARE(loops->maximum(), 999);
  QCOMPARE(w.tabu_field()->maximum(), 9999);

  QTest::mouseClick(loops, Qt::LeftButton, {}, up_arrow(loops).center());
  QCOMPARE(loops->value(), 105);
  QCOMPARE(r.state.run.loops_per_step, 105);

  // The text cannot be typed over; the arrow keys step like the buttons.
  loops->setFocus();
  QTest::keyClicks(loops, QStringLiteral("7"));
  QCOMPARE(r.state.run.loops_per_step, 105);
  QTest::keyClick(w.tabu_field(), Qt::Key_Down);
  QCOMPARE(r.state.run.tabu_size, 145);
  QCOMPARE(r.state.run.loops_per_step, 105);
}

void ProgressWindowTest::stopAndClosingRequestAStop() {
  Rig& r = *rig_;
  ProgressWindow& w = r.progress;
  w.begin_run(search_status());
  QTest::mouseClick(w.stop_button(), Qt::LeftButton);
  QVERIFY(r.state.stop_requested);

  // The planner declines; then closes the window with its side windows open.
  r.state.stop_requested = false;
  w.show_again();
  w.chart_visible_box()->setChecked(true);
  w.priority_visible_box()->setChecked(true);
  w.operators_visible_box()->setChecked(true);
  QVERIFY(!r.state.stop_requested);
  w.close();
  QVERIFY(r.state.stop_requested);
  QVERIFY(!r.chart.isVisible() && !r.objectives.isVisible() && !r.operators.isVisible());
  QVERIFY(!w.chart_visible_box()->isChecked());
  QVERIFY(!w.priority_visible_box()->isChecked());
  QVERIFY(!w.operators_visible_box()->isChecked());
  QVERIFY(!w.chart_timer()->isActive());

  // Declined again: the window comes back.
  w.show_again();
  QVERIFY(w.isVisible());
}

void ProgressWindowTest::timeLimitField_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("field");
  QTest::addColumn<int>("minutes");  // 0: no timer
  QTest::newRow("longest limit") << "241"
                                 << "241" << 241;
  QTest::newRow("one minute") << "1"
                              << "1" << 1;
  QTest::newRow("too long") << "242"
                            << "" << 0;
  QTest::newRow("zero") << "0"
                        << "" << 0;
  QTest::newRow("letter after digits") << "12a"
                                       << "" << 0;
  QTest::newRow("sign") << "-5"
                        << "5" << 5;  // the '-' is cleared, then 5 is typed
}

void ProgressWindowTest::timeLimitField() {
  QFETCH(QString, typed);
  QFETCH(QString, field);
  QFETCH(int, minutes);
  ProgressWindow& w = rig_->progress;
  w.begin_run(search_status());
  QTest::keyClicks(w.time_limit_field(), typed);

  QCOMPARE(w.time_limit_field()->text(), field);
  QCOMPARE(w.time_limit_timer()->isActive(), minutes > 0);
  QVERIFY(w.time_limit_timer()->isSingleShot());
  if (minutes > 0) {
    QCOMPARE(w.time_limit_timer()->interval(), minutes * 60 * 1000);
    QVERIFY(QRegularExpression(QStringLiteral("^Timer active! Start time: \\d\\d:\\d\\d:\\d\\d$"))
                .match(w.time_limit_label()->text())
                .hasMatch());
  } else {
    QCOMPARE(w.time_limit_label()->text(), QStringLiteral("Timer inactive"));
  }

  // Emptying the field cancels any limit.
  w.time_limit_field()->clear();
  QVERIFY(!w.time_limit_timer()->isActive());
  QCOMPARE(w.time_limit_label()->text(), QStringLiteral("Timer inactive"));
}

void ProgressWindowTest::timeLimitExpiryRequestsAStop() {
  Rig& r = *rig_;
  ProgressWindow& w = r.progress;
  w.begin_run(search_status());
  QTest::keyClicks(w.time_limit_field(), QStringLiteral("3"));
  QVERIFY(w.time_limit_timer()->isActive());

  tick(w.time_limit_timer());

  QVERIFY(r.state.stop_requested);
  QVERIFY(!w.time_limit_timer()->isActive());
  QVERIFY(w.time_limit_field()->text().isEmpty());
  QCOMPARE(w.time_limit_label()->text(), QStringLiteral("Timer inactive"));
}

void ProgressWindowTest::liveChartDrawsEachEntryOnce() {
  Rig& r = *rig_;
  ProgressWindow& w = r.progress;
  RunStatus& status = r.state.status;
  status = search_status();
  w.begin_run(status);
  write_history(status, 8);  // entries 1..7 before the chart is opened

  w.chart_visible_box()->setChecked(true);
  QVERIFY(w.chart_timer()->isActive());
  QCOMPARE(w.chart_timer()->interval(), 500);
  tick(w.chart_timer());
  for (int s = 0; s < ResultChartWindow::kHistorySeries; ++s) {
    QCOMPARE(r.chart.point_count(Page::kObjValues, s), 7);
  }
  QCOMPARE(status.history_plotted, 8);

  write_history(status, 11);
  tick(w.chart_timer());
  tick(w.chart_timer());  // nothing new: nothing drawn
  for (int s = 0; s < ResultChartWindow::kHistorySeries; ++s) {
    QCOMPARE(r.chart.point_count(Page::kObjValues, s), 10);
  }
  QCOMPARE(r.chart.point_series(Page::kObjValues, 3)->at(9), QPointF(10, 40));
  QCOMPARE(status.history_plotted, 11);

  // Closed by the planner: the box is unchecked and the chart stops.
  r.chart.close();
  QVERIFY(!w.chart_visible_box()->isChecked());
  QVERIFY(!w.chart_timer()->isActive());
}

void ProgressWindowTest::sideWindowsFollowTheirBoxes() {
  Rig& r = *rig_;
  ProgressWindow& w = r.progress;
  w.begin_run(search_status());
  const QRect self = w.frameGeometry();
  const QRect main = r.main.frameGeometry();

  // The chart: right of this window up to 4 pixels short of the main
  // window's right edge, on its "Obj. values" page.
  r.chart.show_on(Page::kIndex);
  r.chart.close();
  w.chart_visible_box()->setChecked(true);
  QVERIFY(r.chart.isVisible());
  QCOMPARE(r.chart.current_page(), Page::kObjValues);
  QCOMPARE(r.chart.frameGeometry().topLeft(), QPoint(right_edge(self) + 4, self.y()));
  QCOMPARE(right_edge(r.chart.frameGeometry()), right_edge(main) - 4);

  // The priority window below it, its bottom 2 pixels above the main
  // window's; the chart now ends 4 pixels above it.
  w.priority_visible_box()->setChecked(true);
  QVERIFY(r.objectives.isVisible());
  QVERIFY(r.objectives.active_control());
  const QRect objectives = r.objectives.frameGeometry();
  QCOMPARE(objectives.x(), right_edge(self) + 4);
  QCOMPARE(bottom_edge(objectives), bottom_edge(main) - 2);
  QCOMPARE(bottom_edge(r.chart.frameGeometry()), objectives.y() - 4);

  // The operators window beside the priority window.
  w.operators_visible_box()->setChecked(true);
  QVERIFY(r.operators.isVisible());
  QCOMPARE(r.operators.frameGeometry().x(), right_edge(self) + objectives.width() + 8);
  QCOMPARE(bottom_edge(r.operators.frameGeometry()), bottom_edge(main) - 2);
  // The chart stays clear of both.
  QCOMPARE(bottom_edge(r.chart.frameGeometry()),
           std::min(objectives.y(), r.operators.frameGeometry().y()) - 4);

  // Unchecked: the priority window loses its active control and closes.
  w.priority_visible_box()->setChecked(false);
  QVERIFY(!r.objectives.isVisible());
  QVERIFY(!r.objectives.active_control());

  // Closed by themselves: the boxes follow.
  r.operators.close();
  QVERIFY(!w.operators_visible_box()->isChecked());
  w.priority_visible_box()->setChecked(true);
  r.objectives.close();
  QVERIFY(!w.priority_visible_box()->isChecked());
  r.chart.close();
  QVERIFY(!w.chart_visible_box()->isChecked());
  QVERIFY(!w.chart_timer()->isActive());
}

void ProgressWindowTest::screenshot() {
  Rig& r = *rig_;
  ProgressWindow& w = r.progress;
  RunStatus status = search_status();
  status.show_rescheduling = true;
  r.state.run.loops_per_step = 100;
  r.state.run.tabu_size = 150;
  w.begin_run(status);
  w.show_status(status);
  QTest::keyClicks(w.time_limit_field(), QStringLiteral("30"));
  tick(w.clock_timer());
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  testing::save_screenshot(&w, QStringLiteral("progress_window_rescheduling"));

  RunStatus perf;
  perf.title = "VEMA Solver";
  perf.counts_iterations = true;
  perf.show_objectives = false;
  perf.show_controls = false;
  perf.steps = 20;
  perf.step = 4;
  w.begin_run(perf);
  w.show_status(perf);
  testing::save_screenshot(&w, QStringLiteral("progress_window_perf_test"));

  // The whole desktop during a run with every side window open.
  w.begin_run(status);
  w.show_status(status);
  write_history(r.state.status, 41);
  w.chart_visible_box()->setChecked(true);
  w.priority_visible_box()->setChecked(true);
  w.operators_visible_box()->setChecked(true);
  tick(w.chart_timer());
  testing::save_desktop_screenshot(QStringLiteral("progress_desktop"));
  QVERIFY(w.isVisible());
}

}  // namespace vema

QTEST_MAIN(vema::ProgressWindowTest)
#include "progress_window_test.moc"
