#pragma once
// Between a table's cell editors and its records: gives an editor the value of a cell and
// checks, applies and stores the value the user entered. An accepted edit is in the database
// at once; a new row is stored whole once its id gets a usable value. An edit the database did
// not store is taken back from the record, so the row shows what the file holds and the same
// edit can be made again. Refusals go to the status line; nothing is thrown (failures are
// written as one console line).
#include "qmk/ViewerRecords.h"
#include "qmk/base/BaseRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <variant>

namespace qmk::extends {

// The value an editor starts from or hands back: nothing, a text (text editors) or the index
// of the chosen entry (combo boxes; a combo box left on a value its list lacks hands back that
// text, which modify takes as not changed).
using CellValue = std::variant<std::monostate, std::string, int>;

// Made before edits are handed over: allStored tells whether every one since then reached the
// file (none refused, failed or kept in memory only); noneRefused whether every one was taken,
// into the file or, in a row never stored, into memory until the row's id is set.
class StoredSince {
public:
    StoredSince();
    bool allStored() const;
    bool noneRefused() const;

private:
    std::size_t failures_;
    std::size_t unstored_;
    std::size_t kept_;
};

class MyCellModifier {
public:
    // The table whose cells are edited (not owned; the table view owns the modifier).
    explicit MyCellModifier(ViewerRecords* table) : table_(table) {}

    // Every cell can be edited.
    bool canModify(const base::BaseRecord* element, const std::string& property) const;
    // The record's text, or for a column with a list of choices the position of the value in it
    // (0 when absent); nothing when the record lacks the column.
    CellValue getValue(const base::BaseRecord* element, const std::string& property) const;
    // Checks, applies and stores the editor's value.
    void modify(const base::RecordPtr& element, const std::string& property,
                const CellValue& value);
    // How many edits modify has left out of the file since the program started: refused, not
    // stored, or kept in memory only until their row's id is usable.
    static std::size_t unstoredCount();

    ViewerRecords* table() const { return table_; }

private:
    bool refusedAsDuplicate(const base::RecordPtr& record, const std::string& newValue) const;
    // Writes the edit to the database; false when it was not stored (the database has said why).
    // rowId (writableKeyOf the record before the edit) is where its row is: none, and the
    // record is added; else the edit is written under it (a new id renames the row), whatever
    // the id in memory meanwhile.
    bool store(const base::RecordPtr& record, const std::string& property,
               const std::optional<base::StoredKey>& rowId, const std::string& newValue);

    ViewerRecords* table_;
};

} // namespace qmk::extends
