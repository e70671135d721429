#include "qmk/DBSteps.h"

#include "dwin/text/Unicode.h"
#include "qmk/DB.h"
#include "qmk/Report.h"
#include "qmk/SqlText.h"

#include <stdexcept>
#include <string_view>

namespace qmk::steps {

using dwin::database::sqlite::BindValue;
using sql::fill;
using sql::quoteId;

void renameTable(Cursor& cursor, const std::string& oldName, const std::string& newName)
{
    if (dwin::text::Unicode::isBlank(newName))
        throw std::runtime_error(DB::emptyProductIdText);
    const auto rename = [&cursor](const std::string& from, const std::string& to) {
        cursor.execute(fill("ALTER TABLE {} RENAME TO {};", quoteId(from), quoteId(to)));
    };
    if (oldName == newName || !sql::sameIgnoringCase(oldName, newName)) {
        rename(oldName, newName);
        return;
    }
    // SQLite refuses a rename that only changes letter case: go through a free name.
    const std::string step = oldName + " (renaming)";
    rename(oldName, step);
    try {
        rename(step, newName);
    } catch (...) {
        try {
            rename(step, oldName);
        } catch (...) {
            report::caught(fill("renameTable: {} back to {}", step, oldName));
        }
        throw;
    }
}

void createTable(Cursor& cursor, const base::BaseRecord& record, const std::string& name)
{
    if (dwin::text::Unicode::isBlank(name))
        throw std::runtime_error(DB::emptyProductIdText);
    auto columns = DB::columnDefinitions(record.getColumnNames(), 0, "UNIQUE NOT NULL");
    if (!columns)
        throw std::runtime_error("null BaseRecord");
    cursor.execute(fill("create table {} ( {} );", quoteId(name), *columns));
}

std::optional<std::string> siteTableHolding(Cursor& cursor, const std::string& id,
                                            const std::string& except)
{
    for (const char* table : {"Shareware_Sites", "Black_Sites", "Temp_Sites"})
        if (table != except &&
            cursor.execute(fill("SELECT 1 FROM {} WHERE {};", quoteId(table), idAsText(1)),
                           {BindValue(id)}))
            return table;
    return std::nullopt;
}

namespace {

// The id as a number or as bytes whose text is the parameter p; each an index look-up.
std::string typedIds(const std::string& p)
{
    return fill("CAST({} AS BLOB), CAST({} AS INTEGER), CAST({} AS REAL)", p, p, p);
}

} // namespace

std::string idAsText(int n)
{
    const std::string p = "?" + std::to_string(n);
    return fill("id IN ({}, {}) AND CAST(id AS TEXT) = {}", p, typedIds(p), p);
}

int changeRow(Cursor& cursor, const std::string& head,
              std::vector<dwin::database::sqlite::SQLiteData> values, const std::string& id)
{
    values.emplace_back(id);
    const std::string p = "?" + std::to_string(values.size());
    cursor.execute(fill("{} WHERE id = {};", head, p), values);
    if (cursor.getRowCount() != 0)
        return cursor.getRowCount();
    cursor.execute(fill("{} WHERE id IN ({}) AND CAST(id AS TEXT) = {};", head, typedIds(p), p),
                   values);
    return cursor.getRowCount();
}

bool isFixedTable(const std::string& name)
{
    for (std::string_view fixed : {"Softwares", "Shareware_Sites", "Black_Sites", "Temp_Sites"})
        if (sql::sameIgnoringCase(name, fixed))
            return true;
    return false;
}

bool isFileFailure(int code)
{
    using Code = dwin::database::sqlite::SQLiteVMCode;
    switch (code & 0xff) {
    case Code::Perm:
    case Code::Abort:
    case Code::Busy:
    case Code::Locked:
    case Code::NoMem:
    case Code::ReadOnly:
    case Code::Interrupt:
    case Code::IOErr:
    case Code::Corrupt:
    case Code::Full:
    case Code::CantOpen:
    case Code::Protocol:
    case Code::NoLfs:
    case Code::NotADb: return true;
    default: return false;
    }
}

std::string reasonOf(Connection& connection, const std::exception& failure, int& code)
{
    const auto* engine = dynamic_cast<const dwin::database::sqlite::SQLiteVMException*>(&failure);
    if (!engine) {
        code = 0;
        return failure.what();
    }
    code = engine->getCode();
    try {
        if (connection.isAvailable() && (connection.getErrorCode() & 0xff) == (code & 0xff))
            return std::string(connection.getErrorMessage());
    } catch (...) {
        report::caught("reasonOf: the engine's text"); // its generic text below
    }
    return std::string(dwin::database::sqlite::resultText(code));
}

void reportCaught(Connection& connection, WindowPort* window, std::string_view what) noexcept
{
    if (!std::current_exception()) {
        report::failed(window, what);
        return;
    }
    try {
        throw;
    } catch (const std::exception& e) {
        try {
            int code = 0;
            throw std::runtime_error(reasonOf(connection, e, code));
        } catch (...) {
            report::failed(window, what);
        }
    } catch (...) {
        report::failed(window, what);
    }
}

} // namespace qmk::steps
