#include "dwin/database/sqlite/_ureg.h"

#include "dwin/database/sqlite/Base.h"

#include <sqlite3.h>

#include <bit>
#include <cstring>

namespace dwin::database::sqlite {

namespace {
// The UTF-16 byte order of this machine, as SQLite numbers it.
constexpr int nativeUtf16 =
    std::endian::native == std::endian::little ? SQLITE_UTF16LE : SQLITE_UTF16BE;
} // namespace

// ---- the running call's arguments and result ----

void UserCallContext::bindCall(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    context_ = context;
    argc_ = argv ? argc : 0;
    argv_ = argv;
    position_ = 0;
}

sqlite3_value* UserCallContext::current()
{
    if (position_ < 0 || position_ >= argc_)
        throw SQLiteDException("Argument Index Out Of Range");
    return argv_[position_];
}

sqlite3_value* UserCallContext::nextValue()
{
    sqlite3_value* value = current();
    ++position_;
    return value;
}

std::int32_t UserCallContext::getInt()
{
    return sqlite3_value_int(nextValue());
}

std::int64_t UserCallContext::getLong()
{
    return sqlite3_value_int64(nextValue());
}

double UserCallContext::getDouble()
{
    return sqlite3_value_double(nextValue());
}

std::string_view UserCallContext::getText()
{
    sqlite3_value* value = nextValue();
    const int bytes = sqlite3_value_bytes(value);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? std::string_view(text, static_cast<std::size_t>(bytes)) : std::string_view();
}

std::u16string_view UserCallContext::getText16()
{
    sqlite3_value* value = nextValue();
    const int bytes = sqlite3_value_bytes16(value);
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(value));
    return text ? std::u16string_view(text, static_cast<std::size_t>(bytes) / 2)
                : std::u16string_view();
}

std::span<const std::byte> UserCallContext::getBlob()
{
    sqlite3_value* value = nextValue();
    const int bytes = sqlite3_value_bytes(value);
    const auto* blob = static_cast<const std::byte*>(sqlite3_value_blob(value));
    return blob ? std::span<const std::byte>(blob, static_cast<std::size_t>(bytes))
                : std::span<const std::byte>();
}

void UserCallContext::skip()
{
    nextValue();
}

void UserCallContext::back()
{
    if (position_ > 0)
        --position_;
}

int UserCallContext::getArgCount() const
{
    return argc_;
}

int UserCallContext::getType()
{
    return sqlite3_value_type(current());
}

void UserCallContext::setInt(std::int32_t value)
{
    sqlite3_result_int(context_, value);
}

void UserCallContext::setLong(std::int64_t value)
{
    sqlite3_result_int64(context_, value);
}

void UserCallContext::setDouble(double value)
{
    sqlite3_result_double(context_, value);
}

void UserCallContext::setText(std::string_view value)
{
    sqlite3_result_text64(context_, value.data() ? value.data() : "", value.size(),
                          SQLITE_TRANSIENT, SQLITE_UTF8);
}

void UserCallContext::setText16(std::u16string_view value)
{
    sqlite3_result_text64(context_,
                          reinterpret_cast<const char*>(value.data() ? value.data() : u""),
                          value.size() * 2, SQLITE_TRANSIENT, nativeUtf16);
}

void UserCallContext::setBlob(std::span<const std::byte> value)
{
    sqlite3_result_blob64(context_, value.data() ? value.data() : static_cast<const void*>(""),
                          value.size(), SQLITE_TRANSIENT);
}

void UserCallContext::setNull()
{
    sqlite3_result_null(context_);
}

void UserCallContext::setValue(sqlite3_value* value)
{
    sqlite3_result_value(context_, value);
}

SQLiteData UserCallContext::getData(int tag)
{
    if (tag < 0)
        tag = storageClassToTag(getType());
    switch (tag) {
    case SQLiteDataType::Int: return SQLiteData::ofInt(getInt());
    case SQLiteDataType::Long: return SQLiteData::ofLong(getLong());
    case SQLiteDataType::Double: return SQLiteData::ofDouble(getDouble());
    case SQLiteDataType::Text: return SQLiteData(getText());
    case SQLiteDataType::Text16: return SQLiteData::ofText16(getText16());
    case SQLiteDataType::Blob: return SQLiteData::ofBlob(getBlob());
    case SQLiteDataType::Null: skip(); return SQLiteData::ofNull();
    default: throw SQLiteDException("Bad Data Type");
    }
}

void UserCallContext::setData(const SQLiteData& value)
{
    switch (value.type) {
    case SQLiteDataType::Int: setInt(value.asInt()); break;
    case SQLiteDataType::Long: setLong(value.asLong()); break;
    case SQLiteDataType::Double: setDouble(value.asDouble()); break;
    case SQLiteDataType::Text: setText(value.asText()); break;
    case SQLiteDataType::Text16: setText16(value.asText16()); break;
    case SQLiteDataType::Blob: setBlob(value.asBlob()); break;
    case SQLiteDataType::Null: setNull(); break;
    default: throw SQLiteDException("Bad Data Type");
    }
}

