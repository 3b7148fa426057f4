// The two priority windows: "Objective functions" and "Searching operators".
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "gui/gui_test_support.h"
#include "search/windows/objective_functions_window.h"
#include "search/windows/searching_operators_window.h"

using vema::ObjectiveFunctionsWindow;
using vema::OperatorCounters;
using vema::OperatorPriorities;
using vema::Priorities;
using vema::SearchingOperatorsWindow;

namespace {

// Runs check once the next modal loop has started, then presses button.
void while_modal(const std::function<void()>& check, const std::function<QPushButton*()>& button) {
  QTimer::singleShot(0, [check, button] {
    check();
    QTest::mouseClick(button(), Qt::LeftButton);
  });
}

std::array<int, 7> objective_entries(const Priorities& p) {
  std::array<int, 7> entries{};
  for (size_t i = 1; i <= 6; ++i) entries[i] = p.objective[i];
  return entries;
}

}  // namespace

class PriorityWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void objectiveWindowStartsFromTheDefaults();
  void objectiveBarsWithoutActiveControlChangeNothing();
  void activeControlWritesAtOnce();
  void okCopiesThePositionsAndCloses();
  void operatorsWindowStartsWithPriorityOne();
  void priorityTexts_data();
  void priorityTexts();
  void countersHiddenOnlyWhileShownFromTheSchedulerWindow();
  void countersOfARun();

 private:
  QWidget main_window_;
};

void PriorityWindowsTest::objectiveWindowStartsFromTheDefaults() {
  Priorities p;
  p.objective.fill(0);
  ObjectiveFunctionsWindow window(p, &main_window_);
  const std::array<int, 7> expected = {0, 7, 8, 10, 10, 7, 5};
  QCOMPARE(objective_entries(p), expected);
  for (int row = 1; row <= 6; ++row) {
    QCOMPARE(window.track_bar(row)->value(), expected[static_cast<size_t>(row)]);
    QCOMPARE(window.value_box(row)->text(), QString::number(expected[static_cast<size_t>(row)]));
  }
  QCOMPARE(p.objective[7] + p.objective[8] + p.objective[9], 0);
  QVERIFY(window.more_button()->isHidden());
  window.set_more_visible(true);
  QVERIFY(!window.more_button()->isHidden());
}

void PriorityWindowsTest::objectiveBarsWithoutActiveControlChangeNothing() {
  Priorities p;
  ObjectiveFunctionsWindow window(p, &main_window_);
  QSignalSpy closed(&window, &ObjectiveFunctionsWindow::closed);
  const std::array<int, 7> before = objective_entries(p);

  window.show();
  QVERIFY(!window.active_control());
  QTest::keyClick(window.track_bar(1), Qt::Key_Left);
  window.track_bar(6)->setValue(0);
  QCOMPARE(window.value_box(1)->text(), QString("6"));
  QCOMPARE(window.value_box(6)->text(), QString("0"));
  QCOMPARE(objective_entries(p), before);

  // Closing as through the title bar.
  window.close();
  QCOMPARE(closed.count(), 1);
  QCOMPARE(objective_entries(p), before);

  window.show();
  QCOMPARE(window.track_bar(1)->value(), 7);
  QCOMPARE(window.track_bar(6)->value(), 5);
  QCOMPARE(window.value_box(6)->text(), QString("5"));
  window.close();
}

void PriorityWindowsTest::activeControlWritesAtOnce() {
  Priorities p;
  ObjectiveFunctionsWindow window(p, &main_window_);
  window.show();
  window.track_bar(2)->setValue(3);
  QCOMPARE(p.objective[2], 8);

  // Checking the box takes over every position at once.
  QTest::mouseClick(window.active_control_box(), Qt::LeftButton);
  QVERIFY(window.active_control());
  QCOMPARE(p.objective[2], 3);

  QTest::keyClick(window.track_bar(4), Qt::Key_Home);
  QCOMPARE(p.objective[4], 0);
  QCOMPARE(window.value_box(4)->text(), QString("0"));

  // Unchecking keeps what was written; later moves no longer reach it.
  window.set_active_control(false);
  window.track_bar(4)->setValue(9);
  QCOMPARE(p.objective[4], 0);
  vema::testing::save_screenshot(&window, "objective_functions");
  window.close();
}

