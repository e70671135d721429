#include "qmk/extends/ShortcutGuard.h"

#include "qmk/extends/Commands.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

namespace qmk::extends {

namespace {

QPointer<ShortcutGuard>& installed() {
  static QPointer<ShortcutGuard> guard;
  return guard;
}

bool editsText(QObject* object) {
  return qobject_cast<QLineEdit*>(object) || qobject_cast<QPlainTextEdit*>(object) ||
         qobject_cast<QTextEdit*>(object) || qobject_cast<QComboBox*>(object) ||
         qobject_cast<QAbstractSpinBox*>(object);
}

bool isCommandShortcut(const QKeySequence& keys) {
#define QMK_SHORTCUT_OF(Name)                                                                       \
  if (QAction* action = Commands::find(Command::Name); action && action->shortcut() == keys) return true;
  QMK_COMMANDS(QMK_SHORTCUT_OF)
#undef QMK_SHORTCUT_OF
  return false;
}

}  // namespace

void ShortcutGuard::install() {
  if (installed() || !qApp) return;
  installed() = new ShortcutGuard;
  installed()->setParent(qApp);
  qApp->installEventFilter(installed());
}

void ShortcutGuard::uninstall() { delete installed().data(); }

bool ShortcutGuard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride || !editsText(watched)) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!(key->modifiers() & Qt::ControlModifier)) return false;
  // Accepting the override hands the key to the widget as an ordinary key press.
  if (isCommandShortcut(QKeySequence(key->keyCombination()))) key->accept();
  return false;
}

}  // namespace qmk::extends
