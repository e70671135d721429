#include "dwin/database/sqlite/base/Errors.h"

#include <sqlite3.h>

namespace dwin::database::sqlite {

std::string_view resultText(std::int32_t code)
{
    return sqlite3_errstr(code);
}

SQLiteVMException::SQLiteVMException(std::int32_t code)
    : std::runtime_error("SQLite VM Exception"), code_(code)
{
}

SQLiteVMException::SQLiteVMException(std::string_view text, std::int32_t code)
    : std::runtime_error("SQLite VM Exception: " + std::string(text)), code_(code)
{
}

SQLiteDException::SQLiteDException(std::string_view text)
    : std::runtime_error("SQLite D Exception: " + std::string(text))
{
}

} // namespace dwin::database::sqlite
