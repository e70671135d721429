#pragma once
// Statement: one prepared SQL statement of a Connection.

#include "dwin/database/sqlite/base/Errors.h"
#include "dwin/database/sqlite/base/SQLiteData.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace dwin::database::sqlite {

class Connection;

// Owns one sqlite3_stmt, finalized exactly once (finalize, close or the destructor). Movable,
// not copyable. The connection must outlive the statement; the creator closes the statement
// before closing the connection, which is refused otherwise.
//
// Indexes are 0-based: parameter i is SQLite's position i+1; columns pass unchanged.
// Throws SQLiteVMException (engine result code) on failed binds, prepareOrThrow and close;
// SQLiteDException on misuse ("Statement Not Available", "Connection Not Available", the
// index guards, bad tags). step, reset, prepare and finalize return SQLite's result code.
class Statement {
public:
    explicit Statement(Connection& connection);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Connection& getConnection() const { return *connection_; }
    sqlite3* getDatabaseHandle() const;
    sqlite3_stmt* getHandle() const { return handle_; }
    // Text after the first statement of the last prepared text (a copy).
    std::string getTail() const { return tail_; }
    bool isPrepared() const { return handle_ != nullptr; }
    void checkStatement() const;
    void checkConnection() const;

    // Prepares the first statement of sql (finalizing a prepared one first). A text of only
    // blanks or comments gives 0 and leaves the statement unprepared.
    int prepare(std::string_view sql);
    // The same; rest receives the unprepared remainder as a slice of sql.
    int prepare(std::string_view sql, std::string_view& rest);
    void prepareOrThrow(std::string_view sql);
    void prepareOrThrow(std::string_view sql, std::string_view& rest);

    // Binds values[i] at index i, in order; the first failure stops with its exception.
    void bindAll(std::span<const SQLiteData> values);
    // Binds each value at the index of its parameter name (":a", "@b", "$c").
    void bindAll(const std::map<std::string, SQLiteData>& values);
    // Binds the i-th value at index i, its kind choosing the typed bind.
    void bind(std::initializer_list<BindValue> values);
    // Binds by tag; text and blob are copied by SQLite. Tags above 8 go through the
    // connection's IUserDataAdapter.
    void bind(int index, const SQLiteData& d);

    // SQLite copies the data.
    void bindInt(int index, std::int32_t v);
    void bindLong(int index, std::int64_t v);
    void bindDouble(int index, double v);
    void bindText(int index, std::string_view v);
    void bindText16(int index, std::u16string_view v);
    void bindBlob(int index, std::span<const std::byte> v);
    // SQLite keeps a reference: the data must stay alive until rebound, reset with new values
    // or finalized.
    void bindTextStatic(int index, std::string_view v);
    void bindText16Static(int index, std::u16string_view v);
    void bindBlobStatic(int index, std::span<const std::byte> v);
    void bindNull(int index);

    int getParameterCount() const;
    // -1 when the statement has no such parameter.
    int getParameterIndex(std::string_view name) const;
    // Empty when the parameter is nameless.
    std::string getParameterName(int index) const;
    void clearBindings();
    int transferBindings(Statement& other);

    // SQLite's result code: 100 row ready, 101 done, else an error. Once done, the statement
    // stays done (101, without running again) until reset or prepared anew.
    int step();
    int reset();
    // Releases the handle whatever the result; returns SQLite's code.
    int finalize();
    // finalize when prepared; throws SQLiteVMException on a non-zero result.
    void close();
    bool isExpired() const;

    bool hasColumns() const;
    int getColumnCount() const;
    int getDataCount() const;
    void checkRowIndex(int index) const;
    void checkColumnIndex(int index) const;

    // Values of the current row (copies).
    std::int32_t getInt(int index) const;
    std::int64_t getLong(int index) const;
    double getDouble(int index) const;
    std::string getText(int index) const;
    std::u16string getText16(int index) const;
    Blob getBlob(int index) const;
    // Without copying: valid until the next step, reset or finalize.
    std::string_view getTextView(int index) const;
    std::u16string_view getText16View(int index) const;
    std::span<const std::byte> getBlobView(int index) const;
    // tag -1: by storage class; -2: by declared type through the connection's mapper.
    SQLiteData getData(int index, std::int32_t tag = SQLiteDataType::ByColumnType) const;

    int getColumnType(int index) const;
    std::string getDeclType(int index) const;
    std::u16string getDeclType16(int index) const;
    std::string getColumnName(int index) const;
    std::u16string getColumnName16(int index) const;

private:
    void check(int rc) const;
    void bindByTag(int index, const SQLiteData& d);

    Connection* connection_;
    sqlite3_stmt* handle_ = nullptr;
    std::string tail_;
    bool done_ = false;
};

} // namespace dwin::database::sqlite
