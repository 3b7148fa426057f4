// The scheduler window driven as a planner would: fields, loading, runs of
// every method through the real progress and result windows, stopping and
// steering a run. Messages, questions and file dialogs are scripted.
#include "search/windows/scheduler_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "app/application.h"
#include "gui/gui_test_support.h"
#include "gui/scripted_windows_ui.h"
#include "problem/input_check_session.h"
#include "search/enumeration.h"
#include "search/windows/number_field.h"
#include "search/windows/objective_functions_window.h"
#include "search/windows/progress_window.h"
#include "search/windows/searching_operators_window.h"
#include "viewer/windows/result_chart_window.h"

using vema::testing::ScriptedWindowsUi;

namespace vema {

class SchedulerWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void starts_without_data_with_the_defaults();
  void change_check_empties_invalid_text_data();
  void change_check_empties_invalid_text();
  void leaving_check_resets_with_message_data();
  void leaving_check_resets_with_message();
  void auto_stop_fields_follow_method_and_perf_test();
  void refused_load_stays_without_data();
  void accepted_load_enables_the_run_controls();
  void cancelled_load_keeps_loaded_data_but_not_after_close();
  void fields_keep_their_values_between_showings();
  void each_method_runs_and_ends_in_the_result_chart_window_data();
  void each_method_runs_and_ends_in_the_result_chart_window();
  void enumeration_refuses_more_than_twenty_jobs();
  void stop_answered_no_then_yes();
  void active_control_changes_priorities_during_a_run();
  void second_run_asks_to_reload_the_last_schedule();
  void performance_test_fills_the_average_page();
  void an_exception_in_a_run_brings_the_windows_back();
  void a_run_on_the_maximised_main_window_with_every_side_window();

 private:
  SchedulerWindow& window() { return *app_->windows().scheduler; }
  ProgressWindow& progress() { return *app_->windows().progress; }
  ResultChartWindow& chart() { return *app_->windows().chart; }
  void show_window();
  void load(const QString& relative);
  void set_small_run(const char* steps = "5", const char* loops = "5");

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<Application> app_;
  ScriptedWindowsUi* ui_ = nullptr;
};

void SchedulerWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  auto ui = std::make_unique<ScriptedWindowsUi>();
  ui_ = ui.get();
  app_ = std::make_unique<Application>(std::move(ui));
  app_->state().program_folder = dir_->path().toStdString();
}

void SchedulerWindowTest::cleanup() {
  app_.reset();
  dir_.reset();
}

void SchedulerWindowTest::show_window() {
  window().show();
  window().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window()));
}

void SchedulerWindowTest::load(const QString& relative) {
  ui_->paths.push_back(testing::source_path(relative).toStdString());
  window().button(QStringLiteral("Load  Input data from file"))->click();
}

void SchedulerWindowTest::set_small_run(const char* steps, const char* loops) {
  window().steps_field()->setText(QString::fromLatin1(steps));
  window().loops_field()->setText(QString::fromLatin1(loops));
  window().tabu_field()->setText(QStringLiteral("20"));
}

void SchedulerWindowTest::starts_without_data_with_the_defaults() {
  SchedulerWindow& w = window();
  QCOMPARE(w.status_label()->text(), QStringLiteral("No input data loaded."));
  QCOMPARE(w.steps_field()->text(), QStringLiteral("2000"));
  QCOMPARE(w.loops_field()->text(), QStringLiteral("100"));
  QCOMPARE(w.tabu_field()->text(), QStringLiteral("150"));
  QCOMPARE(w.iterations_field()->text(), QStringLiteral("10"));
  QCOMPARE(w.max_steps_field()->text(), QStringLiteral("20"));
  QCOMPARE(w.min_loop_field()->text(), QStringLiteral("10"));
  QCOMPARE(w.method_list()->currentText(), QStringLiteral("Tabu Search with _S class and do_pi"));
  QCOMPARE(w.objective_list()->currentText(), QStringLiteral("Number of Late Jobs"));
  for (const char* b : {"Run", "Create Starting  Schedule", "Input data", "Test", "Show Results"}) {
    QVERIFY2(!w.button(QString::fromLatin1(b))->isEnabled(), b);
  }
  QVERIFY(w.button(QStringLiteral("Load  Input data from file"))->isEnabled());
  QVERIFY(w.button(QStringLiteral("Close"))->isEnabled());
  show_window();
  QCOMPARE(app_->state().operator_priority[6], 1);
  QVERIFY(w.max_steps_field()->isHidden());
  testing::save_screenshot(&w, QStringLiteral("scheduler_window_no_data"));
}

