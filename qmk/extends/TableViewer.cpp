#include "qmk/extends/TableViewer.h"

#include "qmk/extends/CellEditorDelegate.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/RecordTableModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTableView>

#include <algorithm>
#include <functional>
#include <utility>

namespace qmk::extends {

namespace {

constexpr const char* viewerRecordsKey = "_ViewerRecords_";

// An edit ended by its table being hidden (a tab switch) was not stored.
bool hiddenEditUnstored = false;

// An edit that the focus leaving it ended (a click elsewhere, another window) and that was not
// stored holds the commands until the user acts in its window again: a key or a mouse button
// pressed there, not in a menu or another window. Until then the selection is the one the
// refusal chose, not the row the user pointed at.
class CommandHold : public QObject {
public:
    static CommandHold& instance()
    {
        static QPointer<CommandHold> hold;
        if (!hold)
            hold = new CommandHold(qApp);
        return *hold;
    }
    bool held() const { return window_ != nullptr; }
    void hold(QWidget* window)
    {
        window_ = window;
        // from the next event on: the press that ended the edit does not count
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (held())
                    qApp->installEventFilter(this);
            },
            Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == window_ &&
            (type == QEvent::MouseButtonPress || type == QEvent::KeyPress ||
             type == QEvent::ShortcutOverride)) {
            window_ = nullptr;
            qApp->removeEventFilter(this);
        }
        return false;
    }

private:
    using QObject::QObject;
    QPointer<QWidget> window_;
};

// The table widget tells its viewer first thing when it goes, before any part of it is gone.
class ViewerTable : public QTableView {
public:
    using QTableView::QTableView;
    ~ViewerTable() override
    {
        if (beforeDestroy)
            beforeDestroy();
    }
    std::function<void()> beforeDestroy;
    std::function<bool()> storing; // an edit is being handed to the model

protected:
    // Tab and Shift+Tab go on to the next cell's editor only after an edit that was taken (stored,
    // or kept by a row not stored yet), in a table still shown, and not round from the last cell
    // to the first (or back); otherwise the shown table takes the keyboard focus and nothing more
    // is edited (a refused edit keeps its report, a renamed product's listing in front gets the
    // keys).
    void commitData(QWidget* editor) override
    {
        const bool hidden = !isVisible();
        const StoredSince before;
        QTableView::commitData(editor);
        lastTaken_ = before.noneRefused();
        if (hidden && !before.allStored())
            hiddenEditUnstored = true;
        QWidget* focus = QApplication::focusWidget();
        if (!lastTaken_ && !(focus && (focus == editor || editor->isAncestorOf(focus))))
            CommandHold::instance().hold(window());
    }
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        const bool taken = std::exchange(lastTaken_, true);
        const bool next = hint == QAbstractItemDelegate::EditNextItem;
        const bool onward = next || hint == QAbstractItemDelegate::EditPreviousItem;
        if (!onward || (taken && isVisible() && !wrapsRound(next))) {
            QTableView::closeEditor(editor, hint);
            return;
        }
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        auto* pages = qobject_cast<QStackedWidget*>(parentWidget());
        if (QWidget* shown = pages ? pages->currentWidget() : nullptr)
            shown->setFocus(Qt::TabFocusReason);
    }
    // Storing an edit may bring another tab to the front, which hides this table and moves the
    // focus on. The view would move its current cell too, and so close the editor being stored
    // in the middle of storing it: only the focus moves then.
    bool focusNextPrevChild(bool next) override
    {
        if (storing && storing())
            return QWidget::focusNextPrevChild(next);
        return QTableView::focusNextPrevChild(next);
    }

    // A click on the selected cell opens its editor once the double-click time has passed: not
    // when the focus has gone elsewhere meanwhile (the notes box clicked into), whose keys the
    // editor would take.
    void timerEvent(QTimerEvent* event) override
    {
        const bool was = std::exchange(timed_, true);
        QTableView::timerEvent(event);
        timed_ = was;
    }
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override
    {
        if (timed_ && !hasFocus())
            return false;
        return QTableView::edit(index, trigger, event);
    }

private:
    // True when the cell after (or before) the current one is back at the other end of the table.
    bool wrapsRound(bool next)
    {
        const auto place = [this](const QModelIndex& index) {
            return std::pair(index.row(), horizontalHeader()->visualIndex(index.column()));
        };
        const QModelIndex from = currentIndex();
        const QModelIndex to = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
        if (!from.isValid() || !to.isValid())
            return false;
        return next ? place(to) <= place(from) : place(to) >= place(from);
    }

    bool lastTaken_ = true;
    bool timed_ = false; // in a timer of the view (the delayed edit of a click)
};

} // namespace