void UserFunctionBase::setContext(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    bindCall(context, argc, argv);
}

void UserAggregateBase::setContext(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    bindCall(context, argc, argv);
}

// ---- proxies ----

namespace {

std::vector<SQLiteData> readAll(UserCallContext& call)
{
    std::vector<SQLiteData> args;
    args.reserve(static_cast<std::size_t>(call.getArgCount()));
    for (int i = 0; i < call.getArgCount(); ++i)
        args.push_back(call.getData(-1));
    return args;
}

} // namespace

UserFunctionProxy::UserFunctionProxy(std::string_view name, int args, int encoding,
                                     UserFunctionCallback callback)
    : kind_(UImpType::Callback), callback_(std::move(callback)), name_(name), args_(args),
      encoding_(encoding)
{
}

UserFunctionProxy::UserFunctionProxy(std::string_view name, int args, int encoding,
                                     UserFunctionFn& function)
    : kind_(UImpType::Function), function_(&function), name_(name), args_(args), encoding_(encoding)
{
}

void UserFunctionProxy::call()
{
    const std::vector<SQLiteData> args = readAll(*this);
    setData(kind_ == UImpType::Callback ? callback_(args) : function_(args));
}

UserAggregateProxy::UserAggregateProxy(std::string_view name, int args, int encoding,
                                       UserStepCallback step, UserFinalCallback final)
    : stepKind_(UImpType::Callback), stepCallback_(std::move(step)), finalKind_(UImpType::Callback),
      finalCallback_(std::move(final)), name_(name), args_(args), encoding_(encoding)
{
}

UserAggregateProxy::UserAggregateProxy(std::string_view name, int args, int encoding,
                                       UserStepFn& step, UserFinalFn& final)
    : stepKind_(UImpType::Function), stepFunction_(&step), finalKind_(UImpType::Function),
      finalFunction_(&final), name_(name), args_(args), encoding_(encoding)
{
}

void UserAggregateProxy::step()
{
    const std::vector<SQLiteData> args = readAll(*this);
    if (stepKind_ == UImpType::Callback)
        stepCallback_(args);
    else
        stepFunction_(args);
}

void UserAggregateProxy::final()
{
    setData(finalKind_ == UImpType::Callback ? finalCallback_() : finalFunction_());
}

UserCollationProxy::UserCollationProxy(std::string_view name, int encoding,
                                       UserCollationCallback callback)
    : kind_(UImpType::Callback), callback_(std::move(callback)), name_(name), encoding_(encoding)
{
}

UserCollationProxy::UserCollationProxy(std::string_view name, int encoding,
                                       UserCollationFn& function)
    : kind_(UImpType::Function), function_(&function), name_(name), encoding_(encoding)
{
}

int UserCollationProxy::compare(std::string_view left, std::string_view right)
{
    return kind_ == UImpType::Callback ? callback_(left, right) : function_(left, right);
}

// ---- trampolines: nothing may unwind through SQLite's C frames ----

namespace {

// SQLite's user argument is a heap-held share of the registered object, released by SQLite
// itself once it drops the registration (replaced, removed, or the connection finally closed),
// so the object lives exactly as long as SQLite may call it.
template <class T>
T* held(void* user)
{
    return static_cast<std::shared_ptr<T>*>(user)->get();
}

template <class T>
void releaseHolder(void* user)
{
    delete static_cast<std::shared_ptr<T>*>(user);
}

} // namespace

