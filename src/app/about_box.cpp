#include "app/about_box.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace vema {

namespace {

// The logo: a small Gantt chart of three machines.
QPixmap logo() {
  QPixmap pixmap(72, 72);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 60, 110));
  p.drawRoundedRect(0, 0, 72, 72, 10, 10);
  const QColor colours[] = {QColor(255, 128, 0), QColor(0, 190, 90), QColor(240, 200, 40)};
  const int bars[3][4] = {{8, 30, 34, 58}, {16, 38, 42, 64}, {24, 46, 50, 62}};
  for (int row = 0; row < 3; ++row) {
    const int y = 14 + row * 17;
    p.setBrush(colours[row]);
    p.drawRect(bars[row][0], y, bars[row][1] - bars[row][0], 10);
    p.setBrush(colours[(row + 1) % 3]);
    p.drawRect(bars[row][2], y, bars[row][3] - bars[row][2], 10);
  }
  return pixmap;
}

}  // namespace

AboutBox::AboutBox(QWidget* main_window) : QDialog(main_window) {
  setObjectName(QStringLiteral("about_box"));
  setWindowTitle(QStringLiteral("About VEMA Scheduler"));
  setFixedSize(480, 239);

  auto* group = new QGroupBox(QStringLiteral("Product Information"), this);
  auto* picture = new QLabel(group);
  picture->setPixmap(logo());
  auto* name = new QLabel(QStringLiteral("<b>VEMA Scheduler</b>"), group);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  name->setFont(big);
  auto* description = new QLabel(
      QStringLiteral("Scheduling and rescheduling of flexible flow shops by tabu search."), group);
  description->setWordWrap(true);
  auto* text = new QVBoxLayout;
  text->addWidget(name);
  text->addWidget(description);
  text->addStretch(1);
  auto* row = new QHBoxLayout(group);
  row->addWidget(picture, 0, Qt::AlignTop);
  row->addLayout(text, 1);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
}

}  // namespace vema
