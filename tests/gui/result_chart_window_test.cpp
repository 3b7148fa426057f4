// The "Results" window: its pages, the logs, and how runs fill its charts.
#include "viewer/windows/result_chart_window.h"

#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QValueAxis>
#include <QXYSeries>
#include <QtTest>

#include "gui/gui_test_support.h"

namespace vema {
namespace {

using Page = ResultChartWindow::Page;

// A finished search run with n history entries and m improvements. Every
// objective gets its own value range, so a series fed from the wrong field
// shows up in the values.
RunStatus search_status(int n, int m) {
  RunStatus status;
  status.kind = RunKind::kSearch;
  status.history.assign(static_cast<size_t>(n) + 1, OBJ_VALUE{});
  for (int h = 1; h <= n; ++h) {
    OBJ_VALUE& v = status.history[static_cast<size_t>(h)];
    v.n_of_Late_Orders = h % 7;
    v.n_of_Late_Jobs = 20 + h % 11;
    v.sumTardiness = 5000 + h;  // not plotted
    v.max_Tardiness = 100 + h;
    v.n_of_Setup = 40 + h % 5;
    v.Completion_Time = 900 + 3 * h;
  }
  status.history_count = n + 1;
  status.improvement_list.assign(static_cast<size_t>(n) + 1, 0);
  for (int i = 1; i <= m; ++i) status.improvement_list[static_cast<size_t>(i)] = 30 - i;
  status.improvement_count = m + 1;
  return status;
}

RunStatus perf_status(const std::vector<int>& rand, const std::vector<int>& heur,
                      const std::vector<int>& search) {
  RunStatus status;
  status.kind = RunKind::kPerfTest;
  status.counts_iterations = true;
  status.measuring_rand = rand;
  status.measuring_heur = heur;
  status.measuring_search = search;
  return status;
}

QValueAxis* axis(QChart* chart, Qt::Orientation orientation) {
  const QList<QAbstractAxis*> axes = chart->axes(orientation);
  return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.front());
}

QString log_sample() {
  QString text = QStringLiteral("Tabu Search with _S class and do_pi.\nInput file :busy.sif\n");
  text += QStringLiteral(
      "Machine: 12 Orders: 30 Jobs:95\nFirst running: Initialize with random "
      "values\n\n Objective values of the initialized schedule:\n");
  for (int i = 0; i < 40; ++i) {
    text += QStringLiteral(
                " n_of_Late_Jobs: %1\t n_of_Late_Orders: %2\t max_Tardiness:%3 "
                "sumTardiness: %4 sumAbsLateness: %5 n_of_Setup: %6\n")
                .arg(40 - i)
                .arg(12 - i / 4)
                .arg(300 - i)
                .arg(4000 - 20 * i)
                .arg(5200 - 30 * i)
                .arg(60 + i % 3);
  }
  return text + QStringLiteral("End of file.");
}

}  // namespace

class ResultChartWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void pagesInOrderWithObjValuesFirst();
  void resetEmptiesPanesAndAllNineSeries();
  void logPanesLoadAndHide_data();
  void logPanesLoadAndHide();
  void searchRunFillsHistoryAndImprovements();
  void appendHistoryGrowsSeriesAndAxes();
  void selectorShowsOneOrAllSeries_data();
  void selectorShowsOneOrAllSeries();
  void perfTestFillsOnlyTheMeasuringBars();
  void placementAndClosing();
  void screenshots();
};

