#include "dwin/database/sqlite/base/Statement.h"

#include "dwin/database/sqlite/base/Connection.h"

#include <sqlite3.h>

#include <climits>
#include <utility>

namespace dwin::database::sqlite {

namespace {
// SQLite binds a null pointer as SQL NULL, so empty texts and blobs need a real address.
const char* textPtr(std::string_view v)
{
    return v.data() ? v.data() : "";
}

const void* bytesPtr(const void* p)
{
    static const char empty = 0;
    return p ? p : &empty;
}

void checkLength(std::size_t bytes)
{
    if (bytes > static_cast<std::size_t>(INT_MAX))
        throw SQLiteVMException(SQLITE_TOOBIG);
}

// SQLite's 1-based position of a 0-based index. The largest int has none: out of range (25),
// as SQLite answers for any other position it does not have.
int position(int index)
{
    if (index == INT_MAX)
        throw SQLiteVMException(SQLITE_RANGE);
    return index + 1;
}
} // namespace

Statement::Statement(Connection& connection) : connection_(&connection)
{
}

Statement::Statement(Statement&& other) noexcept
    : connection_(other.connection_), handle_(std::exchange(other.handle_, nullptr)),
      tail_(std::move(other.tail_)), done_(std::exchange(other.done_, false))
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        finalize();
        connection_ = other.connection_;
        handle_ = std::exchange(other.handle_, nullptr);
        tail_ = std::move(other.tail_);
        done_ = std::exchange(other.done_, false);
    }
    return *this;
}

Statement::~Statement()
{
    finalize();
}

sqlite3* Statement::getDatabaseHandle() const
{
    return connection_->getHandle();
}

void Statement::checkStatement() const
{
    if (!handle_)
        throw SQLiteDException("Statement Not Available");
}

void Statement::checkConnection() const
{
    if (!connection_->isAvailable())
        throw SQLiteDException("Connection Not Available");
}

void Statement::check(int rc) const
{
    if (rc != SQLITE_OK)
        throw SQLiteVMException(rc);
}

int Statement::prepare(std::string_view sql)
{
    std::string_view rest;
    return prepare(sql, rest);
}

int Statement::prepare(std::string_view sql, std::string_view& rest)
{
    checkConnection();
    if (handle_)
        finalize();
    if (sql.size() > static_cast<std::size_t>(INT_MAX))
        return SQLITE_TOOBIG;
    const char* text = textPtr(sql);
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(connection_->getHandle(), text, static_cast<int>(sql.size()),
                                &handle_, &tail);
    std::size_t used = tail ? static_cast<std::size_t>(tail - text) : sql.size();
    if (used > sql.size())
        used = sql.size();
    rest = sql.substr(used);
    tail_.assign(rest);
    return rc;
}

void Statement::prepareOrThrow(std::string_view sql)
{
    check(prepare(sql));
}

void Statement::prepareOrThrow(std::string_view sql, std::string_view& rest)
{
    check(prepare(sql, rest));
}

void Statement::bindAll(std::span<const SQLiteData> values)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        bind(static_cast<int>(i), values[i]);
}

void Statement::bindAll(const std::map<std::string, SQLiteData>& values)
{
    for (const auto& [name, value] : values)
        bind(getParameterIndex(name), value);
}

void Statement::bind(std::initializer_list<BindValue> values)
{
    int i = 0;
    for (const BindValue& v : values) {
        std::visit(
            [this, i](const auto& x) {
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, std::int32_t>)
                    bindInt(i, x);
                else if constexpr (std::is_same_v<T, std::int64_t>)
                    bindLong(i, x);
                else if constexpr (std::is_same_v<T, double>)
                    bindDouble(i, x);
                else if constexpr (std::is_same_v<T, std::string_view>)
                    bindText(i, x);
                else if constexpr (std::is_same_v<T, std::u16string_view>)
                    bindText16(i, x);
                else if constexpr (std::is_same_v<T, std::span<const std::byte>>)
                    bindBlob(i, x);
                else
                    bind(i, *x);
            },
            v.held());
        ++i;
    }
}

void Statement::bind(int index, const SQLiteData& d)
{
    checkStatement();
    if (d.type > 8) {
        if (auto adapter = connection_->getUserDataAdapter()) {
            bindByTag(index, adapter->toBase(d));
            return;
        }
    }
    bindByTag(index, d);
}

