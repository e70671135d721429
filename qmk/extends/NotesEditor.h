#pragma once
// The notes box under the tables, an editor of one row's notes. It shows the notes of the
// highlighted row of the shown table. Text typed into it belongs to the row it was typed for:
// the record itself, or, once its list was read again, the record stored under the same id in
// that list. The text is stored to that row by Enter and whenever the user leaves the row
// (another row or tab chosen, the focus moved into a table, a command, the close), each time by
// the one store below; a store that fails keeps the text typed, for its row, and the heading
// names that row until it is stored. The menu bar or another window taking the focus leaves
// nothing. UI thread only; box, heading and tables are not owned and must outlive the editor.
#include "qmk/base/BaseRecord.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QPlainTextEdit;
class QWidget;

namespace qmk {

class ViewerRecords;

namespace extends {

class ElidedLabel;

class NotesEditor : public QObject {
    Q_OBJECT

public:
    // Leaving the box for a widget inside tables (the tab folder) leaves the row.
    NotesEditor(QPlainTextEdit* box, ElidedLabel* heading, QWidget* tables);

    // Shows text that belongs to no row (the hint before any row is chosen).
    void showUnowned(const QString& text);
    // The highlighted row of the shown table is chosen (a click, keys, a tab shown, a list read
    // again): text typed for another row is stored to it first, and stays when that fails;
    // text typed for this row stays; otherwise the box shows the chosen row's notes.
    void follow();
    // A record changed: when it is the box's row, the heading shows its id and a box not typed
    // into its notes; typed text gives way only to notes a confirmed edit stored meanwhile.
    void rowChanged(const base::RecordPtr& record);
    // Stores text typed for a row; true when there was none or it was taken. A store the file
    // refused is tried again at the user's next gesture, not within the same one.
    bool leave();
    // Enter: stores the box's text as it is, without the white space around it, to the box's
    // row (a row never stored keeps it until its id is set); false when it was not taken (no
    // row, the row gone, a failed write), which the status line says.
    bool store();
    // At the close: as leave, and text typed for no row is reported; false once for text not
    // stored, so the close waits for the report to be read, true the next time.
    bool storeAtClose();
    // True when the box holds text typed since it was filled or stored.
    bool typed() const;

protected:
    // Counts the user's gestures (a key or a mouse button pressed).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        std::string table;
        base::RecordPtr record;
        std::optional<base::StoredKey> key; // as it was stored when the box took the row
        std::string id;
    };

    // The row's record as its list holds it now, with that list; null when no list holds it.
    base::RecordPtr rowRecord(ViewerRecords** list) const;
    // Sets and stores the record's notes; the record goes back when the file refused them.
    bool write(ViewerRecords& list, const base::RecordPtr& record, const std::string& text);
    // The box now holds the row's notes as stored.
    void taken(const std::string& notes);
    // The box shows the record's notes (unless only white space around them differs), taken.
    void showNotesOf(const base::BaseRecord& record);
    void show(ViewerRecords* list, const base::RecordPtr& record);
    void showHeading();

    QPlainTextEdit* box_;
    ElidedLabel* heading_;
    QWidget* tables_;
    std::optional<Row> row_;
    // Typed text a confirmed edit of the row's notes replaced, while that edit ends.
    struct Superseded {
        QString text;
        std::string over; // the notes it was typed over
    };
    std::optional<Superseded> superseded_;
    std::string notes_; // the notes the box was filled with or stored
    bool storing_ = false;
    bool closeWaited_ = false;
    std::uint64_t gestures_ = 0;
    std::uint64_t lastStamp_ = 0;
    std::optional<std::uint64_t> failedIn_; // the gesture whose leave the file refused
};

} // namespace extends
} // namespace qmk
