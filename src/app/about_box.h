// "About VEMA Scheduler": the product name and what it does.
#pragma once

#include <QDialog>

namespace vema {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* main_window);
};

}  // namespace vema
