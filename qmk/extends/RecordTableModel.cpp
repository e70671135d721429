#include "qmk/extends/RecordTableModel.h"

#include "qmk/extends/ShownText.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace qmk::extends {

RecordTableModel::RecordTableModel(BaseRecords* list,
                                   std::shared_ptr<const base::ColumnSet> columns,
                                   MyCellModifier* modifier, QObject* parent)
    : QAbstractTableModel(parent), list_(list), columns_(std::move(columns)), modifier_(modifier),
      labels_(&columns_->names), placeTimer_(new QTimer(this))
{
    placeTimer_->setSingleShot(true);
    connect(placeTimer_, &QTimer::timeout, this, &RecordTableModel::placeWhenNoButtonIsDown);
    readRows();
}

void RecordTableModel::readRows()
{
    const std::vector<base::RecordPtr>& records = content_.getElements(list_);
    unplaced_.clear();
    std::vector<Row> rows;
    rows.reserve(records.size());
    for (const base::RecordPtr& record : records)
        rows.push_back({record, rows.size(), record ? keyOf(*record) : std::string()});
    nextSeq_ = rows.size();
    rows_ = std::move(rows);
    if (sorter_.direction() == ColumnSorter::NONE)
        return;
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i : sortedOrder())
        sorted.push_back(std::move(rows_[i]));
    rows_ = std::move(sorted);
}

std::string RecordTableModel::keyOf(const base::BaseRecord& record) const
{
    const int column = sorter_.activeColumn();
    if (sorter_.direction() == ColumnSorter::NONE || column < 0 ||
        column >= int(columns_->names.size()))
        return std::string();
    return ColumnSorter::lowerKey(
        record.get(columns_->names[std::size_t(column)]).value_or(std::string()));
}

bool RecordTableModel::before(const Row& a, const Row& b) const
{
    // Equal keys keep list order in both directions, as a stable sort leaves them.
    if (a.key != b.key)
        return sorter_.direction() == ColumnSorter::DESC ? b.key < a.key : a.key < b.key;
    return a.seq < b.seq;
}

int RecordTableModel::placeIn(const Row& row, int from, int to) const
{
    while (from < to) {
        const int middle = from + (to - from) / 2;
        if (before(row, rows_[std::size_t(middle)]))
            to = middle;
        else
            from = middle + 1;
    }
    return from;
}

