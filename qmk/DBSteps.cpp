#include "qmk/DBSteps.h"

#include "dwin/text/Unicode.h"
#include "qmk/DB.h"
#include "qmk/Report.h"
#include "qmk/SqlText.h"

#include <span>
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

dwin::database::sqlite::SQLiteData keyValue(const base::StoredKey& key)
{
    using dwin::database::sqlite::SQLiteData;
    using Class = base::StoredKey::Class;
    switch (key.type) {
    case Class::Integer: return SQLiteData::ofLong(key.integer);
    case Class::Real: return SQLiteData::ofDouble(key.real);
    case Class::Blob:
        return SQLiteData::ofBlob(std::as_bytes(std::span(key.text.data(), key.text.size())));
    case Class::Text: break;
    }
    return SQLiteData(key.text);
}

base::StoredKey keyAt(const dwin::database::sqlite::Statement& row, int i)
{
    using Class = base::StoredKey::Class;
    constexpr int kInteger = 1, kReal = 2, kBlob = 4; // SQLite's storage classes
    base::StoredKey key;
    switch (row.getColumnType(i)) { // read before the text, which converts a number in place
    case kInteger:
        key.type = Class::Integer;
        key.integer = row.getLong(i);
        break;
    case kReal:
        key.type = Class::Real;
        key.real = row.getDouble(i);
        break;
    case kBlob: key.type = Class::Blob; break;
    default: break;
    }
    key.text = std::string(row.getTextView(i));
    return key;
}

int changeRow(Cursor& cursor, const std::string& head,
              std::vector<dwin::database::sqlite::SQLiteData> values,
              const dwin::database::sqlite::SQLiteData& id)
{
    values.push_back(id);
    cursor.execute(fill("{} WHERE id = ?{};", head, values.size()), values);
    return cursor.getRowCount();
}

int Copies::change(Cursor& cursor, const std::string& head,
                   const std::vector<dwin::database::sqlite::SQLiteData>& values,
                   const std::string& table)
{
    if (const int n = changeRow(cursor, head, values, keyValue(key_)); n != 0)
        return n;
    const auto copy = byText(cursor, table);
    return copy ? changeRow(cursor, head, values, keyValue(*copy)) : 0;
}

std::optional<base::StoredKey> Copies::find(Cursor& cursor, const std::string& table)
{
    if (cursor.execute(fill("SELECT 1 FROM {} WHERE id = ?1;", quoteId(table)),
                       {BindValue(keyValue(key_))}))
        return key_;
    return byText(cursor, table);
}

std::optional<base::StoredKey> Copies::byText(Cursor& cursor, const std::string& table)
{
    if (sourceHasTwin(cursor))
        return std::nullopt;
    std::vector<base::StoredKey> found;
    // The text row first; a third row would change nothing.
    cursor.execute(fill("SELECT id FROM {} WHERE {} ORDER BY typeof(id) = 'text' DESC LIMIT 2;",
                        quoteId(table), idAsText(1)),
                   {BindValue(key_.text)});
    for (; cursor.hasRow(); cursor.next())
        found.push_back(keyAt(*cursor.getStatement(), 0));
    if (found.empty())
        return std::nullopt;
    if (found.size() > 1 && found.front().type != base::StoredKey::Class::Text) {
        report::trace(
            fill("cascade into {}: several rows read as {}, none changed", table, key_.text));
        return std::nullopt;
    }
    return found.front();
}

bool Copies::sourceHasTwin(Cursor& cursor)
{
    if (!twin_)
        twin_ = cursor.execute(
            fill("SELECT 1 FROM {} WHERE {} AND id IS NOT ?2;", quoteId(source_), idAsText(1)),
            {BindValue(key_.text), BindValue(keyValue(key_))});
    return *twin_;
}

bool isSiteTable(const std::string& table)
{
    return table == "Shareware_Sites" || table == "Black_Sites" || table == "Temp_Sites";
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
