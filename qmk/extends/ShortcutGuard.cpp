#include "qmk/extends/ShortcutGuard.h"

#include "qmk/extends/Commands.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace qmk::extends {

namespace {

QPointer<ShortcutGuard>& installed()
{
    static QPointer<ShortcutGuard> guard;
    return guard;
}

// A widget of another window than the main one (the browser window, a dialog): the commands
// belong to the main window's menus and do not act there. Open menus keep their own keys.
bool outsideMainWindow(QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && !qobject_cast<QMenu*>(widget) && !qobject_cast<QMainWindow*>(widget->window());
}

bool isCommandShortcut(const QKeySequence& keys)
{
#define QMK_SHORTCUT_OF(Name)                                                                      \
    if (QAction* action = Commands::find(Command::Name); action && action->shortcut() == keys)     \
        return true;
    QMK_COMMANDS(QMK_SHORTCUT_OF)
#undef QMK_SHORTCUT_OF
    return false;
}

} // namespace

bool ShortcutGuard::editsText(const QObject* object)
{
    return qobject_cast<const QLineEdit*>(object) || qobject_cast<const QPlainTextEdit*>(object) ||
        qobject_cast<const QTextEdit*>(object) || qobject_cast<const QComboBox*>(object) ||
        qobject_cast<const QAbstractSpinBox*>(object);
}

void ShortcutGuard::install()
{
    if (installed() || !qApp)
        return;
    installed() = new ShortcutGuard;
    installed()->setParent(qApp);
    qApp->installEventFilter(installed());
}

void ShortcutGuard::uninstall()
{
    delete installed().data();
}

bool ShortcutGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!outsideMainWindow(watched) && !editsText(watched))
        return false;
    // Accepting the override hands the key to the widget as an ordinary key press.
    if (isCommandShortcut(QKeySequence(key->keyCombination())))
        key->accept();
    return false;
}

} // namespace qmk::extends
