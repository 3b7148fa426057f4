#include "app/windows_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>

#include "problem/windows/input_check_window.h"
#include "search/process_state.h"
#include "search/windows/objective_functions_window.h"
#include "search/windows/progress_window.h"
#include "search/windows/searching_operators_window.h"
#include "viewer/windows/result_chart_window.h"

namespace vema {

namespace {

// The page whose text pane receives the run's log.
ResultChartWindow::Page log_page(RunKind kind) {
  return kind == RunKind::kBatch || kind == RunKind::kPerfTest ? ResultChartWindow::Page::kAverage
                                                               : ResultChartWindow::Page::kIndex;
}

void close_if_visible(QWidget* window) {
  if (window != nullptr && window->isVisible()) window->close();
}

}  // namespace

void WindowsUi::attach(const WindowSet& windows, ProcessState& state) {
  windows_ = windows;
  state_ = &state;
}

QWidget* WindowsUi::dialog_parent() const {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  if (QWidget* w = QApplication::activeWindow()) return w;
  if (windows_.progress != nullptr && windows_.progress->isVisible()) return windows_.progress;
  return windows_.main;
}

void WindowsUi::message(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                  QString::fromStdString(text), QMessageBox::Ok, dialog_parent());
  box.exec();
}

bool WindowsUi::ask(const std::string& text) {
  return QMessageBox::question(dialog_parent(), QStringLiteral("Question"),
                               QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

namespace {

// "Desc|*.a;*.b|Desc2|*.c" as Qt name filters: "Desc (*.a *.b)", "Desc2 (*.c)".
QStringList name_filters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    result << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  if (result.isEmpty()) result << QStringLiteral("All files (*)");
  return result;
}

QString initial_folder(const FileDialogRequest& request, const ProcessState* state) {
  if (!request.initial_folder.empty()) return QString::fromStdString(request.initial_folder);
  return state != nullptr ? QString::fromStdString(state->program_folder) : QString();
}

}  // namespace

std::optional<std::string> WindowsUi::open_file(const FileDialogRequest& request) {
  QFileDialog dialog(dialog_parent(), QString::fromStdString(request.title),
                     initial_folder(request, state_));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(name_filters(request.filter));
  if (!request.file_name.empty()) dialog.selectFile(QString::fromStdString(request.file_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> WindowsUi::save_file(const FileDialogRequest& request) {
  std::optional<SaveFileChoice> choice = save_file_choice(request);
  if (!choice) return std::nullopt;
  return std::move(choice->path);
}

std::optional<SaveFileChoice> WindowsUi::save_file_choice(const FileDialogRequest& request) {
  QFileDialog dialog(dialog_parent(), QString::fromStdString(request.title),
                     initial_folder(request, state_));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = name_filters(request.filter);
  dialog.setNameFilters(filters);
  if (!request.default_extension.empty()) {
    dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
  }
  if (!request.file_name.empty()) dialog.selectFile(QString::fromStdString(request.file_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
  return SaveFileChoice{dialog.selectedFiles().first().toStdString(),
                        index < 0 ? 1 : static_cast<int>(index) + 1};
}

void WindowsUi::process_events() { QApplication::processEvents(QEventLoop::AllEvents); }

void WindowsUi::review_input_check(InputCheckSession& session) {
  if (windows_.input_check != nullptr) windows_.input_check->review(session);
}

void WindowsUi::run_progress(RunEvent event, const RunStatus& status) {
  ProgressWindow* progress = windows_.progress;
  ResultChartWindow* chart = windows_.chart;
  SearchingOperatorsWindow* operators = windows_.operators;
  switch (event) {
    case RunEvent::kStarted:
      run_active_ = true;
      if (chart != nullptr) {
        // The performance test resets the charts once its log is open.
        if (status.kind == RunKind::kPerfTest) chart->reset();
        chart->hide_log(log_page(status.kind));
      }
      if (operators != nullptr && status.kind == RunKind::kSearch) operators->begin_run();
      if (progress != nullptr) progress->begin_run(status);
      if (run_owner_ != nullptr) run_owner_->hide();
      break;
    case RunEvent::kStep:
    case RunEvent::kBest:
      if (progress != nullptr) progress->show_status(status);
      break;
    case RunEvent::kCounters:
      if (operators != nullptr && status.kind == RunKind::kSearch) {
        operators->show_counters(status.counters);
      }
      break;
    case RunEvent::kResumed:
      if (progress != nullptr) progress->show_again();
      break;
    case RunEvent::kLogNotOpened:
      end_progress(false);
      break;
    case RunEvent::kFinished:
      finish_run(status);
      break;
  }
}

void WindowsUi::end_progress(bool close_chart) {
  close_if_visible(windows_.objectives);
  if (close_chart) close_if_visible(windows_.chart);
  close_if_visible(windows_.operators);
  if (windows_.progress != nullptr) windows_.progress->end_run();
  if (run_owner_ != nullptr) run_owner_->show();
  run_active_ = false;
}

void WindowsUi::finish_run(const RunStatus& status) {
  end_progress(true);
  if (ResultChartWindow* chart = windows_.chart) {
    chart->fill_from_run(status);
    chart->load_log(log_page(status.kind), QString::fromStdString(status.log_text));
    if (status.kind == RunKind::kPerfTest) chart->show_current();
  }
}

void WindowsUi::abandon_run() {
  if (run_active_) end_progress(false);
}

}  // namespace vema
