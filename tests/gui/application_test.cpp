// The application as it starts: the windows, the main window's menu, the
// About box, the scheduler window opened from the menu, and the safety net
// for exceptions escaping an event handler.
#include "app/application.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "app/about_box.h"
#include "app/main_window.h"
#include "gui/gui_test_support.h"
#include "gui/scripted_windows_ui.h"
#include "search/windows/number_field.h"
#include "search/windows/objective_functions_window.h"
#include "search/windows/progress_window.h"
#include "search/windows/scheduler_window.h"
#include "search/windows/searching_operators_window.h"
#include "viewer/windows/result_chart_window.h"

using vema::testing::ScriptedWindowsUi;

namespace vema {

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void creates_every_window_once_with_the_defaults();
  void main_window_has_its_menu();
  void about_box_shows_and_closes();
  void scheduler_opens_modally_from_the_menu_and_keeps_its_fields();
  void exit_closes_the_main_window();
  void exception_in_a_handler_is_caught();

 private:
  QAction* action(const QString& menu, const QString& item);

  std::unique_ptr<Application> app_;
  ScriptedWindowsUi* ui_ = nullptr;
};

void ApplicationTest::init() {
  auto ui = std::make_unique<ScriptedWindowsUi>();
  ui_ = ui.get();
  app_ = std::make_unique<Application>(std::move(ui));
}

void ApplicationTest::cleanup() { app_.reset(); }

QAction* ApplicationTest::action(const QString& menu, const QString& item) {
  for (QAction* m : app_->main_window().menuBar()->actions()) {
    if (m->text() != menu) continue;
    for (QAction* a : m->menu()->actions()) {
      if (a->text() == item) return a;
    }
  }
  return nullptr;
}

void ApplicationTest::creates_every_window_once_with_the_defaults() {
  const WindowSet& w = app_->windows();
  QVERIFY(w.main && w.scheduler && w.chart && w.progress && w.objectives && w.operators &&
          w.input_check && w.about);
  // Every window belongs to the main window and is hidden until asked for.
  for (QWidget* window : std::initializer_list<QWidget*>{w.scheduler, w.chart, w.progress,
                                                         w.objectives, w.operators, w.about}) {
    QCOMPARE(window->parentWidget(), static_cast<QWidget*>(w.main));
    QVERIFY(window->isWindow());
    QVERIFY(!window->isVisible());
  }
  const Priorities defaults;
  QCOMPARE(app_->state().priorities.objective, defaults.objective);
  for (int k = 0; k <= operator_count; ++k) QCOMPARE(app_->state().operator_priority[k], 1);
  QCOMPARE(QApplication::applicationName(), QStringLiteral("VEMA_Scheduler"));
}

void ApplicationTest::main_window_has_its_menu() {
  MainWindow& main = app_->main_window();
  QCOMPARE(main.windowTitle(), QStringLiteral("VEMA Scheduler"));
  QStringList menus;
  for (QAction* m : main.menuBar()->actions()) menus << m->text();
  QCOMPARE(menus, (QStringList{"&File", "&Schedule", "&Help"}));
  QVERIFY(action("&File", "E&xit"));
  QVERIFY(action("&Schedule", "S&cheduler"));
  QVERIFY(action("&Schedule", "&Rescheduler"));
  QVERIFY(action("&Schedule", "Problem &Generator"));
  QVERIFY(action("&Help", "&About ..."));
  main.showMaximized();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  testing::save_screenshot(&main, QStringLiteral("main_window"));
}

void ApplicationTest::about_box_shows_and_closes() {
  AboutBox* about = app_->windows().about;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    seen = about->isVisible();
    QCOMPARE(about->windowTitle(), QStringLiteral("About VEMA Scheduler"));
    testing::save_screenshot(about, QStringLiteral("about_box"));
    about->findChild<QPushButton*>()->click();
  });
  action("&Help", "&About ...")->trigger();
  QVERIFY(seen);
  QVERIFY(!about->isVisible());
  QCOMPARE(about->size(), QSize(480, 239));
}

void ApplicationTest::scheduler_opens_modally_from_the_menu_and_keeps_its_fields() {
  SchedulerWindow* scheduler = app_->windows().scheduler;
  scheduler->setWindowTitle(QStringLiteral("something else"));
  app_->state().operator_priority[6] = 2;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    // Modal to the main window only: the menu is out of reach, while the
    // windows the scheduler opens beside itself stay usable.
    modal = scheduler->isVisible() && !app_->main_window().menuBar()->isEnabled() &&
            QApplication::activeModalWidget() == nullptr;
    app_->main_window().close();  // ignored while the scheduler is open
    QVERIFY(app_->main_window().isVisible());
    QCOMPARE(scheduler->windowTitle(), QStringLiteral("Production Scheduler"));
    scheduler->steps_field()->setText(QStringLiteral("777"));
    scheduler->button(QStringLiteral("Close"))->click();
  });
  app_->main_window().show();
  action("&Schedule", "S&cheduler")->trigger();
  QVERIFY(modal);
  QVERIFY(app_->main_window().menuBar()->isEnabled());
  QCOMPARE(app_->state().operator_priority[6], 1);
  QVERIFY(!scheduler->isVisible());

  QString steps;
  QTimer::singleShot(0, [&] {
    steps = scheduler->steps_field()->text();
    scheduler->close();  // by the title bar
  });
  action("&Schedule", "S&cheduler")->trigger();
  QCOMPARE(steps, QStringLiteral("777"));
  QVERIFY(!scheduler->isVisible());
}

void ApplicationTest::exit_closes_the_main_window() {
  MainWindow& main = app_->main_window();
  main.show();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  action("&File", "E&xit")->trigger();
  QVERIFY(!main.isVisible());
}

// An exception thrown by a handler must not end the process.
void ApplicationTest::exception_in_a_handler_is_caught() {
  QPushButton button;
  QObject::connect(&button, &QPushButton::clicked, [] { throw std::runtime_error("boom"); });
  button.show();
  QVERIFY(QTest::qWaitForWindowExposed(&button));
  bool box_seen = false;
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      box_seen = true;
      box->close();
    }
  });
  closer.start();
  QTest::mouseClick(&button, Qt::LeftButton);
  QVERIFY(box_seen);
}

}  // namespace vema

int main(int argc, char** argv) {
  vema::GuardedApplication app(argc, argv);
  vema::ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
