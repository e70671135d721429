#pragma once
// What the five table views share: a record list that loads its whole table, builds its tab
// with an editable, sortable viewer and a context menu, and adds and removes records in the
// list and in the database together. The record kind comes in through BaseTable (BaseTable.h).
//
// Operations that touch the list and the database catch every failure; the database reports
// its own outcomes on the status line, and a list never keeps a change the database did not
// store. UI thread only.
#include "qmk/ViewerRecords.h"
#include "qmk/base/BaseRecord.h"
#include "qmk/extends/MyCellModifier.h"
#include "qmk/extends/TableViewer.h"

#include <QMenu>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QTabWidget;
class QTableView;

namespace qmk::tab {

class TableView : public ViewerRecords, public extends::ViewerListener {
public:
    explicit TableView(std::string name);
    ~TableView() override;
    TableView(const TableView&) = delete;
    TableView& operator=(const TableView&) = delete;

    // The record kind's columns, a new record of the kind, and loading the table into the list.
    virtual std::shared_ptr<const base::ColumnSet> columns() const = 0;
    virtual base::RecordPtr newRecord() const = 0;
    // True when the table was read whole.
    virtual bool loadRecords() = 0;

    // Empties the list and fills it with every row of the table named name; true when it was
    // read whole. When it was not, a list with a viewer keeps the rows it showed (one without
    // keeps the rows read).
    bool load();
    // Without a viewer: load and build the tab on the main window's tab folder; with one: load
    // and refresh.
    void openView();
    // Builds the tab (selected at once, quietly), the viewer, the context menu, column widths.
    void createTableViewer(QTabWidget* folder);
    // Attaches the context menu to the table and fills its common entries.
    void createContextMenu(QTableView* table);
    // Appends the table's own context-menu entries; nothing here.
    virtual void addTableMenuItems() {}
    void addMenuItems() override;

    bool selectRecord(const base::RecordPtr& record) override;
    void addNewRecord() override;
    void removeSelected() override;
    // Lists the record and adds it to the database with its cascades; selects it when asked.
    // When the database did not store it (refused or failed: the status line says which) it is
    // not listed either, and the result is false.
    bool addAndStore(const base::RecordPtr& record, bool select);
    // Lists every record and, when store, inserts it plainly; false for none or on a failure,
    // which ends the loop with the failed record unlisted (the ones before it stay stored).
    bool addAllAndStoreHere(const std::vector<base::RecordPtr>& records, bool store);
    // Unlists the record and deletes its row with its cascades; when the delete failed the row
    // is listed again where it was, and the result is false.
    bool removeAndDeleteHere(const base::RecordPtr& record);
    void removeById(const std::string& id);

    // The viewer's notices. A mouse press or release, and a new selection in the shown table
    // (the list read again among them), show the selected record's notes (showNotes).
    void onMouse() override;
    void onSelectionChanged() override;
    // A change of the row whose notes are shown shows its new id and notes (NotesEditor::rowChanged).
    void onRecordChanged(const base::RecordPtr& record) override;
    void rememberSelection() override;
    void viewerDestroyed() override;
    // The tab went away: the context menu is emptied.
    void onDispose();

    extends::TableViewer* viewer() const { return viewer_; }
    QMenu* menuManager() const { return menu_; }
    extends::MyCellModifier& cellModifier() { return modifier_; }
    // True for a product's listing table (its name is registered as a product).
    bool isProductListing() const;

protected:
    // The notes heading and box show the selected record of the shown table
    // (MainWindow::showNotes).
    static void showNotes();
    void fillCommonMenu();
    void setColumnWidths();

    extends::MyCellModifier modifier_;
    extends::TableViewer* viewer_ = nullptr;
    QPointer<QMenu> menu_;
};

} // namespace qmk::tab
