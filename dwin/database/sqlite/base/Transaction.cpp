#include "dwin/database/sqlite/base/Transaction.h"

#include "dwin/database/sqlite/base/Connection.h"
#include "dwin/database/sqlite/base/Errors.h"

#include <sqlite3.h>

namespace dwin::database::sqlite {

namespace {
int depthCounter = 0; // names nested savepoints apart
} // namespace

Transaction::Transaction(Connection& connection) : connection_(connection)
{
    nested_ = !connection_.isAutoCommit();
    if (nested_) {
        savepoint_ = "write_" + std::to_string(++depthCounter);
        run("SAVEPOINT " + savepoint_ + ";");
    } else {
        run("BEGIN IMMEDIATE;");
    }
    open_ = true;
}

Transaction::~Transaction()
{
    rollback();
}

void Transaction::commit()
{
    if (!open_)
        throw SQLiteDException("Transaction Not Open");
    run(nested_ ? "RELEASE " + savepoint_ + ";" : std::string("COMMIT;"));
    open_ = false;
}

void Transaction::rollback() noexcept
{
    if (!open_)
        return;
    open_ = false;
    sqlite3* handle = connection_.getHandle();
    // The engine may have rolled the whole transaction back itself (a full disk, for one):
    // then there is nothing left to undo.
    if (!handle || sqlite3_get_autocommit(handle))
        return;
    if (nested_) {
        const std::string sql = "ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_ + ";";
        sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(handle, "ROLLBACK;", nullptr, nullptr, nullptr);
    }
}

void Transaction::run(const std::string& sql)
{
    connection_.checkAvailable();
    const int rc = sqlite3_exec(connection_.getHandle(), sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw SQLiteVMException(rc);
}

} // namespace dwin::database::sqlite
