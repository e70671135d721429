#include "qmk/extends/TextNotesKeyAdapter.h"

#include "qmk/MainWindow.h"
#include "qmk/extends/NotesEditor.h"

#include <QKeyEvent>

namespace qmk::extends {

bool TextNotesKeyAdapter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // The box takes the key first (its line break), then the text it shows is stored.
            watched->event(event);
            keyPressed(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TextNotesKeyAdapter::keyPressed(int key, bool)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        storeNotes();
}

bool TextNotesKeyAdapter::storeNotes()
{
    MainWindow* window = MainWindow::getInstance();
    NotesEditor* editor = window ? window->notesEditor() : nullptr;
    return editor && editor->store();
}

} // namespace qmk::extends
