#include "qmk/extends/TextNotesKeyAdapter.h"

#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/extends/ExactPlainText.h"
#include "dwin/text/Unicode.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>

namespace qmk::extends {

bool TextNotesKeyAdapter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        keyPressed(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
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
    if (!window)
        return false;
    // The box shows the notes of the shown table's highlighted row (MainWindow::showNotes).
    ViewerRecords* table = currentViewerRecords();
    base::RecordPtr record = table ? selectedRecord() : nullptr;
    if (!record) {
        showStatus("notes not stored: no row selected"); // the typed text stays in the box
        return false;
    }
    const std::string id = record->get("id").value_or(std::string());
    const std::string notes =
        dwin::text::Unicode::trim(record->get("notes").value_or(std::string()));
    const std::string text =
        dwin::text::Unicode::trim(exactText(*window->notesText()).toStdString());
    if (notes == text) {
        showStatus(id + " notes not changed");
        return true;
    }
    const std::optional<base::StoredKey> rowId = writableKeyOf(*record);
    const std::optional<std::string> stored = record->get("notes");
    record->set("notes", text);
    table->recordChanged(record);
    if (!rowId) {
        // A row never stored keeps its notes until its id is set, as a cell edit does.
        showStatus("please set the value of id");
        return false;
    }
    if (!DB::getInstance().updateFieldCascade(table->name, *rowId, "notes", text)) {
        // Not stored: the record goes back to what the file holds while the box keeps the typed
        // text, so Enter again stores it.
        record->set("notes", stored.value_or(std::string()));
        table->recordChanged(record);
        return false;
    }
    window->notesStored();
    return true;
}

} // namespace qmk::extends
