// The authoriser: an object SQLite asks before it compiles each action of a statement.
#pragma once

#include <memory>
#include <string_view>

struct sqlite3;

namespace dwin::database::sqlite {

class Connection;

// SQLite's authoriser action codes, under SQLite's values.
enum class SQLiteAuthAction : int {
    Copy = 0,
    CreateIndex = 1,
    CreateTable = 2,
    CreateTempIndex = 3,
    CreateTempTable = 4,
    CreateTempTrigger = 5,
    CreateTempView = 6,
    CreateTrigger = 7,
    CreateView = 8,
    Delete = 9,
    DropIndex = 10,
    DropTable = 11,
    DropTempIndex = 12,
    DropTempTable = 13,
    DropTempTrigger = 14,
    DropTempView = 15,
    DropTrigger = 16,
    DropView = 17,
    Insert = 18,
    Pragma = 19,
    Read = 20,
    Select = 21,
    Transaction = 22,
    Update = 23,
    Attach = 24,
    Detach = 25,
    AlterTable = 26,
    Reindex = 27,
    Analyze = 28,
    CreateVTable = 29,
    DropVTable = 30,
    Function = 31,
    Savepoint = 32,
    Recursive = 33,
};

// The authoriser's answers, under SQLite's values.
enum class SQLiteAuthCode : int {
    Ok = 0,
    Deny = 1,
    Ignore = 2,
};

// Asked for every action while a statement is prepared. The four texts are those SQLite gives for
// the action (table, column, database, trigger or view name...); a text SQLite leaves out is empty.
// The views point into SQLite's memory and are valid during the call only.
// An exception leaving authorize() is caught by the layer and taken as Deny.
class IAuthorizer {
public:
    virtual ~IAuthorizer() = default;
    virtual SQLiteAuthCode authorize(SQLiteAuthAction action, std::string_view text1,
                                     std::string_view text2, std::string_view text3,
                                     std::string_view text4) = 0;
};

namespace detail {
// Registers the authoriser trampoline for `connection`, or removes it when `connection` is null.
int installAuthorizer(sqlite3* db, Connection* connection);
} // namespace detail

} // namespace dwin::database::sqlite
