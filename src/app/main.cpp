// VEMA Scheduler, the desktop application.
#include <exception>

#include "app/application.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  vema::GuardedApplication qt(argc, argv);
  try {
    vema::Application application;
    application.main_window().showMaximized();
    return qt.exec();
  } catch (const std::exception& e) {
    vema::show_exception(e.what());
  } catch (...) {
    vema::show_exception("Unknown exception.");
  }
  return 0;
}
