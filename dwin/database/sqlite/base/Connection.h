#pragma once
// Connection: one open SQLite database file, and the factory of statements, cursors, scripts.

#include "dwin/database/sqlite/base/Errors.h"
#include "dwin/database/sqlite/base/SQLiteData.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace dwin::database::sqlite {

class Cursor;
class Script;
class Statement;

// Owns the sqlite3 handle. Neither copyable nor movable: statements, cursors and scripts keep a
// reference to it, and it must outlive them. States: new -> open -> closed (final).
//
// Throws SQLiteVMException (result code) for engine failures and SQLiteDException for misuse;
// every engine operation first calls checkAvailable ("Connection Not Available").
// The destructor closes an open connection and never throws: when statements are still alive
// the handle is released once the last of them is finalized.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* getHandle() const { return handle_; }
    std::string getPath() const { return path_; }
    bool isAvailable() const { return handle_ != nullptr; }
    bool isClosed() const { return closed_; }

    // Opens (or creates) the file for reading and writing; its folder must exist.
    // A failed open keeps the handle SQLite handed out, so the connection counts as open.
    void open(std::string_view path);
    // Does nothing when not open. Refused with code 5 while statements are alive; the
    // connection then stays open.
    void close();
    void interrupt();
    void setBusyTimeout(int milliseconds);

    // User functions, aggregates and collations (registration, removal) and the engine hook
    // accessors belong here, next to the data adapter and mapper below.

    // Only stored; used by Statement::bind and Statement::getData. Shared with the caller.
    std::shared_ptr<IUserDataAdapter> getUserDataAdapter() const { return userDataAdapter_; }
    void setUserDataAdapter(std::shared_ptr<IUserDataAdapter> adapter) { userDataAdapter_ = std::move(adapter); }
    std::shared_ptr<IDeclTypeMapper> getDeclTypeMapper() const { return declTypeMapper_; }
    void setDeclTypeMapper(std::shared_ptr<IDeclTypeMapper> mapper) { declTypeMapper_ = std::move(mapper); }

    bool isAutoCommit() const;
    // The plain texts "begin;", "commit;", "rollback;": no nesting, no counting.
    void begin();
    void commit();
    void rollback();
    // Rows changed by the latest INSERT, UPDATE or DELETE.
    int getChanges() const;
    int getTotalChanges() const;
    std::int64_t getLastInsertRowId() const;
    void checkAvailable() const;

    // The caller owns what these make and must close it before close().
    Cursor createCursor();
    Statement createStatement();
    // A failed preparation is not reported: the statement comes back unprepared.
    Statement createStatement(std::string_view sql);
    Script createScript();
    Script createScript(std::string_view sql);

    int getErrorCode() const;
    // The engine's text for the last failure; valid until the next engine call on this connection.
    std::string_view getErrorMessage() const;
    std::u16string_view getErrorMessage16() const;
    // No availability check.
    void setExtendedResultCodes(bool on);

private:
    void exec(const char* sql);

    sqlite3* handle_ = nullptr;
    std::string path_;
    bool closed_ = false;

    // Registered function, aggregate and collation objects and the hook callbacks are kept
    // here as well, so they stay alive as long as SQLite may call them.

    std::shared_ptr<IUserDataAdapter> userDataAdapter_;
    std::shared_ptr<IDeclTypeMapper> declTypeMapper_;
};

} // namespace dwin::database::sqlite
