#include "dwin/database/sqlite/base/Cursor.h"

#include "dwin/database/sqlite/base/Connection.h"
#include "dwin/database/sqlite/base/Script.h"

#include <sqlite3.h>

#include <utility>

namespace dwin::database::sqlite {

Cursor::Cursor(Connection& connection)
    : connection_(&connection), statement_(connection.createStatement())
{
}

Cursor::Cursor(Cursor&& other) noexcept
    : connection_(other.connection_), statement_(std::move(other.statement_)),
      current_(other.current_ == &other.statement_ ? &statement_ : other.current_),
      closed_(other.closed_), rowCount_(other.rowCount_)
{
    other.current_ = nullptr;
}

Cursor& Cursor::operator=(Cursor&& other) noexcept
{
    if (this != &other) {
        connection_ = other.connection_;
        statement_ = std::move(other.statement_);
        current_ = other.current_ == &other.statement_ ? &statement_ : other.current_;
        closed_ = other.closed_;
        rowCount_ = other.rowCount_;
        other.current_ = nullptr;
    }
    return *this;
}

void Cursor::close()
{
    statement_.close();
    closed_ = true;
}

void Cursor::checkOpen() const
{
    if (closed_)
        throw SQLiteDException("Cursor Has Already Closed");
}

bool Cursor::isQuery() const
{
    return current_ && current_->hasColumns();
}

bool Cursor::hasRow() const
{
    return current_ && current_->isPrepared() && current_->getDataCount() > 0;
}

void Cursor::checkConnection() const
{
    if (!connection_->isAvailable())
        throw SQLiteDException("Connection Not Available");
}

void Cursor::checkStatement() const
{
    if (!current_ || !current_->isPrepared())
        throw SQLiteDException("Statement Not Available");
}

Statement& Cursor::current() const
{
    if (!current_)
        throw SQLiteDException("Statement Not Available");
    return *current_;
}

void Cursor::prepareOwn(std::string_view sql)
{
    checkOpen();
    if (statement_.isPrepared()) {
        int rc = statement_.finalize();
        if (rc != SQLITE_OK)
            throw SQLiteVMException(rc);
    }
    statement_.prepareOrThrow(sql);
}

bool Cursor::execute(std::string_view sql)
{
    prepareOwn(sql);
    return execute(statement_);
}

bool Cursor::execute(std::string_view sql, std::span<const SQLiteData> values)
{
    prepareOwn(sql);
    statement_.bindAll(values);
    return execute(statement_);
}

bool Cursor::execute(std::string_view sql, const std::map<std::string, SQLiteData>& values)
{
    prepareOwn(sql);
    statement_.bindAll(values);
    return execute(statement_);
}

bool Cursor::execute(std::string_view sql, std::initializer_list<BindValue> values)
{
    prepareOwn(sql);
    statement_.bind(values);
    return execute(statement_);
}

bool Cursor::execute(Statement& s)
{
    checkOpen();
    if (&s.getConnection() != connection_)
        throw SQLiteDException("Same Connection Required");
    current_ = &s;
    s.reset();
    rowCount_ = 0;
    return next();
}

bool Cursor::next()
{
    int rc = current().step();
    if (rc == SQLITE_ROW) {
        ++rowCount_;
        return true;
    }
    if (rc == SQLITE_DONE) {
        if (!isQuery())
            rowCount_ = connection_->getChanges();
        return false;
    }
    throw SQLiteVMException(rc);
}

void Cursor::reset()
{
    int rc = current().reset();
    if (rc != SQLITE_OK)
        throw SQLiteVMException(rc);
    rowCount_ = 0;
}

void Cursor::skipRows()
{
    if (hasRow())
        while (next()) {}
}

std::vector<SQLiteData> Cursor::fetchRow(std::span<const std::int32_t> tags)
{
    std::vector<SQLiteData> row;
    int n = current().getDataCount();
    if (n == 0)
        return row;
    row.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        // A column without a tag of its own is read by its storage class.
        auto column = static_cast<std::size_t>(i);
        std::int32_t tag = column < tags.size() ? tags[column] : SQLiteDataType::ByColumnType;
        row.push_back(current_->getData(i, tag));
    }
    next();
    return row;
}

std::vector<std::vector<SQLiteData>> Cursor::fetchAll(std::span<const std::int32_t> tags)
{
    std::vector<std::vector<SQLiteData>> rows;
    for (auto row = fetchRow(tags); !row.empty(); row = fetchRow(tags))
        rows.push_back(std::move(row));
    return rows;
}

std::vector<std::vector<SQLiteData>> Cursor::fetchMany(int count,
                                                       std::span<const std::int32_t> tags)
{
    std::vector<std::vector<SQLiteData>> rows;
    for (int i = 0; i < count; ++i) {
        auto row = fetchRow(tags);
        if (row.empty())
            break;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int32_t Cursor::executeScript(std::string_view sql, const StoppingCallback& callback)
{
    checkOpen();
    Script script = connection_->createScript(sql);
    return executeScript(script, callback);
}

std::int32_t Cursor::executeScript(Script& script, const StoppingCallback& callback)
{
    checkOpen();
    return script.run([this, &callback](Statement& s) { return runStatement(s, callback); });
}

std::int32_t Cursor::runStatement(Statement& s, const StoppingCallback& callback)
{
    // s dies when this statement of the script is done; the cursor must not keep it.
    struct Forget {
        Cursor& c;
        Statement& s;
        ~Forget()
        {
            if (c.current_ == &s)
                c.current_ = nullptr;
        }
    } forget{*this, s};
    if (execute(s)) {
        do {
            if (callback && callback(*this) != 0)
                break;
        } while (next());
    }
    s.finalize();
    return 0;
}

} // namespace dwin::database::sqlite
