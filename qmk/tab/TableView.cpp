#include "qmk/tab/TableView.h"

#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/Report.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/NotesEditor.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/tab/Listed_Urls.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <utility>

namespace qmk::tab {

TableView::TableView(std::string name) : ViewerRecords(std::move(name)), modifier_(this)
{
}

TableView::~TableView()
{
    if (viewer_)
        viewer_->detach();
    setTableViewer(nullptr);
}

bool TableView::load()
{
    // A list on show that cannot be read again keeps what it shows (what the file held).
    std::vector<base::RecordPtr> shown = std::exchange(records, {});
    clear();
    if (loadRecords())
        return true;
    if (viewer_)
        getRecords() = std::move(shown);
    return false;
}

void TableView::openView()
{
    try {
        if (!viewer_) {
            load();
            createTableViewer(mainTabFolder());
        } else {
            viewer_->commitOpenEditor(); // the edit in progress goes to the file before it is read
            if (load()) // not read: the rows shown stay, and the selection on them
                refresh();
        }
    } catch (...) {
        report::caught(name + " openTab");
    }
}

void TableView::createTableViewer(QTabWidget* folder)
{
    if (!folder || viewer_)
        return;
    viewer_ = new extends::TableViewer(this, columns(), &modifier_, this, folder);
    QTableView* table = viewer_->getTable();
    {
        // The page about to be hidden would hand the focus on by moving its current cell, closing
        // an editor that is still storing its value; the folder takes the focus instead.
        QWidget* focus = QApplication::focusWidget();
        if (focus && folder->currentWidget() && folder->currentWidget()->isAncestorOf(focus))
            folder->setFocus();
        const QSignalBlocker quiet(folder);
        int index = folder->addTab(table, QString());
        setTabText(folder, index, name);
        folder->setCurrentIndex(index);
    }
    if (MainWindow* window = MainWindow::getInstance(); window && window->getTabFolder() == folder)
        window->focusShownTable();
    setTableViewer(viewer_);
    createContextMenu(table);
    addMenuItems();
    setColumnWidths();
    refresh();
}

void TableView::setColumnWidths()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    int available = (screen ? screen->availableVirtualGeometry().width() : 1024) - 15;
    const std::vector<std::string>& names = columns()->names;
    QHeaderView* header = viewer_->getTable()->horizontalHeader();
    for (std::size_t i = 0; i < names.size(); ++i) {
        int width = columnWidth(names[i]);
        available -= width;
        if (names[i] == "notes")
            width = available > 100 ? available : 160;
        header->resizeSection(int(i), width);
    }
}

void TableView::createContextMenu(QTableView* table)
{
    if (!menu_) {
        menu_ = new QMenu(table);
        menu_->setSeparatorsCollapsible(true);
    }
    viewer_->setContextMenu(menu_);
    fillCommonMenu();
}

void TableView::fillCommonMenu()
{
    using extends::Command;
    using extends::Commands::addTo;
    const bool listing = isProductListing();
    addTo(menu_, Command::AddAction);
    addTo(menu_, Command::FindTableItemAction);
    if (!listing)
        addTo(menu_, Command::RemoveAction);
    menu_->addSeparator();
    addTo(menu_, Command::OpenHomePageAction);
    if (name != "Softwares")
        addTo(menu_, Command::OpenSubPageAction);
    menu_->addSeparator();
    addTo(menu_, Command::OpenURLAction);
    addTo(menu_, Command::OpenWithDefaultBrowserAction);
    menu_->addSeparator();
    addTo(menu_, Command::PageRankAction);
    if (listing)
        menu_->addSeparator();
}

void TableView::addMenuItems()
{
    addTableMenuItems();
}

bool TableView::isProductListing() const
{
    return Listed_Urls::listedUrlsFor(name) != nullptr;
}

bool TableView::selectRecord(const base::RecordPtr& record)
{
    if (!viewer_ || !record)
        return false;
    int row = viewer_->rowOf(record.get());
    if (row < 0)
        return false;
    viewer_->setSelection({row});
    return true;
}

void TableView::addNewRecord()
{
    try {
        base::RecordPtr record = newRecord();
        add(record);
        recordInserted(record);
        selectRecord(record);
    } catch (...) {
        report::failed(MainWindow::getInstance(), "new row in " + name);
    }
}

bool TableView::addAndStore(const base::RecordPtr& record, bool select)
{
    try {
        add(record);
        const bool stored = DB::getInstance().add(*record, name);
        if (stored) {
            record->setStored();
            recordInserted(record);
        } else
            remove(record); // the list shows what the file holds
        if (stored && select)
            selectRecord(record);
        return stored;
    } catch (const std::exception& e) {
        report::trace(name + " addAndStore catch " + e.what());
        return false;
    }
}

bool TableView::addAllAndStoreHere(const std::vector<base::RecordPtr>& records, bool store)
{
    if (records.empty())
        return false;
    try {
        for (const base::RecordPtr& record : records) {
            add(record);
            if (store && DB::getInstance().insert(*record, name) == DB::notStored) {
                // The records before it are stored; this one and the later ones are not listed.
                remove(record);
                return false;
            }
            if (store)
                record->setStored();
            recordInserted(record);
        }
        return true;
    } catch (const std::exception& e) {
        report::trace(name + " addAllAndStore catch " + e.what());
        return false;
    }
}

bool TableView::removeAndDeleteHere(const base::RecordPtr& record)
{
    try {
        if (!record)
            return false;
        std::vector<base::RecordPtr>& list = getRecords();
        const auto at = std::find(list.begin(), list.end(), record);
        const bool listed = at != list.end(); // asked before the removal, which moves the end
        const std::size_t position = std::size_t(at - list.begin());
        remove(record);
        if (DB::getInstance().deleteRecord(*record, name) == DB::notStored) {
            // Still in the file: the row stays where it was.
            if (listed) {
                list.insert(list.begin() + std::ptrdiff_t(std::min(position, list.size())), record);
                recordInserted(record);
            }
            return false;
        }
        record->setUnstored();
        recordRemoved(record);
        return true;
    } catch (const std::exception& e) {
        report::trace(name + " removeAndDelete catch " + e.what());
        return false;
    }
}

void TableView::removeById(const std::string& id)
{
    if (id.empty())
        return;
    try {
        if (base::RecordPtr record = getById(id))
            removeAndDeleteHere(record);
    } catch (...) {
        report::caught(name + " removeById");
    }
}

void TableView::removeSelected()
{
    try {
        if (base::RecordPtr record = selectedRecord())
            removeAndDeleteHere(record);
    } catch (...) {
        report::failed(MainWindow::getInstance(), "removal from " + name);
    }
}

void TableView::onMouse()
{
    showNotes();
}

void TableView::onSelectionChanged()
{
    // Only the shown table's highlighted row is the one the notes are about.
    if (currentViewerRecords() == this)
        showNotes();
}

void TableView::onRecordChanged(const base::RecordPtr& record)
{
    if (MainWindow* window = MainWindow::getInstance(); window && window->notesEditor())
        window->notesEditor()->rowChanged(record);
}

void TableView::showNotes()
{
    if (MainWindow* window = MainWindow::getInstance())
        window->showNotes();
}

void TableView::rememberSelection()
{
    if (viewer_)
        lastSelection() = viewer_->selectedRecords();
}

void TableView::viewerDestroyed()
{
    onDispose();
    viewer_ = nullptr;
    setTableViewer(nullptr);
}

void TableView::onDispose()
{
    if (menu_)
        menu_->clear();
}

} // namespace qmk::tab
