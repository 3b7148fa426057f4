#include "search/windows/searching_operators_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>

#include "viewer/windows/window_frame.h"

namespace vema {

namespace {

// Row 0 is the sums row, rows 1..8 the operators.
constexpr int kRows = kOperatorSlots;

QLabel* value_label(QWidget* parent) {
  auto* label = new QLabel("0", parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// Hidden counters keep their place, so the window keeps its size.
void keep_place_when_hidden(QLabel* label) {
  QSizePolicy policy = label->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  label->setSizePolicy(policy);
}

}  // namespace

struct SearchingOperatorsWindow::Controls {
  std::array<QLabel*, kRows + 1> names{};
  std::array<QLabel*, kRows + 1> improve{};
  std::array<QLabel*, kRows + 1> total{};
  std::array<QLabel*, kRows + 1> priority{};
  QComboBox* operators = nullptr;
  QComboBox* priorities = nullptr;
  QPushButton* ok = nullptr;
  QCheckBox* active = nullptr;  // never shown
};

SearchingOperatorsWindow::SearchingOperatorsWindow(OperatorPriorities& priorities,
                                                   QWidget* main_window)
    : QDialog(main_window),
      priorities_(priorities),
      main_window_(main_window),
      controls_(std::make_unique<Controls>()) {
  setWindowTitle("Searching operators");
  setModal(false);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  const char* const headers[] = {"Operator ", "Improve", "Total", "Priority"};
  for (int column = 0; column < 4; ++column) {
    auto* header = new QLabel(headers[column], this);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    if (column > 0) header->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(header, 0, column);
  }
  // The priority texts grow to e.g. "10 [0.333] "; reserve room for them.
  grid->setColumnMinimumWidth(3, fontMetrics().horizontalAdvance("10 [0.333] ") + 8);

  // Grid rows: 0 headers, 1 sums, 2 a rule, 3.. the operators.
  for (int k = 0; k <= kRows; ++k) {
    const auto i = static_cast<size_t>(k);
    const int row = k == 0 ? 1 : k + 2;
    if (k > 0) {
      controls_->names[i] = new QLabel(QString("N%1").arg(k), this);
      grid->addWidget(controls_->names[i], row, 0);
    }
    controls_->improve[i] = value_label(this);
    controls_->total[i] = value_label(this);
    controls_->priority[i] = value_label(this);
    grid->addWidget(controls_->improve[i], row, 1);
    grid->addWidget(controls_->total[i], row, 2);
    grid->addWidget(controls_->priority[i], row, 3);
  }
  auto* rule = new QFrame(this);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  grid->addWidget(rule, 2, 0, 1, 4);
  for (int k = 0; k <= kRows; ++k) {
    const auto i = static_cast<size_t>(k);
    if (k <= operator_count) {
      keep_place_when_hidden(controls_->improve[i]);
      keep_place_when_hidden(controls_->total[i]);
      if (k > 0) controls_->names[i]->setToolTip(kOperatorHints[k]);
    } else {
      controls_->names[i]->hide();
      controls_->improve[i]->hide();
      controls_->total[i]->hide();
      controls_->priority[i]->hide();
    }
  }
  layout->addLayout(grid);

  auto* change = new QGroupBox("Change", this);
  auto* change_layout = new QGridLayout(change);
  controls_->operators = new QComboBox(change);
  controls_->priorities = new QComboBox(change);
  for (int p = 0; p <= 10; ++p) controls_->priorities->addItem(QString::number(p));
  auto* operator_label = new QLabel("Operator", change);
  auto* priority_label = new QLabel("Priority", change);
  operator_label->setBuddy(controls_->operators);
  priority_label->setBuddy(controls_->priorities);
  change_layout->addWidget(operator_label, 0, 0);
  change_layout->addWidget(priority_label, 0, 1);
  change_layout->addWidget(controls_->operators, 1, 0);
  change_layout->addWidget(controls_->priorities, 1, 1);
  layout->addWidget(change);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  controls_->ok = new QPushButton("OK", this);
  controls_->ok->setDefault(true);
  buttons->addWidget(controls_->ok);
  layout->addLayout(buttons);

  controls_->active = new QCheckBox("Active control", this);
  controls_->active->hide();

  connect(controls_->ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(controls_->operators, &QComboBox::currentIndexChanged, this,
          [this](int) { show_selected_priority(); });
  connect(controls_->priorities, &QComboBox::currentIndexChanged, this,
          [this](int index) { priority_chosen(index); });

  // The program starts with every operator at priority 1.
  for (int k = 0; k <= operator_count; ++k) priorities_[static_cast<size_t>(k)] = 1;
  {
    const QSignalBlocker blocker(controls_->operators);
    controls_->operators->clear();
    for (int k = 1; k <= operator_count; ++k) controls_->operators->addItem(QString("N%1").arg(k));
  }
  show_selected_priority();
  update_priority_texts();
}

SearchingOperatorsWindow::~SearchingOperatorsWindow() = default;

void SearchingOperatorsWindow::exec_without_counters() {
  set_counters_visible(false);
  adjustSize();
  centre_window(*this, main_window_);
  exec();
  set_counters_visible(true);
}

void SearchingOperatorsWindow::set_counters_visible(bool visible) {
  for (int k = 0; k <= operator_count; ++k) {
    controls_->improve[static_cast<size_t>(k)]->setVisible(visible);
    controls_->total[static_cast<size_t>(k)]->setVisible(visible);
  }
}

void SearchingOperatorsWindow::begin_run() {
  for (int k = 0; k <= operator_count; ++k) {
    const auto i = static_cast<size_t>(k);
    controls_->improve[i]->setText("0");
    controls_->total[i]->setText("0");
    if (k > 0) controls_->priority[i]->setText(QString::number(priorities_[i]));
  }
}

void SearchingOperatorsWindow::show_counters(const OperatorCounters& counters) {
  for (int k = 0; k <= operator_count; ++k) {
    const auto i = static_cast<size_t>(k);
    controls_->improve[i]->setText(QString::number(counters.improve_count[i]));
    controls_->total[i]->setText(QString::number(counters.total_count[i]));
  }
}

QComboBox* SearchingOperatorsWindow::operator_list() const { return controls_->operators; }

QComboBox* SearchingOperatorsWindow::priority_list() const { return controls_->priorities; }

QLabel* SearchingOperatorsWindow::priority_text(int k) const {
  return controls_->priority.at(static_cast<size_t>(k));
}

QLabel* SearchingOperatorsWindow::improve_text(int k) const {
  return controls_->improve.at(static_cast<size_t>(k));
}

QLabel* SearchingOperatorsWindow::total_text(int k) const {
  return controls_->total.at(static_cast<size_t>(k));
}

QPushButton* SearchingOperatorsWindow::ok_button() const { return controls_->ok; }

QLabel* SearchingOperatorsWindow::operator_label(int k) const {
  return controls_->names.at(static_cast<size_t>(k));
}

void SearchingOperatorsWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    const QSignalBlocker blocker(controls_->operators);
    controls_->operators->setCurrentIndex(0);
    show_selected_priority();
    update_priority_texts();
  }
  QDialog::showEvent(event);
}

void SearchingOperatorsWindow::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  // Minimising is not closing.
  if (!event->spontaneous()) emit closed();
}

int SearchingOperatorsWindow::selected_operator() const {
  return controls_->operators->currentIndex() + 1;
}

void SearchingOperatorsWindow::show_selected_priority() {
  const int k = selected_operator();
  if (k < 1) return;
  const QSignalBlocker blocker(controls_->priorities);
  controls_->priorities->setCurrentIndex(priorities_[static_cast<size_t>(k)]);
}

void SearchingOperatorsWindow::priority_chosen(int index) {
  const int k = selected_operator();
  if (k < 1 || index < 0) return;
  priorities_[static_cast<size_t>(k)] = index;
  update_priority_texts();
}

void SearchingOperatorsWindow::update_priority_texts() {
  const int listed = controls_->operators->count();
  int sum = 0;
  for (int k = 1; k <= listed; ++k) sum += priorities_[static_cast<size_t>(k)];
  controls_->priority[0]->setText(QString::number(sum));
  for (int k = 1; k <= listed; ++k) {
    const int p = priorities_[static_cast<size_t>(k)];
    const double share = sum == 0 ? 0.0 : static_cast<double>(p) / sum;
    controls_->priority[static_cast<size_t>(k)]->setText(
        QString("%1 [%2] ").arg(p).arg(QString::number(share, 'g', 3)));
  }
}

}  // namespace vema
