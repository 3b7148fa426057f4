// Working windows (scheduler, rescheduler, generator) are modal to the main
// window: while one is open the main window's menu is out of reach and the
// caller waits. They are not application-modal, so the windows they open
// beside themselves (results, charts) stay usable, and a run may hide the
// working window and show it again without ending its modal loop, which
// would end QDialog::exec.
#pragma once

class QDialog;
class QMainWindow;

namespace vema {

// Shows the dialog over the main window and returns when it has finished
// (closed, accepted or rejected). The main window's menu is disabled
// meanwhile.
void show_modal(QDialog* dialog, QMainWindow* main_window);

}  // namespace vema