void PriorityWindowsTest::okCopiesThePositionsAndCloses() {
  Priorities p;
  ObjectiveFunctionsWindow window(p, &main_window_);
  QSignalSpy closed(&window, &ObjectiveFunctionsWindow::closed);
  window.set_active_control(true);

  bool was_modal = false;
  while_modal(
      [&] {
        was_modal = window.isModal() || window.windowModality() != Qt::NonModal;
        QVERIFY(window.isVisible());
        // Opened from the scheduler window, "Active control" starts unchecked.
        QVERIFY(!window.active_control());
        window.track_bar(3)->setValue(1);
        window.track_bar(5)->setValue(10);
        QCOMPARE(p.objective[3], 10);
      },
      [&] { return window.ok_button(); });
  window.exec_detached();

  QVERIFY(was_modal);
  QVERIFY(!window.isVisible());
  QCOMPARE(closed.count(), 1);
  const std::array<int, 7> expected = {0, 7, 8, 1, 10, 10, 5};
  QCOMPARE(objective_entries(p), expected);

  // Beside the progress window it must not block the other windows.
  window.set_active_control(true);
  window.show();
  QCOMPARE(window.windowModality(), Qt::NonModal);
  window.close();
  QCOMPARE(closed.count(), 2);
}

void PriorityWindowsTest::operatorsWindowStartsWithPriorityOne() {
  OperatorPriorities p = {9, 9, 9, 9, 9, 9, 2, 0, 0};
  SearchingOperatorsWindow window(p, &main_window_);
  const OperatorPriorities expected = {1, 1, 1, 1, 1, 1, 2, 0, 0};
  QCOMPARE(p, expected);

  QCOMPARE(window.operator_list()->count(), vema::operator_count);
  for (int k = 1; k <= vema::operator_count; ++k) {
    QCOMPARE(window.operator_list()->itemText(k - 1), QString("N%1").arg(k));
    QCOMPARE(window.operator_label(k)->text(), QString("N%1").arg(k));
    QCOMPARE(window.operator_label(k)->toolTip(), QString(vema::kOperatorHints[k]));
  }
  window.show();
  for (int k = 1; k <= 8; ++k) {
    QCOMPARE(window.operator_label(k)->isVisible(), k <= vema::operator_count);
  }
  QCOMPARE(window.priority_list()->count(), 11);
  QCOMPARE(window.priority_list()->itemText(10), QString("10"));
  window.close();
}

void PriorityWindowsTest::priorityTexts_data() {
  QTest::addColumn<QList<int>>("priorities");
  QTest::addColumn<QStringList>("texts");
  QTest::addColumn<QString>("sum");
  QTest::newRow("sum of six") << QList<int>{1, 2, 3, 0, 0}
                              << QStringList{"1 [0.167] ", "2 [0.333] ", "3 [0.5] ", "0 [0] ",
                                             "0 [0] "}
                              << "6";
  QTest::newRow("all zero") << QList<int>{0, 0, 0, 0, 0}
                            << QStringList{"0 [0] ", "0 [0] ", "0 [0] ", "0 [0] ", "0 [0] "} << "0";
  QTest::newRow("one operator") << QList<int>{0, 0, 0, 0, 10}
                                << QStringList{"0 [0] ", "0 [0] ", "0 [0] ", "0 [0] ", "10 [1] "}
                                << "10";
}

