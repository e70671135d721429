#include "qmk/ViewerRecords.h"

#include <algorithm>

namespace qmk {

namespace {
bool hasIdValue(const base::BaseRecord& record, std::string_view id)
{
    const auto& fields = record.getFields();
    auto it = fields.find(std::string_view("id"));
    return it != fields.end() && it->second == id;
}
} // namespace

BaseRecords::~BaseRecords() = default;

bool BaseRecords::add(const base::RecordPtr& record)
{
    if (std::find(records.begin(), records.end(), record) != records.end())
        return false;
    records.push_back(record);
    base::noteChange();
    return true;
}

std::size_t BaseRecords::length() const
{
    return records.size();
}

void BaseRecords::setLength(std::size_t n)
{
    if (n < records.size())
        records.resize(n);
    base::noteChange();
}

void BaseRecords::remove(const base::RecordPtr& record)
{
    records.erase(std::remove(records.begin(), records.end(), record), records.end());
    base::noteChange();
}

void BaseRecords::clear()
{
    records.clear();
    base::noteChange();
}

base::RecordPtr BaseRecords::getById(std::string_view id) const
{
    for (const auto& r : records)
        if (r && hasIdValue(*r, id))
            return r;
    return nullptr;
}

base::RecordPtr BaseRecords::getOtherById(const base::RecordPtr& record, std::string_view id) const
{
    if (records.size() < 2)
        return nullptr;
    for (const auto& r : records)
        if (r && r != record && hasIdValue(*r, id))
            return r;
    return nullptr;
}

bool BaseRecords::hasOtherWithId(const base::RecordPtr& record, std::string_view id) const
{
    return getOtherById(record, id) != nullptr;
}

bool BaseRecords::hasId(std::string_view id) const
{
    return getById(id) != nullptr;
}
base::RecordPtr BaseRecords::getStoredById(std::string_view id) const
{
    for (const auto& r : records)
        if (r && r->isStoredUnder(id))
            return r;
    return nullptr;
}

base::RecordPtr BaseRecords::getOtherHolding(const base::RecordPtr& record,
                                             std::string_view id) const
{
    for (const auto& r : records)
        if (r && r != record && (hasIdValue(*r, id) || r->isStoredUnder(id)))
            return r;
    return nullptr;
}

void BaseRecords::addMenuItems()
{
}
std::vector<base::RecordPtr>& BaseRecords::getRecords()
{
    base::noteChange(); // the caller may change the list through it
    return records;
}
const std::vector<base::RecordPtr>& BaseRecords::getRecords() const
{
    return records;
}

ViewerRecords::~ViewerRecords() = default;
RecordsViewer* ViewerRecords::getTableViewer() const
{
    return tableViewer;
}

void ViewerRecords::refresh()
{
    if (tableViewer)
        tableViewer->refresh();
}

void ViewerRecords::recordChanged(const base::RecordPtr& record)
{
    if (tableViewer)
        tableViewer->recordChanged(record);
}

void ViewerRecords::recordInserted(const base::RecordPtr& record)
{
    if (tableViewer)
        tableViewer->recordInserted(record);
}

void ViewerRecords::recordRemoved(const base::RecordPtr& record)
{
    if (tableViewer)
        tableViewer->recordRemoved(record);
}

bool ViewerRecords::selectRecord(const base::RecordPtr&)
{
    return true;
}
void ViewerRecords::addNewRecord()
{
}
void ViewerRecords::removeSelected()
{
}

} // namespace qmk
