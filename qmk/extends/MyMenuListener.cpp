// PLACEHOLDER: the command set replaces this.
#include "qmk/extends/MyMenuListener.h"

namespace qmk::extends {

MyMenuListener& MyMenuListener::getInstance() {
  static MyMenuListener listener;
  return listener;
}
void MyMenuListener::menuAboutToShow() { updateActions(); }
void MyMenuListener::updateActions() {}
base::RecordPtr MyMenuListener::isSubmitProductEnabled() { return nullptr; }

}  // namespace qmk::extends