TableViewer::TableViewer(ViewerRecords* list, std::shared_ptr<const base::ColumnSet> columns,
                         MyCellModifier* modifier, ViewerListener* listener, QWidget* parent)
    : list_(list), listener_(listener)
{
    auto* table = new ViewerTable(parent);
    table->beforeDestroy = [this] { tableGoing(); };
    table_ = table;
    viewport_ = table_->viewport();
    setParent(table_);
    table_->setProperty(viewerRecordsKey, QVariant::fromValue(static_cast<QObject*>(this)));
    model_ = new RecordTableModel(list, std::move(columns), modifier, this);
    table->storing = [model = model_] { return model->isEditing(); };
    delegate_ = new CellEditorDelegate(model_, this);
    table_->setModel(model_);
    table_->setItemDelegate(delegate_);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (listener_ && !going_)
            listener_->onSelectionChanged();
    });
    // A row that moves because its sort key changed stays in sight when it is the current one.
    connect(model_, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int from, int, const QModelIndex&, int to) {
                const QModelIndex current = table_->currentIndex();
                if (current.isValid() && current.row() == (to > from ? to - 1 : to))
                    table_->scrollTo(current);
            });
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed);
    table_->setSortingEnabled(false);
    table_->setShowGrid(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    QHeaderView* header = table_->horizontalHeader();
    header->setVisible(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionClicked, this, &TableViewer::onHeaderClicked);
    table_->viewport()->installEventFilter(this);
    table_->installEventFilter(this);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        // The press may have stored an edit that brought another tab forward (a renamed
        // product's listing): this table's entries are not for that one.
        if (menu_ && !menu_->isEmpty() && table_->isVisible())
            menu_->popup(viewport_->mapToGlobal(point));
    });
}

TableViewer::~TableViewer()
{
    tableGoing();
}

void TableViewer::tableGoing()
{
    if (going_)
        return;
    going_ = true;
    table_->removeEventFilter(this);
    viewport_->removeEventFilter(this);
    ViewerListener* listener = listener_;
    listener_ = nullptr;
    if (listener)
        listener->viewerDestroyed();
}

void TableViewer::detach()
{
    list_ = nullptr;
    listener_ = nullptr;
    model_->detach();
}

QWidget* TableViewer::openEditor() const
{
    // the table has no persistent editors: a widget at the current cell is its editor
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? table_->indexWidget(current) : nullptr;
}

void TableViewer::commitOpenEditor()
{
    // While an edit is being stored, the open editor is the one handing its value over.
    QWidget* editor = model_->isEditing() ? nullptr : openEditor();
    if (!editor || !delegate_->isChanged(editor))
        return;
    emit delegate_->commitData(editor);
    emit delegate_->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool TableViewer::takeHiddenEditUnstored()
{
    return std::exchange(hiddenEditUnstored, false);
}

bool TableViewer::commandsHeld()
{
    return CommandHold::instance().held();
}

ViewerRecords* TableViewer::viewerRecordsOf(const QWidget* page)
{
    if (!page)
        return nullptr;
    auto* viewer = qobject_cast<TableViewer*>(page->property(viewerRecordsKey).value<QObject*>());
    return viewer ? viewer->list_ : nullptr;
}

void TableViewer::refresh()
{
    if (model_->isEditing()) {
        // Resetting the model under an open editor would take the editor away mid-commit.
        if (!refreshPending_) {
            refreshPending_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    refreshPending_ = false;
                    refresh();
                },
                Qt::QueuedConnection);
        }
        return;
    }
    // A model reset drops a cell editor: a change typed into it is handed over first.
    commitOpenEditor();
    model_->refresh();
    showSortIndicator();
    // The reset took the selection without a word.
    if (listener_ && !going_)
        listener_->onSelectionChanged();
}

void TableViewer::storeEditOf(const base::BaseRecord* record)
{
    // The view would refill or drop the editor of a row that changes under it.
    QWidget* editor = model_->isEditing() ? nullptr : openEditor();
    if (editor && record && model_->recordAt(table_->currentIndex().row()).get() == record)
        commitOpenEditor();
}

void TableViewer::recordChanged(const base::RecordPtr& record)
{
    storeEditOf(record.get());
    model_->recordChanged(record);
    if (listener_ && !going_)
        listener_->onRecordChanged(record);
}

void TableViewer::recordInserted(const base::RecordPtr& record)
{
    model_->recordInserted(record);
}

void TableViewer::recordRemoved(const base::RecordPtr& record)
{
    storeEditOf(record.get());
    model_->recordRemoved(record);
}

std::vector<base::RecordPtr> TableViewer::selectedRecords() const
{
    std::vector<base::RecordPtr> records;
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& index : rows)
        if (base::RecordPtr record = model_->recordAt(index.row()))
            records.push_back(record);
    return records;
}

