// The commands of the browser window's context menu that work on the browser itself.
#include "qmk/Base.h"
#include "qmk/MyAction.h"
#include "qmk/dialog/WebBrowserDialog.h"

namespace qmk::MyAction {

void SubmitProductAction::run()
{
    showStatus("");
    if (dialog::WebBrowserDialog* browser = dialog::WebBrowserDialog::getInstance())
        browser->submitCurrent();
}

void CopyLocationURLAction::run()
{
    dialog::WebBrowserDialog::copyLocationUrl();
}

} // namespace qmk::MyAction
