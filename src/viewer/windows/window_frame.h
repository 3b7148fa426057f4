// The size a window manager's frame adds to a window. A window that has not
// been shown yet has no frame to measure; it gets the main window's, which
// the window manager decorates the same way.
#pragma once

#include <QSize>
#include <QWidget>

namespace vema {

inline QSize frame_extra(const QWidget& window, const QWidget* main_window) {
  const QSize own = window.frameGeometry().size() - window.geometry().size();
  if (!own.isEmpty() || window.isVisible() || main_window == nullptr) return own;
  return main_window->frameGeometry().size() - main_window->geometry().size();
}

}  // namespace vema
