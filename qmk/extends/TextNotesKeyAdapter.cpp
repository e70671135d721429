#include "qmk/extends/TextNotesKeyAdapter.h"

#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
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
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;
    MainWindow* window = MainWindow::getInstance();
    ViewerRecords* table = currentViewerRecords();
    if (!window || !table)
        return;
    const std::string heading = window->notesLabel()->text().toStdString();
    const std::size_t mark = heading.find(" : ");
    if (mark == std::string::npos)
        return;
    std::string id = heading.substr(mark + 3);
    id = id.substr(0, id.find(" : "));
    if (id.empty())
        return;
    base::RecordPtr record = table->getById(id);
    if (!record)
        return;
    const std::string notes =
        dwin::text::Unicode::trim(record->get("notes").value_or(std::string()));
    const std::string text =
        dwin::text::Unicode::trim(window->notesText()->toPlainText().toStdString());
    if (notes == text) {
        showStatus(id + " notes not changed");
        return;
    }
    const std::optional<std::string> stored = record->get("notes");
    record->set("notes", text);
    table->recordChanged(record);
    if (!DB::getInstance().updateFieldCascade(table->name, id, "notes", text)) {
        // Not stored: the record goes back to what the file holds while the box keeps the typed
        // text, so Enter again stores it.
        record->set("notes", stored.value_or(std::string()));
        table->recordChanged(record);
    }
}

} // namespace qmk::extends
