#include "dwin/database/sqlite/_auth.h"

#include "dwin/database/sqlite/Base.h"

#include <sqlite3.h>

namespace dwin::database::sqlite {

static_assert(static_cast<int>(SQLiteAuthAction::Copy) == SQLITE_COPY);
static_assert(static_cast<int>(SQLiteAuthAction::Delete) == SQLITE_DELETE);
static_assert(static_cast<int>(SQLiteAuthAction::Insert) == SQLITE_INSERT);
static_assert(static_cast<int>(SQLiteAuthAction::Select) == SQLITE_SELECT);
static_assert(static_cast<int>(SQLiteAuthAction::Update) == SQLITE_UPDATE);
static_assert(static_cast<int>(SQLiteAuthAction::Function) == SQLITE_FUNCTION);
static_assert(static_cast<int>(SQLiteAuthAction::Recursive) == SQLITE_RECURSIVE);
static_assert(static_cast<int>(SQLiteAuthCode::Deny) == SQLITE_DENY);
static_assert(static_cast<int>(SQLiteAuthCode::Ignore) == SQLITE_IGNORE);

namespace {

std::string_view orEmpty(const char* text)
{
    return text ? std::string_view(text) : std::string_view();
}

int authorizerTrampoline(void* user, int action, const char* text1, const char* text2,
                         const char* text3, const char* text4)
{
    try {
        // A copy, so the authoriser survives being replaced from inside its own call.
        std::shared_ptr<IAuthorizer> authorizer = static_cast<Connection*>(user)->getAuthorizer();
        if (!authorizer)
            return SQLITE_DENY;
        return static_cast<int>(authorizer->authorize(static_cast<SQLiteAuthAction>(action),
                                                      orEmpty(text1), orEmpty(text2),
                                                      orEmpty(text3), orEmpty(text4)));
    } catch (...) {
        return SQLITE_DENY;
    }
}

} // namespace

int detail::installAuthorizer(sqlite3* db, Connection* connection)
{
    return sqlite3_set_authorizer(db, connection ? &authorizerTrampoline : nullptr, connection);
}

void Connection::setAuthorizer(std::shared_ptr<IAuthorizer> authorizer)
{
    authorizer_ = std::move(authorizer);
    checkAvailable();
    detail::installAuthorizer(handle_, authorizer_ ? this : nullptr);
}

} // namespace dwin::database::sqlite
