#pragma once
// Transaction: a scoped write on a connection that commits when told and rolls back otherwise.

#include <string>

namespace dwin::database::sqlite {

class Connection;

// Outside a transaction it begins one with "BEGIN IMMEDIATE;", so the write lock is taken (and
// waited for, under the connection's busy timeout) at the start rather than half-way. Inside an
// open transaction it sets a savepoint instead, so a failed inner write undoes only its own part.
// commit() ends it ("COMMIT;" or releasing the savepoint); a commit that fails throws and leaves
// the guard open, so the destructor rolls back. The destructor never throws.
//
// Throws SQLiteVMException (result code) when the engine refuses to begin or to commit, and
// SQLiteDException "Connection Not Available" on a connection that is not open.
// Neither copyable nor movable; the connection must outlive it.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    // Rolls back now (nothing when already ended); never throws.
    void rollback() noexcept;
    bool isOpen() const { return open_; }
    // True when this guard is a savepoint inside a transaction someone else began.
    bool isNested() const { return nested_; }

private:
    void run(const std::string& sql);

    Connection& connection_;
    std::string savepoint_;
    bool nested_ = false;
    bool open_ = false;
};

} // namespace dwin::database::sqlite
