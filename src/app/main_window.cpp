#include "app/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>

#include "app/about_box.h"
#include "app/modal.h"
#include "app/windows_ui.h"
#include "search/process_state.h"
#include "search/windows/scheduler_window.h"

namespace vema {

MainWindow::MainWindow(const WindowSet& windows, ProcessState& state, WindowsUi& ui)
    : windows_(windows), state_(state), ui_(ui) {
  setObjectName(QStringLiteral("main_window"));
  setWindowTitle(QStringLiteral("VEMA Scheduler"));
  resize(1016, 686);

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
  QMenu* schedule = menuBar()->addMenu(QStringLiteral("&Schedule"));
  schedule->addAction(QStringLiteral("S&cheduler"), this, &MainWindow::open_scheduler);
  schedule->addAction(QStringLiteral("&Rescheduler"), this, &MainWindow::open_rescheduler);
  schedule->addAction(QStringLiteral("Problem &Generator"), this, &MainWindow::open_generator);
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(QStringLiteral("&About ..."), this, &MainWindow::open_about);
}

void MainWindow::open_scheduler() {
  SchedulerWindow* w = windows_.scheduler;
  if (w == nullptr || w->isVisible()) return;
  w->setWindowTitle(QStringLiteral("Production Scheduler"));
  show_modal(w, this);
}

void MainWindow::open_rescheduler() { ui_.message("The rescheduler window is not available yet."); }

void MainWindow::open_generator() {
  ui_.message("The problem generator window is not available yet.");
}

void MainWindow::open_about() {
  if (windows_.about != nullptr) windows_.about->exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // While a working window is open the main window takes no input; a run
  // going inside it is asked to stop.
  if (!menuBar()->isEnabled()) {
    if (ui_.run_active()) state_.stop_requested = true;
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

}  // namespace vema
