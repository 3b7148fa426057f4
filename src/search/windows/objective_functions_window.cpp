#include "search/windows/objective_functions_window.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>
#include <array>

#include "viewer/windows/window_frame.h"

namespace vema {

namespace {

constexpr int kRows = 6;
constexpr std::array<int, kRows + 1> kDefaultPositions = {0, 7, 8, 10, 10, 7, 5};
const char* const kRowLabels[kRows + 1] = {
    "",
    "Number of late orders:",
    "Number of late jobs:",
    "Sum of tardiness: ",
    "Max tardiness:",
    "Number of setups:",
    "Completion time:",
};

}  // namespace

struct ObjectiveFunctionsWindow::Controls {
  std::array<QSlider*, kRows + 1> bars{};
  std::array<QLineEdit*, kRows + 1> boxes{};
  QCheckBox* active = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* more = nullptr;
};

ObjectiveFunctionsWindow::ObjectiveFunctionsWindow(Priorities& priorities, QWidget* main_window)
    : QDialog(main_window),
      priorities_(priorities),
      main_window_(main_window),
      controls_(std::make_unique<Controls>()) {
  setWindowTitle("Objective functions");
  setModal(false);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  auto* header = new QLabel("Objective function               Priority", this);
  QFont bold = header->font();
  bold.setBold(true);
  header->setFont(bold);
  layout->addWidget(header);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  for (int row = 1; row <= kRows; ++row) {
    auto* label = new QLabel(kRowLabels[row], this);
    auto* bar = new QSlider(Qt::Horizontal, this);
    bar->setRange(0, 10);
    bar->setTickInterval(1);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setMinimumWidth(180);
    auto* box = new QLineEdit("1", this);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance("000") + 14);
    label->setBuddy(bar);
    grid->addWidget(label, row - 1, 0);
    grid->addWidget(bar, row - 1, 1);
    grid->addWidget(box, row - 1, 2);
    controls_->bars[static_cast<size_t>(row)] = bar;
    controls_->boxes[static_cast<size_t>(row)] = box;
    connect(bar, &QSlider::valueChanged, this,
            [this, row](int position) { bar_moved(row, position); });
  }
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  controls_->active = new QCheckBox("Active control", this);
  controls_->more = new QPushButton("More", this);
  controls_->ok = new QPushButton("OK", this);
  controls_->ok->setDefault(true);
  controls_->more->setVisible(false);
  buttons->addWidget(controls_->active);
  buttons->addStretch(1);
  buttons->addWidget(controls_->more);
  buttons->addWidget(controls_->ok);
  layout->addLayout(buttons);

  connect(controls_->ok, &QPushButton::clicked, this, [this] {
    copy_all_positions();
    accept();
  });
  connect(controls_->active, &QCheckBox::toggled, this, [this](bool on) {
    if (on) copy_all_positions();
  });
  connect(controls_->more, &QPushButton::clicked, this, &ObjectiveFunctionsWindow::more_requested);

  // The program starts with these priorities; moving a bar updates its box.
  for (int row = 1; row <= kRows; ++row) {
    controls_->bars[static_cast<size_t>(row)]->setValue(
        kDefaultPositions[static_cast<size_t>(row)]);
  }
  copy_all_positions();
}

ObjectiveFunctionsWindow::~ObjectiveFunctionsWindow() = default;

void ObjectiveFunctionsWindow::exec_detached() {
  set_active_control(false);
  adjustSize();
  centre_window(*this, main_window_);
  exec();
}

void ObjectiveFunctionsWindow::set_active_control(bool on) { controls_->active->setChecked(on); }

bool ObjectiveFunctionsWindow::active_control() const { return controls_->active->isChecked(); }

void ObjectiveFunctionsWindow::set_more_visible(bool visible) {
  controls_->more->setVisible(visible);
}

QSlider* ObjectiveFunctionsWindow::track_bar(int row) const {
  return controls_->bars.at(static_cast<size_t>(row));
}

QLineEdit* ObjectiveFunctionsWindow::value_box(int row) const {
  return controls_->boxes.at(static_cast<size_t>(row));
}

QCheckBox* ObjectiveFunctionsWindow::active_control_box() const { return controls_->active; }

QPushButton* ObjectiveFunctionsWindow::ok_button() const { return controls_->ok; }

QPushButton* ObjectiveFunctionsWindow::more_button() const { return controls_->more; }

void ObjectiveFunctionsWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    for (int row = 1; row <= kRows; ++row) {
      controls_->bars[static_cast<size_t>(row)]->setValue(
          priorities_.objective[static_cast<size_t>(row)]);
    }
  }
  QDialog::showEvent(event);
}

void ObjectiveFunctionsWindow::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  // Minimising is not closing.
  if (!event->spontaneous()) emit closed();
}

void ObjectiveFunctionsWindow::bar_moved(int row, int position) {
  controls_->boxes[static_cast<size_t>(row)]->setText(QString::number(position));
  if (active_control()) priorities_.objective[static_cast<size_t>(row)] = position;
}

void ObjectiveFunctionsWindow::copy_all_positions() {
  for (int row = 1; row <= kRows; ++row) {
    priorities_.objective[static_cast<size_t>(row)] =
        controls_->bars[static_cast<size_t>(row)]->value();
  }
}

}  // namespace vema
