// SQL functions, aggregates and collations written in C++, and the adapters that SQLite calls.
// Connection (Base.h) registers them and keeps each registered object alive while SQLite may call it.
#pragma once

#include "dwin/database/sqlite/base/SQLiteData.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace dwin::database::sqlite {

namespace detail {
class CallScope;
}

// A scalar SQL function. SQLite calls setContext() then call() for every row it evaluates.
// An exception leaving call() is caught by the layer and becomes an SQL error of the statement.
class IUserFunction {
public:
    virtual ~IUserFunction() = default;
    virtual std::string getName() const = 0;
    // Number of SQL arguments; -1 takes any number.
    virtual int getArgs() const = 0;
    // SQLite text encoding 1 to 5 (SQLiteEncoding).
    virtual int getEncoding() const = 0;
    virtual void setContext(sqlite3_context* context, int argc, sqlite3_value** argv) = 0;
    virtual void call() = 0;
};

// An aggregate: step() for every row of a group, final() once per group. Exceptions as above.
class IUserAggregate {
public:
    virtual ~IUserAggregate() = default;
    virtual std::string getName() const = 0;
    virtual int getArgs() const = 0;
    virtual int getEncoding() const = 0;
    virtual void setContext(sqlite3_context* context, int argc, sqlite3_value** argv) = 0;
    virtual void step() = 0;
    virtual void final() = 0;
};

// A collation. compare() gets the two texts as bytes in the registered encoding and returns
// negative, 0 or positive. SQLite has no way to fail a comparison: an exception counts as equal.
class IUserCollation {
public:
    virtual ~IUserCollation() = default;
    virtual std::string getName() const = 0;
    virtual int getEncoding() const = 0;
    virtual int compare(std::string_view left, std::string_view right) = 0;
};

// How a proxy holds its code: a callback (any callable) or a plain function.
enum class UImpType : int {
    Callback = 1,
    Function = 2,
};

// Arguments and result of the running call, shared by UserFunctionBase and UserAggregateBase.
// Each get* reads the argument at the moving position and advances; reading past the last argument
// throws SQLiteDException "Argument Index Out Of Range". Texts and blobs read are views into
// SQLite's memory, valid during the call only. SQLite copies every text or blob result.
class UserCallContext {
public:
    std::int32_t getInt();
    std::int64_t getLong();
    double getDouble();
    std::string_view getText();
    std::u16string_view getText16();
    std::span<const std::byte> getBlob();
    void skip();
    void back();
    int getArgCount() const;
    // SQLite storage class (1 to 5) of the argument at the position; does not advance.
    int getType();
    // By tag: 1 int, 2 long, 3 double, 4 text, 5 text16, 6 blob, 7 null; -1 (any negative) by the
    // argument's storage class. Throws SQLiteDException "Bad Data Type" for another tag.
    SQLiteData getData(int tag);
    sqlite3_value* nextValue();

    void setInt(std::int32_t value);
    void setLong(std::int64_t value);
    void setDouble(double value);
    void setText(std::string_view value);
    void setText16(std::u16string_view value);
    void setBlob(std::span<const std::byte> value);
    void setNull();
    // By tag as getData; throws SQLiteDException "Bad Data Type" for another tag.
    void setData(const SQLiteData& value);
    // The result becomes a copy of `value` (for example an argument passed through).
    void setValue(sqlite3_value* value);

protected:
    void bindCall(sqlite3_context* context, int argc, sqlite3_value** argv);

private:
    // Restores the state of an outer call when SQL run inside a call re-enters the same object.
    friend class detail::CallScope;

    sqlite3_value* current();

    sqlite3_context* context_ = nullptr;
    int argc_ = 0;
    sqlite3_value** argv_ = nullptr;
    int position_ = 0;
};

// Base of a function written as a class: implement getName, getArgs, getEncoding and call.
class UserFunctionBase : public IUserFunction, public UserCallContext {
public:
    void setContext(sqlite3_context* context, int argc, sqlite3_value** argv) override;
};

