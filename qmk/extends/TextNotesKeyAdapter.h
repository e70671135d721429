#pragma once
// Saves the notes box into the "notes" of the row it shows, the highlighted row of the shown
// table, when Enter or the keypad's Enter is pressed. The key still reaches the box. Install it
// as an event filter of the notes box. With no row highlighted nothing is stored and the status
// line says so. The box's text is taken as typed (no character replaced). Notes the database did
// not store are taken back from the record but stay in the box, so Enter again stores them.
#include <QObject>

namespace qmk::extends {

class TextNotesKeyAdapter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Acts on Enter (13) and the keypad's Enter; every other key is ignored.
    void keyPressed(int key, bool keypad);
    // Stores the box's text as the notes of the highlighted row of the shown table, as Enter
    // does; false when it was not stored (no row, a row never stored, a failed write), which the
    // status line says.
    static bool storeNotes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qmk::extends
