// PLACEHOLDER: the browser dialog work replaces this.
#include "qmk/dialog/WebBrowserDialog.h"

namespace qmk::dialog {

WebBrowserDialog* WebBrowserDialog::getInstance() { return nullptr; }
WebBrowserDialog* WebBrowserDialog::instance() { return nullptr; }
void WebBrowserDialog::show() {}
void WebBrowserDialog::openUrl(const std::string&) {}
std::string WebBrowserDialog::getLocationUrl() { return {}; }
void WebBrowserDialog::copyLocationUrl() {}
void WebBrowserDialog::submitCurrent() {}
void WebBrowserDialog::dispose() {}

}  // namespace qmk::dialog
