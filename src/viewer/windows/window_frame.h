// Where windows go: the size a window manager's frame adds, and centring a
// window over another window or the desktop.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QSize>
#include <QWidget>

namespace vema {

// A window that has not been shown yet has no frame to measure; it gets the
// main window's, which the window manager decorates the same way.
inline QSize frame_extra(const QWidget& window, const QWidget* main_window) {
  const QSize own = window.frameGeometry().size() - window.geometry().size();
  if (!own.isEmpty() || window.isVisible() || main_window == nullptr) return own;
  return main_window->frameGeometry().size() - main_window->geometry().size();
}

// Centres the window's frame over `over`, or over the desktop of the screen
// it is on when that is null.
inline void centre_window(QWidget& window, const QWidget* over) {
  QRect around;
  if (over != nullptr) {
    around = over->frameGeometry();
  } else if (QScreen* screen =
                 window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen()) {
    around = screen->availableGeometry();
  }
  if (!around.isValid()) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(around.center());
  window.move(frame.topLeft());
}

}  // namespace vema