// Base of an aggregate written as a class: implement the getters, step and final.
class UserAggregateBase : public IUserAggregate, public UserCallContext {
public:
    void setContext(sqlite3_context* context, int argc, sqlite3_value** argv) override;
};

using UserFunctionFn = SQLiteData(const std::vector<SQLiteData>& args);
using UserFunctionCallback = std::function<UserFunctionFn>;
using UserStepFn = void(const std::vector<SQLiteData>& args);
using UserStepCallback = std::function<UserStepFn>;
using UserFinalFn = SQLiteData();
using UserFinalCallback = std::function<UserFinalFn>;
using UserCollationFn = int(std::string_view left, std::string_view right);
using UserCollationCallback = std::function<UserCollationFn>;

// A function made of a callable: call() hands it every argument read by its storage class and
// sets its returned value as the result.
class UserFunctionProxy : public UserFunctionBase {
public:
    UserFunctionProxy(std::string_view name, int args, int encoding, UserFunctionCallback callback);
    UserFunctionProxy(std::string_view name, int args, int encoding, UserFunctionFn& function);

    std::string getName() const override { return name_; }
    int getArgs() const override { return args_; }
    int getEncoding() const override { return encoding_; }
    void call() override;

private:
    UImpType kind_;
    UserFunctionCallback callback_;
    UserFunctionFn* function_ = nullptr;
    std::string name_;
    int args_;
    int encoding_;
};

// An aggregate made of a step and a final callable. It keeps no state per group: whatever the
// callables keep is shared by every group and every use of the aggregate.
class UserAggregateProxy : public UserAggregateBase {
public:
    UserAggregateProxy(std::string_view name, int args, int encoding, UserStepCallback step,
                       UserFinalCallback final);
    UserAggregateProxy(std::string_view name, int args, int encoding, UserStepFn& step,
                       UserFinalFn& final);

    std::string getName() const override { return name_; }
    int getArgs() const override { return args_; }
    int getEncoding() const override { return encoding_; }
    void step() override;
    void final() override;

private:
    std::vector<SQLiteData> readArguments();

    UImpType stepKind_;
    UserStepCallback stepCallback_;
    UserStepFn* stepFunction_ = nullptr;
    UImpType finalKind_;
    UserFinalCallback finalCallback_;
    UserFinalFn* finalFunction_ = nullptr;
    std::string name_;
    int args_;
    int encoding_;
};

class UserCollationProxy : public IUserCollation {
public:
    UserCollationProxy(std::string_view name, int encoding, UserCollationCallback callback);
    UserCollationProxy(std::string_view name, int encoding, UserCollationFn& function);

    std::string getName() const override { return name_; }
    int getEncoding() const override { return encoding_; }
    int compare(std::string_view left, std::string_view right) override;

private:
    UImpType kind_;
    UserCollationCallback callback_;
    UserCollationFn* function_ = nullptr;
    std::string name_;
    int encoding_;
};

namespace detail {
// Registration keys: the name's bytes, then two 32-bit numbers in the machine's byte order.
// A function or aggregate with encoding 5 (any) has three keys (1, 2, 3); 4 is the native UTF-16.
std::vector<std::string> functionKeys(std::string_view name, int args, int encoding);
std::vector<std::string> collationKeys(std::string_view name, int encoding);

// The sqlite3_create_function / sqlite3_create_collation calls with this module's trampolines;
// each returns SQLite's result code. SQLite itself holds a share of each registered object until
// it drops the registration.
int registerFunction(sqlite3* db, const std::shared_ptr<IUserFunction>& function);
int registerAggregate(sqlite3* db, const std::shared_ptr<IUserAggregate>& aggregate);
int unregisterFunction(sqlite3* db, std::string_view name, int args, int encoding);
int registerCollation(sqlite3* db, const std::shared_ptr<IUserCollation>& collation);
int unregisterCollation(sqlite3* db, std::string_view name, int encoding);
} // namespace detail

} // namespace dwin::database::sqlite
