#pragma once
// The table model of a table view: one row per record of the live records array of a record
// list, one column per column name of the record kind. The rows are read again from the list
// on every refresh (a model reset), in list order or in the order of the active column sort.
// setData hands an edit to the MyCellModifier. A cell shows the start of a long value
// (shownStart); the edit role and the editors get it whole.
#include "qmk/ViewerRecords.h"
#include "qmk/base/BaseRecord.h"
#include "qmk/extends/ColumnSorter.h"
#include "qmk/extends/MyCellModifier.h"
#include "qmk/extends/StructuredContentProvider.h"
#include "qmk/extends/TableLabelProvider.h"

#include <QAbstractTableModel>

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

    // Reads the records again (and sorts them when a column sort is active).
    void refresh();
    // A header click: ascending, descending, then list order; another column starts ascending.
    // With reload false the new order shows at the next refresh.
    void onColumnSelected(int column, bool reload = true);
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
    // Tells the views that any value may have changed (rows and order stay).
    void valuesChanged();
    // Forgets the list and the modifier (they are going away): no rows, no editing.
    void detach();

private:
    void readRows();

    BaseRecords* list_;
    std::shared_ptr<const base::ColumnSet> columns_;
    MyCellModifier* modifier_;
    DefaultStructuredContentProvider content_;
    DefaultTableLabelProvider labels_;
    ColumnSorter sorter_;
    std::vector<base::RecordPtr> rows_;
    bool editing_ = false;
};

} // namespace qmk::extends
