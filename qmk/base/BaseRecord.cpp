#include "qmk/base/BaseRecord.h"

#include <bit>

namespace qmk::base {

namespace {
std::uint64_t changes = 0;

const std::shared_ptr<const ColumnSet>& emptyColumns()
{
    static const auto empty = std::make_shared<const ColumnSet>();
    return empty;
}

std::unordered_set<std::string>& idsWritten()
{
    static std::unordered_set<std::string> ids;
    return ids;
}

// More ids than this since the last rise: the stamp rises instead of the set growing.
constexpr std::size_t maxWrittenIds = 65536;

} // namespace

std::uint64_t changeStamp()
{
    return changes;
}

void noteChange()
{
    ++changes;
    idsWritten().clear();
}

const std::unordered_set<std::string>& writtenIds()
{
    return idsWritten();
}

namespace {

void noteIdWrite(const std::string& from, const std::string& to)
{
    if (from == to)
        return;
    if (idsWritten().size() + 2 > maxWrittenIds) {
        noteChange();
        return;
    }
    idsWritten().insert(from);
    idsWritten().insert(to);
}

} // namespace

void ColumnSet::index()
{
    valueListsByColumn.clear();
    defaults.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const ValueList list = i < valueLists.size() ? valueLists[i] : ValueList{};
        defaults.insert_or_assign(names[i], list.empty() ? std::string() : list.front());
        valueListsByColumn[names[i]] = list;
    }
}

BaseRecord::BaseRecord() : columns_(emptyColumns())
{
}
BaseRecord::~BaseRecord() = default;

std::string BaseRecord::toString() const
{
    std::string out;
    for (const auto& [name, value] : fields_) {
        out += name;
        out += " = ";
        out += value;
        out += '\n';
    }
    return out;
}

bool BaseRecord::set(std::string_view name, std::string value)
{
    auto it = fields_.find(name);
    if (it == fields_.end())
        return false;
    if (it->first == "id") {
        noteIdWrite(it->second, value);
        keepStoredId();
    }
    it->second = std::move(value);
    return true;
}

void BaseRecord::keepStoredId()
{
    if (stored_ && !storedUnder_)
        storedUnder_ = get("id");
}

std::optional<std::string> BaseRecord::storedId() const
{
    if (!stored_)
        return std::nullopt;
    return storedUnder_ ? storedUnder_ : get("id");
}

bool BaseRecord::isStoredUnder(std::string_view id) const
{
    if (!stored_)
        return false;
    if (storedUnder_)
        return *storedUnder_ == id;
    auto it = fields_.find(std::string_view("id"));
    return it != fields_.end() && it->second == id;
}

std::string rowIdOf(const BaseRecord& record)
{
    if (std::optional<std::string> stored = record.storedId())
        return *stored;
    return record.get("id").value_or(std::string());
}

StoredKey StoredKey::ofText(std::string id)
{
    StoredKey key;
    key.text = std::move(id);
    return key;
}

bool StoredKey::sameAs(const StoredKey& other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case Class::Integer: return integer == other.integer;
    case Class::Real:
        return std::bit_cast<std::uint64_t>(real) == std::bit_cast<std::uint64_t>(other.real);
    default: return text == other.text;
    }
}

std::optional<StoredKey> BaseRecord::storedKey() const
{
    std::optional<std::string> id = storedId();
    if (!id)
        return std::nullopt;
    StoredKey key = StoredKey::ofText(std::move(*id));
    key.type = storedClass_;
    if (storedClass_ == StoredKey::Class::Integer)
        key.integer = std::bit_cast<std::int64_t>(storedValue_);
    else if (storedClass_ == StoredKey::Class::Real)
        key.real = std::bit_cast<double>(storedValue_);
    return key;
}

void BaseRecord::setStored()
{
    // The same row under the same id (never renamed meanwhile) keeps the form the file holds.
    const bool same = stored_ && (!storedUnder_ || storedUnder_ == get("id"));
    if (!same) {
        storedClass_ = StoredKey::Class::Text;
        storedValue_ = 0;
    }
    stored_ = true;
    storedUnder_.reset();
}

void BaseRecord::setStored(const StoredKey& key)
{
    stored_ = true;
    storedUnder_.reset();
    if (get("id") != key.text)
        storedUnder_ = key.text;
    storedClass_ = key.type;
    storedValue_ = key.type == StoredKey::Class::Integer ? std::bit_cast<std::uint64_t>(key.integer)
        : key.type == StoredKey::Class::Real             ? std::bit_cast<std::uint64_t>(key.real)
                                                         : 0;
}

void BaseRecord::setUnstored()
{
    stored_ = false;
    storedUnder_.reset();
    storedClass_ = StoredKey::Class::Text;
    storedValue_ = 0;
}

std::optional<std::string> BaseRecord::get(std::string_view name) const
{
    auto it = fields_.find(name);
    if (it == fields_.end())
        return std::nullopt;
    return it->second;
}

std::size_t BaseRecord::size() const
{
    return fields_.size();
}
FieldMap& BaseRecord::getFields()
{
    noteChange(); // the caller may write through it
    return fields_;
}
const FieldMap& BaseRecord::getFields() const
{
    return fields_;
}
const ValueListMap& BaseRecord::getValueListsByColumn() const
{
    return columns_->valueListsByColumn;
}
const std::vector<std::string>& BaseRecord::getColumnNames() const
{
    return columns_->names;
}
const std::vector<ValueList>& BaseRecord::getColumnValueLists() const
{
    return columns_->valueLists;
}
const std::vector<std::string>& BaseRecord::getColumnTips() const
{
    return columns_->tips;
}

ColumnSet& BaseRecord::ownColumns()
{
    auto copy = std::make_shared<ColumnSet>(*columns_);
    ColumnSet& ref = *copy;
    columns_ = std::move(copy);
    return ref;
}

BaseRecord& BaseRecord::setColumnNames(std::vector<std::string> names)
{
    auto& own = ownColumns();
    own.names = std::move(names);
    own.index();
    return *this;
}

BaseRecord& BaseRecord::setColumnValueLists(std::vector<ValueList> lists)
{
    auto& own = ownColumns();
    own.valueLists = std::move(lists);
    own.index();
    return *this;
}

BaseRecord& BaseRecord::setColumnTips(std::vector<std::string> tips)
{
    ownColumns().tips = std::move(tips);
    return *this;
}

void BaseRecord::useColumns(std::shared_ptr<const ColumnSet> columns)
{
    columns_ = columns ? std::move(columns) : emptyColumns();
}

BaseRecord& BaseRecord::reset()
{
    const auto& cols = *columns_;
    if (fields_.empty()) { // a new record: every column at once
        fields_ = cols.defaults;
        if (auto it = fields_.find(std::string_view("id")); it != fields_.end())
            noteIdWrite(std::string(), it->second);
        return *this;
    }
    for (std::size_t i = 0; i < cols.names.size(); ++i) {
        const bool hasList = i < cols.valueLists.size() && !cols.valueLists[i].empty();
        std::string value = hasList ? cols.valueLists[i].front() : std::string();
        if (cols.names[i] == "id") {
            auto it = fields_.find(std::string_view("id"));
            noteIdWrite(it == fields_.end() ? std::string() : it->second, value);
            keepStoredId();
        }
        fields_.insert_or_assign(cols.names[i], std::move(value));
    }
    return *this;
}

} // namespace qmk::base
