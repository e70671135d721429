#include "dwin/database/sqlite/base/Script.h"

#include "dwin/database/sqlite/base/Connection.h"

#include <sqlite3.h>

namespace dwin::database::sqlite {

void Script::setText(std::string_view sql)
{
    text_.assign(sql);
    rest_ = 0;
    count_ = 0;
}

void Script::restart()
{
    rest_ = 0;
    count_ = 0;
}

std::optional<Statement> Script::nextStatement()
{
    if (rest_ >= text_.size())
        return std::nullopt;
    Statement s = connection_->createStatement();
    std::string_view todo = std::string_view(text_).substr(rest_);
    std::string_view after;
    int rc = s.prepare(todo, after);
    rest_ = text_.size() - after.size();
    if (rc != SQLITE_OK)
        throw SQLiteVMException(rc);
    if (!s.isPrepared())
        return std::nullopt;
    ++count_;
    return s;
}

std::int32_t Script::run(const std::function<std::int32_t(Statement&)>& callback)
{
    while (auto s = nextStatement()) {
        if (std::int32_t rc = callback(*s); rc != 0)
            return rc;
    }
    return 0;
}

} // namespace dwin::database::sqlite
