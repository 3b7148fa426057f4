#include "app/modal.h"

#include <QDialog>
#include <QEventLoop>
#include <QMainWindow>
#include <QMenuBar>

namespace vema {

void show_modal(QDialog* dialog, QMainWindow* main_window) {
  QEventLoop loop;
  const QMetaObject::Connection done =
      QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  if (main_window != nullptr) main_window->menuBar()->setEnabled(false);
  dialog->setWindowModality(Qt::NonModal);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  loop.exec(QEventLoop::DialogExec);
  QObject::disconnect(done);
  if (main_window != nullptr) main_window->menuBar()->setEnabled(true);
}

}  // namespace vema
