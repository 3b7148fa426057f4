#include "app/application.h"

#include <QMessageBox>
#include <exception>

#include "app/about_box.h"
#include "app/main_window.h"
#include "problem/windows/input_check_window.h"
#include "search/windows/objective_functions_window.h"
#include "search/windows/progress_window.h"
#include "search/windows/scheduler_window.h"
#include "search/windows/searching_operators_window.h"
#include "viewer/windows/result_chart_window.h"

namespace vema {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromLatin1(kApplicationTitle));
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    show_exception(e.what());
  } catch (...) {
    show_exception("Unknown exception.");
  }
  return false;
}

void show_exception(const char* what) {
  QMessageBox::critical(nullptr, QString::fromLatin1(kApplicationTitle),
                        QString::fromLocal8Bit(what));
}

Application::Application(std::unique_ptr<WindowsUi> ui, const Clock* clock)
    : rng_(clock != nullptr ? *clock : system_clock_), ui_(std::move(ui)) {
  if (!ui_) ui_ = std::make_unique<WindowsUi>();
  state_.program_folder = QCoreApplication::applicationDirPath().toStdString();

  // Every window once, in a fixed order; the main window owns the others.
  // The priority windows come before the progress window, which places them.
  main_ = std::make_unique<MainWindow>(windows_, state_, *ui_);
  windows_.main = main_.get();
  QWidget* parent = main_.get();
  windows_.scheduler = new SchedulerWindow(problem_, state_, *ui_, rng_, windows_, parent);
  windows_.chart = new ResultChartWindow(parent);
  windows_.objectives = new ObjectiveFunctionsWindow(state_.priorities, parent);
  windows_.operators = new SearchingOperatorsWindow(state_.operator_priority, parent);
  windows_.progress = new ProgressWindow(state_, parent, *windows_.chart, *windows_.objectives,
                                         *windows_.operators);
  windows_.input_check = new InputCheckWindow(parent);
  windows_.about = new AboutBox(parent);
  ui_->attach(windows_, state_);
}

Application::~Application() = default;

}  // namespace vema