void Statement::bindByTag(int index, const SQLiteData& d)
{
    switch (d.type) {
    case SQLiteDataType::Int: return bindInt(index, d.asInt());
    case SQLiteDataType::Long: return bindLong(index, d.asLong());
    case SQLiteDataType::Double: return bindDouble(index, d.asDouble());
    case SQLiteDataType::Text: return bindText(index, d.asText());
    case SQLiteDataType::Text16: return bindText16(index, d.asText16());
    case SQLiteDataType::Blob: return bindBlob(index, d.asBlob());
    case SQLiteDataType::Null: return bindNull(index);
    default: throw SQLiteDException("Invalid Parameter (SQLiteData)Type");
    }
}

void Statement::bindInt(int index, std::int32_t v)
{
    checkStatement();
    check(sqlite3_bind_int(handle_, position(index), v));
}

void Statement::bindLong(int index, std::int64_t v)
{
    checkStatement();
    check(sqlite3_bind_int64(handle_, position(index), v));
}

void Statement::bindDouble(int index, double v)
{
    checkStatement();
    check(sqlite3_bind_double(handle_, position(index), v));
}

void Statement::bindText(int index, std::string_view v)
{
    checkStatement();
    checkLength(v.size());
    check(sqlite3_bind_text(handle_, position(index), textPtr(v), static_cast<int>(v.size()),
                            SQLITE_TRANSIENT));
}

void Statement::bindText16(int index, std::u16string_view v)
{
    checkStatement();
    checkLength(v.size() * 2);
    check(sqlite3_bind_text16(handle_, position(index), bytesPtr(v.data()),
                              static_cast<int>(v.size() * 2), SQLITE_TRANSIENT));
}

void Statement::bindBlob(int index, std::span<const std::byte> v)
{
    checkStatement();
    checkLength(v.size());
    check(sqlite3_bind_blob(handle_, position(index), bytesPtr(v.data()),
                            static_cast<int>(v.size()), SQLITE_TRANSIENT));
}

void Statement::bindTextStatic(int index, std::string_view v)
{
    checkStatement();
    checkLength(v.size());
    check(sqlite3_bind_text(handle_, position(index), textPtr(v), static_cast<int>(v.size()),
                            SQLITE_STATIC));
}

void Statement::bindText16Static(int index, std::u16string_view v)
{
    checkStatement();
    checkLength(v.size() * 2);
    check(sqlite3_bind_text16(handle_, position(index), bytesPtr(v.data()),
                              static_cast<int>(v.size() * 2), SQLITE_STATIC));
}

void Statement::bindBlobStatic(int index, std::span<const std::byte> v)
{
    checkStatement();
    checkLength(v.size());
    check(sqlite3_bind_blob(handle_, position(index), bytesPtr(v.data()),
                            static_cast<int>(v.size()), SQLITE_STATIC));
}

void Statement::bindNull(int index)
{
    checkStatement();
    check(sqlite3_bind_null(handle_, position(index)));
}

// The parameter queries answer for an unprepared statement too: it has no parameters.
int Statement::getParameterCount() const
{
    return sqlite3_bind_parameter_count(handle_);
}

int Statement::getParameterIndex(std::string_view name) const
{
    // SQLite reads the name up to its first zero byte; no parameter name holds one.
    if (name.find('\0') != std::string_view::npos)
        return -1;
    return sqlite3_bind_parameter_index(handle_, std::string(name).c_str()) - 1;
}

std::string Statement::getParameterName(int index) const
{
    if (index == INT_MAX)
        return {};
    const char* name = sqlite3_bind_parameter_name(handle_, index + 1);
    return name ? std::string(name) : std::string();
}

void Statement::clearBindings()
{
    int count = getParameterCount();
    for (int i = 0; i < count; ++i)
        bindNull(i);
}

int Statement::transferBindings(Statement& other)
{
    checkStatement();
    other.checkStatement();
    return sqlite3_transfer_bindings(handle_, other.handle_);
}

int Statement::step()
{
    checkStatement();
    // SQLite would start the statement over by itself; an extra step must not run an INSERT twice.
    if (done_)
        return SQLITE_DONE;
    int rc = sqlite3_step(handle_);
    done_ = rc == SQLITE_DONE;
    return rc;
}

int Statement::reset()
{
    checkStatement();
    done_ = false;
    return sqlite3_reset(handle_);
}

int Statement::finalize()
{
    done_ = false;
    return sqlite3_finalize(std::exchange(handle_, nullptr));
}

void Statement::close()
{
    if (handle_)
        check(finalize());
}

bool Statement::isExpired() const
{
    return !handle_ || sqlite3_expired(handle_) != 0;
}

} // namespace dwin::database::sqlite
