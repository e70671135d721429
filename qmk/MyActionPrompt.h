#pragma once
// What the three commands that prompt through the find dialog share. UI thread only.
#include "qmk/Report.h"
#include "qmk/dialog/FindDialog.h"

#include <QPointer>

#include <cstddef>
#include <string>
#include <string_view>

namespace qmk::MyAction {

// The number of characters (code points) of a UTF-8 text.
inline std::size_t characters(std::string_view text)
{
    std::size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

// Binds the prompt to the command's worker (nothing once the command is gone), sets its title
// and hint and shows it. A failure leaves the prompt as it was, with a trace line.
template <class Command>
void showPrompt(Command* command, void (Command::*worker)(const std::string&),
                const std::string& title, const std::string& hint)
{
    try {
        dialog::FindDialog& dialog = dialog::FindDialog::getInstance();
        QPointer<Command> self(command);
        dialog.callback = [self, worker](const std::string& text) {
            if (self)
                (self.data()->*worker)(text);
        };
        dialog.setTitle(title);
        dialog.setHint(hint);
        dialog.show();
    } catch (...) {
        report::caught("showPrompt"); // the prompt stays as it was
    }
}

} // namespace qmk::MyAction
