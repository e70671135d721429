#pragma once
// One row of one table: column name -> text value, plus the column metadata of its table.
//
// Every value is text. A record kind (qmk/tab/<Kind>.h) fills the metadata in its constructor;
// the metadata lists are shared, immutable and outlive every record that refers to them.
// Records are shared by reference (RecordPtr): a table's list, a prototype and a command in
// progress may all hold the same record. Nothing here throws except std::bad_alloc.

#include "qmk/base/FieldMap.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace qmk::base {

using ValueList = std::vector<std::string>;

// The id of a row as the file stores it: its storage class and its exact value. A row the
// program stores itself (added or renamed) holds its id as text.
struct StoredKey {
    enum class Class : std::uint8_t { Text, Integer, Real, Blob };
    Class type = Class::Text;
    std::string text; // Text, Blob: the bytes; Integer, Real: the text the engine reads it as
    std::int64_t integer = 0; // Integer
    double real = 0; // Real

    static StoredKey ofText(std::string id);
    // The same class and value (reals bit for bit).
    bool sameAs(const StoredKey& other) const;
};
using ValueListMap = std::map<std::string, ValueList, std::less<>>;

// The column metadata of one table, shared by all records of that table.
struct ColumnSet {
    std::vector<std::string> names; // SQL column names in table order; the first is "id"
    std::vector<ValueList> valueLists; // option list per column (one entry: a placeholder)
    std::vector<std::string> tips; // tool-tip per column
    ValueListMap valueListsByColumn; // name -> option list
    FieldMap defaults; // name -> first entry of its option list: the values of a new record

    // Builds valueListsByColumn and defaults from names and valueLists.
    void index();
};

class BaseRecord {
public:
    BaseRecord();
    virtual ~BaseRecord();
    BaseRecord(const BaseRecord&) = default;
    BaseRecord& operator=(const BaseRecord&) = default;

    // Default ORDER BY clause of the table, without the words "ORDER BY".
    std::string orderBy;

    // One "name = value\n" line per column, in the map's order; "" for an empty record.
    virtual std::string toString() const;
    // Replaces the value of an existing column; false (and no change) for an unknown name.
    virtual bool set(std::string_view name, std::string value);
    // The value of a column, or no value when the record has no such column.
    virtual std::optional<std::string> get(std::string_view name) const;
    // Number of columns held.
    virtual std::size_t size() const;

    // The value map itself: later changes show through.
    virtual FieldMap& getFields();
    virtual const FieldMap& getFields() const;
    virtual const ValueListMap& getValueListsByColumn() const;
    virtual const std::vector<std::string>& getColumnNames() const;
    virtual BaseRecord& setColumnNames(std::vector<std::string> names);
    virtual const std::vector<ValueList>& getColumnValueLists() const;
    virtual BaseRecord& setColumnValueLists(std::vector<ValueList> lists);
    virtual BaseRecord& setColumnTips(std::vector<std::string> tips);
    virtual const std::vector<std::string>& getColumnTips() const;

    // Sets every column to the first entry of its option list, creating missing columns.
    virtual BaseRecord& reset();

    // Where the record's row is in the file of its table: no value for a record never stored,
    // else the id the row has there. While an id typed over a stored record waits to be stored
    // (a placeholder, a rename not yet written), the row keeps the id it had.
    std::optional<std::string> storedId() const;
    // Whether the record's row is in the file under that id (storedId, without a copy).
    bool isStoredUnder(std::string_view id) const;
    // storedId with the class and exact value the file holds it as; no value when never stored.
    std::optional<StoredKey> storedKey() const;
    // The row in the file holds the record under its id now (read, added or renamed): as text,
    // unless the row was stored under that very id already (a placeholder typed back over it).
    void setStored();
    // For a loader: the row holds the id it shows (the key's text) as the key's class and value.
    void setStored(const StoredKey& key);
    // The file holds no row of the record (never stored, or deleted).
    void setUnstored();

    // The shared metadata (never null).
    const std::shared_ptr<const ColumnSet>& columnSet() const { return columns_; }

    // For a table loader filling a record it has just made: the value at position i of the
    // getFields() order, to be overwritten without the bookkeeping of set (the loader raises
    // the change stamp once, noteChange, after listing the records).
    std::string& loadedValue(std::size_t i)
    {
        return (fields_.begin() + std::ptrdiff_t(i))->second;
    }

protected:
    // Used by record kinds: adopts a shared metadata set without copying it.
    void useColumns(std::shared_ptr<const ColumnSet> columns);

private:
    ColumnSet& ownColumns(); // copy-on-write access for the setters

    // Before a new id: the id the row is stored under is kept apart.
    void keepStoredId();

    FieldMap fields_;
    std::shared_ptr<const ColumnSet> columns_;
    bool stored_ = false;
    std::optional<std::string> storedUnder_; // set while the id differs from the stored one
    StoredKey::Class storedClass_ = StoredKey::Class::Text;
    std::uint64_t storedValue_ = 0; // an Integer's or a Real's bits
};

using RecordPtr = std::shared_ptr<BaseRecord>;

// The id of the record's row in the file: the id it is stored under, else its id ("" without).
std::string rowIdOf(const BaseRecord& record);

// What a lookup built over record lists needs to stay right. changeStamp() rises with every
// change of a list's membership (the list operations of BaseRecords, qmk/ViewerRecords.h) and
// every write that cannot be followed (a writable getFields); writtenIds() gathers the old and
// new value of every id written (set, reset) since it last rose. A lookup of an id is current
// while the stamp is the same and the id is not in writtenIds(). UI thread only.
std::uint64_t changeStamp();
// Raises the stamp and empties writtenIds().
void noteChange();
const std::unordered_set<std::string>& writtenIds();

} // namespace qmk::base
