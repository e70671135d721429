#pragma once
// Steps the database object's writes are made of (internal to it). Each throws the SQLite
// layer's exceptions, so that the write around it rolls back.

#include "dwin/database/sqlite/Base.h"
#include "qmk/base/BaseRecord.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qmk {
class WindowPort;
}

namespace qmk::steps {

using dwin::database::sqlite::Connection;
using dwin::database::sqlite::Cursor;

// ALTER TABLE ... RENAME TO ..., also when the names differ only in letter case (through a free name).
// The empty new name is refused (it would be a product's empty id).
void renameTable(Cursor& cursor, const std::string& oldName, const std::string& newName);
// "create table" with the record's columns, the first "UNIQUE NOT NULL"; the empty name is refused.
void createTable(Cursor& cursor, const base::BaseRecord& record, const std::string& name);
// The first site table ("Shareware_Sites", "Black_Sites", "Temp_Sites") other than except
// holding the id (as text, idAsText).
std::optional<std::string> siteTableHolding(Cursor& cursor, const std::string& id,
                                            const std::string& except = "");
// The WHERE condition finding a row by its id as text, the id being parameter n: a text id, or
// one an older file holds as a number or as bytes. The id's index serves every part of it.
std::string idAsText(int n);
// The exact value of a stored id, bound as the file holds it (integer, real, text or bytes): in
// "id = ?" it matches that value only.
dwin::database::sqlite::SQLiteData keyValue(const base::StoredKey& key);
// The id in column i of the statement's row as the file holds it (a NULL id: the empty text).
base::StoredKey keyAt(const dwin::database::sqlite::Statement& row, int i);
// Runs "<head> WHERE id = ?" on the row whose id is exactly the value (bound after values). The
// rows the statement changed.
int changeRow(Cursor& cursor, const std::string& head,
              std::vector<dwin::database::sqlite::SQLiteData> values,
              const dwin::database::sqlite::SQLiteData& id);

// How a cascade reaches the copies of one row (of the source table, under its stored key) in the
// other tables. The copy is the row of the key's exact value. Only where a table holds none is it
// the row whose id reads as the key's text (a row an older file or another program stored in
// another form), and then only when the source holds no other row reading as that text, which
// could own it: the row held as text when there is one, else the one row found; none when
// several are found. Never more than one row.
class Copies {
public:
    Copies(std::string source, base::StoredKey key)
        : source_(std::move(source)), key_(std::move(key))
    {
    }
    // Runs "<head> WHERE id = ?" on the copy in table (bound after values): the rows changed.
    int change(Cursor& cursor, const std::string& head,
               const std::vector<dwin::database::sqlite::SQLiteData>& values,
               const std::string& table);
    // The id of the copy in table, as the file holds it; none when the table holds no copy.
    std::optional<base::StoredKey> find(Cursor& cursor, const std::string& table);

private:
    std::optional<base::StoredKey> byText(Cursor& cursor, const std::string& table);
    bool sourceHasTwin(Cursor& cursor);

    std::string source_;
    base::StoredKey key_;
    std::optional<bool> twin_; // asked once, on the first copy not found exactly
};

// One of the three site tables: "Shareware_Sites", "Black_Sites", "Temp_Sites".
bool isSiteTable(const std::string& table);
// One of the four fixed tables, compared as SQLite compares names (ASCII letters without case).
bool isFixedTable(const std::string& name);
// A failure of the file or the transaction (lock, read-only, full disk, I/O, corruption, out of
// memory, interrupt), as opposed to the engine refusing one row (a constraint, say).
bool isFileFailure(int code);
// Inside a catch block: the failure in flight reported through report::failed (the status line
// when window is given, and a trace line), with the engine's own text as the reason for an
// engine failure.
void reportCaught(Connection& connection, WindowPort* window, std::string_view what) noexcept;
// The reason of a failure for the user: the engine's text for an engine failure (read from the
// connection while it still holds it), else the exception's message. code: the engine's result
// code, 0 for other failures.
std::string reasonOf(Connection& connection, const std::exception& failure, int& code);

} // namespace qmk::steps
