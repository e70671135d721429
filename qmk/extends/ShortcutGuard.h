#pragma once
// Keeps the commands' accelerators away from text being edited: while a line edit, text box,
// combo box or spin box has the focus, a key that is a command's shortcut, with or without Ctrl,
// goes to that widget (Ctrl+X cuts, Ctrl+A selects all, F1 does what the editor does with it)
// instead of running the command. In any other window than the main one (the browser window's
// page and its form fields, a dialog) no command shortcut acts: the key goes to the widget that
// has the focus. UI thread only.
#include <QObject>

namespace qmk::extends {

class ShortcutGuard : public QObject {
    Q_OBJECT

public:
    // Filters every event of the running application while installed.
    static void install();
    static void uninstall();
    // True for a widget that takes typed text (line edit, text box, combo box, spin box).
    static bool editsText(const QObject* object);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qmk::extends