void ResultChartWindowTest::pagesInOrderWithObjValuesFirst() {
  ResultChartWindow window(nullptr);
  QCOMPARE(window.windowTitle(), QStringLiteral("Results"));
  auto* pages = window.findChild<QTabWidget*>();
  QVERIFY(pages != nullptr);
  const QStringList expected = {"Index",    "Average Obj_values", "Measuring",
                                "H Matrix", "Best Obj. values",   "Obj. values"};
  QStringList titles;
  for (int i = 0; i < pages->count(); ++i) titles << pages->tabText(i);
  QCOMPARE(titles, expected);
  QCOMPARE(window.current_page(), Page::kObjValues);

  QStringList entries;
  for (int i = 0; i < window.series_selector()->count(); ++i) {
    entries << window.series_selector()->itemText(i);
  }
  QCOMPARE(entries, (QStringList{"All Obj. Functions", "Num. of Late Orders", "Num. of Late Jobs",
                                 "Max. Tardiness", "Num. of Setups", "Completion Time"}));
  QCOMPARE(window.series_selector()->currentIndex(), 0);

  QCOMPARE(window.chart(Page::kMeasuring)->title(), QStringLiteral("Measuring Goodness"));
  QCOMPARE(window.chart(Page::kBestObjValues)->title(), QStringLiteral("Objective values"));
  QCOMPARE(window.chart(Page::kObjValues)->title(), QStringLiteral("Objective values"));
  QVERIFY(!window.chart(Page::kBestObjValues)->legend()->isVisible());
  QVERIFY(!window.chart(Page::kObjValues)->legend()->isVisible());
  // Only the bottom and left axes of the bar chart.
  QCOMPARE(window.chart(Page::kMeasuring)->axes(Qt::Horizontal).size(), 1);
  QCOMPARE(window.chart(Page::kMeasuring)->axes(Qt::Horizontal).front()->alignment(),
           Qt::AlignBottom);
  QCOMPARE(window.chart(Page::kMeasuring)->axes(Qt::Vertical).front()->alignment(), Qt::AlignLeft);
}

void ResultChartWindowTest::resetEmptiesPanesAndAllNineSeries() {
  ResultChartWindow window(nullptr);
  window.fill_from_run(search_status(12, 4));
  window.fill_from_run(perf_status({5, 6}, {3, 4}, {1, 2}));
  window.load_log(Page::kIndex, QStringLiteral("index log"));
  window.load_log(Page::kAverage, QStringLiteral("average log"));

  window.reset();

  QVERIFY(window.log_text(Page::kIndex).isEmpty());
  QVERIFY(window.log_text(Page::kAverage).isEmpty());
  for (int k = 0; k < 3; ++k) QCOMPARE(window.point_count(Page::kMeasuring, k), 0);
  QCOMPARE(window.point_count(Page::kBestObjValues), 0);
  for (int s = 0; s < ResultChartWindow::kHistorySeries; ++s) {
    QCOMPARE(window.point_count(Page::kObjValues, s), 0);
    QCOMPARE(window.point_series(Page::kObjValues, s)->count(), 0);
  }
  QCOMPARE(window.point_series(Page::kBestObjValues, 0)->count(), 0);
}

void ResultChartWindowTest::logPanesLoadAndHide_data() {
  QTest::addColumn<int>("page");
  QTest::addColumn<int>("other");
  QTest::newRow("Index") << int(Page::kIndex) << int(Page::kAverage);
  QTest::newRow("Average Obj_values") << int(Page::kAverage) << int(Page::kIndex);
}

void ResultChartWindowTest::logPanesLoadAndHide() {
  QFETCH(int, page);
  QFETCH(int, other);
  const auto p = static_cast<Page>(page);
  const auto o = static_cast<Page>(other);
  ResultChartWindow window(nullptr);
  window.load_log(o, QStringLiteral("kept"));

  window.hide_log(p);
  QVERIFY(!window.log_visible(p));
  QVERIFY(window.log_visible(o));

  // A log is shown as it is: tabs, long lines and the missing last line end.
  const QString text = QStringLiteral("ObjF:\tLOrder\tLJob\n") + QString(400, u'x') +
                       QStringLiteral("\nEnd of file.");
  window.load_log(p, text);
  QVERIFY(window.log_visible(p));
  QCOMPARE(window.log_text(p), text);
  window.load_log(p, QStringLiteral("second run"));
  QCOMPARE(window.log_text(p), QStringLiteral("second run"));
  QCOMPARE(window.log_text(o), QStringLiteral("kept"));
}

