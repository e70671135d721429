#include "qmk/extends/RecordTableModel.h"

#include "qmk/extends/ShownText.h"

namespace qmk::extends {

RecordTableModel::RecordTableModel(BaseRecords* list,
                                   std::shared_ptr<const base::ColumnSet> columns,
                                   MyCellModifier* modifier, QObject* parent)
    : QAbstractTableModel(parent), list_(list), columns_(std::move(columns)), modifier_(modifier),
      labels_(&columns_->names)
{
    readRows();
}

void RecordTableModel::readRows()
{
    rows_ = content_.getElements(list_);
    if (sorter_.direction() != ColumnSorter::NONE) {
        const int column = sorter_.activeColumn();
        if (column >= 0 && column < int(columns_->names.size()))
            ColumnSorter::sort(rows_, columns_->names[std::size_t(column)], sorter_.direction());
    }
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_->names.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const base::BaseRecord* record = rows_[std::size_t(index.row())].get();
    const std::string text = labels_.getColumnText(record, index.column());
    return QString::fromStdString(role == Qt::EditRole ? text : shownStart(text));
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_->names.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const std::string& name = columns_->names[std::size_t(section)];
    if (role == Qt::DisplayRole)
        return QString::fromStdString(name);
    if (role == Qt::ToolTipRole) {
        std::string tip = section < int(columns_->tips.size())
            ? columns_->tips[std::size_t(section)]
            : std::string();
        return QString::fromStdString(name + ":\n" + tip);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const base::BaseRecord* record = rows_[std::size_t(index.row())].get();
    if (modifier_ && modifier_->canModify(record, columns_->names[std::size_t(index.column())]))
        result |= Qt::ItemIsEditable;
    return result;
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !modifier_ || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    CellValue cell;
    if (value.typeId() == QMetaType::Int)
        cell = value.toInt();
    else if (value.isValid())
        cell = value.toString().toStdString();
    // The modifier applies, refreshes and stores the edit itself; the viewer holds the reset
    // back until the editor is closed.
    base::RecordPtr record = rows_[std::size_t(index.row())];
    editing_ = true;
    modifier_->modify(record, columns_->names[std::size_t(index.column())], cell);
    editing_ = false;
    return true;
}

void RecordTableModel::refresh()
{
    beginResetModel();
    readRows();
    endResetModel();
}

void RecordTableModel::valuesChanged()
{
    if (rows_.empty() || columns_->names.empty())
        return;
    emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, int(columns_->names.size()) - 1));
}

void RecordTableModel::detach()
{
    beginResetModel();
    list_ = nullptr;
    modifier_ = nullptr;
    rows_.clear();
    endResetModel();
}

void RecordTableModel::onColumnSelected(int column, bool reload)
{
    if (column < 0 || column >= int(columns_->names.size()))
        return;
    sorter_.onColumnSelected(column);
    if (reload)
        refresh();
}

base::RecordPtr RecordTableModel::recordAt(int row) const
{
    if (row < 0 || row >= int(rows_.size()))
        return nullptr;
    return rows_[std::size_t(row)];
}

int RecordTableModel::rowOf(const base::BaseRecord* record) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].get() == record)
            return int(i);
    return -1;
}

const base::ValueList& RecordTableModel::optionList(int column) const
{
    static const base::ValueList none;
    if (column < 0 || column >= int(columns_->valueLists.size()))
        return none;
    return columns_->valueLists[std::size_t(column)];
}

} // namespace qmk::extends
