#pragma once
// Keeps the commands' Ctrl accelerators away from text being edited: while a line edit, text
// box, combo box or spin box has the focus, a Ctrl key that is a command's shortcut goes to
// that widget (Ctrl+X cuts, Ctrl+A selects all) instead of running the command. Keys without
// Ctrl (F1, Alt+F4) stay commands there. In any other window than the main one (the browser
// window's page and its form fields, a dialog) no command shortcut acts: the key goes to the
// widget that has the focus. UI thread only.
#include <QObject>

namespace qmk::extends {

class ShortcutGuard : public QObject {
    Q_OBJECT

public:
    // Filters every event of the running application while installed.
    static void install();
    static void uninstall();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qmk::extends
