// Modal showing that survives hiding: a run hides the scheduler window and
// shows it again at its end, which would end QDialog::exec.
#pragma once

class QDialog;

namespace vema {

// Shows the dialog application-modally and returns when it has finished
// (closed, accepted or rejected). Hiding and showing it in between keeps it
// open.
void show_modal(QDialog* dialog);

}  // namespace vema
