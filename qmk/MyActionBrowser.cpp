// PLACEHOLDER: the browser dialog work replaces these.
#include "qmk/MyAction.h"

namespace qmk::MyAction {

void SubmitProductAction::run() {}
void CopyLocationURLAction::run() {}

}  // namespace qmk::MyAction