void SchedulerWindowTest::change_check_empties_invalid_text_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("expected");
  QTest::newRow("letter empties steps") << "steps"
                                        << "12a"
                                        << "";
  QTest::newRow("steps in range") << "steps"
                                  << "9999"
                                  << "9999";
  QTest::newRow("zero loops") << "loops"
                              << "0"
                              << "";
  QTest::newRow("loops at most three characters") << "loops"
                                                  << "1234"
                                                  << "123";
  QTest::newRow("minus sign") << "tabu_size"
                              << "-5"
                              << "5";
  QTest::newRow("iterations five characters") << "iterations"
                                              << "99999"
                                              << "99999";
  QTest::newRow("min loop above loops") << "min_loop"
                                        << "150"
                                        << "";
  QTest::newRow("min loop within loops") << "min_loop"
                                         << "100"
                                         << "100";
}

void SchedulerWindowTest::change_check_empties_invalid_text() {
  QFETCH(QString, field);
  QFETCH(QString, typed);
  QFETCH(QString, expected);
  auto* f = window().findChild<NumberField*>(field);
  QVERIFY(f != nullptr);
  f->setEnabled(true);
  f->clear();
  QTest::keyClicks(f, typed);
  QCOMPARE(f->text(), expected);
}

void SchedulerWindowTest::leaving_check_resets_with_message_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("loops");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("message");
  QTest::addColumn<QString>("reset");
  QTest::newRow("empty steps")
      << "steps"
      << "100"
      << ""
      << " The value of the Num. of Steps field is out of the range! It must be in [1 - 9999]."
      << "10";
  QTest::newRow("empty loops")
      << "loops"
      << "100"
      << ""
      << " The value of the Num. of Loops field is out of the range! It must be in [1 - 999]."
      << "10";
  QTest::newRow("empty tabu")
      << "tabu_size"
      << "100"
      << ""
      << " The value of the TabuList size field is out of the range! It must be in [1 - 9999]."
      << "150";
  QTest::newRow("empty auto stop")
      << "max_steps_without_improvement"
      << "100"
      << ""
      << " The value of the AutoStop field is out of the range! It must be in [1 - 9999]."
      << "30";
  QTest::newRow("min loop with 100 loops")
      << "min_loop"
      << "100"
      << ""
      << " The value of the AutoStop field is out of the range! It must be in [1 - Num. of loops]."
      << "25";
  QTest::newRow("min loop with 30 loops")
      << "min_loop"
      << "30"
      << ""
      << " The value of the AutoStop field is out of the range! It must be in [1 - Num. of loops]."
      << "10";
  QTest::newRow("iterations without message") << "iterations"
                                              << "100"
                                              << ""
                                              << ""
                                              << "10";
}

void SchedulerWindowTest::leaving_check_resets_with_message() {
  QFETCH(QString, field);
  QFETCH(QString, loops);
  QFETCH(QString, text);
  QFETCH(QString, message);
  QFETCH(QString, reset);
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  window().method_list()->setCurrentIndex(SchedulerWindow::kAutostop);
  window().perf_test_box()->setChecked(true);
  show_window();
  window().loops_field()->setText(loops);
  auto* f = window().findChild<NumberField*>(field);
  f->setFocus(Qt::OtherFocusReason);
  QTRY_VERIFY(f->hasFocus());
  f->setText(text);
  ui_->messages.clear();
  // Leaving the field for the "Run" button runs the leaving check.
  window().button(QStringLiteral("Run"))->setFocus(Qt::TabFocusReason);
  QCOMPARE(f->text(), reset);
  if (message.isEmpty()) {
    QVERIFY(ui_->messages.empty());
  } else {
    QCOMPARE(ui_->messages.size(), size_t{1});
    QCOMPARE(QString::fromStdString(ui_->messages[0]), message);
  }
  QVERIFY(f->hasFocus());  // the field takes the focus back
}

