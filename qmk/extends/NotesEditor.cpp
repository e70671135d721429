#include "qmk/extends/NotesEditor.h"

#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/Report.h"
#include "qmk/extends/ElidedText.h"
#include "qmk/extends/ExactPlainText.h"
#include "qmk/extends/TableViewer.h"
#include "dwin/text/Unicode.h"

#include <QApplication>
#include <QInputEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTabWidget>

#include <algorithm>
#include <utility>

namespace qmk::extends {

namespace {

// Notes as they are stored: without the white space around them.
std::string trimmed(const std::string& text)
{
    return dwin::text::Unicode::trim(text);
}

std::string boxText(const QPlainTextEdit& box)
{
    return exactText(box).toStdString();
}

bool holds(const ViewerRecords& list, const base::RecordPtr& record)
{
    const std::vector<base::RecordPtr>& records = list.getRecords();
    return std::find(records.begin(), records.end(), record) != records.end();
}

} // namespace

NotesEditor::NotesEditor(QPlainTextEdit* box, ElidedLabel* heading, QWidget* tables)
    : QObject(box), box_(box), heading_(heading), tables_(tables)
{
    // A click into a table or a cell editor leaves the row, as a click elsewhere confirms a cell.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == box_ && now && tables_ && tables_->isAncestorOf(now))
            leave();
    });
    qApp->installEventFilter(this);
}

bool NotesEditor::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // A press reaches the window, then the widget: one gesture, one time stamp.
    if (event->spontaneous() && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)) {
        const quint64 stamp = static_cast<QInputEvent*>(event)->timestamp();
        if (std::exchange(lastStamp_, stamp) != stamp)
            ++gestures_;
    }
    return QObject::eventFilter(watched, event);
}

void NotesEditor::showUnowned(const QString& text)
{
    row_.reset();
    setExactText(*box_, text);
    taken(text.toStdString());
    showHeading();
}

bool NotesEditor::typed() const
{
    return trimmed(boxText(*box_)) != trimmed(notes_);
}

void NotesEditor::taken(const std::string& notes)
{
    notes_ = notes;
    closeWaited_ = false;
    failedIn_.reset();
}

base::RecordPtr NotesEditor::rowRecord(ViewerRecords** list) const
{
    if (!row_)
        return nullptr;
    const base::RecordPtr& record = row_->record;
    // the id it is stored under now (a rename since it was chosen), else then
    const std::optional<base::StoredKey> stored =
        record->storedKey() ? record->storedKey() : row_->key;
    QTabWidget* folder = mainTabFolder();
    for (int index = 0; folder && index < folder->count(); ++index) {
        ViewerRecords* records = TableViewer::viewerRecordsOf(folder->widget(index));
        if (!records)
            continue;
        if (holds(*records, record)) {
            *list = records;
            return record;
        }
        // The list was read again: the row is the record stored under the same id.
        if (records->name != row_->table || !stored)
            continue;
        for (const base::RecordPtr& other : std::as_const(*records).getRecords()) {
            const std::optional<base::StoredKey> key = other->storedKey();
            if (key && key->sameAs(*stored)) {
                *list = records;
                return other;
            }
        }
    }
    return nullptr;
}

void NotesEditor::follow()
{
    if (storing_)
        return;
    ViewerRecords* list = currentViewerRecords();
    base::RecordPtr chosen = list ? selectedRecord() : nullptr;
    if (typed()) {
        ViewerRecords* rowList = nullptr;
        if (row_ && chosen && chosen == rowRecord(&rowList)) {
            showHeading();
            return;
        }
        if (!row_ && !chosen)
            return; // text typed for no row waits for one
        if (!row_) {
            showStatus("notes not stored: no row selected");
        } else if (!leave() && rowRecord(&rowList)) {
            showHeading(); // not stored: the text stays typed for its row
            return;
        }
        // the store may have read lists again
        list = currentViewerRecords();
        chosen = list ? selectedRecord() : nullptr;
    }
    show(list, chosen);
}

