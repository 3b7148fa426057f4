#include "search/windows/scheduler_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <vector>

#include "app/windows_ui.h"
#include "common/random.h"
#include "perftest/perf_test.h"
#include "problem/input_reader.h"
#include "problem/problem.h"
#include "search/enumeration.h"
#include "search/process_state.h"
#include "search/tabu_search.h"
#include "search/windows/number_field.h"
#include "search/windows/objective_functions_window.h"
#include "search/windows/searching_operators_window.h"
#include "viewer/windows/result_chart_window.h"

namespace vema {

namespace {

constexpr const char* kNoData = "No input data loaded.";
constexpr const char* kLoaded = "Input data loaded.";

// Runs its action when the scope ends, also by an exception (which the
// application's safety net then shows).
class ScopeExit {
 public:
  explicit ScopeExit(std::function<void()> action) : action_(std::move(action)) {}
  ~ScopeExit() { action_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  std::function<void()> action_;
};

QPushButton* make_button(const char* text, QWidget* parent) {
  auto* b = new QPushButton(QString::fromLatin1(text), parent);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

SchedulerWindow::SchedulerWindow(Problem& problem, ProcessState& state, WindowsUi& ui, Random& rng,
                                 const WindowSet& windows, QWidget* main_window)
    : QDialog(main_window),
      problem_(problem),
      state_(state),
      ui_(ui),
      rng_(rng),
      windows_(windows) {
  setObjectName(QStringLiteral("scheduler_window"));
  setWindowTitle(QStringLiteral("Production Scheduler"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  load_ = make_button("Load  Input data from file", this);
  create_ = make_button("Create Starting  Schedule", this);
  status_ = new QLabel(QString::fromLatin1(kNoData), this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setFrameShape(QFrame::StyledPanel);
  status_->setMinimumWidth(180);
  input_data_ = make_button("Input data", this);

  generate_ = new QGroupBox(QStringLiteral("Generate Schedule"), this);
  objective_ = new QComboBox(generate_);
  objective_->addItems({QStringLiteral("Number of Late Jobs"), QStringLiteral("Sum of Tardiness"),
                        QStringLiteral("Sum of AbsLateness"), QStringLiteral("Number of Setup"),
                        QStringLiteral("Completion Time"), QStringLiteral("Number of Late Orders"),
                        QStringLiteral("Max Tardiness")});
  details_ = make_button("Detailes", generate_);
  method_ = new QComboBox(generate_);
  method_->addItems({QString::fromLatin1(kTabuSearchMethod),
                     QStringLiteral("Tabu Search with  AUTOSTOP"),
                     QStringLiteral("Tabu Search in Batch mode"),
                     QStringLiteral("Enumaration for small size problems")});

  auto fixed = [](const char* t) { return [text = QString::fromLatin1(t)] { return text; }; };
  auto limit = [](int v) { return [v] { return v; }; };
  steps_ = new NumberField({4, limit(9999), limit(9999),
                            " The value of the Num. of Steps field is out of the range! It must be "
                            "in [1 - 9999].",
                            fixed("10")},
                           ui, generate_);
  loops_ = new NumberField({3, limit(9999), limit(999),
                            " The value of the Num. of Loops field is out of the range! It must be "
                            "in [1 - 999].",
                            fixed("10")},
                           ui, generate_);
  tabu_ = new NumberField({4, limit(9999), limit(9999),
                           " The value of the TabuList size field is out of the range! It must be "
                           "in [1 - 9999].",
                           fixed("150")},
                          ui, generate_);
  iterations_ = new NumberField({5, limit(99999), limit(99999), "", fixed("10")}, ui, generate_);
  max_steps_ = new NumberField({0, limit(9999), limit(9999),
                                " The value of the AutoStop field is out of the range! It must be "
                                "in [1 - 9999].",
                                fixed("30")},
                               ui, generate_);
  auto loops_value = [this] { return loops_->value(); };
  min_loop_ = new NumberField({0, loops_value, loops_value,
                               " The value of the AutoStop field is out of the range! It must be "
                               "in [1 - Num. of loops].",
                               [this] {
                                 const int l = loops_->value();
                                 return QString::number(l > 39 ? l / 4 : 10);
                               }},
                              ui, generate_);
  steps_->setText(QStringLiteral("2000"));
  loops_->setText(QStringLiteral("100"));
  tabu_->setText(QStringLiteral("150"));
  iterations_->setText(QStringLiteral("10"));
  max_steps_->setText(QStringLiteral("20"));
  min_loop_->setText(QStringLiteral("10"));
  for (NumberField* f : {steps_, loops_, tabu_, iterations_, max_steps_, min_loop_}) {
    f->setMaximumWidth(64);
    f->setAlignment(Qt::AlignRight);
  }
  steps_->setObjectName(QStringLiteral("steps"));
  loops_->setObjectName(QStringLiteral("loops"));
  tabu_->setObjectName(QStringLiteral("tabu_size"));
  iterations_->setObjectName(QStringLiteral("iterations"));
  max_steps_->setObjectName(QStringLiteral("max_steps_without_improvement"));
  min_loop_->setObjectName(QStringLiteral("min_loop"));

  operators_ = make_button("Search operators", generate_);
  perf_test_ = new QCheckBox(QStringLiteral("Perf. test "), generate_);
  test_ = make_button("Test", generate_);
  run_ = make_button("Run", generate_);
  show_results_ = make_button("Show Results", this);
  close_ = make_button("Close", this);

  // Layout, top to bottom.
  auto* top = new QGridLayout;
  top->addWidget(load_, 0, 0);
  top->addWidget(create_, 0, 1);
  top->addWidget(status_, 1, 0);
  top->addWidget(input_data_, 1, 1);

  auto* g = new QGridLayout(generate_);
  auto* objective_label = new QLabel(QStringLiteral("Objective function:"), generate_);
  objective_label->setBuddy(objective_);
  g->addWidget(objective_label, 0, 0, 1, 2);
  g->addWidget(objective_, 1, 0, 1, 3);
  g->addWidget(details_, 1, 3);
  auto* method_label = new QLabel(QStringLiteral(" Method:"), generate_);
  method_label->setBuddy(method_);
  g->addWidget(method_label, 2, 0, 1, 2);
  g->addWidget(method_, 3, 0, 1, 4);
  max_steps_label_ = new QLabel(QStringLiteral("Max. steps imp.less:"), generate_);
  min_loop_label_ = new QLabel(QStringLiteral("Min. loop:"), generate_);
  max_steps_label_->setBuddy(max_steps_);
  min_loop_label_->setBuddy(min_loop_);
  auto add_field = [&](int row, int column, QLabel* label, NumberField* field) {
    label->setBuddy(field);
    g->addWidget(label, row, column, Qt::AlignRight);
    g->addWidget(field, row, column + 1);
  };
  add_field(4, 0, max_steps_label_, max_steps_);
  add_field(5, 0, min_loop_label_, min_loop_);
  add_field(4, 2, new QLabel(QStringLiteral("Num. of steps:"), generate_), steps_);
  add_field(5, 2, new QLabel(QStringLiteral("Num. of loops:"), generate_), loops_);
  add_field(6, 2, new QLabel(QStringLiteral("TabuList size:"), generate_), tabu_);
  add_field(7, 2, new QLabel(QStringLiteral("Num. of iterations:"), generate_), iterations_);
  g->addWidget(operators_, 6, 0, 1, 2);
  auto* test_row = new QHBoxLayout;
  test_row->addWidget(perf_test_);
  test_row->addWidget(test_);
  g->addLayout(test_row, 7, 0, 1, 2);
  g->addWidget(run_, 8, 0, 1, 4);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(show_results_);
  bottom->addStretch(1);
  bottom->addWidget(close_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(generate_);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Tab order follows the layout: loading, the run group, then the bottom row.
  QWidget* const order[] = {load_,   create_,       input_data_, objective_, details_,
                            method_, max_steps_,    min_loop_,   steps_,     loops_,
                            tabu_,   iterations_,   operators_,  perf_test_, test_,
                            run_,    show_results_, close_};
  for (size_t i = 1; i < std::size(order); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }

  connect(load_, &QPushButton::clicked, this, &SchedulerWindow::load);
  connect(run_, &QPushButton::clicked, this, &SchedulerWindow::run);
  connect(test_, &QPushButton::clicked, this, &SchedulerWindow::run_test);
  connect(show_results_, &QPushButton::clicked, this, &SchedulerWindow::show_results);
  connect(close_, &QPushButton::clicked, this, &SchedulerWindow::reject);
  connect(create_, &QPushButton::clicked, this,
          [this] { not_available("The starting-schedule window"); });
  connect(input_data_, &QPushButton::clicked, this,
          [this] { not_available("The input data window"); });
  connect(details_, &QPushButton::clicked, this, [this] {
    if (windows_.objectives != nullptr) windows_.objectives->exec_detached();
  });
  connect(operators_, &QPushButton::clicked, this, [this] {
    if (windows_.operators != nullptr) windows_.operators->exec_without_counters();
  });
  connect(method_, &QComboBox::currentIndexChanged, this, &SchedulerWindow::method_changed);
  connect(perf_test_, &QCheckBox::toggled, this, &SchedulerWindow::perf_test_toggled);

  // Creation: the auto-stop fields start hidden, the lists on their first
  // items; nothing can run before a problem is loaded.
  objective_->setCurrentIndex(0);
  method_->setCurrentIndex(0);
  method_changed();
  set_buttons_enabled({create_, input_data_, run_, show_results_, test_, perf_test_, objective_,
                       method_, steps_, loops_, tabu_, iterations_},
                      false);
}

QPushButton* SchedulerWindow::button(const QString& text) const {
  for (QPushButton* b : findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

void SchedulerWindow::set_buttons_enabled(std::initializer_list<QWidget*> widgets, bool enabled) {
  for (QWidget* w : widgets) w->setEnabled(enabled);
}

void SchedulerWindow::set_auto_stop_visible(bool visible) {
  for (QWidget* w :
       std::initializer_list<QWidget*>{max_steps_, min_loop_, max_steps_label_, min_loop_label_}) {
    w->setVisible(visible);
  }
}

void SchedulerWindow::method_changed() {
  set_buttons_enabled({steps_, loops_, tabu_}, true);
  iterations_->setEnabled(false);
  const int m = method_->currentIndex();
  set_auto_stop_visible(m == kAutostop || m == kBatch);
}

void SchedulerWindow::perf_test_toggled(bool checked) {
  if (checked) {
    iterations_->setEnabled(true);
    set_auto_stop_visible(true);
  } else {
    method_changed();
  }
}

void SchedulerWindow::showEvent(QShowEvent* event) {
  // The results window reads entry 6 as its mode: 1 = scheduling with editing.
  state_.operator_priority[6] = 1;
  QDialog::showEvent(event);
}

void SchedulerWindow::not_available(const char* what) {
  ui_.message(std::string(what) + " is not available yet.");
}

void SchedulerWindow::load() {
  const QString remembered = status_->text();
  set_buttons_enabled(
      {objective_, method_, input_data_, test_, run_, load_, create_, close_, show_results_},
      false);
  status_->setText(QStringLiteral("Running"));

  FileDialogRequest dialog;
  dialog.initial_folder = state_.program_folder;
  dialog.filter = kInputFileFilter;
  int result = load_input(problem_, ui_, dialog, nullptr);
  if (result == kLoadCancelled) {
    result = remembered == QLatin1String(kLoaded) ? kLoadDone : kLoadRefused;
  }
  if (result == kLoadDone) {
    status_->setText(QString::fromLatin1(kLoaded));
    set_buttons_enabled(
        {run_, load_, create_, close_, method_, objective_, input_data_, test_, perf_test_}, true);
    method_changed();
  } else {
    set_buttons_enabled({close_, load_}, true);
    status_->setText(QString::fromLatin1(kNoData));
  }
}

bool SchedulerWindow::fields_valid(bool for_test) {
  // Only the fields the action reads; loops before "Min. loop:", whose range
  // depends on it.
  const int m = method_->currentIndex();
  const bool auto_stop = for_test || m == kAutostop || m == kBatch;
  std::vector<NumberField*> fields = {steps_, loops_, tabu_};
  if (for_test) fields.push_back(iterations_);
  if (auto_stop) {
    fields.push_back(max_steps_);
    fields.push_back(min_loop_);
  }
  for (NumberField* f : fields) {
    if (!f->check_on_leave()) {
      f->setFocus(Qt::OtherFocusReason);
      return false;
    }
  }
  return true;
}

void SchedulerWindow::read_parameters() {
  RunParameters& p = state_.run;
  p.steps = steps_->value();
  p.loops_per_step = loops_->value();
  p.tabu_size = tabu_->value();
  p.max_steps_without_improvement = max_steps_->value();
  p.min_loop = min_loop_->value();
}

void SchedulerWindow::run() {
  if (!fields_valid(false)) return;
  if (windows_.chart != nullptr) windows_.chart->reset();
  const std::initializer_list<QWidget*> controls = {
      objective_, method_, run_, load_, create_, close_, show_results_, input_data_, test_};
  set_buttons_enabled(controls, false);
  state_.stop_requested = false;
  read_parameters();
  ui_.set_run_owner(this);

  // Whatever happens, the windows and the controls come back.
  const ScopeExit restore([&] {
    ui_.abandon_run();
    set_buttons_enabled(controls, true);
  });
  int result = 0;
  switch (method_->currentIndex()) {
    case kTabuSearch:
      result = run_tabu_search(problem_, state_, ui_, rng_);
      break;
    case kAutostop:
      result = run_autostop(problem_, state_, ui_, rng_);
      break;
    case kBatch:
      result = run_batch(problem_, state_, ui_, rng_);
      break;
    case kEnumeration:
      if (enumeration_size_accepted(problem_, ui_)) {
        result = run_enumeration(problem_, state_, ui_, rng_, nullptr);
      }
      break;
    default:
      break;
  }
  if (result == 1) show_results();
}

void SchedulerWindow::run_test() {
  if (!fields_valid(true)) return;
  state_.stop_requested = false;
  read_parameters();
  ui_.set_run_owner(this);
  {
    const ScopeExit restore([this] { ui_.abandon_run(); });
    run_performance_test(iterations_->value(), 1, problem_, state_, ui_, rng_);
  }
  perf_test_->setChecked(false);
  method_changed();
}

void SchedulerWindow::show_results() {
  if (windows_.chart != nullptr) windows_.chart->show_current();
}

void SchedulerWindow::close_window() {
  problem_.release_problem();
  status_->setText(QString::fromLatin1(kNoData));
  // Without data nothing may run: "Test" and "Perf. test " go off as well.
  set_buttons_enabled({run_, create_, show_results_, input_data_, objective_, method_, steps_,
                       loops_, tabu_, iterations_, test_, perf_test_},
                      false);
}

void SchedulerWindow::reject() {
  // A run hides the window; it cannot be closed before the run has ended.
  if (ui_.run_active()) return;
  close_window();
  QDialog::reject();
}

}  // namespace vema
