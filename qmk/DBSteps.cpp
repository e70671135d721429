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

std::optional<std::string> siteTableHolding(Cursor& cursor, const std::string& id)
{
    for (const char* table : {"Shareware_Sites", "Black_Sites", "Temp_Sites"})
        if (cursor.execute(fill("SELECT id FROM {} WHERE id = ?;", quoteId(table)),
                           {BindValue(id)}))
            return table;
    return std::nullopt;
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
