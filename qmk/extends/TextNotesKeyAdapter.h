#pragma once
// Saves the notes box into the "notes" of the record its heading names ("Notes : <id>") when
// Enter or the keypad's Enter is pressed. The key still reaches the box. Install it as an event
// filter of the notes box; it looks the record up in the current tab's table. Notes the
// database did not store are taken back from the record but stay in the box, so Enter again
// stores them.
#include <QObject>

namespace qmk::extends {

class TextNotesKeyAdapter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Acts on Enter (13) and the keypad's Enter; every other key is ignored.
    void keyPressed(int key, bool keypad);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qmk::extends
