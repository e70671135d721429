// PLACEHOLDER: the About dialog work replaces this.
#include "qmk/dialog/AboutDialog.h"
#include "qmk/MyAction.h"

namespace qmk::dialog {

void AboutDialog::show() {}

}  // namespace qmk::dialog

namespace qmk::MyAction {

void AboutAction::run() { dialog::AboutDialog::show(); }

}  // namespace qmk::MyAction
