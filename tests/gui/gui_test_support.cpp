#include "gui/gui_test_support.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace vema::testing {

void save_screenshot(QWidget* window, const QString& name) {
  const QString folder = qEnvironmentVariable("VEMA_SCREENSHOTS");
  if (folder.isEmpty() || window == nullptr) return;
  QDir().mkpath(folder);
  QApplication::processEvents();
  // Under a real display the frame is included; offscreen grabs the contents.
  window->grab().save(QDir(folder).filePath(name + ".png"));
}

void save_desktop_screenshot(const QString& name) {
  const QString folder = qEnvironmentVariable("VEMA_SCREENSHOTS");
  if (folder.isEmpty()) return;
  // Lets freshly shown windows reach the screen first.
  QTest::qWait(100);
  QDir().mkpath(folder);
  if (QScreen* screen = QApplication::primaryScreen()) {
    screen->grabWindow(0).save(QDir(folder).filePath(name + ".png"));
  }
}

QString source_path(const QString& relative) {
  return QDir(QStringLiteral(VEMA_SOURCE_DIR)).filePath(relative);
}

}  // namespace vema::testing
