// Callbacks for SQLite's engine hooks. Connection stores them and hands SQLite the trampolines
// of this module, with itself as the user argument.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

struct sqlite3;

namespace dwin::database::sqlite {

class Connection;

// SQLite's update-hook operation codes, under SQLite's values.
enum class SQLiteUpdateAction : int {
    Delete = 9,
    Insert = 18,
    Update = 23,
};

// Hook callbacks; an empty std::function means "no hook". Texts point into SQLite's memory and are
// valid during the call only. Every hook runs inside the SQLite call on the calling thread.
// An exception leaving a hook is caught by the layer: a progress handler then interrupts the
// statement, a busy handler gives up, a commit hook turns the commit into a rollback; the other
// hooks just drop it.

// Non-zero interrupts the running statement.
using ProgressHandler = std::function<int(Connection&)>;
// Non-zero turns the commit into a rollback.
using CommitHook = std::function<int(Connection&)>;
using RollbackHook = std::function<void(Connection&)>;
using UpdateHook =
    std::function<void(Connection&, SQLiteUpdateAction operation, std::string_view database,
                       std::string_view table, std::int64_t rowId)>;
// Gets the number of prior calls for the same lock; zero gives up (the statement fails busy).
using BusyHandler = std::function<int(Connection&, int count)>;
using TraceCallback = std::function<void(Connection&, std::string_view sql)>;
// Gets the name of the missing collation and the text encoding SQLite wants (1 to 3).
using CollationNeededCallback =
    std::function<void(Connection&, std::string_view name, int encoding)>;

namespace detail {
// Each registers the trampoline of one hook for `connection`, or removes the hook when
// `connection` is null. They return SQLite's result code where SQLite gives one.
void installProgressHandler(sqlite3* db, int ops, Connection* connection);
void installCommitHook(sqlite3* db, Connection* connection);
void installRollbackHook(sqlite3* db, Connection* connection);
void installUpdateHook(sqlite3* db, Connection* connection);
int installBusyHandler(sqlite3* db, Connection* connection);
void installTrace(sqlite3* db, Connection* connection);
int installCollationNeeded(sqlite3* db, Connection* connection);
} // namespace detail

} // namespace dwin::database::sqlite
