#pragma once
// Connection: one open SQLite database file, and the factory of statements, cursors, scripts.

#include "dwin/database/sqlite/base/Errors.h"
#include "dwin/database/sqlite/base/SQLiteData.h"
#include "dwin/database/sqlite/_auth.h"
#include "dwin/database/sqlite/_event.h"
#include "dwin/database/sqlite/_ureg.h"

#include <cstdint>
#include <map>
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
    // Opens an existing file for reading only. Nothing is ever written, made or removed: not the
    // file, its journal, its write-ahead log (-wal) nor that log's index (-shm). A file whose log
    // holds frames is read with them through an existing index; a reading that needs a recovery
    // (a journal left by a crash, a log without its index) fails with code 8 or 14. asItStands
    // reads the file alone, without locks, any journal or log ignored; for a file in WAL mode with
    // no -wal this is the only reading, as the engine would make one otherwise.
    void openReadOnly(std::string_view path, bool asItStands);
    // Does nothing when not open. Refused with code 5 while statements are alive; the
    // connection then stays open.
    void close();
    void interrupt();
    // How long a statement waits for another connection's lock before it fails with code 5
    // (busy); 0 fails at once.
    void setBusyTimeout(int milliseconds);
    // True when the engine opened the main database read-only (a write-protected file).
    bool isReadOnly() const;

    // User functions, aggregates and collations (_ureg.h). The connection shares each registered
    // object with the caller and keeps it until it is removed or replaced under the same name,
    // argument count and encoding; a function or aggregate with encoding 5 (any) is kept under
    // encodings 1, 2 and 3, and 4 stands for the native UTF-16.
    // Throws SQLiteDException "User Function NULL" ("User Aggregate NULL", "User Collation NULL")
    // for a null object or an empty callback before SQLite is asked; SQLiteVMException with the
    // code when SQLite refuses, leaving the registrations unchanged; SQLiteDException
    // "User Function Not Exist" (...) when removing what was not registered here, after SQLite
    // has dropped it all the same.
    void createFunction(std::shared_ptr<IUserFunction> function);
    void createFunction(std::string_view name, int args, int encoding,
                        UserFunctionCallback callback);
    void createFunction(std::string_view name, int args, int encoding, UserFunctionFn& function);
    void removeFunction(const std::shared_ptr<IUserFunction>& function);
    void removeFunction(std::string_view name, int args, int encoding);
    void createAggregate(std::shared_ptr<IUserAggregate> aggregate);
    void createAggregate(std::string_view name, int args, int encoding, UserStepCallback step,
                         UserFinalCallback final);
    void createAggregate(std::string_view name, int args, int encoding, UserStepFn& step,
                         UserFinalFn& final);
    void removeAggregate(const std::shared_ptr<IUserAggregate>& aggregate);
    void removeAggregate(std::string_view name, int args, int encoding);
    void createCollation(std::shared_ptr<IUserCollation> collation);
    void createCollation(std::string_view name, int encoding, UserCollationCallback callback);
    void createCollation(std::string_view name, int encoding, UserCollationFn& function);
    void removeCollation(const std::shared_ptr<IUserCollation>& collation);
    void removeCollation(std::string_view name, int encoding);

    // Engine hooks (_event.h) and the authoriser (_auth.h). Each setter stores the value first,
    // then throws SQLiteDException "Connection Not Available" when not open, then hands SQLite
    // the hook (or removes it for an empty value). The progress handler's instruction count is
    // only stored; the next setProgressHandler uses it, and SQLite never calls a handler set
    // with a count below 1 (the count is 0 at construction).
    const ProgressHandler& getProgressHandler() const { return progressHandler_; }
    void setProgressHandler(ProgressHandler handler);
    int getProgressHandlerOps() const { return progressHandlerOps_; }
    void setProgressHandlerOps(int ops) { progressHandlerOps_ = ops; }
    const CommitHook& getCommitHook() const { return commitHook_; }
    void setCommitHook(CommitHook hook);
    const RollbackHook& getRollbackHook() const { return rollbackHook_; }
    void setRollbackHook(RollbackHook hook);
    const UpdateHook& getUpdateHook() const { return updateHook_; }
    void setUpdateHook(UpdateHook hook);
    const BusyHandler& getBusyHandler() const { return busyHandler_; }
    void setBusyHandler(BusyHandler handler);
    const TraceCallback& getTrace() const { return trace_; }
    void setTrace(TraceCallback trace);
    const CollationNeededCallback& getCollationNeeded() const { return collationNeeded_; }
    void setCollationNeeded(CollationNeededCallback callback);
    std::shared_ptr<IAuthorizer> getAuthorizer() const { return authorizer_; }
    void setAuthorizer(std::shared_ptr<IAuthorizer> authorizer);

    // Only stored; used by Statement::bind and Statement::getData. Shared with the caller.
    std::shared_ptr<IUserDataAdapter> getUserDataAdapter() const { return userDataAdapter_; }
    void setUserDataAdapter(std::shared_ptr<IUserDataAdapter> adapter)
    {
        userDataAdapter_ = std::move(adapter);
    }
    std::shared_ptr<IDeclTypeMapper> getDeclTypeMapper() const { return declTypeMapper_; }
    void setDeclTypeMapper(std::shared_ptr<IDeclTypeMapper> mapper)
    {
        declTypeMapper_ = std::move(mapper);
    }

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

    // Hands SQLite no hook and no authoriser any more; for a handle that outlives this object.
    void dropHooks() noexcept;

    // Registered objects by registration key, and the hooks: kept here as long as SQLite may
    // call them.
    std::map<std::string, std::shared_ptr<IUserFunction>> functions_;
    std::map<std::string, std::shared_ptr<IUserAggregate>> aggregates_;
    std::map<std::string, std::shared_ptr<IUserCollation>> collations_;
    ProgressHandler progressHandler_;
    int progressHandlerOps_ = 0;
    CommitHook commitHook_;
    RollbackHook rollbackHook_;
    UpdateHook updateHook_;
    BusyHandler busyHandler_;
    TraceCallback trace_;
    CollationNeededCallback collationNeeded_;
    std::shared_ptr<IAuthorizer> authorizer_;

    std::shared_ptr<IUserDataAdapter> userDataAdapter_;
    std::shared_ptr<IDeclTypeMapper> declTypeMapper_;
};

} // namespace dwin::database::sqlite
