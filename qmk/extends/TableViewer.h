#pragma once
// The viewer of a table view: a QTableView over a RecordTableModel with the cell editors, the
// three-state header sorting, multi-row selection, the mouse cell and the hide notice.
//
// The QTableView is the tab's page; the TableViewer is a child of it and dies with it. The
// listener (the table view) is told when that happens, and detaches itself when it goes first.
#include "qmk/ViewerRecords.h"
#include "qmk/base/BaseRecord.h"
#include "qmk/extends/MyCellModifier.h"

#include <QObject>
#include <QMenu>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;
class QModelIndex;
class QPoint;
class QTableView;

namespace qmk::extends {

class RecordTableModel;
class CellEditorDelegate;

// What a table view hears from its viewer.
class ViewerListener {
public:
    virtual ~ViewerListener() = default;
    // A mouse button was pressed or released over the table (mouseCell is already updated).
    virtual void onMouse() = 0;
    // The table was hidden (its tab left).
    virtual void rememberSelection() = 0;
    // The rows selected in the table changed (by mouse, keyboard or program, or the list was read
    // again).
    virtual void onSelectionChanged() = 0;
    // The values of one record shown in the table changed.
    virtual void onRecordChanged(const base::RecordPtr&) {}
    // The viewer and its table are being destroyed.
    virtual void viewerDestroyed() = 0;
};

class TableViewer : public QObject, public RecordsViewer {
    Q_OBJECT

public:
    // Builds the table as a child of parent, showing list with the given columns. list, modifier
    // and listener are not owned; call detach before any of them goes away.
    TableViewer(ViewerRecords* list, std::shared_ptr<const base::ColumnSet> columns,
                MyCellModifier* modifier, ViewerListener* listener, QWidget* parent);
    ~TableViewer() override;

    QTableView* getTable() const { return table_; }
    RecordTableModel* getModel() const { return model_; }
    ViewerRecords* getRecords() const { return list_; }

    // Reads the whole list again (a model reset: no row stays selected). An open cell editor
    // holding a change is committed first. Asked while an edit is being stored, it reads the
    // list once the event loop runs.
    void refresh() override;
    // One record changed, was listed or unlisted: only its row is redrawn, moved, inserted or
    // removed; the selection and an open editor stay with their rows. An editor open in the row
    // of a record that changes or goes is stored first (unless it is the edit being stored).
    void recordChanged(const base::RecordPtr& record) override;
    void recordInserted(const base::RecordPtr& record) override;
    void recordRemoved(const base::RecordPtr& record) override;
    // Records of the selected rows, in display order.
    std::vector<base::RecordPtr> selectedRecords() const;
    // Selects exactly the given rows (replacing the selection) and scrolls the first into view.
    // Asked while an edit is being stored, it selects the records of those rows once the event
    // loop runs.
    void setSelection(const std::vector<int>& rows);
    // The row of that record object, or -1.
    int rowOf(const base::BaseRecord* record) const;
    base::RecordPtr recordAt(int row) const;
    int rowCount() const;
    // The cell at a point of the table's viewport, or none.
    std::optional<ViewerCell> cellAt(const QPoint& point) const;
    // Attaches the context menu, shown on a right click after the menu listener ran. A key press
    // in the table that no shortcut of the window took runs the menu's entry with that
    // accelerator, as choosing it would: the listener runs first, with the table's current cell
    // as the cell the entry is about, and a disabled entry does nothing. Not while a cell editor
    // is open. Opened from the keyboard (the Menu key), the menu shows at the current cell, and
    // the listener and the entry chosen take that cell too; the mouse cell is back once the
    // entry has run or the menu closed.
    void setContextMenu(QMenu* menu);
    // True when the key was the accelerator of an entry of the context menu, run as above (a key
    // the window hands over from a widget that does not take keys, such as the tab bar).
    bool runMenuAccelerator(const QKeyEvent* key);
    // Hands a cell editor that is still open, and holds a change, to the modifier and closes it
    // (an edit in progress is not lost when the window closes or the table is read again).
    void commitOpenEditor();
    // Forgets list, modifier and listener (they are going away); the table then shows no rows.
    void detach();

    // True once after an edit that the hiding of its table ended (a tab switch) was refused or not
    // stored: its report is on the status line.
    static bool takeHiddenEditUnstored();
    // True after an edit that the focus leaving it ended (a click elsewhere, another window) was
    // refused or not stored, until the user presses a key or a mouse button in the table's window
    // again. The selection is the one the refusal chose, not the row the user pointed at (the
    // row right-clicked, the row edited): a command chosen meanwhile does not run, as it would
    // not with the edit still open (MainWindow::commitOpenEditors), and the report stays.
    static bool commandsHeld();

    // The record list shown by a tab page (the "_ViewerRecords_" of the tab), or null.
    static ViewerRecords* viewerRecordsOf(const QWidget* page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The table is going: no more events, the listener is told once.
    void tableGoing();
    void onHeaderClicked(int column);
    void showSortIndicator();
    // Stores the editor open in the record's row, if any (commitOpenEditor).
    void storeEditOf(const base::BaseRecord* record);
    // The cell editor open at the current cell, or null.
    QWidget* openEditor() const;
    std::optional<ViewerCell> cellOf(const QModelIndex& index) const;
    // Shows the context menu for a keyboard request (at global point at when there is no
    // current cell).
    void popupAtCurrentCell(const QPoint& at);
    // Puts back the mouse cell a menu opened from the keyboard set aside.
    void restoreMouseCell();

    ViewerRecords* list_;
    ViewerListener* listener_;
    QTableView* table_;
    QWidget* viewport_;
    bool going_ = false;
    bool refreshPending_ = false;
    RecordTableModel* model_;
    CellEditorDelegate* delegate_;
    QPointer<QMenu> menu_;
    // The mouse cell while a menu opened from the keyboard lends the current cell in its place.
    std::optional<std::optional<ViewerCell>> asidePointer_;
};

} // namespace qmk::extends