void PriorityWindowsTest::priorityTexts() {
  QFETCH(QList<int>, priorities);
  QFETCH(QStringList, texts);
  QFETCH(QString, sum);
  OperatorPriorities p = vema::kDefaultOperatorPriorities;
  SearchingOperatorsWindow window(p, &main_window_);
  window.show();
  QCOMPARE(window.operator_list()->currentText(), QString("N1"));
  QCOMPARE(window.priority_list()->currentText(), QString("1"));

  // Choose each operator's priority as the planner does.
  for (int k = 1; k <= 5; ++k) {
    window.operator_list()->setCurrentIndex(k - 1);
    window.priority_list()->setCurrentIndex(priorities[k - 1]);
    QCOMPARE(p[static_cast<size_t>(k)], priorities[k - 1]);
  }
  for (int k = 1; k <= 5; ++k) QCOMPARE(window.priority_text(k)->text(), texts[k - 1]);
  QCOMPARE(window.priority_text(0)->text(), sum);

  // Selecting an operator shows its priority.
  window.operator_list()->setCurrentIndex(4);
  QCOMPARE(window.priority_list()->currentIndex(), priorities[4]);
  // Reopening selects N1 again.
  window.close();
  window.show();
  QCOMPARE(window.operator_list()->currentIndex(), 0);
  QCOMPARE(window.priority_list()->currentIndex(), priorities[0]);
  window.close();
}

void PriorityWindowsTest::countersHiddenOnlyWhileShownFromTheSchedulerWindow() {
  OperatorPriorities p = vema::kDefaultOperatorPriorities;
  SearchingOperatorsWindow window(p, &main_window_);
  QSignalSpy closed(&window, &SearchingOperatorsWindow::closed);

  bool counters_hidden = true;
  bool priorities_shown = true;
  while_modal(
      [&] {
        for (int k = 0; k <= vema::operator_count; ++k) {
          counters_hidden = counters_hidden && !window.improve_text(k)->isVisible() &&
                            !window.total_text(k)->isVisible();
          priorities_shown = priorities_shown && window.priority_text(k)->isVisible();
        }
        vema::testing::save_screenshot(&window, "searching_operators_without_counters");
      },
      [&] { return window.ok_button(); });
  window.exec_without_counters();

  QVERIFY(counters_hidden);
  QVERIFY(priorities_shown);
  QCOMPARE(closed.count(), 1);
  window.show();
  for (int k = 0; k <= vema::operator_count; ++k) {
    QVERIFY(window.improve_text(k)->isVisible());
    QVERIFY(window.total_text(k)->isVisible());
  }
  window.close();
  QCOMPARE(closed.count(), 2);
}

void PriorityWindowsTest::countersOfARun() {
  OperatorPriorities p = vema::kDefaultOperatorPriorities;
  SearchingOperatorsWindow window(p, &main_window_);
  window.show();
  window.operator_list()->setCurrentIndex(2);
  window.priority_list()->setCurrentIndex(4);

  window.begin_run();
  for (int k = 0; k <= vema::operator_count; ++k) {
    QCOMPARE(window.improve_text(k)->text(), QString("0"));
    QCOMPARE(window.total_text(k)->text(), QString("0"));
  }
  QCOMPARE(window.priority_text(1)->text(), QString("1"));
  QCOMPARE(window.priority_text(3)->text(), QString("4"));

  OperatorCounters counters;
  counters.total_count = {18, 7, 0, 5, 2, 4};
  counters.improve_count = {6, 3, 0, 1, 0, 2};
  window.show_counters(counters);
  for (int k = 0; k <= vema::operator_count; ++k) {
    const auto i = static_cast<size_t>(k);
    QCOMPARE(window.improve_text(k)->text(), QString::number(counters.improve_count[i]));
    QCOMPARE(window.total_text(k)->text(), QString::number(counters.total_count[i]));
  }
  // A priority chosen during the run is recomputed with its share.
  window.priority_list()->setCurrentIndex(1);
  QCOMPARE(window.priority_text(3)->text(), QString("1 [0.2] "));
  vema::testing::save_screenshot(&window, "searching_operators");
  window.close();
}

QTEST_MAIN(PriorityWindowsTest)
#include "priority_windows_test.moc"
