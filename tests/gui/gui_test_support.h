// Helpers shared by the window tests.
#pragma once

#include <QString>

class QWidget;

namespace vema::testing {

// Saves a PNG of the window as <folder>/<name>.png when the environment
// variable VEMA_SCREENSHOTS names a folder; does nothing otherwise.
void save_screenshot(QWidget* window, const QString& name);

// The same for the whole screen (meaningful under a real display), once
// freshly shown windows have had a moment to appear.
void save_desktop_screenshot(const QString& name);

// The path of a file in the source tree, e.g. "examples/small_shop.sif".
QString source_path(const QString& relative);

}  // namespace vema::testing
