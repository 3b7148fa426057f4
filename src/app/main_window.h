// The main window: an empty client area under the menu that opens the
// working windows. Closing it ends the application.
#pragma once

#include <QMainWindow>

#include "app/window_set.h"

namespace vema {

class ProcessState;
class WindowsUi;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The set, the state and the interface must outlive the window.
  MainWindow(const WindowSet& windows, ProcessState& state, WindowsUi& ui);

  // The menu actions.
  void open_scheduler();
  void open_rescheduler();
  void open_generator();
  void open_about();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  const WindowSet& windows_;
  ProcessState& state_;
  WindowsUi& ui_;
};

}  // namespace vema
