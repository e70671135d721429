#pragma once
// The table model of a table view: one row per record of the live records array of a record
// list, one column per column name of the record kind, in list order or in the order of the
// active column sort (ties in list order).
//
// The list tells the model what changed: a changed record redraws its row (and moves it when its
// sort key changed), a listed record is inserted at its place, an unlisted one removed. Only a
// list read again resets the model; a new sort order rearranges the rows in place, so the
// selection and an open editor stay with their records. setData hands an edit to the
// MyCellModifier. A cell shows the start of a long value (shownStart); the edit role and the
// editors get it whole.
//
// The rows stay in the order of the sort key each row was placed by. A row whose record changed
// during an edit moves once the event loop runs again, and not while a mouse button is down: a
// press that commits an edit by taking the focus from its editor picks the record that was under
// the pointer, and a second click of a double click finds it there too.
#include "qmk/ViewerRecords.h"
#include "qmk/base/BaseRecord.h"
#include "qmk/extends/ColumnSorter.h"
#include "qmk/extends/MyCellModifier.h"
#include "qmk/extends/StructuredContentProvider.h"
#include "qmk/extends/TableLabelProvider.h"

#include <QAbstractTableModel>

class QTimer;

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qmk::extends {

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // list and modifier are not owned and must outlive the model; columns is the record kind's
    // shared metadata (names, option lists, tips).
    RecordTableModel(BaseRecords* list, std::shared_ptr<const base::ColumnSet> columns,
                     MyCellModifier* modifier, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The whole list was read again: a model reset.
    void refresh();
    // The record's values changed: its row is redrawn, and moved when its place in the sort
    // order changed. A listed record without a row is inserted; an unlisted one is ignored.
    void recordChanged(const base::RecordPtr& record);
    // The record is listed now: its row is inserted at its place (a row it has is redrawn).
    void recordInserted(const base::RecordPtr& record);
    // The record is no longer listed: its row goes.
    void recordRemoved(const base::RecordPtr& record);
    // A header click: ascending, descending, then list order; another column starts ascending.
    // The rows are rearranged in place.
    void onColumnSelected(int column);
    const ColumnSorter& sorter() const { return sorter_; }

    base::RecordPtr recordAt(int row) const;
    // The row showing that very record object, or -1.
    int rowOf(const base::BaseRecord* record) const;
    const std::vector<std::string>& columnNames() const { return columns_->names; }
    const base::ColumnSet& columns() const { return *columns_; }
    // The option list of a column (empty for an unknown column).
    const base::ValueList& optionList(int column) const;
    MyCellModifier* modifier() const { return modifier_; }
    // True while an edit is being handed to the modifier (a reset must wait until it is done).
    bool isEditing() const { return editing_; }
    // Forgets the list and the modifier (they are going away): no rows, no editing.
    void detach();

private:
    struct Row {
        base::RecordPtr record;
        std::uint64_t seq; // rises with the record's place in the list
        std::string key; // the sort key the row is placed by ("" without an active sort)
    };

    void readRows();
    // The lower-cased sort key of a record ("" without an active sort).
    std::string keyOf(const base::BaseRecord& record) const;
    // True when row a shows before row b in the current order.
    bool before(const Row& a, const Row& b) const;
    // The first of the rows [from, to) that shows after the given row (to when none does).
    int placeIn(const Row& row, int from, int to) const;
    // Gives the row its record's sort key and moves it to its place; the row it shows in now.
    int place(int row);
    // Moves the rows whose records changed during an edit to their places, once no mouse button
    // is down.
    void placeWhenNoButtonIsDown();
    void placeChangedRows();
    // The rows' indexes in the current order.
    std::vector<std::size_t> sortedOrder() const;
    // The place of the record in the list, or -1.
    int listIndexOf(const base::BaseRecord* record) const;
    // The seq of a newly listed record; renumbers the rows when it was listed in their midst.
    std::uint64_t seqForListed(int listIndex);
    // Puts the rows in the current order (a layout change, persistent indexes follow).
    void sortRows();

    BaseRecords* list_;
    std::shared_ptr<const base::ColumnSet> columns_;
    MyCellModifier* modifier_;
    DefaultStructuredContentProvider content_;
    DefaultTableLabelProvider labels_;
    ColumnSorter sorter_;
    std::vector<Row> rows_;
    std::uint64_t nextSeq_ = 0;
    bool editing_ = false;
    int editedRow_ = -1; // the row being edited: looked at first for its record
    std::vector<base::RecordPtr> unplaced_; // changed during an edit, moved by placeChangedRows
    QTimer* placeTimer_;
};

} // namespace qmk::extends
