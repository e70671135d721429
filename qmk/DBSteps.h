#pragma once
// Steps the database object's writes are made of (internal to it). Each throws the SQLite
// layer's exceptions, so that the write around it rolls back.

#include "dwin/database/sqlite/Base.h"
#include "qmk/base/BaseRecord.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>
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
// Runs "<head> WHERE ..." on the row of id (bound after values): the text id first, and only
// when that matched nothing an id held as a number or as bytes. The rows the statement changed.
int changeRow(Cursor& cursor, const std::string& head,
              std::vector<dwin::database::sqlite::SQLiteData> values, const std::string& id);
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