void SchedulerWindowTest::auto_stop_fields_follow_method_and_perf_test() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  SchedulerWindow& w = window();
  const int expected_visible[] = {0, 1, 1, 0};
  for (int m = 0; m < 4; ++m) {
    w.method_list()->setCurrentIndex(m);
    QCOMPARE(!w.max_steps_field()->isHidden(), expected_visible[m] == 1);
    QCOMPARE(!w.min_loop_field()->isHidden(), expected_visible[m] == 1);
    QVERIFY(!w.iterations_field()->isEnabled());
  }
  w.perf_test_box()->setChecked(true);
  QVERIFY(!w.max_steps_field()->isHidden());
  QVERIFY(w.iterations_field()->isEnabled());
  w.perf_test_box()->setChecked(false);
  QVERIFY(w.max_steps_field()->isHidden());
  QVERIFY(!w.iterations_field()->isEnabled());
}

void SchedulerWindowTest::refused_load_stays_without_data() {
  // The checking window is closed without correcting anything.
  ui_->on_review = [](InputCheckSession&) {};
  load(QStringLiteral("examples/with_errors.sif"));
  SchedulerWindow& w = window();
  QCOMPARE(ui_->reviews, 1);
  QCOMPARE(ui_->messages.back(), std::string(kInputRefusedMessage));
  QCOMPARE(w.status_label()->text(), QStringLiteral("No input data loaded."));
  QVERIFY(!w.button(QStringLiteral("Run"))->isEnabled());
  QVERIFY(w.button(QStringLiteral("Load  Input data from file"))->isEnabled());
  QVERIFY(w.button(QStringLiteral("Close"))->isEnabled());
  // The dialog was set up for input files in the program's folder.
  QCOMPARE(ui_->dialogs.back().initial_folder, app_->state().program_folder);
  QCOMPARE(ui_->dialogs.back().filter,
           std::string("Scheduling input files (*.sif) or Text files (*.txt)|*.sif;*.SIF;*.txt;"
                       "*.TXT|Scheduling input files (*.sif)|*.sif;*.SIF|Text files (*.txt)|*.txt;"
                       "*.TXT"));
}

void SchedulerWindowTest::accepted_load_enables_the_run_controls() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  SchedulerWindow& w = window();
  QCOMPARE(w.status_label()->text(), QStringLiteral("Input data loaded."));
  for (const char* b : {"Run", "Create Starting  Schedule", "Input data", "Test",
                        "Load  Input data from file", "Close"}) {
    QVERIFY2(w.button(QString::fromLatin1(b))->isEnabled(), b);
  }
  QVERIFY(w.perf_test_box()->isEnabled());
  QVERIFY(w.method_list()->isEnabled());
  QVERIFY(!w.button(QStringLiteral("Show Results"))->isEnabled());
  QCOMPARE(app_->problem().N_Job, 3);
  show_window();
  testing::save_screenshot(&w, QStringLiteral("scheduler_window_loaded"));
}

void SchedulerWindowTest::cancelled_load_keeps_loaded_data_but_not_after_close() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  ui_->paths.push_back(std::nullopt);
  window().button(QStringLiteral("Load  Input data from file"))->click();
  QCOMPARE(window().status_label()->text(), QStringLiteral("Input data loaded."));
  QVERIFY(window().button(QStringLiteral("Run"))->isEnabled());

  show_window();
  window().button(QStringLiteral("Close"))->click();
  QVERIFY(!window().isVisible());
  QVERIFY(app_->problem().Jobs.empty());
  show_window();
  ui_->paths.push_back(std::nullopt);
  window().button(QStringLiteral("Load  Input data from file"))->click();
  QCOMPARE(window().status_label()->text(), QStringLiteral("No input data loaded."));
  QVERIFY(!window().button(QStringLiteral("Run"))->isEnabled());
  // Without data nothing may run, the performance test included.
  QVERIFY(!window().button(QStringLiteral("Test"))->isEnabled());
}

void SchedulerWindowTest::fields_keep_their_values_between_showings() {
  show_window();
  window().steps_field()->setText(QStringLiteral("500"));
  window().method_list()->setCurrentIndex(SchedulerWindow::kBatch);
  window().button(QStringLiteral("Close"))->click();
  show_window();
  QCOMPARE(window().steps_field()->text(), QStringLiteral("500"));
  QCOMPARE(window().method_list()->currentIndex(), int{SchedulerWindow::kBatch});
}

