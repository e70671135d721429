#include "dwin/database/sqlite/_event.h"

#include "dwin/database/sqlite/Base.h"

#include <sqlite3.h>

namespace dwin::database::sqlite {

static_assert(static_cast<int>(SQLiteUpdateAction::Delete) == SQLITE_DELETE);
static_assert(static_cast<int>(SQLiteUpdateAction::Insert) == SQLITE_INSERT);
static_assert(static_cast<int>(SQLiteUpdateAction::Update) == SQLITE_UPDATE);

// Each trampoline calls a copy of the stored hook, so a hook may replace itself while it runs,
// and catches everything: no exception may unwind through SQLite's C frames.
namespace {

Connection& connectionOf(void* user)
{
    return *static_cast<Connection*>(user);
}

std::string_view orEmpty(const char* text)
{
    return text ? std::string_view(text) : std::string_view();
}

int progressTrampoline(void* user)
{
    try {
        Connection& connection = connectionOf(user);
        ProgressHandler handler = connection.getProgressHandler();
        return handler ? handler(connection) : 0;
    } catch (...) {
        return 1;
    }
}

int commitTrampoline(void* user)
{
    try {
        Connection& connection = connectionOf(user);
        CommitHook hook = connection.getCommitHook();
        return hook ? hook(connection) : 0;
    } catch (...) {
        return 1;
    }
}

void rollbackTrampoline(void* user)
{
    try {
        Connection& connection = connectionOf(user);
        RollbackHook hook = connection.getRollbackHook();
        if (hook)
            hook(connection);
    } catch (...) {
    }
}

void updateTrampoline(void* user, int operation, const char* database, const char* table,
                      sqlite3_int64 rowId)
{
    try {
        Connection& connection = connectionOf(user);
        UpdateHook hook = connection.getUpdateHook();
        if (hook)
            hook(connection, static_cast<SQLiteUpdateAction>(operation), orEmpty(database),
                 orEmpty(table), rowId);
    } catch (...) {
    }
}

int busyTrampoline(void* user, int count)
{
    try {
        Connection& connection = connectionOf(user);
        BusyHandler handler = connection.getBusyHandler();
        return handler ? handler(connection, count) : 0;
    } catch (...) {
        return 0;
    }
}

void traceTrampoline(void* user, const char* sql)
{
    try {
        Connection& connection = connectionOf(user);
        TraceCallback trace = connection.getTrace();
        if (trace)
            trace(connection, orEmpty(sql));
    } catch (...) {
    }
}

void collationNeededTrampoline(void* user, sqlite3*, int encoding, const char* name)
{
    try {
        Connection& connection = connectionOf(user);
        CollationNeededCallback callback = connection.getCollationNeeded();
        if (callback)
            callback(connection, orEmpty(name), encoding);
    } catch (...) {
    }
}

} // namespace

void detail::installProgressHandler(sqlite3* db, int ops, Connection* connection)
{
    sqlite3_progress_handler(db, ops, connection ? &progressTrampoline : nullptr, connection);
}

void detail::installCommitHook(sqlite3* db, Connection* connection)
{
    sqlite3_commit_hook(db, connection ? &commitTrampoline : nullptr, connection);
}

void detail::installRollbackHook(sqlite3* db, Connection* connection)
{
    sqlite3_rollback_hook(db, connection ? &rollbackTrampoline : nullptr, connection);
}

void detail::installUpdateHook(sqlite3* db, Connection* connection)
{
    sqlite3_update_hook(db, connection ? &updateTrampoline : nullptr, connection);
}

int detail::installBusyHandler(sqlite3* db, Connection* connection)
{
    return sqlite3_busy_handler(db, connection ? &busyTrampoline : nullptr, connection);
}

void detail::installTrace(sqlite3* db, Connection* connection)
{
    sqlite3_trace(db, connection ? &traceTrampoline : nullptr, connection);
}

int detail::installCollationNeeded(sqlite3* db, Connection* connection)
{
    return sqlite3_collation_needed(db, connection,
                                    connection ? &collationNeededTrampoline : nullptr);
}

// ---- hook setters of Connection: store, check, then hand SQLite the trampoline or nothing ----

void Connection::setProgressHandler(ProgressHandler handler)
{
    progressHandler_ = std::move(handler);
    checkAvailable();
    detail::installProgressHandler(handle_, progressHandlerOps_, progressHandler_ ? this : nullptr);
}

void Connection::setCommitHook(CommitHook hook)
{
    commitHook_ = std::move(hook);
    checkAvailable();
    detail::installCommitHook(handle_, commitHook_ ? this : nullptr);
}

void Connection::setRollbackHook(RollbackHook hook)
{
    rollbackHook_ = std::move(hook);
    checkAvailable();
    detail::installRollbackHook(handle_, rollbackHook_ ? this : nullptr);
}

void Connection::setUpdateHook(UpdateHook hook)
{
    updateHook_ = std::move(hook);
    checkAvailable();
    detail::installUpdateHook(handle_, updateHook_ ? this : nullptr);
}

void Connection::setBusyHandler(BusyHandler handler)
{
    busyHandler_ = std::move(handler);
    checkAvailable();
    detail::installBusyHandler(handle_, busyHandler_ ? this : nullptr);
}

void Connection::setTrace(TraceCallback trace)
{
    trace_ = std::move(trace);
    checkAvailable();
    detail::installTrace(handle_, trace_ ? this : nullptr);
}

void Connection::setCollationNeeded(CollationNeededCallback callback)
{
    collationNeeded_ = std::move(callback);
    checkAvailable();
    detail::installCollationNeeded(handle_, collationNeeded_ ? this : nullptr);
}

void Connection::dropHooks() noexcept
{
    detail::installProgressHandler(handle_, 0, nullptr);
    detail::installCommitHook(handle_, nullptr);
    detail::installRollbackHook(handle_, nullptr);
    detail::installUpdateHook(handle_, nullptr);
    detail::installBusyHandler(handle_, nullptr);
    detail::installTrace(handle_, nullptr);
    detail::installCollationNeeded(handle_, nullptr);
    detail::installAuthorizer(handle_, nullptr);
}

} // namespace dwin::database::sqlite
