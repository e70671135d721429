#pragma once
// Existence of schema objects, asked of SQLite's schema table.

#include <string_view>

namespace dwin::database::sqlite {

class Connection;

// Whether an object of schema type `type` ("table", "index", "view", "trigger") named `name`
// exists (case-sensitive). database: an attached database's name, or empty; temporary: look in
// the temporary schema. False for an empty name or a closed connection. The names are bound, so
// quotes and zero bytes in them are compared like any other byte.
// Throws SQLiteDException "Connection Not Available" on a never-opened connection and
// SQLiteVMException when the query fails (e.g. an unknown database).
bool exists(Connection& connection, std::string_view name, std::string_view database,
            bool temporary, std::string_view type);

// exists with the type "table".
bool tableExists(Connection& connection, std::string_view name, std::string_view database = {},
                 bool temporary = false);

} // namespace dwin::database::sqlite
