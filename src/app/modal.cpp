#include "app/modal.h"

#include <QDialog>
#include <QEventLoop>

namespace vema {

void show_modal(QDialog* dialog) {
  QEventLoop loop;
  const QMetaObject::Connection done =
      QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  loop.exec(QEventLoop::DialogExec);
  QObject::disconnect(done);
}

}  // namespace vema
