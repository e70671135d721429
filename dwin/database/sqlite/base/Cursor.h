#pragma once
// Cursor: runs SQL on a statement of its own, counts rows, reads the current row, runs scripts.

#include "dwin/database/sqlite/base/Errors.h"
#include "dwin/database/sqlite/base/SQLiteData.h"
#include "dwin/database/sqlite/base/Statement.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace dwin::database::sqlite {

class Connection;
class Script;

// Owns its own statement (finalized by close or the destructor); a statement passed to
// execute(Statement&) stays the caller's and must outlive its use through the cursor.
// Movable, not copyable; the connection must outlive the cursor.
//
// Row count: after a statement without result columns, the rows it changed; after a query,
// the rows stepped onto so far (0 when it had none).
//
// Throws SQLiteVMException (result code) for engine failures; SQLiteDException for
// "Cursor Has Already Closed", "Same Connection Required", "Connection Not Available",
// "Statement Not Available" and the getters' guards.
class Cursor {
public:
    using RowCallback = std::function<void(Cursor&)>;
    // A non-zero result stops the rows of the running statement.
    using StoppingCallback = std::function<std::int32_t(Cursor&)>;

    explicit Cursor(Connection& connection);
    Cursor(Cursor&& other) noexcept;
    Cursor& operator=(Cursor&& other) noexcept;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;
    ~Cursor() = default;

    Connection& getConnection() const { return *connection_; }
    // The statement whose rows are being read; null before the first execute.
    Statement* getStatement() const { return current_; }
    bool isClosed() const { return closed_; }
    void close();
    void checkOpen() const;
    bool isQuery() const;
    bool hasRow() const;
    std::int32_t getRowCount() const { return rowCount_; }

    // Prepares the first statement of sql, binds the values, steps once. True when a row is ready.
    bool execute(std::string_view sql);
    bool execute(std::string_view sql, std::span<const SQLiteData> values);
    bool execute(std::string_view sql, const std::map<std::string, SQLiteData>& values);
    bool execute(std::string_view sql, std::initializer_list<BindValue> values);
    // Resets s and steps it once; s becomes the current statement.
    bool execute(Statement& s);

    // Runs every statement of the text in order, handing each row to the callback. Always 0.
    std::int32_t executeScript(std::string_view sql, const StoppingCallback& callback);
    std::int32_t executeScript(Script& script, const StoppingCallback& callback);
    template <class F>
    requires std::is_void_v<std::invoke_result_t<F&, Cursor&>> std::int32_t
    executeScript(std::string_view sql, F&& callback)
    {
        return executeScript(sql, StoppingCallback(rowsToEnd(callback)));
    }
    template <class F>
    requires std::is_void_v<std::invoke_result_t<F&, Cursor&>> std::int32_t
    executeScript(Script& script, F&& callback)
    {
        return executeScript(script, StoppingCallback(rowsToEnd(callback)));
    }

    bool next();
    void reset();
    void skipRows();
    // The current row (tags: one per column; columns without one are read by storage class),
    // then next. Empty when no row is ready.
    std::vector<SQLiteData> fetchRow(std::span<const std::int32_t> tags = {});
    std::vector<std::vector<SQLiteData>> fetchAll(std::span<const std::int32_t> tags = {});
    std::vector<std::vector<SQLiteData>> fetchMany(int count,
                                                   std::span<const std::int32_t> tags = {});
    void checkConnection() const;
    void checkStatement() const;

    // The current statement's getters (Statement), unchanged.
    int getColumnCount() const { return current().getColumnCount(); }
    int getDataCount() const { return current().getDataCount(); }
    std::int32_t getInt(int i) const { return current().getInt(i); }
    std::int64_t getLong(int i) const { return current().getLong(i); }
    double getDouble(int i) const { return current().getDouble(i); }
    std::string getText(int i) const { return current().getText(i); }
    std::u16string getText16(int i) const { return current().getText16(i); }
    Blob getBlob(int i) const { return current().getBlob(i); }
    SQLiteData getData(int i, std::int32_t tag = SQLiteDataType::ByColumnType) const
    {
        return current().getData(i, tag);
    }
    int getColumnType(int i) const { return current().getColumnType(i); }
    std::string getDeclType(int i) const { return current().getDeclType(i); }
    std::u16string getDeclType16(int i) const { return current().getDeclType16(i); }
    std::string getColumnName(int i) const { return current().getColumnName(i); }
    std::u16string getColumnName16(int i) const { return current().getColumnName16(i); }

private:
    template <class F>
    static auto rowsToEnd(F& callback)
    {
        return [&callback](Cursor& c) -> std::int32_t {
            callback(c);
            return 0;
        };
    }
    // The current statement; throws "Statement Not Available" when there is none.
    Statement& current() const;
    void prepareOwn(std::string_view sql);
    std::int32_t runStatement(Statement& s, const StoppingCallback& callback);

    Connection* connection_;
    Statement statement_;
    Statement* current_ = nullptr;
    bool closed_ = false;
    std::int32_t rowCount_ = 0;
};

} // namespace dwin::database::sqlite