void SchedulerWindowTest::each_method_runs_and_ends_in_the_result_chart_window_data() {
  QTest::addColumn<int>("method");
  QTest::addColumn<int>("log_page");
  QTest::addColumn<QString>("log_head");
  QTest::addColumn<bool>("history");
  QTest::newRow("tabu search") << int{SchedulerWindow::kTabuSearch}
                               << int(ResultChartWindow::Page::kIndex)
                               << "Tabu Search with _S class and do_pi." << true;
  QTest::newRow("autostop") << int{SchedulerWindow::kAutostop}
                            << int(ResultChartWindow::Page::kIndex) << "Tabu Search with AUTOSTOP."
                            << true;
  QTest::newRow("batch") << int{SchedulerWindow::kBatch} << int(ResultChartWindow::Page::kAverage)
                         << "Tabu Search in bacth mode." << false;
  QTest::newRow("enumeration") << int{SchedulerWindow::kEnumeration}
                               << int(ResultChartWindow::Page::kIndex)
                               << " Enumeration for small size problems" << false;
}

void SchedulerWindowTest::each_method_runs_and_ends_in_the_result_chart_window() {
  QFETCH(int, method);
  QFETCH(int, log_page);
  QFETCH(QString, log_head);
  QFETCH(bool, history);
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  show_window();
  window().method_list()->setCurrentIndex(method);
  set_small_run();
  window().min_loop_field()->setText(QStringLiteral("2"));
  bool progress_seen = false;
  bool scheduler_hidden = false;
  ui_->on_process_events = [&] {
    progress_seen = progress_seen || progress().isVisible();
    scheduler_hidden = scheduler_hidden || !window().isVisible();
  };
  window().button(QStringLiteral("Run"))->click();

  QVERIFY(progress_seen);
  QVERIFY(scheduler_hidden);
  QVERIFY(!progress().isVisible());
  QVERIFY(window().isVisible());
  QVERIFY(chart().isVisible());
  QVERIFY(window().button(QStringLiteral("Show Results"))->isEnabled());
  QVERIFY(window().button(QStringLiteral("Run"))->isEnabled());
  const auto page = static_cast<ResultChartWindow::Page>(log_page);
  QVERIFY(chart().log_visible(page));
  QVERIFY2(chart().log_text(page).startsWith(log_head), qPrintable(chart().log_text(page)));
  QVERIFY(chart().log_text(page).endsWith(QStringLiteral("End of file.")));
  const int steps = app_->state().status.history_count - 1;
  QCOMPARE(chart().point_count(ResultChartWindow::Page::kObjValues, 0), history ? steps : 0);
  if (history) QVERIFY(steps >= 1);
  QVERIFY(app_->state().current_values.n_jobs == 3);
  testing::save_screenshot(&chart(),
                           QStringLiteral("result_chart_after_") + QTest::currentDataTag());
}

void SchedulerWindowTest::enumeration_refuses_more_than_twenty_jobs() {
  load(QStringLiteral("examples/busy_shop.sif"));
  window().method_list()->setCurrentIndex(SchedulerWindow::kEnumeration);
  window().button(QStringLiteral("Run"))->click();
  QCOMPARE(ui_->messages.back(), std::string(kEnumerationTooLargeMessage));
  QVERIFY(ui_->run_events.empty());
  QVERIFY(!chart().isVisible());
  QVERIFY(window().button(QStringLiteral("Show Results"))->isEnabled());
}

void SchedulerWindowTest::stop_answered_no_then_yes() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  show_window();
  set_small_run("200", "3");
  ui_->answers = {false, true};
  int step = 0;
  ui_->on_process_events = [&] {
    ++step;
    if (step == 3 || step == 6) progress().stop_button()->click();
  };
  window().button(QStringLiteral("Run"))->click();
  const std::vector<std::string> stop = {"Do You really want to stop the process?",
                                         "Do You really want to stop the process?"};
  QCOMPARE(ui_->questions, stop);
  QCOMPARE(ui_->messages.back(), std::string("Process stopped!"));
  // Stopped at the start of step 7 after going on at step 4.
  QCOMPARE(app_->state().status.history_count - 1, 6);
  QVERIFY(window().isVisible());
}

void SchedulerWindowTest::active_control_changes_priorities_during_a_run() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  show_window();
  set_small_run("8", "3");
  ObjectiveFunctionsWindow& objectives = *app_->windows().objectives;
  int step = 0;
  int priority_during_run = -1;
  ui_->on_process_events = [&] {
    ++step;
    if (step == 2) {
      progress().priority_visible_box()->setChecked(true);
      QVERIFY(objectives.isVisible());
      QVERIFY(objectives.active_control());
      objectives.track_bar(2)->setValue(3);  // "Number of late jobs:"
    }
    if (step == 3) priority_during_run = app_->state().priorities.objective[2];
  };
  window().button(QStringLiteral("Run"))->click();
  QCOMPARE(priority_during_run, 3);
  QCOMPARE(app_->state().priorities.objective[2], 3);
  // The run closes the priority window at its end.
  QVERIFY(!objectives.isVisible());
}