void ResultChartWindowTest::searchRunFillsHistoryAndImprovements() {
  ResultChartWindow window(nullptr);
  const RunStatus status = search_status(8, 3);
  window.fill_from_run(status);

  struct Expected {
    QColor colour;
    int OBJ_VALUE::*field;
  };
  const Expected expected[ResultChartWindow::kHistorySeries] = {
      {QColor(255, 0, 0), &OBJ_VALUE::n_of_Late_Orders},
      {QColor(0, 255, 0), &OBJ_VALUE::n_of_Late_Jobs},
      {QColor(255, 255, 255), &OBJ_VALUE::max_Tardiness},
      {QColor(255, 128, 0), &OBJ_VALUE::n_of_Setup},
      {QColor(128, 128, 128), &OBJ_VALUE::Completion_Time}};
  for (int s = 0; s < ResultChartWindow::kHistorySeries; ++s) {
    QXYSeries* series = window.point_series(Page::kObjValues, s);
    QCOMPARE(window.point_count(Page::kObjValues, s), 8);
    QCOMPARE(series->count(), 8);
    QCOMPARE(series->color(), expected[s].colour);
    QCOMPARE(series->pointLabelsFormat(), QStringLiteral("@xPoint"));
    QVERIFY(series->pointLabelsVisible());
    for (int h = 1; h <= 8; ++h) {
      const QPointF p = series->at(h - 1);
      QCOMPARE(p.x(), double(h));
      QCOMPARE(p.y(), double(status.history[static_cast<size_t>(h)].*expected[s].field));
    }
  }
  QXYSeries* best = window.point_series(Page::kBestObjValues, 0);
  QCOMPARE(window.point_count(Page::kBestObjValues), 3);
  QCOMPARE(best->color(), QColor(0, 255, 0));
  QCOMPARE(best->at(0), QPointF(1, 29));
  QCOMPARE(best->at(2), QPointF(3, 27));

  // The next run replaces the points instead of adding to them; with many
  // points the index labels give way.
  window.fill_from_run(search_status(100, 0));
  QCOMPARE(window.point_count(Page::kObjValues, 4), 100);
  QCOMPARE(window.point_count(Page::kBestObjValues), 0);
  QVERIFY(!window.point_series(Page::kObjValues, 4)->pointLabelsVisible());
  QVERIFY(axis(window.chart(Page::kObjValues), Qt::Horizontal)->max() >= 100);
  QVERIFY(axis(window.chart(Page::kObjValues), Qt::Vertical)->max() >= 900 + 3 * 100);

  // The enumeration keeps no history: its end only empties the charts.
  RunStatus enumeration;
  enumeration.kind = RunKind::kEnumeration;
  window.fill_from_run(enumeration);
  QCOMPARE(window.point_count(Page::kObjValues, 0), 0);
  QCOMPARE(window.point_count(Page::kBestObjValues), 0);
}

void ResultChartWindowTest::appendHistoryGrowsSeriesAndAxes() {
  ResultChartWindow window(nullptr);
  RunStatus status = search_status(30, 0);
  window.append_history(status, 1, 11);
  QValueAxis* y = axis(window.chart(Page::kObjValues), Qt::Vertical);
  QValueAxis* x = axis(window.chart(Page::kObjValues), Qt::Horizontal);
  QVERIFY(y->max() >= 930 && y->max() < 2 * 930);
  QVERIFY(x->max() >= 10 && x->max() < 30);

  // A later entry far above the rest widens the axes at once.
  status.history[15].Completion_Time = 50000;
  window.append_history(status, 11, 16);
  QCOMPARE(window.point_count(Page::kObjValues, 4), 15);
  QCOMPARE(window.point_series(Page::kObjValues, 4)->at(14), QPointF(15, 50000));
  QVERIFY(y->max() >= 50000);
  QVERIFY(x->max() >= 15);

  // Indices past the history written so far are ignored.
  window.append_history(status, 16, 500);
  QCOMPARE(window.point_count(Page::kObjValues, 0), 30);
}

void ResultChartWindowTest::selectorShowsOneOrAllSeries_data() {
  QTest::addColumn<int>("entry");
  QTest::newRow("Num. of Late Orders") << 1;
  QTest::newRow("Num. of Late Jobs") << 2;
  QTest::newRow("Max. Tardiness") << 3;
  QTest::newRow("Num. of Setups") << 4;
  QTest::newRow("Completion Time") << 5;
}

void ResultChartWindowTest::selectorShowsOneOrAllSeries() {
  QFETCH(int, entry);
  ResultChartWindow window(nullptr);
  window.fill_from_run(search_status(20, 2));

  window.series_selector()->setCurrentIndex(entry);
  for (int s = 0; s < ResultChartWindow::kHistorySeries; ++s) {
    QCOMPARE(window.history_series_visible(s), s == entry - 1);
  }
  // The vertical axis fits the shown series, not the hidden completion times
  // (unless that is the one shown).
  const double y_max = axis(window.chart(Page::kObjValues), Qt::Vertical)->max();
  if (entry != 5) QVERIFY2(y_max < 900, qPrintable(QString::number(y_max)));

  window.series_selector()->setCurrentIndex(0);
  for (int s = 0; s < ResultChartWindow::kHistorySeries; ++s) {
    QVERIFY(window.history_series_visible(s));
  }
  QVERIFY(axis(window.chart(Page::kObjValues), Qt::Vertical)->max() >= 900 + 3 * 20);
}

