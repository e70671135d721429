#include "dwin/database/sqlite/Extra.h"

#include "dwin/database/sqlite/Base.h"

#include <string>

namespace dwin::database::sqlite {

namespace {
// Doubles every occurrence of quote, so the text can stand between two of them.
std::string escaped(std::string_view text, char quote)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == quote)
            out += quote;
    }
    return out;
}

std::string schemaQuery(std::string_view database, bool temporary)
{
    std::string sql;
    if (!database.empty())
        sql = "SELECT * FROM \"" + escaped(database, '"') + "\".sqlite_master ";
    else if (temporary)
        sql = "SELECT * FROM sqlite_temp_master ";
    else
        sql = "SELECT * FROM sqlite_master ";
    return sql + "WHERE (type = ?) AND (name = ?);";
}
} // namespace

bool exists(Connection& connection, std::string_view name, std::string_view database,
            bool temporary, std::string_view type)
{
    if (name.empty() || connection.isClosed())
        return false;
    // The names are bound, whole: a quote or a zero byte in one is compared like any other byte.
    Cursor cursor = connection.createCursor();
    const SQLiteData values[] = {SQLiteData(type), SQLiteData(name)};
    bool found = false;
    try {
        cursor.execute(schemaQuery(database, temporary), values);
        found = cursor.hasRow();
    } catch (...) {
        try {
            cursor.close();
        } catch (...) {
            // the query's own failure is the one to report
        }
        throw;
    }
    cursor.close();
    return found;
}

bool tableExists(Connection& connection, std::string_view name, std::string_view database,
                 bool temporary)
{
    return exists(connection, name, database, temporary, "table");
}

} // namespace dwin::database::sqlite
