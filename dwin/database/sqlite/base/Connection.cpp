#include "dwin/database/sqlite/base/Connection.h"

#include "dwin/database/sqlite/base/Cursor.h"
#include "dwin/database/sqlite/base/Script.h"
#include "dwin/database/sqlite/base/Statement.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

namespace dwin::database::sqlite {

Connection::Connection() = default;

Connection::~Connection()
{
    // Never throws: with statements still alive SQLite keeps the handle until the last one
    // is finalized, then releases it.
    if (handle_ && sqlite3_close(handle_) != SQLITE_OK) {
        // Statements outlive this object: their handle's hooks must not call back into it.
        dropHooks();
        sqlite3_close_v2(handle_);
    }
}

void Connection::open(std::string_view path)
{
    if (closed_)
        throw SQLiteDException("Connection Has Already Closed");
    if (handle_)
        throw SQLiteDException("Connection Has Already Opened");
    path_.assign(path);
    // SQLite reads the name up to its first zero byte: a name holding one would open another file.
    if (path_.find('\0') != std::string::npos)
        throw SQLiteVMException("Can't Open Connection", SQLITE_CANTOPEN);
    int rc = sqlite3_open(path_.c_str(), &handle_);
    if (rc != SQLITE_OK)
        throw SQLiteVMException("Can't Open Connection", rc);
}

namespace {

// The path as a URI: every byte outside the plain ones escaped, so '?', '#' and '%' stay in it.
std::string fileUri(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
            (c >= '0' && c <= '9') ||
            std::string_view("/-._~").find(char(c)) != std::string_view::npos;
        if (plain) {
            uri += char(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

} // namespace

void Connection::openReadOnly(std::string_view path, bool asItStands)
{
    if (closed_)
        throw SQLiteDException("Connection Has Already Closed");
    if (handle_)
        throw SQLiteDException("Connection Has Already Opened");
    path_.assign(path);
    if (path_.empty() || path_.find('\0') != std::string::npos)
        throw SQLiteVMException("Can't Open Connection", SQLITE_CANTOPEN);
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(path_, ec).string();
    if (ec)
        throw SQLiteVMException("Can't Open Connection", SQLITE_CANTOPEN);
    // readonly_shm: the index is read, never written (a reader would note its place in it)
    const std::string uri =
        fileUri(absolute) + (asItStands ? "?mode=ro&immutable=1" : "?mode=ro&readonly_shm=1");
    int rc =
        sqlite3_open_v2(uri.c_str(), &handle_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK)
        throw SQLiteVMException("Can't Open Connection", rc);
}

void Connection::close()
{
    if (!handle_)
        return;
    int rc = sqlite3_close(handle_);
    if (rc != SQLITE_OK)
        throw SQLiteVMException("Connection Is Still Available, Close All Cursors And Statements "
                                "Created By It And Try Again",
                                rc);
    handle_ = nullptr;
    closed_ = true;
}

void Connection::checkAvailable() const
{
    if (!handle_)
        throw SQLiteDException("Connection Not Available");
}

void Connection::interrupt()
{
    checkAvailable();
    sqlite3_interrupt(handle_);
}

void Connection::setBusyTimeout(int milliseconds)
{
    checkAvailable();
    sqlite3_busy_timeout(handle_, milliseconds);
}

bool Connection::isReadOnly() const
{
    checkAvailable();
    return sqlite3_db_readonly(handle_, "main") == 1;
}

bool Connection::isAutoCommit() const
{
    checkAvailable();
    return sqlite3_get_autocommit(handle_) != 0;
}

void Connection::exec(const char* sql)
{
    checkAvailable();
    int rc = sqlite3_exec(handle_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw SQLiteVMException(rc);
}

void Connection::begin()
{
    exec("begin;");
}

void Connection::commit()
{
    exec("commit;");
}

void Connection::rollback()
{
    exec("rollback;");
}

int Connection::getChanges() const
{
    checkAvailable();
    return sqlite3_changes(handle_);
}

int Connection::getTotalChanges() const
{
    checkAvailable();
    return sqlite3_total_changes(handle_);
}

std::int64_t Connection::getLastInsertRowId() const
{
    checkAvailable();
    return sqlite3_last_insert_rowid(handle_);
}

Cursor Connection::createCursor()
{
    checkAvailable();
    return Cursor(*this);
}

Statement Connection::createStatement()
{
    return Statement(*this);
}

Statement Connection::createStatement(std::string_view sql)
{
    Statement s(*this);
    s.prepare(sql);
    return s;
}

Script Connection::createScript()
{
    return Script(*this);
}

Script Connection::createScript(std::string_view sql)
{
    Script s(*this);
    s.setText(sql);
    return s;
}

int Connection::getErrorCode() const
{
    checkAvailable();
    return sqlite3_errcode(handle_);
}

std::string_view Connection::getErrorMessage() const
{
    checkAvailable();
    return sqlite3_errmsg(handle_);
}

std::u16string_view Connection::getErrorMessage16() const
{
    checkAvailable();
    // Null only when SQLite ran out of memory making the UTF-16 text.
    auto text = static_cast<const char16_t*>(sqlite3_errmsg16(handle_));
    return text ? std::u16string_view(text) : std::u16string_view();
}

void Connection::setExtendedResultCodes(bool on)
{
    // SQLite does not accept a null handle here; without one there is nothing to set.
    if (handle_)
        sqlite3_extended_result_codes(handle_, on ? 1 : 0);
}

} // namespace dwin::database::sqlite