void ResultChartWindowTest::perfTestFillsOnlyTheMeasuringBars() {
  ResultChartWindow window(nullptr);
  window.fill_from_run(search_status(6, 2));
  window.fill_from_run(perf_status({9, 7, 8}, {5, 6, 4}, {2, 3, 1}));

  const QStringList names = {"rand", "heur", "search"};
  const QColor colours[] = {QColor(255, 0, 0), QColor(255, 128, 0), QColor(0, 255, 0)};
  const std::vector<int> values[] = {{9, 7, 8}, {5, 6, 4}, {2, 3, 1}};
  for (int k = 0; k < 3; ++k) {
    QBarSet* set = window.bar_set(k);
    QCOMPARE(set->label(), names[k]);
    QCOMPARE(set->color(), colours[k]);
    QCOMPARE(window.point_count(Page::kMeasuring, k), 3);
    for (int i = 0; i < 3; ++i) QCOMPARE(set->at(i), double(values[k][static_cast<size_t>(i)]));
  }
  // The search run's charts stay as they were.
  QCOMPARE(window.point_count(Page::kObjValues, 0), 6);
  QCOMPARE(window.point_count(Page::kBestObjValues), 2);

  // A second test replaces the bars.
  window.fill_from_run(perf_status({4}, {3}, {2}));
  QCOMPARE(window.point_count(Page::kMeasuring, 2), 1);
  QCOMPARE(window.bar_set(2)->at(0), 2.0);
}

void ResultChartWindowTest::placementAndClosing() {
  QWidget main;
  main.setGeometry(60, 40, 700, 500);
  main.show();
  ResultChartWindow window(&main);
  window.resize(400, 300);
  QSignalSpy closed(&window, &ResultChartWindow::closed);

  // First showing: centred on the main window.
  window.show_current();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QCOMPARE(window.frameGeometry().center(), main.frameGeometry().center());
  window.close();
  QCOMPARE(closed.count(), 1);

  // A placed window keeps its place.
  const QRect frame(300, 60, 420, 320);
  window.place(frame);
  window.show_on(Page::kMeasuring);
  QCOMPARE(window.current_page(), Page::kMeasuring);
  QCOMPARE(window.frameGeometry().topLeft(), frame.topLeft());
  window.close();

  // Asked to, the next showing centres it on the desktop.
  window.recentre_next_show();
  window.show_current();
  QCOMPARE(window.frameGeometry().center(), main.screen()->availableGeometry().center());
  QCOMPARE(window.current_page(), Page::kMeasuring);
  window.close();
  QCOMPARE(closed.count(), 3);
}

void ResultChartWindowTest::screenshots() {
  QWidget main;
  main.setGeometry(0, 0, 1366, 740);
  main.show();
  ResultChartWindow window(&main);

  window.fill_from_run(search_status(50, 9));
  window.show_on(Page::kObjValues);
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  testing::save_screenshot(&window, QStringLiteral("result_chart_obj_values"));
  window.show_on(Page::kBestObjValues);
  testing::save_screenshot(&window, QStringLiteral("result_chart_best_obj_values"));

  window.load_log(Page::kIndex, log_sample());
  window.show_on(Page::kIndex);
  testing::save_screenshot(&window, QStringLiteral("result_chart_index"));

  window.fill_from_run(
      perf_status({14, 12, 15, 13, 16, 12}, {9, 8, 10, 9, 9, 7}, {4, 3, 5, 2, 4, 3}));
  window.show_on(Page::kMeasuring);
  testing::save_screenshot(&window, QStringLiteral("result_chart_measuring"));

  window.fill_from_run(search_status(400, 30));
  window.show_on(Page::kObjValues);
  testing::save_screenshot(&window, QStringLiteral("result_chart_obj_values_long_run"));
  QVERIFY(window.isVisible());
}

}  // namespace vema

QTEST_MAIN(vema::ResultChartWindowTest)
#include "result_chart_window_test.moc"
