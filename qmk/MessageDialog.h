#pragma once
// Message dialogs without a parent window. Every message box of the commands goes through
// here, so a caller that must not block (a test, a scripted run) can take the messages
// instead. UI thread only.
#include <functional>
#include <string>

namespace qmk::MessageDialog {

enum class Kind { Error, Information };

// Takes the place of the dialogs while set (null shows them again).
using Interceptor =
    std::function<void(Kind kind, const std::string& title, const std::string& message)>;
void setInterceptor(Interceptor interceptor);

// A modal box with the title and message; returns when the user has closed it.
void openError(const std::string& title, const std::string& message);
void openInformation(const std::string& title, const std::string& message);

} // namespace qmk::MessageDialog
