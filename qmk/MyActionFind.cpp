#include "qmk/Base.h"
#include "qmk/MainWindow.h"
#include "qmk/MyAction.h"
#include "qmk/MyActionPrompt.h"
#include "qmk/dialog/FindDialog.h"
#include "qmk/extends/TableViewer.h"

#include <QTabWidget>

#include <vector>

namespace qmk::MyAction {

namespace {

bool matches(const std::string& text, const std::optional<std::string>& id)
{
    if (!id || id->empty())
        return false;
    return text.find(*id) != std::string::npos || id->find(text) != std::string::npos;
}

extends::TableViewer* viewerOf(QTabWidget* folder, int index)
{
    ViewerRecords* records = extends::TableViewer::viewerRecordsOf(folder->widget(index));
    return records ? dynamic_cast<extends::TableViewer*>(records->getTableViewer()) : nullptr;
}

} // namespace

void FindTableItemAction::run()
{
    showPrompt(this, &FindTableItemAction::findInTables, "Find id in Tables",
               "id contains text or text contains id");
}

void FindTableItemAction::findInTables(const std::string& text)
{
    showStatus("");
    if (characters(text) < 3) {
        showStatus("search text length must greater than 2");
        return;
    }
    QTabWidget* folder = mainTabFolder();
    if (!folder)
        return;
    const int selected = folder->currentIndex();
    std::vector<int> order;
    if (selected >= 0)
        order.push_back(selected);
    for (int index = 0; index < folder->count(); ++index)
        if (index != selected)
            order.push_back(index);
    for (int index : order) {
        extends::TableViewer* viewer = viewerOf(folder, index);
        if (!viewer)
            continue;
        for (int row = 0; row < viewer->rowCount(); ++row) {
            base::RecordPtr record = viewer->recordAt(row);
            if (!record || !matches(text, record->get("id")))
                continue;
            if (index != folder->currentIndex())
                folder->setCurrentIndex(index);
            showStatus("found " + text + " in " + tabText(folder, index));
            // the tab switch may have changed the table: find the row again by its record
            if (extends::TableViewer* shown = viewerOf(folder, index)) {
                int at = shown->rowOf(record.get());
                if (at >= 0)
                    shown->setSelection({at});
            }
            if (MainWindow* window = MainWindow::getInstance())
                window->focusShownTable();
            dialog::FindDialog::getInstance().hide();
            return;
        }
    }
    showStatus(" not found " + text + " in tables");
}

} // namespace qmk::MyAction