void TableViewer::setSelection(const std::vector<int>& rows)
{
    if (model_->isEditing()) {
        // Moving the current cell now would close the editor whose value is being handed over, and
        // the editor's own close would then find it gone: select once the edit is done.
        std::vector<base::RecordPtr> records;
        for (int row : rows)
            if (base::RecordPtr record = model_->recordAt(row))
                records.push_back(record);
        QMetaObject::invokeMethod(
            this,
            [this, records] {
                std::vector<int> now;
                for (const base::RecordPtr& record : records)
                    if (int row = model_->rowOf(record.get()); row >= 0)
                        now.push_back(row);
                setSelection(now);
            },
            Qt::QueuedConnection);
        return;
    }
    QItemSelection selection;
    int first = -1;
    for (int row : rows) {
        if (row < 0 || row >= model_->rowCount())
            continue;
        if (first < 0)
            first = row;
        selection.select(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
    }
    QItemSelectionModel* model = table_->selectionModel();
    if (first >= 0)
        model->setCurrentIndex(model_->index(first, 0), QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (first >= 0)
        table_->scrollTo(model_->index(first, 0));
}

int TableViewer::rowOf(const base::BaseRecord* record) const
{
    return model_->rowOf(record);
}

base::RecordPtr TableViewer::recordAt(int row) const
{
    return model_->recordAt(row);
}

int TableViewer::rowCount() const
{
    return model_->rowCount();
}

std::optional<ViewerCell> TableViewer::cellAt(const QPoint& point) const
{
    return cellOf(table_->indexAt(point));
}

std::optional<ViewerCell> TableViewer::cellOf(const QModelIndex& index) const
{
    if (!index.isValid())
        return std::nullopt;
    ViewerCell cell;
    cell.tableName = list_ ? list_->name : std::string();
    cell.record = model_->recordAt(index.row());
    cell.column = index.column();
    cell.columnName = model_->columnNames()[std::size_t(index.column())];
    return cell;
}

void TableViewer::setContextMenu(QMenu* menu)
{
    if (menu_ == menu)
        return;
    menu_ = menu;
    connect(menu, &QMenu::aboutToShow, this, [] { Commands::menuAboutToShow(); });
    // The entry chosen runs after the menu hides: the cell it acts on stays until then.
    connect(menu, &QMenu::aboutToHide, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { restoreMouseCell(); }, Qt::QueuedConnection);
    });
}

void TableViewer::popupAtCurrentCell(const QPoint& at)
{
    if (!menu_ || menu_->isEmpty())
        return;
    const QModelIndex current = table_->currentIndex();
    QPoint place = at;
    if (current.isValid()) {
        table_->scrollTo(current);
        place = viewport_->mapToGlobal(table_->visualRect(current).center());
    }
    // Keys have no pointer: the cell the entries are about is the current one.
    if (asidePointer_)
        mouseCell() = cellOf(current);
    else
        asidePointer_ = std::exchange(mouseCell(), cellOf(current));
    menu_->popup(place);
}

void TableViewer::restoreMouseCell()
{
    if (!asidePointer_)
        return;
    mouseCell() = std::move(*asidePointer_);
    asidePointer_.reset();
}

bool TableViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (going_)
        return false;
    if (watched == viewport_ &&
        (event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonRelease)) {
        mouseCell() = cellAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        asidePointer_.reset(); // a click is newer than the cell set aside
        if (listener_)
            listener_->onMouse();
    } else if (event->type() == QEvent::ContextMenu &&
               static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        popupAtCurrentCell(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    } else if (watched == table_ && event->type() == QEvent::Hide) {
        if (listener_)
            listener_->rememberSelection();
    } else if (watched == table_ && event->type() == QEvent::KeyPress) {
        if (runMenuAccelerator(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TableViewer::runMenuAccelerator(const QKeyEvent* key)
{
    // A key an open cell editor passed on is the editor's.
    if (!menu_ || openEditor())
        return false;
    const QKeySequence keys(key->keyCombination());
    const QList<QAction*> entries = menu_->actions();
    const auto entry = std::find_if(entries.begin(), entries.end(), [&keys](QAction* action) {
        return !action->shortcut().isEmpty() && action->shortcut() == keys;
    });
    if (entry == entries.end())
        return false;
    const QPointer<QAction> action = *entry;
    // Keys have no pointer: the cell they are about is the current one.
    std::optional<ViewerCell> pointer = std::exchange(mouseCell(), cellOf(table_->currentIndex()));
    const auto restore = qScopeGuard([&pointer] { mouseCell() = std::move(pointer); });
    Commands::menuAboutToShow();
    if (action && action->isEnabled())
        action->trigger();
    return true;
}

void TableViewer::onHeaderClicked(int column)
{
    // The edit in progress is stored before the rows take their new order.
    commitOpenEditor();
    model_->onColumnSelected(column);
    showSortIndicator();
}

void TableViewer::showSortIndicator()
{
    QHeaderView* header = table_->horizontalHeader();
    const ColumnSorter& sorter = model_->sorter();
    if (sorter.direction() == ColumnSorter::NONE) {
        header->setSortIndicatorShown(false);
        header->setSortIndicator(-1, Qt::AscendingOrder);
    } else {
        header->setSortIndicatorShown(true);
        header->setSortIndicator(sorter.activeColumn(),
                                 sorter.direction() == ColumnSorter::ASC ? Qt::AscendingOrder
                                                                         : Qt::DescendingOrder);
    }
}

} // namespace qmk::extends