void SchedulerWindowTest::second_run_asks_to_reload_the_last_schedule() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  show_window();
  set_small_run("3", "3");
  window().button(QStringLiteral("Run"))->click();
  QVERIFY(ui_->questions.empty());
  ui_->answers = {true};
  window().button(QStringLiteral("Run"))->click();
  const std::vector<std::string> reload = {"Would You like to reload the last Sch values?"};
  QCOMPARE(ui_->questions, reload);
  QVERIFY(chart()
              .log_text(ResultChartWindow::Page::kIndex)
              .contains(QStringLiteral("Initialize with last schedule!")));
}

void SchedulerWindowTest::performance_test_fills_the_average_page() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  show_window();
  set_small_run("3", "3");
  window().perf_test_box()->setChecked(true);
  window().iterations_field()->setText(QStringLiteral("2"));
  window().min_loop_field()->setText(QStringLiteral("2"));
  window().button(QStringLiteral("Test"))->click();
  QVERIFY(chart().isVisible());
  QVERIFY(chart().log_visible(ResultChartWindow::Page::kAverage));
  QVERIFY(chart()
              .log_text(ResultChartWindow::Page::kAverage)
              .startsWith(QStringLiteral(" Performance test.   Input file :")));
  QCOMPARE(chart().point_count(ResultChartWindow::Page::kMeasuring, 0), 2);
  // The test ends with the box unchecked and the method's fields back.
  QVERIFY(!window().perf_test_box()->isChecked());
  QVERIFY(!window().iterations_field()->isEnabled());
  QVERIFY(window().isVisible());
}

// A run that ends by an exception must not leave the scheduler hidden and
// the progress window up for good.
void SchedulerWindowTest::an_exception_in_a_run_brings_the_windows_back() {
  load(QStringLiteral("tests/data/tiny_shop.sif"));
  show_window();
  set_small_run("50", "3");
  int step = 0;
  ui_->on_process_events = [&] {
    if (++step == 3) throw std::runtime_error("out of memory");
  };
  bool thrown = false;
  try {
    window().button(QStringLiteral("Run"))->click();
  } catch (const std::runtime_error&) {
    thrown = true;
  }
  QVERIFY(thrown);
  QVERIFY(!ui_->run_active());
  QVERIFY(!progress().isVisible());
  QVERIFY(window().isVisible());
  QVERIFY(window().button(QStringLiteral("Run"))->isEnabled());
  QVERIFY(window().button(QStringLiteral("Close"))->isEnabled());
}

// A planner's view: the maximised main window, a tabu search with the live
// chart and both priority windows open beside the progress window.
void SchedulerWindowTest::a_run_on_the_maximised_main_window_with_every_side_window() {
  QMainWindow* main = app_->windows().main;
  main->showMaximized();
  QVERIFY(QTest::qWaitForWindowExposed(main));
  load(QStringLiteral("examples/busy_shop.sif"));
  show_window();
  set_small_run("40", "20");
  int step = 0;
  bool all_inside = false;
  ui_->on_process_events = [&] {
    ++step;
    if (step == 2) {
      progress().chart_visible_box()->setChecked(true);
      progress().priority_visible_box()->setChecked(true);
      progress().operators_visible_box()->setChecked(true);
    }
    if (step == 30) {
      QTest::qWait(600);  // one tick of the live chart
      const QRect screen = main->screen()->availableGeometry();
      all_inside = true;
      for (QWidget* w : std::initializer_list<QWidget*>{
               &progress(), &chart(), app_->windows().objectives, app_->windows().operators}) {
        all_inside = all_inside && w->isVisible() && screen.contains(w->frameGeometry());
      }
      testing::save_desktop_screenshot(QStringLiteral("desktop_during_run"));
    }
  };
  window().button(QStringLiteral("Run"))->click();
  // The offscreen screen is smaller than any real one.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) QVERIFY(all_inside);
  QVERIFY(chart().isVisible());
  testing::save_desktop_screenshot(QStringLiteral("desktop_after_run"));
}

}  // namespace vema

QTEST_MAIN(vema::SchedulerWindowTest)
#include "scheduler_window_test.moc"
