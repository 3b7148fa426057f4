// The application's windows. Each is created once at start and lives until
// the end; windows reach each other through this set.
#pragma once

class QMainWindow;

namespace vema {

class SchedulerWindow;
class ResultChartWindow;
class ProgressWindow;
class ObjectiveFunctionsWindow;
class SearchingOperatorsWindow;
class InputCheckWindow;
class AboutBox;

struct WindowSet {
  QMainWindow* main = nullptr;
  SchedulerWindow* scheduler = nullptr;
  ResultChartWindow* chart = nullptr;
  ProgressWindow* progress = nullptr;
  ObjectiveFunctionsWindow* objectives = nullptr;
  SearchingOperatorsWindow* operators = nullptr;
  InputCheckWindow* input_check = nullptr;
  AboutBox* about = nullptr;
};

}  // namespace vema
