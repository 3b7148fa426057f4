// The application: the loaded problem, the process state, the random
// generator, the user interface and every window, created once at start in
// a fixed order and destroyed at exit. Tests create one with a scripted
// user interface.
#pragma once

#include <QApplication>
#include <memory>

#include "app/window_set.h"
#include "app/windows_ui.h"
#include "common/random.h"
#include "problem/problem.h"
#include "search/process_state.h"

namespace vema {

class MainWindow;

// The application title.
inline constexpr const char* kApplicationTitle = "VEMA_Scheduler";

// QApplication with the top-level safety net: an exception escaping an event
// handler is shown to the planner and the event loop goes on.
class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an exception that escaped the program's code.
void show_exception(const char* what);

class Application {
 public:
  // ui: the interface the windows talk through; a WindowsUi when null.
  // clock: the clock that seeds the generator; the system clock when null.
  explicit Application(std::unique_ptr<WindowsUi> ui = nullptr, const Clock* clock = nullptr);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Problem& problem() { return problem_; }
  ProcessState& state() { return state_; }
  Random& random() { return rng_; }
  WindowsUi& ui() { return *ui_; }
  const WindowSet& windows() const { return windows_; }
  MainWindow& main_window() { return *main_; }

 private:
  SystemClock system_clock_;
  Problem problem_;
  ProcessState state_;
  Random rng_;
  std::unique_ptr<WindowsUi> ui_;
  WindowSet windows_;
  std::unique_ptr<MainWindow> main_;
};

}  // namespace vema