std::vector<std::size_t> RecordTableModel::sortedOrder() const
{
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::sort(order.begin(), order.end(),
              [&](std::size_t x, std::size_t y) { return before(rows_[x], rows_[y]); });
    return order;
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
    if (!index.isValid() || !checkIndex(index))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const base::BaseRecord* record = rows_[std::size_t(index.row())].record.get();
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
    if (!index.isValid() || !checkIndex(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const base::BaseRecord* record = rows_[std::size_t(index.row())].record.get();
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
    // The modifier applies and stores the edit; the list tells this model what changed.
    base::RecordPtr record = rows_[std::size_t(index.row())].record;
    editing_ = true;
    editedRow_ = index.row();
    modifier_->modify(record, columns_->names[std::size_t(index.column())], cell);
    editing_ = false;
    editedRow_ = -1;
    return true;
}

void RecordTableModel::refresh()
{
    beginResetModel();
    readRows();
    endResetModel();
}

void RecordTableModel::recordChanged(const base::RecordPtr& record)
{
    int row = record ? rowOf(record.get()) : -1;
    if (row < 0) {
        if (record && listIndexOf(record.get()) >= 0)
            recordInserted(record);
        return;
    }
    if (sorter_.direction() != ColumnSorter::NONE &&
        rows_[std::size_t(row)].key != keyOf(*record)) {
        if (editing_) {
            // Placed once the edit and whatever set it off are done (see the header).
            if (std::find(unplaced_.begin(), unplaced_.end(), record) == unplaced_.end())
                unplaced_.push_back(record);
            if (QGuiApplication::mouseButtons() != Qt::NoButton)
                placeTimer_->start(QApplication::doubleClickInterval());
            else if (!placeTimer_->isActive())
                QMetaObject::invokeMethod(this, &RecordTableModel::placeWhenNoButtonIsDown,
                                          Qt::QueuedConnection);
        } else {
            row = place(row);
        }
    }
    if (columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordTableModel::placeWhenNoButtonIsDown()
{
    // The rows wait while a button is held: a click is handled whole first.
    if (QGuiApplication::mouseButtons() != Qt::NoButton)
        placeTimer_->start(20);
    else
        placeChangedRows();
}

void RecordTableModel::placeChangedRows()
{
    placeTimer_->stop();
    std::vector<base::RecordPtr> records;
    records.swap(unplaced_);
    for (const base::RecordPtr& record : records)
        if (const int row = rowOf(record.get()); row >= 0)
            place(row);
}

int RecordTableModel::place(int row)
{
    Row& moving = rows_[std::size_t(row)];
    moving.key = moving.record ? keyOf(*moving.record) : std::string();
    const int last = int(rows_.size()) - 1;
    int shown = row;
    if (row > 0 && before(moving, rows_[std::size_t(row - 1)])) {
        shown = placeIn(moving, 0, row);
        beginMoveRows(QModelIndex(), row, row, QModelIndex(), shown);
        Row moved = std::move(rows_[std::size_t(row)]);
        std::move_backward(rows_.begin() + shown, rows_.begin() + row, rows_.begin() + row + 1);
        rows_[std::size_t(shown)] = std::move(moved);
        endMoveRows();
    } else if (row < last && before(rows_[std::size_t(row + 1)], moving)) {
        const int end = placeIn(moving, row + 1, last + 1);
        beginMoveRows(QModelIndex(), row, row, QModelIndex(), end);
        Row moved = std::move(rows_[std::size_t(row)]);
        std::move(rows_.begin() + row + 1, rows_.begin() + end, rows_.begin() + row);
        shown = end - 1;
        rows_[std::size_t(shown)] = std::move(moved);
        endMoveRows();
    }
    if (editedRow_ == row)
        editedRow_ = shown;
    return shown;
}

void RecordTableModel::recordInserted(const base::RecordPtr& record)
{
    if (!record)
        return;
    if (rowOf(record.get()) >= 0) {
        recordChanged(record);
        return;
    }
    const int listed = listIndexOf(record.get());
    if (listed < 0)
        return;
    const Row row{record, seqForListed(listed), keyOf(*record)};
    const int at = placeIn(row, 0, int(rows_.size()));
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, row);
    endInsertRows();
}

void RecordTableModel::recordRemoved(const base::RecordPtr& record)
{
    const int row = record ? rowOf(record.get()) : -1;
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    unplaced_.erase(std::remove(unplaced_.begin(), unplaced_.end(), record), unplaced_.end());
}

int RecordTableModel::listIndexOf(const base::BaseRecord* record) const
{
    if (!list_)
        return -1;
    const std::vector<base::RecordPtr>& records = std::as_const(*list_).getRecords();
    // a record is most often listed last
    for (std::size_t i = records.size(); i-- > 0;)
        if (records[i].get() == record)
            return int(i);
    return -1;
}

std::uint64_t RecordTableModel::seqForListed(int listIndex)
{
    const std::vector<base::RecordPtr>& records = std::as_const(*list_).getRecords();
    if (std::size_t(listIndex) + 1 == records.size())
        return nextSeq_++;
    // Listed in the midst of the others: every row takes its place in the list as its seq, which
    // keeps their order.
    std::unordered_map<const base::BaseRecord*, std::uint64_t> places;
    places.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        places.emplace(records[i].get(), i);
    for (Row& row : rows_)
        if (auto it = places.find(row.record.get()); it != places.end())
            row.seq = it->second;
    nextSeq_ = records.size();
    return std::uint64_t(listIndex);
}

void RecordTableModel::detach()
{
    beginResetModel();
    list_ = nullptr;
    modifier_ = nullptr;
    rows_.clear();
    unplaced_.clear();
    endResetModel();
}

void RecordTableModel::onColumnSelected(int column)
{
    if (column < 0 || column >= int(columns_->names.size()))
        return;
    sorter_.onColumnSelected(column);
    sortRows();
}

void RecordTableModel::sortRows()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    unplaced_.clear(); // every row takes its place by its key now
    for (Row& row : rows_)
        row.key = row.record ? keyOf(*row.record) : std::string();
    const std::vector<std::size_t> order = sortedOrder();
    std::vector<int> newRow(rows_.size());
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRow[order[i]] = int(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRow[std::size_t(index.row())], index.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

base::RecordPtr RecordTableModel::recordAt(int row) const
{
    if (row < 0 || row >= int(rows_.size()))
        return nullptr;
    return rows_[std::size_t(row)].record;
}

int RecordTableModel::rowOf(const base::BaseRecord* record) const
{
    if (editedRow_ >= 0 && editedRow_ < int(rows_.size()) &&
        rows_[std::size_t(editedRow_)].record.get() == record)
        return editedRow_;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].record.get() == record)
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
