#include "search/windows/progress_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "search/windows/objective_functions_window.h"
#include "search/windows/searching_operators_window.h"
#include "viewer/windows/result_chart_window.h"
#include "viewer/windows/window_frame.h"

namespace vema {

namespace {

constexpr int kClockInterval = 1000;  // ms
constexpr int kChartInterval = 500;   // ms
constexpr int kMaxTimeLimit = 241;    // minutes
constexpr int kMillisecondsPerMinute = 60 * 1000;

const QString kTimerInactive = QStringLiteral("Timer inactive");
const QString kTimerActive = QStringLiteral("Timer active! Start time: ");

QString time_of_day() { return QTime::currentTime().toString(QStringLiteral("hh:mm:ss")); }

// A label that shows a value of the run; a new run clears it.
QLabel* value_label(const QString& name, QWidget* parent, QList<QLabel*>& values) {
  auto* label = new QLabel(parent);
  values.append(label);
  label->setObjectName(name);
  label->setMinimumWidth(QFontMetrics(label->font()).horizontalAdvance(QStringLiteral("0000000")));
  return label;
}

// The size of a window with its frame. A window that was never shown nor
// sized yet takes the size its contents ask for, as its first showing would.
QSize outer_size(QWidget& window) {
  if (!window.isVisible() && !window.testAttribute(Qt::WA_Resized)) {
    window.ensurePolished();
    window.adjustSize();
  }
  return window.frameGeometry().size();
}

int right_edge(const QRect& r) { return r.x() + r.width(); }    // first pixel to the right
int bottom_edge(const QRect& r) { return r.y() + r.height(); }  // first pixel below

// A spin box the planner changes only through its arrows (and the arrow
// keys): its text cannot be typed into.
QSpinBox* arrow_field(int maximum, QWidget* parent) {
  auto* field = new QSpinBox(parent);
  field->setRange(1, maximum);
  field->setSingleStep(5);
  field->setValue(1);
  if (auto* edit = field->findChild<QLineEdit*>()) edit->setReadOnly(true);
  field->setMinimumWidth(QFontMetrics(field->font()).horizontalAdvance(QStringLiteral("00000")) +
                         40);
  return field;
}

}  // namespace

ProgressWindow::ProgressWindow(ProcessState& state, QWidget* main_window, ResultChartWindow& chart,
                               ObjectiveFunctionsWindow& objectives,
                               SearchingOperatorsWindow& operators)
    : QWidget(main_window, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      state_(state),
      main_window_(main_window),
      chart_(chart),
      objectives_(objectives),
      operators_(operators) {
  setWindowTitle(QStringLiteral("Generating Schedule"));
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);

  // Run identification, steps and times.
  auto* title = value_label(QStringLiteral("title"), this, value_labels_);
  QFont title_font = title->font();
  title_font.setBold(true);
  title_font.setPointSizeF(title_font.pointSizeF() * 1.4);
  title->setFont(title_font);
  title->setAlignment(Qt::AlignHCenter);
  layout->addWidget(title);
  auto* subtitle = value_label(QStringLiteral("subtitle"), this, value_labels_);
  subtitle->setAlignment(Qt::AlignHCenter);
  layout->addWidget(subtitle);

  auto* run_grid = new QGridLayout;
  run_grid->setHorizontalSpacing(6);
  run_grid->addWidget(value_label(QStringLiteral("start_time"), this, value_labels_), 0, 0, 1, 4);
  step_caption_ = new QLabel(QStringLiteral("STEP:"), this);
  step_caption_->setObjectName(QStringLiteral("step_caption"));
  run_grid->addWidget(step_caption_, 1, 0);
  auto* step = value_label(QStringLiteral("step"), this, value_labels_);
  step->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  run_grid->addWidget(step, 1, 1);
  run_grid->addWidget(new QLabel(QStringLiteral("/"), this), 1, 2);
  run_grid->addWidget(value_label(QStringLiteral("steps"), this, value_labels_), 1, 3);
  auto* best_caption = new QLabel(QStringLiteral("The best step:"), this);
  best_caption->setObjectName(QStringLiteral("best_step_caption"));
  run_grid->addWidget(best_caption, 2, 0);
  auto* best_step = value_label(QStringLiteral("best_step"), this, value_labels_);
  best_step->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  run_grid->addWidget(best_step, 2, 1);
  run_grid->addWidget(value_label(QStringLiteral("current_time"), this, value_labels_), 3, 0, 1, 4);
  run_grid->setColumnStretch(3, 1);
  layout->addLayout(run_grid);

  // The run's best values.
  objectives_group_ = new QGroupBox(QStringLiteral("Objective functions"), this);
  auto* values = new QGridLayout(objectives_group_);
  values->setVerticalSpacing(2);
  const std::pair<const char*, const char*> kValueRows[] = {
      {"Num. of late orders:", "late_orders"},
      {"Num. of late jobs:", "late_jobs"},
      {"Sum of tardiness:", "sum_tardiness"},
      {"Max tardiness:", "max_tardiness"},
      {"Num of setups:", "setups"},
      {"Completion time:", "completion_time"}};
  int row = 0;
  for (const auto& [caption, name] : kValueRows) {
    values->addWidget(new QLabel(QString::fromLatin1(caption), objectives_group_), row, 0);
    auto* value = value_label(QString::fromLatin1(name), objectives_group_, value_labels_);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values->addWidget(value, row, 1);
    ++row;
  }
  values->setColumnStretch(2, 1);

  // The deviations from the released plan, for a rescheduling run.
  rescheduling_group_ =
      new QGroupBox(QStringLiteral("Rescheduling  Objective func."), objectives_group_);
  auto* deviations = new QGridLayout(rescheduling_group_);
  deviations->setVerticalSpacing(2);
  const std::pair<const char*, const char*> kDeviationRows[] = {
      {"Late orders      dev.:", "late_orders"},
      {"Late jobs           dev.:", "late_jobs"},
      {"Mach. setups   dev.:", "setups"}};
  row = 0;
  for (const auto& [caption, name] : kDeviationRows) {
    const QString base = QString::fromLatin1(name);
    deviations->addWidget(new QLabel(QString::fromLatin1(caption), rescheduling_group_), row, 0);
    auto* deviation =
        value_label(base + QStringLiteral("_dev"), rescheduling_group_, value_labels_);
    deviation->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    deviations->addWidget(deviation, row, 1);
    deviations->addWidget(new QLabel(QStringLiteral("new:"), rescheduling_group_), row, 2);
    auto* fresh = value_label(base + QStringLiteral("_new"), rescheduling_group_, value_labels_);
    fresh->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    deviations->addWidget(fresh, row, 3);
    ++row;
  }
  deviations->setColumnStretch(4, 1);
  values->addWidget(rescheduling_group_, row + 6, 0, 1, 3);
  layout->addWidget(objectives_group_);

  // The windows beside this one.
  chart_box_ = new QCheckBox(QStringLiteral("Chart visible"), this);
  priority_box_ = new QCheckBox(QStringLiteral("Priority control visible"), this);
  operators_box_ = new QCheckBox(QStringLiteral("Search operators visible"), this);
  layout->addWidget(chart_box_);
  layout->addWidget(priority_box_);
  layout->addWidget(operators_box_);

  // The live run parameters.
  controls_group_ = new QGroupBox(QStringLiteral("Control parameters"), this);
  auto* controls = new QGridLayout(controls_group_);
  loops_ = arrow_field(999, controls_group_);
  tabu_ = arrow_field(9999, controls_group_);
  auto* loops_caption = new QLabel(QStringLiteral("Num. of loops:"), controls_group_);
  loops_caption->setBuddy(loops_);
  auto* tabu_caption = new QLabel(QStringLiteral("TabuList size:"), controls_group_);
  tabu_caption->setBuddy(tabu_);
  controls->addWidget(loops_caption, 0, 0);
  controls->addWidget(loops_, 0, 1);
  controls->addWidget(tabu_caption, 1, 0);
  controls->addWidget(tabu_, 1, 1);
  controls->setColumnStretch(2, 1);
  layout->addWidget(controls_group_);

  // The time limit.
  auto* limit_row = new QHBoxLayout;
  auto* limit_caption = new QLabel(QStringLiteral("Max scheduling time:"), this);
  time_limit_ = new QLineEdit(this);
  time_limit_->setFixedWidth(
      QFontMetrics(time_limit_->font()).horizontalAdvance(QStringLiteral("00000")) + 12);
  limit_caption->setBuddy(time_limit_);
  limit_row->addWidget(limit_caption);
  limit_row->addWidget(time_limit_);
  limit_row->addWidget(new QLabel(QStringLiteral("min"), this));
  limit_row->addStretch(1);
  layout->addLayout(limit_row);
  time_limit_status_ = new QLabel(this);
  time_limit_status_->setObjectName(QStringLiteral("time_limit_status"));
  layout->addWidget(time_limit_status_);

  stop_ = new QPushButton(QStringLiteral("Stop"), this);
  layout->addSpacing(6);
  layout->addWidget(stop_);
  layout->addStretch(1);

  // The window is as wide as its widest line ever gets, the active timer
  // line included, and keeps that width whatever the run shows.
  time_limit_status_->setText(kTimerActive + QStringLiteral("00:00:00"));
  setFixedWidth(std::max(sizeHint().width(), 260));
  time_limit_status_->setText(kTimerInactive);
  rescheduling_group_->hide();

  time_limit_timer_ = new QTimer(this);
  time_limit_timer_->setSingleShot(true);
  chart_timer_ = new QTimer(this);
  chart_timer_->setInterval(kChartInterval);
  clock_ = new QTimer(this);
  clock_->setInterval(kClockInterval);

  connect(stop_, &QPushButton::clicked, this, [this] { state_.stop_requested = true; });
  connect(loops_, &QSpinBox::valueChanged, this,
          [this](int value) { state_.run.loops_per_step = value; });
  connect(tabu_, &QSpinBox::valueChanged, this,
          [this](int value) { state_.run.tabu_size = value; });
  connect(time_limit_, &QLineEdit::textChanged, this, &ProgressWindow::time_limit_edited);
  connect(time_limit_timer_, &QTimer::timeout, this, &ProgressWindow::time_limit_expired);
  connect(chart_timer_, &QTimer::timeout, this, &ProgressWindow::chart_tick);
  connect(clock_, &QTimer::timeout, this, &ProgressWindow::clock_tick);
  connect(chart_box_, &QCheckBox::toggled, this, &ProgressWindow::chart_box_toggled);
  connect(priority_box_, &QCheckBox::toggled, this, &ProgressWindow::priority_box_toggled);
  connect(operators_box_, &QCheckBox::toggled, this, &ProgressWindow::operators_box_toggled);
  // The side windows closed by themselves.
  connect(&chart_, &ResultChartWindow::closed, this, [this] { chart_box_->setChecked(false); });
  connect(&objectives_, &ObjectiveFunctionsWindow::closed, this,
          [this] { priority_box_->setChecked(false); });
  connect(&operators_, &SearchingOperatorsWindow::closed, this,
          [this] { operators_box_->setChecked(false); });
}

void ProgressWindow::begin_run(const RunStatus& status) {
  chart_box_->setChecked(false);
  priority_box_->setChecked(false);
  operators_box_->setChecked(false);
  for (QLabel* value : value_labels_) value->clear();
  {
    const QSignalBlocker block_loops(loops_);
    const QSignalBlocker block_tabu(tabu_);
    loops_->setValue(state_.run.loops_per_step);
    tabu_->setValue(state_.run.tabu_size);
  }
  show_heading(status);
  place_window();
  show();
  raise();
  clock_->start();
}

void ProgressWindow::show_status(const RunStatus& status) {
  show_heading(status);
  // Only the runs that show their best values have a best step.
  if (!status.show_objectives) return;
  label(QStringLiteral("best_step"))->setText(QString::number(status.best_step));
  const OBJ_VALUE& best = status.best_values;
  label(QStringLiteral("late_orders"))->setText(QString::number(best.n_of_Late_Orders));
  label(QStringLiteral("late_jobs"))->setText(QString::number(best.n_of_Late_Jobs));
  label(QStringLiteral("sum_tardiness"))->setText(QString::number(best.sumTardiness));
  label(QStringLiteral("max_tardiness"))->setText(QString::number(best.max_Tardiness));
  label(QStringLiteral("setups"))->setText(QString::number(best.n_of_Setup));
  label(QStringLiteral("completion_time"))->setText(QString::number(best.Completion_Time));
  if (status.show_rescheduling) {
    const auto& d = best.deviation;
    label(QStringLiteral("late_orders_dev"))->setText(QString::number(d[7]));
    label(QStringLiteral("late_orders_new"))->setText(QString::number(d[8]));
    label(QStringLiteral("late_jobs_dev"))->setText(QString::number(d[3]));
    label(QStringLiteral("late_jobs_new"))->setText(QString::number(d[4]));
    label(QStringLiteral("setups_dev"))->setText(QString::number(d[9]));
    label(QStringLiteral("setups_new"))->setText(QString::number(d[10]));
  }
}

// The groups, the run's name, its start and where it stands in its count.
void ProgressWindow::show_heading(const RunStatus& status) {
  objectives_group_->setVisible(status.show_objectives);
  rescheduling_group_->setVisible(status.show_rescheduling);
  controls_group_->setVisible(status.show_controls);

  label(QStringLiteral("title"))->setText(QString::fromStdString(status.title));
  label(QStringLiteral("subtitle"))->setText(QString::fromStdString(status.subtitle));
  label(QStringLiteral("start_time"))
      ->setText(status.start_time.empty()
                    ? QString()
                    : QStringLiteral("Start time:") + QString::fromStdString(status.start_time));
  step_caption_->setText(status.counts_iterations ? QStringLiteral("Iteration:")
                                                  : QStringLiteral("STEP:"));
  label(QStringLiteral("step"))
      ->setText(status.step > 0 ? QString::number(status.step) : QString());
  QString steps;
  if (!status.steps_text.empty()) {
    steps = QString::fromStdString(status.steps_text);
  } else if (status.steps > 0) {
    steps = QString::number(status.steps);
  }
  label(QStringLiteral("steps"))->setText(steps);
}

void ProgressWindow::show_again() {
  show();
  raise();
}

void ProgressWindow::end_run() {
  clock_->stop();
  chart_timer_->stop();
  hide();
}

QRect ProgressWindow::main_frame() const {
  if (main_window_ != nullptr) return main_window_->frameGeometry();
  QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  return s != nullptr ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Inside the main window, below its caption, down to just above its bottom.
void ProgressWindow::place_window() {
  const QRect main = main_frame();
  const int top = main.y() + 26;
  const int height = bottom_edge(main) - 2 - top - frame_extra(*this, main_window_).height();
  move(main.x() + 4, top);
  resize(width(), std::max(height, minimumSizeHint().height()));
}

// Right of this window up to just short of the main window's right edge,
// ending above the priority and operators windows when they stand below it
// (above the taller one when both do).
void ProgressWindow::place_chart() {
  const QRect self = frameGeometry();
  const QRect main = main_frame();
  const int left = right_edge(self) + 4;
  const int top = self.y();
  int bottom = bottom_edge(self);
  for (QWidget* below : {static_cast<QWidget*>(&objectives_), static_cast<QWidget*>(&operators_)}) {
    if (below->isVisible()) bottom = std::min(bottom, below->frameGeometry().y() - 4);
  }
  const int width = std::max(right_edge(main) - 4 - left, 200);
  chart_.place(QRect(left, top, width, std::max(bottom - top, 150)));
}

// Shows a side window at the given left edge with its bottom 2 pixels above
// the main window's bottom edge.
void ProgressWindow::show_above_main_bottom(QWidget& window, int left) {
  const int bottom = bottom_edge(main_frame()) - 2;
  window.move(left, bottom - outer_size(window).height());
  window.show();
  // Showing may settle the window at another height than it asked for.
  const QRect frame = window.frameGeometry();
  if (bottom_edge(frame) != bottom) window.move(left, bottom - frame.height());
}

void ProgressWindow::chart_box_toggled(bool on) {
  if (on) {
    place_chart();
    chart_.show_on(ResultChartWindow::Page::kObjValues);
    chart_timer_->start();
  } else {
    chart_timer_->stop();
    if (chart_.isVisible()) chart_.close();
    chart_.recentre_next_show();
  }
}

void ProgressWindow::priority_box_toggled(bool on) {
  if (on) {
    objectives_.set_active_control(true);
    show_above_main_bottom(objectives_, right_edge(frameGeometry()) + 4);
    if (chart_.isVisible()) place_chart();
  } else {
    objectives_.set_active_control(false);
    if (objectives_.isVisible()) objectives_.close();
  }
}

void ProgressWindow::operators_box_toggled(bool on) {
  if (on) {
    operators_.set_counters_visible(true);
    show_above_main_bottom(operators_,
                           right_edge(frameGeometry()) + outer_size(objectives_).width() + 8);
    if (chart_.isVisible()) place_chart();
  } else if (operators_.isVisible()) {
    operators_.close();
  }
}

void ProgressWindow::time_limit_edited(const QString& text) {
  const bool digits_only =
      std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
  bool ok = false;
  const int minutes = text.toInt(&ok);
  if (text.isEmpty() || !digits_only || !ok || minutes < 1 || minutes > kMaxTimeLimit) {
    time_limit_timer_->stop();
    time_limit_status_->setText(kTimerInactive);
    // Clearing comes back here with an empty text, which only disarms.
    if (!text.isEmpty()) time_limit_->clear();
    return;
  }
  time_limit_timer_->start(minutes * kMillisecondsPerMinute);
  time_limit_status_->setText(kTimerActive + time_of_day());
}

void ProgressWindow::time_limit_expired() {
  time_limit_timer_->stop();
  time_limit_status_->setText(kTimerInactive);
  time_limit_->clear();
  // The run asks whether to stop at the start of its next step.
  state_.stop_requested = true;
}

void ProgressWindow::chart_tick() {
  if (!chart_.isVisible()) return;
  RunStatus& status = state_.status;
  chart_.append_history(status, status.history_plotted, status.history_count);
  status.history_plotted = status.history_count;
}

void ProgressWindow::clock_tick() {
  label(QStringLiteral("current_time"))->setText(QStringLiteral("Current time: ") + time_of_day());
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  state_.stop_requested = true;
  if (chart_.isVisible()) chart_.close();
  if (objectives_.isVisible()) objectives_.close();
  if (operators_.isVisible()) operators_.close();
  QWidget::closeEvent(event);
}

QLabel* ProgressWindow::label(const QString& name) const { return findChild<QLabel*>(name); }
QCheckBox* ProgressWindow::chart_visible_box() const { return chart_box_; }
QCheckBox* ProgressWindow::priority_visible_box() const { return priority_box_; }
QCheckBox* ProgressWindow::operators_visible_box() const { return operators_box_; }
QSpinBox* ProgressWindow::loops_field() const { return loops_; }
QSpinBox* ProgressWindow::tabu_field() const { return tabu_; }
QLineEdit* ProgressWindow::time_limit_field() const { return time_limit_; }
QLabel* ProgressWindow::time_limit_label() const { return time_limit_status_; }
QPushButton* ProgressWindow::stop_button() const { return stop_; }
QTimer* ProgressWindow::time_limit_timer() const { return time_limit_timer_; }
QTimer* ProgressWindow::chart_timer() const { return chart_timer_; }
QTimer* ProgressWindow::clock_timer() const { return clock_; }
QGroupBox* ProgressWindow::objectives_group() const { return objectives_group_; }
QGroupBox* ProgressWindow::rescheduling_group() const { return rescheduling_group_; }
QGroupBox* ProgressWindow::controls_group() const { return controls_group_; }

}  // namespace vema