void NotesEditor::show(ViewerRecords* list, const base::RecordPtr& record)
{
    const bool same = row_ && record && row_->record == record;
    row_.reset();
    if (record && list)
        row_ = Row{list->name, record, record->storedKey(), record->get("id").value_or("")};
    const std::string notes = record ? record->get("notes").value_or(std::string()) : std::string();
    const std::string shown = boxText(*box_);
    // A press, a release and the new selection of one click all ask: what is shown stays.
    if (!(same && trimmed(shown) == trimmed(notes)) && shown != notes)
        setExactText(*box_, QString::fromStdString(notes));
    taken(notes);
    showHeading();
}

void NotesEditor::rowChanged(const base::RecordPtr& record)
{
    if (storing_ || !row_ || !record || row_->record != record)
        return;
    row_->key = record->storedKey();
    row_->id = record->get("id").value_or(std::string());
    const std::string notes = record->get("notes").value_or(std::string());
    if (!typed() && superseded_ && notes == superseded_->over) {
        // the file refused the edit that replaced the typed text: the text is typed again
        setExactText(*box_, superseded_->text);
        notes_ = notes;
        superseded_.reset();
    } else if (!typed()) {
        showNotesOf(*record);
    } else if (notes != notes_) {
        // Notes a confirmed edit gives the row are newer than anything typed here; should the
        // file refuse them (the old notes come back while that edit ends), the text comes back.
        superseded_ = Superseded{exactText(*box_), notes_};
        showNotesOf(*record);
        QMetaObject::invokeMethod(
            this, [this] { superseded_.reset(); }, Qt::QueuedConnection);
    }
    showHeading();
}

void NotesEditor::showNotesOf(const base::BaseRecord& record)
{
    const std::string notes = record.get("notes").value_or(std::string());
    if (trimmed(boxText(*box_)) != trimmed(notes))
        setExactText(*box_, QString::fromStdString(notes));
    taken(notes);
}

bool NotesEditor::leave()
{
    if (!row_ || !typed())
        return true;
    // One try a gesture: a click is a focus change, a new selection and a press of the table.
    if (failedIn_ == gestures_)
        return false;
    return store();
}

bool NotesEditor::store()
{
    if (!row_) {
        showStatus("notes not stored: no row selected"); // the typed text stays in the box
        return false;
    }
    ViewerRecords* list = nullptr;
    const base::RecordPtr record = rowRecord(&list);
    if (!record) {
        // Said once: the text stays on show, for no row.
        report::notStored(MainWindow::getInstance(),
                          "notes of row " + row_->id + " in " + row_->table, DB::noSuchRowText);
        row_.reset();
        taken(boxText(*box_));
        showHeading();
        return false;
    }
    const std::string text = trimmed(boxText(*box_));
    const std::string notes = record->get("notes").value_or(std::string());
    if (trimmed(notes) == text) {
        showStatus(record->get("id").value_or(std::string()) + " notes not changed");
        taken(notes);
        return true;
    }
    return write(*list, record, text);
}

bool NotesEditor::write(ViewerRecords& list, const base::RecordPtr& record, const std::string& text)
{
    const QScopedValueRollback guard(storing_, true);
    const std::optional<std::string> before = record->get("notes");
    record->set("notes", text);
    // An edit open in the row is stored first (a new id among them): the key is the row's now.
    list.recordChanged(record);
    const std::optional<base::StoredKey> key = writableKeyOf(*record);
    if (!key) {
        // A row never stored keeps its notes until its id is set, as a cell edit does.
        showStatus(DB::unusableIdText);
        taken(text);
        return true;
    }
    if (!DB::getInstance().updateFieldCascade(list.name, *key, "notes", text)) {
        // The row shows what the file holds; the box keeps the text for Enter or the next leave.
        record->set("notes", before.value_or(std::string()));
        list.recordChanged(record);
        failedIn_ = gestures_;
        return false;
    }
    taken(text);
    return true;
}

bool NotesEditor::storeAtClose()
{
    if (!typed())
        return true;
    if (!row_)
        showStatus("notes not stored: no row selected");
    else if (store())
        return true;
    return std::exchange(closeWaited_, true);
}

void NotesEditor::showHeading()
{
    if (!heading_)
        return;
    const QString heading = row_ ? QString::fromStdString("Notes : " + row_->id) : "Notes:";
    if (heading_->text() != heading)
        heading_->setWholeText(heading);
}

} // namespace qmk::extends
