#pragma once
// The SQLite access layer: Connection, Statement, Cursor, Script, Transaction, SQLiteData and the layer's
// exceptions SQLiteVMException (engine failures, with the result code) and SQLiteDException
// (misuse of the layer). Include this header rather than the parts under base/.

#include "dwin/database/sqlite/base/Errors.h"
#include "dwin/database/sqlite/base/SQLiteData.h"
#include "dwin/database/sqlite/base/Statement.h"
#include "dwin/database/sqlite/base/Connection.h"
#include "dwin/database/sqlite/base/Cursor.h"
#include "dwin/database/sqlite/base/Script.h"
#include "dwin/database/sqlite/base/Transaction.h"
