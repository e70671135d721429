// The database object: opening, the single-table operations and the table loader.
#include "qmk/DB.h"

#include "dwin/database/sqlite/Base.h"
#include "dwin/database/sqlite/Extra.h"
#include "qmk/SqlText.h"
#include "qmk/WindowPort.h"
#include "qmk/config/Config.h"
#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/Temp_Site.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <system_error>

namespace qmk {

using dwin::database::sqlite::BindValue;
using dwin::database::sqlite::SQLiteData;
using sql::fill;
using sql::quoteId;

namespace {

DB* current = nullptr;                // the single instance
std::unique_ptr<DB>& ownedInstance()  // the instance getInstance opened itself
{
    static std::unique_ptr<DB> owned;
    return owned;
}

std::string idOf(const base::BaseRecord& record) { return record.get("id").value_or(std::string()); }

// Local time as 2008-09-17T14:05:09.
std::string nowText()
{
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
    return buf;
}

// ALTER TABLE ... RENAME TO ..., also when the names differ only in letter case.
void renameTable(dwin::database::sqlite::Cursor& cursor, const std::string& oldName, const std::string& newName)
{
    const auto rename = [&cursor](const std::string& from, const std::string& to) {
        cursor.execute(fill("ALTER TABLE {} RENAME TO {};", quoteId(from), quoteId(to)));
    };
    if (oldName == newName || !sql::sameIgnoringCase(oldName, newName)) {
        rename(oldName, newName);
        return;
    }
    // SQLite refuses a rename that only changes letter case: go through a free name.
    const std::string step = oldName + " (renaming)";
    rename(oldName, step);
    try {
        rename(step, newName);
    } catch (...) {
        try {
            rename(step, oldName);
        } catch (...) {
        }
        throw;
    }
}

const char* const kFixedTables[] = {"Softwares", "Shareware_Sites", "Black_Sites", "Temp_Sites"};

} // namespace

DB::DB(const std::string& path, WindowPort* window)
    : connection_(std::make_unique<Connection>()), window_(window)
{
    bool opened = false;
    try {
        connection_->open(path);
        opened = true;
        createFixedTables();
    } catch (const dwin::database::sqlite::SQLiteVMException& e) {
        // Name the file and give the engine's reason, for the message the window shows; a failed
        // open keeps the layer's own text in front.
        std::string reason;
        try {
            reason = std::string(connection_->getErrorMessage());
        } catch (...) {
        }
        std::string own = e.what();   // "SQLite VM Exception: " comes again with the new exception
        if (const std::string_view prefix = "SQLite VM Exception: "; own.rfind(prefix, 0) == 0)
            own.erase(0, prefix.size());
        std::string text = path + ": " + (reason.empty() ? own : reason);
        if (!opened)
            text = own + ": " + text;
        throw dwin::database::sqlite::SQLiteVMException(text, e.getCode());
    }
    current = this;
}

DB::~DB()
{
    if (current == this)
        current = nullptr;
    try {
        close();
    } catch (...) {
        // the connection's own destructor releases the handle
    }
}

DB& DB::getInstance()
{
    if (current)
        return *current;
    auto db = std::make_unique<DB>(defaultPath());
    ownedInstance() = std::move(db);
    current = ownedInstance().get();
    return *current;
}

void DB::releaseInstance()
{
    ownedInstance().reset();
}

std::string DB::dataFolder()
{
    const std::string folder = config::Config::defaultDataFolder();
    if (auto error = config::Config::makeDataFolder(folder))
        throw std::runtime_error(*error);
    return folder;
}

std::string DB::defaultPath() { return dataFolder() + "/qmk.db"; }

DB::Connection& DB::getConnection() { return *connection_; }
void DB::close() { connection_->close(); }
DB::Cursor DB::newCursor() { return connection_->createCursor(); }

void DB::status(const std::string& text)
{
    if (window_)
        window_->showStatus(text);
}

std::optional<std::string> DB::currentListingName()
{
    return window_ ? window_->currentListedUrlsName() : std::nullopt;
}

bool DB::tableExists(const std::string& name)
{
    return dwin::database::sqlite::tableExists(*connection_, name);
}

void DB::createFixedTables()
{
    const base::BaseRecord* kinds[] = {&tab::Software::getInstance(), &tab::Shareware_Site::getInstance(),
                                       &tab::Black_Site::getInstance(), &tab::Temp_Site::getInstance()};
    for (std::size_t i = 0; i < 4; ++i) {
        if (tableExists(kFixedTables[i]))
            continue;
        auto columns = columnDefinitions(kinds[i]->getColumnNames(), 0, "UNIQUE NOT NULL");
        Cursor cursor = newCursor();
        cursor.execute(fill("create table {} ( {} );", quoteId(kFixedTables[i]), *columns));
    }
}

int DB::insert(const base::BaseRecord& record, const std::string& table)
{
    try {
        Cursor cursor = newCursor();
        return insert(cursor, record, table);
    } catch (...) {
        return 0;
    }
}

int DB::insert(Cursor& cursor, const base::BaseRecord& record, const std::string& table)
{
    try {
        const auto& names = record.getColumnNames();
        if (names.empty())
            throw std::runtime_error("null BaseRecord");
        std::vector<SQLiteData> values;
        values.reserve(names.size());
        for (const auto& name : names) {
            auto value = record.get(name);
            values.push_back(value ? SQLiteData(*value) : SQLiteData::ofNull());
        }
        cursor.execute(fill("INSERT INTO {} ( {} ) values( {} );", quoteId(table), sql::join(names, ","),
                            sql::placeholders(names.size())),
                       values);
        const int n = cursor.getRowCount();
        status(fill("{} rows inserted into {}", n, table));
        return n;
    } catch (...) {
        return 0;
    }
}

int DB::deleteRecord(const base::BaseRecord& record, const std::string& table)
{
    int n = 0;
    try {
        if (!tableExists(table))
            return 0;
        Cursor cursor = newCursor();
        const std::string id = idOf(record);
        cursor.execute(fill("DELETE from {} WHERE id = ?;", quoteId(table)), {BindValue(id)});
        n = cursor.getRowCount();
        if (n != 0)
            deleteCascade(cursor, record, table);
    } catch (...) {
    }
    return n;
}

int DB::updateField(const std::string& table, const std::string& id, const std::string& column,
                    const std::string& value)
{
    try {
        Cursor cursor = newCursor();
        return updateRow(cursor, table, id, column, value);
    } catch (...) {
        return 0;
    }
}

int DB::updateRow(Cursor& cursor, const std::string& table, const std::string& id, const std::string& column,
                  const std::string& value)
{
    try {
        cursor.execute(fill("UPDATE {} SET {}=? WHERE id=?;", quoteId(table), quoteId(column)),
                       {BindValue(value), BindValue(id)});
        const int n = cursor.getRowCount();
        status(fill("{} rows updated on {}, column: {}, new value: {}", n, table, column, value));
        return n;
    } catch (...) {
        return 0;
    }
}

std::optional<std::string> DB::getListedUrl(const std::string& table, const std::string& id)
{
    Cursor cursor = newCursor();
    if (cursor.execute(fill("SELECT listed_url FROM {} WHERE id=? LIMIT 1;", quoteId(table)), {BindValue(id)}))
        return cursor.getText(0);
    return std::nullopt;
}

std::vector<std::string> DB::idsByRank()
{
    std::vector<std::string> ids;
    try {
        if (!tableExists("Softwares"))
            return ids;
        Cursor cursor = newCursor();
        cursor.execute(fill("SELECT id FROM {} ORDER BY pr DESC, id DESC;", quoteId("Softwares")));
        while (cursor.hasRow()) {
            ids.push_back(cursor.getText(0));
            cursor.next();
        }
    } catch (...) {
    }
    return ids;
}

std::optional<std::string> DB::columnDefinitions(const std::vector<std::string>& names, std::size_t index,
                                                 const std::string& suffix)
{
    if (names.empty())
        return std::nullopt;
    auto copy = names;
    if (index < copy.size())
        copy[index] += " " + suffix;
    return sql::join(copy, ",");
}

void DB::createTable(Cursor& cursor, const base::BaseRecord& record, const std::string& name)
{
    try {
        auto columns = columnDefinitions(record.getColumnNames(), 0, "UNIQUE NOT NULL");
        if (!columns)
            throw std::runtime_error("null BaseRecord");
        cursor.execute(fill("create table {} ( {} );", quoteId(name), *columns));
    } catch (...) {
    }
}

bool DB::existsInSiteTables(const std::string& id)
{
    try {
        Cursor cursor = newCursor();
        return existsInSiteTables(cursor, id);
    } catch (...) {
        return false;
    }
}

bool DB::existsInSiteTables(Cursor& cursor, const std::string& id)
{
    try {
        for (const char* table : {"Shareware_Sites", "Black_Sites", "Temp_Sites"})
            if (cursor.execute(fill("SELECT id FROM {} WHERE id = ?;", quoteId(table)), {BindValue(id)}))
                return true;
    } catch (...) {
    }
    return false;
}

bool DB::clearTable()
{
    try {
        Cursor cursor = newCursor();
        cursor.execute(fill("DELETE FROM {};", quoteId("Temp_Sites")));
        return true;
    } catch (...) {
        return false;
    }
}

std::string DB::getErrorMessage() { return std::string(connection_->getErrorMessage()); }
int DB::getChanges() { return connection_->getChanges(); }

int DB::alterTable(Cursor& cursor, const std::string& oldName, const std::string& newName)
{
    try {
        renameTable(cursor, oldName, newName);
        const int n = getChanges();
        if (n > 0)
            status(fill("table name {} changed to {} at {}", oldName, newName, nowText()));
        else
            std::cout << fill("alterTable changes {}", n) << std::endl;
        return n;
    } catch (...) {
        return 0;
    }
}

void DB::loadTableWith(BaseRecords& list, const std::string& table, const base::BaseRecord& prototype,
                       base::RecordPtr (*make)())
{
    try {
        if (!tableExists(table))
            return;
        const auto& names = prototype.getColumnNames();
        Cursor cursor = newCursor();
        cursor.execute(fill("SELECT {} FROM {} ORDER BY {};", sql::join(names, ","), quoteId(table),
                            prototype.orderBy));
        std::vector<std::string> resultNames;
        for (std::size_t i = 0; i < names.size(); ++i)
            resultNames.push_back(cursor.getColumnName(static_cast<int>(i)));
        auto& records = list.getRecords();
        while (cursor.hasRow()) {
            auto record = make();
            for (std::size_t i = 0; i < resultNames.size(); ++i)
                if (!record->set(resultNames[i], cursor.getText(static_cast<int>(i))))
                    throw std::runtime_error(resultNames[i] + " not in " + table);
            records.push_back(std::move(record));   // a new object: the identity scan of add() cannot refuse it
            cursor.next();
        }
    } catch (...) {
    }
}

} // namespace qmk
