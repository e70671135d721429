#pragma once
// Saves the notes box into the "notes" of its row when Enter or the keypad's Enter is pressed
// (Shift+Enter too). The key reaches the box first, so what is stored is the box's text as the
// box then shows it (without the white space around it: the line break Enter typed at the end
// is never stored). Install it as an event filter of the notes box; the store is the box's
// editor's (NotesEditor::store), which reports a box with no row and keeps text not stored.
#include <QObject>

namespace qmk::extends {

class TextNotesKeyAdapter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Acts on Enter (13) and the keypad's Enter; every other key is ignored.
    void keyPressed(int key, bool keypad);
    // Stores the box's text as its row's notes, as Enter does; false when it was not taken
    // (no row, the row gone, a failed write), which the status line says.
    static bool storeNotes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qmk::extends