// Saves the running call's state of an object built on UserCallContext and puts it back when the
// call ends, so an SQL statement run from inside a call may call the same object again.
class detail::CallScope {
public:
    template <class T>
    explicit CallScope(T* object) : call_(dynamic_cast<UserCallContext*>(object))
    {
        if (call_)
            saved_ = *call_;
    }
    ~CallScope()
    {
        if (call_)
            *call_ = saved_;
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    UserCallContext* call_;
    UserCallContext saved_;
};

namespace {

template <class Body>
void guarded(sqlite3_context* context, Body&& body)
{
    try {
        body();
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    } catch (const SQLiteVMException& e) {
        sqlite3_result_error(context, e.what(), -1);
        sqlite3_result_error_code(context, e.getCode() != SQLITE_OK ? e.getCode() : SQLITE_ERROR);
    } catch (const std::exception& e) {
        sqlite3_result_error(context, e.what(), -1);
    } catch (...) {
        sqlite3_result_error(context, "Exception in user function", -1);
    }
}

void functionTrampoline(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    guarded(context, [&] {
        IUserFunction* function = held<IUserFunction>(sqlite3_user_data(context));
        detail::CallScope scope(function);
        function->setContext(context, argc, argv);
        function->call();
    });
}

void stepTrampoline(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    guarded(context, [&] {
        IUserAggregate* aggregate = held<IUserAggregate>(sqlite3_user_data(context));
        detail::CallScope scope(aggregate);
        aggregate->setContext(context, argc, argv);
        aggregate->step();
    });
}

void finalTrampoline(sqlite3_context* context)
{
    guarded(context, [&] {
        IUserAggregate* aggregate = held<IUserAggregate>(sqlite3_user_data(context));
        detail::CallScope scope(aggregate);
        aggregate->setContext(context, 0, nullptr);
        aggregate->final();
    });
}

int compareTrampoline(void* user, int leftBytes, const void* left, int rightBytes,
                      const void* right)
{
    try {
        IUserCollation* collation = held<IUserCollation>(user);
        const std::string_view a(static_cast<const char*>(left),
                                 static_cast<std::size_t>(leftBytes));
        const std::string_view b(static_cast<const char*>(right),
                                 static_cast<std::size_t>(rightBytes));
        return collation->compare(a, b);
    } catch (...) {
        return 0;
    }
}

void appendWord(std::string& key, std::int32_t word)
{
    char bytes[sizeof word];
    std::memcpy(bytes, &word, sizeof word);
    key.append(bytes, sizeof word);
}

std::string makeKey(std::string_view name, std::int32_t first, std::int32_t second)
{
    std::string key(name);
    appendWord(key, first);
    appendWord(key, second);
    return key;
}

} // namespace

std::vector<std::string> detail::functionKeys(std::string_view name, int args, int encoding)
{
    if (encoding == SQLITE_ANY)
        return {makeKey(name, args, SQLITE_UTF8), makeKey(name, args, SQLITE_UTF16LE),
                makeKey(name, args, SQLITE_UTF16BE)};
    if (encoding == SQLITE_UTF16)
        encoding = nativeUtf16;
    return {makeKey(name, args, encoding)};
}

std::vector<std::string> detail::collationKeys(std::string_view name, int encoding)
{
    if (encoding == SQLITE_UTF16)
        encoding = nativeUtf16;
    return {makeKey(name, encoding, 0)};
}

// sqlite3_create_function_v2 releases the holder itself when the call fails.
int detail::registerFunction(sqlite3* db, const std::shared_ptr<IUserFunction>& function)
{
    const std::string name = function->getName();
    const int args = function->getArgs();
    const int encoding = function->getEncoding();
    return sqlite3_create_function_v2(
        db, name.c_str(), args, encoding, new std::shared_ptr<IUserFunction>(function),
        &functionTrampoline, nullptr, nullptr, &releaseHolder<IUserFunction>);
}

int detail::registerAggregate(sqlite3* db, const std::shared_ptr<IUserAggregate>& aggregate)
{
    const std::string name = aggregate->getName();
    const int args = aggregate->getArgs();
    const int encoding = aggregate->getEncoding();
    return sqlite3_create_function_v2(
        db, name.c_str(), args, encoding, new std::shared_ptr<IUserAggregate>(aggregate), nullptr,
        &stepTrampoline, &finalTrampoline, &releaseHolder<IUserAggregate>);
}

int detail::unregisterFunction(sqlite3* db, std::string_view name, int args, int encoding)
{
    const std::string zname(name);
    return sqlite3_create_function(db, zname.c_str(), args, encoding, nullptr, nullptr, nullptr,
                                   nullptr);
}

// Unlike the function call, sqlite3_create_collation_v2 leaves the holder to us when it fails.
int detail::registerCollation(sqlite3* db, const std::shared_ptr<IUserCollation>& collation)
{
    const std::string name = collation->getName();
    const int encoding = collation->getEncoding();
    auto holder = std::make_unique<std::shared_ptr<IUserCollation>>(collation);
    const int rc = sqlite3_create_collation_v2(db, name.c_str(), encoding, holder.get(),
                                               &compareTrampoline, &releaseHolder<IUserCollation>);
    if (rc == SQLITE_OK)
        holder.release();
    return rc;
}

int detail::unregisterCollation(sqlite3* db, std::string_view name, int encoding)
{
    const std::string zname(name);
    return sqlite3_create_collation(db, zname.c_str(), encoding, nullptr, nullptr);
}

// ---- registration on Connection ----

namespace {

template <class T>
void storeUnder(std::map<std::string, std::shared_ptr<T>>& registry,
                const std::vector<std::string>& keys, const std::shared_ptr<T>& object)
{
    for (const std::string& key : keys)
        registry.insert_or_assign(key, object);
}

// Drops every key; throws `notExist` when one of them was not stored.
template <class T>
void dropKeys(std::map<std::string, std::shared_ptr<T>>& registry,
              const std::vector<std::string>& keys, const char* notExist)
{
    bool missing = false;
    for (const std::string& key : keys)
        missing |= registry.erase(key) == 0;
    if (missing)
        throw SQLiteDException(notExist);
}

void throwOnFailure(int rc)
{
    if (rc != SQLITE_OK)
        throw SQLiteVMException(rc);
}

} // namespace

void Connection::createFunction(std::shared_ptr<IUserFunction> function)
{
    if (!function)
        throw SQLiteDException("User Function NULL");
    checkAvailable();
    throwOnFailure(detail::registerFunction(handle_, function));
    storeUnder(
        functions_,
        detail::functionKeys(function->getName(), function->getArgs(), function->getEncoding()),
        function);
}

void Connection::createFunction(std::string_view name, int args, int encoding,
                                UserFunctionCallback callback)
{
    if (!callback)
        throw SQLiteDException("User Function NULL");
    createFunction(std::make_shared<UserFunctionProxy>(name, args, encoding, std::move(callback)));
}

void Connection::createFunction(std::string_view name, int args, int encoding,
                                UserFunctionFn& function)
{
    createFunction(std::make_shared<UserFunctionProxy>(name, args, encoding, function));
}

void Connection::removeFunction(const std::shared_ptr<IUserFunction>& function)
{
    if (!function)
        throw SQLiteDException("User Function NULL");
    removeFunction(function->getName(), function->getArgs(), function->getEncoding());
}

void Connection::removeFunction(std::string_view name, int args, int encoding)
{
    checkAvailable();
    throwOnFailure(detail::unregisterFunction(handle_, name, args, encoding));
    dropKeys(functions_, detail::functionKeys(name, args, encoding), "User Function Not Exist");
}

void Connection::createAggregate(std::shared_ptr<IUserAggregate> aggregate)
{
    if (!aggregate)
        throw SQLiteDException("User Aggregate NULL");
    checkAvailable();
    throwOnFailure(detail::registerAggregate(handle_, aggregate));
    storeUnder(
        aggregates_,
        detail::functionKeys(aggregate->getName(), aggregate->getArgs(), aggregate->getEncoding()),
        aggregate);
}

void Connection::createAggregate(std::string_view name, int args, int encoding,
                                 UserStepCallback step, UserFinalCallback final)
{
    if (!step || !final)
        throw SQLiteDException("User Aggregate NULL");
    createAggregate(std::make_shared<UserAggregateProxy>(name, args, encoding, std::move(step),
                                                         std::move(final)));
}

void Connection::createAggregate(std::string_view name, int args, int encoding, UserStepFn& step,
                                 UserFinalFn& final)
{
    createAggregate(std::make_shared<UserAggregateProxy>(name, args, encoding, step, final));
}

void Connection::removeAggregate(const std::shared_ptr<IUserAggregate>& aggregate)
{
    if (!aggregate)
        throw SQLiteDException("User Aggregate NULL");
    removeAggregate(aggregate->getName(), aggregate->getArgs(), aggregate->getEncoding());
}

void Connection::removeAggregate(std::string_view name, int args, int encoding)
{
    checkAvailable();
    throwOnFailure(detail::unregisterFunction(handle_, name, args, encoding));
    dropKeys(aggregates_, detail::functionKeys(name, args, encoding), "User Aggregate Not Exist");
}

void Connection::createCollation(std::shared_ptr<IUserCollation> collation)
{
    if (!collation)
        throw SQLiteDException("User Collation NULL");
    checkAvailable();
    throwOnFailure(detail::registerCollation(handle_, collation));
    storeUnder(collations_, detail::collationKeys(collation->getName(), collation->getEncoding()),
               collation);
}

void Connection::createCollation(std::string_view name, int encoding,
                                 UserCollationCallback callback)
{
    if (!callback)
        throw SQLiteDException("User Collation NULL");
    createCollation(std::make_shared<UserCollationProxy>(name, encoding, std::move(callback)));
}

void Connection::createCollation(std::string_view name, int encoding, UserCollationFn& function)
{
    createCollation(std::make_shared<UserCollationProxy>(name, encoding, function));
}

void Connection::removeCollation(const std::shared_ptr<IUserCollation>& collation)
{
    if (!collation)
        throw SQLiteDException("User Collation NULL");
    removeCollation(collation->getName(), collation->getEncoding());
}

void Connection::removeCollation(std::string_view name, int encoding)
{
    checkAvailable();
    throwOnFailure(detail::unregisterCollation(handle_, name, encoding));
    dropKeys(collations_, detail::collationKeys(name, encoding), "User Collation Not Exist");
}

} // namespace dwin::database::sqlite
