// The database object: opening, the single-table operations and the table loader.
#include "qmk/DB.h"
#include "qmk/DBOpen.h"

#include "dwin/database/sqlite/Base.h"
#include "dwin/database/sqlite/Extra.h"
#include "dwin/text/Unicode.h"
#include "qmk/DBSteps.h"
#include "qmk/Report.h"
#include "qmk/SqlText.h"
#include "qmk/WindowPort.h"
#include "qmk/config/Config.h"
#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/Temp_Site.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <pwd.h>
#include <stdexcept>
#include <utility>

namespace qmk {

using dwin::database::sqlite::BindValue;
using dwin::database::sqlite::SQLiteData;
using sql::fill;
using sql::quoteId;

namespace {

DB* current = nullptr; // the single instance
std::unique_ptr<DB>& ownedInstance() // the instance getInstance opened itself
{
    static std::unique_ptr<DB> owned;
    return owned;
}

std::string idOf(const base::BaseRecord& record)
{
    return record.get("id").value_or(std::string());
}

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

constexpr int kStorageText = 3; // SQLite's storage class of text

const auto& kFixedTables = dbopen::fixedTables;

// Whether the record holds the named columns at those positions of its getFields() order.
bool holdsAt(const base::BaseRecord& record, const std::vector<std::string>& names,
             const std::vector<std::size_t>& slots)
{
    const auto& fields = record.getFields();
    if (slots.size() != names.size())
        return false;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (slots[i] >= fields.size() ||
            (fields.begin() + std::ptrdiff_t(slots[i]))->first != names[i])
            return false;
    return true;
}

// The positions of the named columns in the record's getFields() order; throws "<name> not in
// <table>" for a column the record does not have (set would refuse it).
std::vector<std::size_t> slotsIn(const base::BaseRecord& record,
                                 const std::vector<std::string>& names, const std::string& table)
{
    const auto& fields = record.getFields();
    std::vector<std::size_t> slots;
    for (const auto& name : names) {
        auto it = fields.find(name);
        if (it == fields.end())
            throw std::runtime_error(name + " not in " + table);
        slots.push_back(static_cast<std::size_t>(it - fields.begin()));
    }
    return slots;
}

} // namespace

DB::DB(const std::string& path, WindowPort* window, int busyTimeout)
    : connection_(std::make_unique<Connection>()), window_(window)
{
    // Judged before it is opened for writing; another program's lock is waited for already.
    dbopen::open(*connection_, path, busyTimeout);
    try {
        createFixedTables();
    } catch (const dwin::database::sqlite::SQLiteVMException& e) {
        throw dbopen::failure(*connection_, path, e, true);
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
        report::caught("DB close"); // the connection's own destructor releases the handle
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

std::string DB::defaultPath()
{
    return dataFolder() + "/qmk.db";
}

DB::Connection& DB::getConnection()
{
    return *connection_;
}
void DB::close()
{
    connection_->close();
}
DB::Cursor DB::newCursor()
{
    return connection_->createCursor();
}

void DB::later(std::function<void()> step)
{
    if (writeDepth_ > 0) {
        followUps_.push_back(std::move(step));
        return;
    }
    try {
        step();
    } catch (...) {
        // the window's part of a stored write; the file holds it whatever the window does
        report::caught("DB window follow-up of a stored write");
    }
}

void DB::status(const std::string& text)
{
    if (window_)
        later([this, text] {
            shown_ = text;
            if (window_)
                window_->showStatus(text);
        });
}

void DB::reloadOnFailure(WindowPort::Tab tab)
{
    if (std::find(reloads_.begin(), reloads_.end(), tab) == reloads_.end())
        reloads_.push_back(tab);
}

bool DB::write(const std::string& what, const std::function<void(Cursor&)>& body)
{
    if (writeDepth_ > 0) { // a part of the running write: its failure is that write's failure
        Cursor cursor = newCursor();
        body(cursor);
        return true;
    }
    followUps_.clear();
    reloads_.clear();
    fileFailed_ = false;
    std::string reason;
    int code = 0;
    bool stored = false;
    ++writeDepth_;
    try {
        dwin::database::sqlite::Transaction transaction(*connection_);
        try {
            {
                Cursor cursor = newCursor();
                body(cursor);
            }
            transaction.commit();
            stored = true;
        } catch (const std::exception& e) {
            reason =
                steps::reasonOf(*connection_, e, code); // the engine's text, before the rollback
            throw;
        }
    } catch (const std::exception& e) {
        if (reason.empty())
            reason = steps::reasonOf(*connection_, e, code);
    } catch (...) {
        reason = "unknown error";
    }
    --writeDepth_;
    auto followUps = std::exchange(followUps_, {});
    auto reloads = std::exchange(reloads_, {});
    if (stored) {
        finishWrite(std::move(followUps), {}, true, {});
        return true;
    }
    fileFailed_ = steps::isFileFailure(code);
    report::notStored(window_, what, reason);
    // Lists the write touched are read again, unless the file is locked: reading would only wait.
    const int primary = code & 0xff;
    const bool locked = primary == dwin::database::sqlite::SQLiteVMCode::Busy ||
        primary == dwin::database::sqlite::SQLiteVMCode::Locked;
    finishWrite({}, locked ? std::vector<WindowPort::Tab>() : std::move(reloads), !locked,
                report::notStoredText(what, reason));
    return false;
}

void DB::finishWrite(std::vector<std::function<void()>> steps, std::vector<WindowPort::Tab> reads,
                     bool readUnread, std::string shown)
{
    std::vector<std::string> failures;
    std::vector<std::string>* outer = std::exchange(readFailures_, &failures);
    shown_ = std::move(shown);
    for (auto& step : steps)
        later(std::move(step));
    if (readUnread)
        for (WindowPort::Tab tab : unread_)
            if (std::find(reads.begin(), reads.end(), tab) == reads.end())
                reads.push_back(tab);
    for (WindowPort::Tab tab : reads) {
        try {
            if (window_)
                window_->openTab(tab);
        } catch (...) {
            report::caught("DB reading a tab again after a write");
        }
    }
    readFailures_ = outer;
    if (failures.empty() || !window_)
        return;
    std::string text = shown_;
    for (const std::string& failure : failures)
        text += (text.empty() ? "" : "; ") + failure;
    window_->showStatus(text);
}

bool DB::isReadOnly()
{
    if (connection_->isReadOnly())
        return true;
    // The engine writes its journal next to the file: a folder it cannot write refuses changes.
    return !dbopen::folderWritable(connection_->getPath());
}

std::optional<std::string> DB::currentListingName()
{
    return window_ ? window_->currentListedUrlsName() : std::nullopt;
}

bool DB::tableExists(const std::string& name)
{
    if (!name.empty())
        return dwin::database::sqlite::tableExists(*connection_, name);
    Cursor cursor = newCursor();
    return cursor.execute("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = '';");
}

bool DB::refusesEmptyProductId(const std::string& table, const std::string& column,
                               const std::string& value)
{
    if (table != "Softwares" || column != "id" || !dwin::text::Unicode::isBlank(value))
        return false;
    if (window_)
        window_->showStatus(emptyProductIdText);
    return true;
}

void DB::refuseForeignFile()
{
    if (auto text = dbopen::foreignFileText(*connection_, connection_->getPath()))
        throw std::runtime_error(*text);
}

bool DB::refusesUnusableId(const std::string& id)
{
    if (!dwin::text::Unicode::isBlank(id) && !dwin::text::Unicode::trim(id).starts_with('['))
        return false;
    if (window_)
        window_->showStatus(unusableIdText);
    return true;
}

void DB::createFixedTables()
{
    if (std::none_of(std::begin(kFixedTables), std::end(kFixedTables),
                     [this](const char* name) { return tableExists(name); }))
        refuseForeignFile();
    const base::BaseRecord* kinds[] = {
        &tab::Software::getInstance(), &tab::Shareware_Site::getInstance(),
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
    if (refusesEmptyProductId(table, "id", idOf(record)))
        return notStored;
    int n = 0;
    const bool stored = write(fill("row {} of {}", idOf(record), table),
                              [&](Cursor& cursor) { n = insert(cursor, record, table); });
    return stored ? n : notStored;
}

int DB::insert(Cursor& cursor, const base::BaseRecord& record, const std::string& table)
{
    const auto& names = record.getColumnNames();
    if (names.empty())
        throw std::runtime_error("null BaseRecord");
    std::vector<SQLiteData> values;
    values.reserve(names.size());
    for (const auto& name : names) {
        auto value = record.get(name);
        values.push_back(value ? SQLiteData(*value) : SQLiteData::ofNull());
    }
    cursor.execute(fill("INSERT INTO {} ( {} ) values( {} );", quoteId(table),
                        sql::join(names, ","), sql::placeholders(names.size())),
                   values);
    const int n = cursor.getRowCount();
    status(fill("{} rows inserted into {}", n, table));
    return n;
}

int DB::deleteRecord(const base::BaseRecord& record, const std::string& table)
{
    const std::optional<base::StoredKey> key = record.storedKey();
    if (!key)
        return 0; // a row never stored: nothing in the file is its row
    int n = 0;
    const bool stored =
        write(fill("removal of row {} from {}", key->text, table), [&](Cursor& cursor) {
            if (tableExists(table))
                n = deleteRow(cursor, *key, table);
        });
    return stored ? n : notStored;
}

int DB::deleteRow(Cursor& cursor, const base::StoredKey& key, const std::string& table)
{
    const int n =
        steps::changeRow(cursor, fill("DELETE from {}", quoteId(table)), {}, steps::keyValue(key));
    if (n == 0)
        throw std::runtime_error(noSuchRowText); // the screen showed a row the file lacks
    deleteCascade(cursor, key, table);
    return n;
}

int DB::updateField(const std::string& table, const std::string& id, const std::string& column,
                    const std::string& value)
{
    return updateField(table, base::StoredKey::ofText(id), column, value);
}

int DB::updateField(const std::string& table, const base::StoredKey& key, const std::string& column,
                    const std::string& value)
{
    if (refusesEmptyProductId(table, column, value))
        return notStored;
    int n = 0;
    const bool stored =
        write(fill("{} of row {} in {}", column, key.text, table),
              [&](Cursor& cursor) { n = updateRow(cursor, table, key, column, value); });
    return stored ? n : notStored;
}

int DB::updateRow(Cursor& cursor, const std::string& table, const base::StoredKey& key,
                  const std::string& column, const std::string& value)
{
    const int n =
        steps::changeRow(cursor, fill("UPDATE {} SET {}=?1", quoteId(table), quoteId(column)),
                         {SQLiteData(value)}, steps::keyValue(key));
    status(fill("{} rows updated on {}, column: {}, new value: {}", n, table, column, value));
    return n;
}

int DB::updateCopy(Cursor& cursor, steps::Copies& copies, const std::string& table,
                   const std::string& column, const std::string& value)
{
    const int n =
        copies.change(cursor, fill("UPDATE {} SET {}=?1", quoteId(table), quoteId(column)),
                      {SQLiteData(value)}, table);
    status(fill("{} rows updated on {}, column: {}, new value: {}", n, table, column, value));
    return n;
}

std::optional<std::string> DB::getListedUrl(const std::string& table, const std::string& id)
{
    Cursor cursor = newCursor();
    if (cursor.execute(
            fill("SELECT listed_url FROM {} WHERE {} LIMIT 1;", quoteId(table), steps::idAsText(1)),
            {BindValue(id)}))
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
        steps::reportCaught(*connection_, nullptr, "idsByRank");
    }
    return ids;
}

std::optional<std::string> DB::columnDefinitions(const std::vector<std::string>& names,
                                                 std::size_t index, const std::string& suffix)
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
        steps::createTable(cursor, record, name);
    } catch (const std::exception& e) {
        int code = 0;
        report::notStored(window_, fill("table {}", name), steps::reasonOf(*connection_, e, code));
    }
}

bool DB::existsInSiteTables(const std::string& id)
{
    try {
        Cursor cursor = newCursor();
        return existsInSiteTables(cursor, id);
    } catch (...) {
        steps::reportCaught(*connection_, nullptr, fill("existsInSiteTables {}", id));
        return false;
    }
}

bool DB::existsInSiteTables(Cursor& cursor, const std::string& id)
{
    try {
        return steps::siteTableHolding(cursor, id).has_value();
    } catch (...) {
        steps::reportCaught(*connection_, nullptr, fill("existsInSiteTables {}", id));
        return false;
    }
}

bool DB::clearTable()
{
    return write("emptying of Temp_Sites", [](Cursor& cursor) {
        cursor.execute(fill("DELETE FROM {};", quoteId("Temp_Sites")));
    });
}

std::string DB::getErrorMessage()
{
    return std::string(connection_->getErrorMessage());
}
int DB::getChanges()
{
    return connection_->getChanges();
}

int DB::alterTable(Cursor& cursor, const std::string& oldName, const std::string& newName)
{
    try {
        steps::renameTable(cursor, oldName, newName);
        const int n = getChanges();
        if (n > 0)
            status(fill("table name {} changed to {} at {}", oldName, newName, nowText()));
        else
            report::trace(fill("alterTable changes {}", n));
        return n;
    } catch (const std::exception& e) {
        if (writeDepth_ > 0)
            throw; // a step of the running write
        int code = 0;
        report::notStored(window_, fill("new name {} of table {}", newName, oldName),
                          steps::reasonOf(*connection_, e, code));
        return 0;
    }
}

bool DB::isUnread(const std::string& table) const
{
    return std::find(unread_.begin(), unread_.end(), tabOf(table)) != unread_.end();
}

WindowPort::Tab DB::tabOf(const std::string& table)
{
    using Tab = WindowPort::Tab;
    static const std::pair<const char*, Tab> fixed[] = {{"Shareware_Sites", Tab::Shareware_Sites},
                                                        {"Softwares", Tab::Softwares},
                                                        {"Black_Sites", Tab::Black_Sites},
                                                        {"Temp_Sites", Tab::Temp_Sites}};
    for (const auto& [name, tab] : fixed)
        if (table == name)
            return tab;
    return Tab::Listed_Urls;
}

void DB::readFailed(const std::string& table, std::size_t read, const std::string& reason)
{
    const std::string what = fill("reading {} ({} rows read)", table, read);
    report::trace(what + " catch " + reason);
    if (const WindowPort::Tab tab = tabOf(table);
        std::find(unread_.begin(), unread_.end(), tab) == unread_.end())
        unread_.push_back(tab);
    if (readFailures_)
        readFailures_->push_back(what + " failed: " + reason);
    else if (window_)
        window_->showStatus(what + " failed: " + reason);
}

bool DB::loadTableWith(BaseRecords& list, const std::string& table,
                       const base::BaseRecord& prototype, base::RecordPtr (*make)())
{
    std::size_t read = 0;
    bool whole = false;
    try {
        if (!tableExists(table))
            return true;
        const auto& names = prototype.getColumnNames();
        Cursor cursor = newCursor();
        cursor.execute(fill("SELECT {} FROM {} ORDER BY {};", sql::join(names, ","), quoteId(table),
                            prototype.orderBy));
        std::vector<std::string> resultNames;
        int idColumn = -1;
        for (std::size_t i = 0; i < names.size(); ++i) {
            resultNames.push_back(cursor.getColumnName(static_cast<int>(i)));
            if (resultNames.back() == "id")
                idColumn = static_cast<int>(i);
        }
        auto& records = list.getRecords();
        const auto& row = *cursor.getStatement();
        // Where each result column goes in a new record: the same place in every record of a kind.
        std::vector<std::size_t> slots;
        while (cursor.hasRow()) {
            auto record = make();
            if (!holdsAt(std::as_const(*record), resultNames, slots))
                slots = slotsIn(std::as_const(*record), resultNames, table);
            // An id an older file or another program holds as a number or as bytes: its class is
            // read before the text, which converts it.
            std::optional<base::StoredKey> typed;
            if (idColumn >= 0 && row.getColumnType(idColumn) != kStorageText)
                typed = steps::keyAt(row, idColumn);
            for (std::size_t i = 0; i < slots.size(); ++i) // an SQL NULL reads as the empty text
                record->loadedValue(slots[i]).assign(row.getTextView(static_cast<int>(i)));
            if (typed)
                record->setStored(*typed);
            else
                record->setStored();
            records.push_back(
                std::move(record)); // a new object: the identity scan of add() cannot refuse it
            ++read;
            cursor.next();
        }
        whole = true;
    } catch (const std::exception& e) {
        int code = 0;
        readFailed(table, read, steps::reasonOf(*connection_, e, code));
    } catch (...) {
        readFailed(table, read, "unknown exception");
    }
    base::noteChange(); // the ids written into the new records (the list keeps those read)
    if (!whole)
        return false;
    unread_.erase(std::remove(unread_.begin(), unread_.end(), tabOf(table)), unread_.end());
    return true;
}

} // namespace qmk
