// Copying the catalogue into the current listing table, and the one schema migration.
#include "qmk/DB.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/DBSteps.h"
#include "qmk/Report.h"
#include "qmk/SqlText.h"
#include "qmk/WindowPort.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"

#include <algorithm>
#include <stdexcept>

namespace qmk {

using dwin::database::sqlite::Statement;
using sql::fill;
using sql::quoteId;

namespace {

constexpr int kStorageNull = 5; // SQLite's storage class of NULL
constexpr int kStepDone = 101; // SQLITE_DONE

const char* const kUpdate20080917 =
    "BEGIN;CREATE TEMPORARY TABLE Softwares_backup(id, home, pr, pad_locale, notes);INSERT INTO "
    "Softwares_backup "
    "(id, home, pr, pad_locale, notes) SELECT id, home, pr, pad_locale, notes FROM Softwares;DROP "
    "TABLE "
    "Softwares;CREATE TABLE Softwares(id TEXT UNIQUE NOT NULL, home TEXT, pr TEXT, pad_locale "
    "TEXT, exe_locale "
    "TEXT DEFAULT '', notes TEXT);INSERT INTO Softwares (id, home, pr, pad_locale, notes) SELECT "
    "id, home, pr, "
    "pad_locale, notes FROM Softwares_backup;DROP TABLE Softwares_backup;COMMIT;";

} // namespace

bool DB::synchronizeSites()
{
    const auto table = currentListingName();
    if (!table)
        return true;
    return write(fill("copy of the catalogue sites into {}", *table), [&](Cursor& cursor) {
        // A listing table with rows gets only the sites it lacks.
        const bool listed = cursor.execute(fill("SELECT * FROM {};", quoteId(*table)));
        cursor.close();
        // Ids compare as text: the copies hold text, the catalogue of an older file may hold
        // numbers.
        const std::string source = listed
            ? fill("FROM {} WHERE CAST(id AS TEXT) NOT IN ( SELECT CAST(id AS TEXT) FROM {} )",
                   quoteId("Shareware_Sites"), quoteId(*table))
            : fill("FROM {}", quoteId("Shareware_Sites"));
        // One statement copies them all unless the engine refuses a row; then row by row, each
        // refused row skipped.
        const std::vector<int> sources = listingSources(source);
        const auto all = copyAtOnce(*table, source, sources);
        const CopyCount rows = all ? CopyCount{*all, 0} : copyRowByRow(*table, source, sources);
        reloadOnFailure(WindowPort::Tab::Listed_Urls);
        later([this] {
            if (window_)
                window_->openTab(WindowPort::Tab::Listed_Urls);
        });
        if (rows.refused == 0)
            status(fill(" {} rows inserted into {}", rows.stored, *table));
        else
            status(
                fill(" {} rows inserted into {}, {} refused", rows.stored, *table, rows.refused));
    });
}

std::vector<int> DB::listingSources(const std::string& source)
{
    Statement selection = connection_->createStatement();
    selection.prepareOrThrow(
        fill("SELECT {} {};", sql::join(tab::Shareware_Site::getInstance().getColumnNames(), ","),
             source));
    // Result column -> listing column, by name; listing columns not selected keep their
    // placeholders.
    const auto& names = tab::Listed_Url::getInstance().getColumnNames();
    std::vector<int> sources(names.size(), -1);
    const int count = selection.getColumnCount();
    for (int i = 0; i < count; ++i) {
        auto at = std::find(names.begin(), names.end(), selection.getColumnName(i));
        if (at != names.end())
            sources[static_cast<std::size_t>(at - names.begin())] = i;
    }
    return sources;
}

Statement DB::prepareCopy(const std::string& table, const std::vector<int>& sources,
                          const std::string& source, int& parameters)
{
    const auto& listing = tab::Listed_Url::getInstance();
    const auto& names = listing.getColumnNames();
    const auto& selected = tab::Shareware_Site::getInstance().getColumnNames();
    std::vector<std::string> values, placeholders;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sources[i] >= 0) {
            // Copied as text, as every value the program stores; NULL stays NULL.
            values.push_back(
                fill("CAST({} AS TEXT)", quoteId(selected[static_cast<std::size_t>(sources[i])])));
        } else {
            values.push_back("?");
            placeholders.push_back(listing.get(names[i]).value_or(std::string()));
        }
    }
    Statement insert = connection_->createStatement();
    insert.prepareOrThrow(fill("INSERT INTO {} ( {} ) SELECT {} {};", quoteId(table),
                               sql::join(names, ","), sql::join(values, ","), source));
    for (std::size_t i = 0; i < placeholders.size(); ++i)
        insert.bindText(static_cast<int>(i), placeholders[i]);
    parameters = static_cast<int>(placeholders.size());
    return insert;
}

std::optional<std::size_t> DB::copyAtOnce(const std::string& table, const std::string& source,
                                          const std::vector<int>& sources)
{
    int parameters = 0;
    Statement insert = prepareCopy(table, sources, source, parameters);
    // A savepoint: a refused row leaves nothing of the attempt behind.
    dwin::database::sqlite::Transaction attempt(*connection_);
    const int rc = insert.step();
    if (rc == kStepDone) {
        const auto rows = static_cast<std::size_t>(connection_->getChanges());
        insert.close();
        attempt.commit();
        return rows;
    }
    const std::string reason(connection_->getErrorMessage());
    if (steps::isFileFailure(rc) || connection_->isAutoCommit())
        throw dwin::database::sqlite::SQLiteVMException(reason, rc);
    insert.reset();
    return std::nullopt;
}

DB::CopyCount DB::copyRowByRow(const std::string& table, const std::string& source,
                               const std::vector<int>& sources)
{
    // The catalogue rows to copy, read before the first of them is stored.
    std::vector<std::pair<std::int64_t, std::string>> rows;
    {
        Cursor cursor = newCursor();
        cursor.execute(fill("SELECT rowid, id {};", source));
        while (cursor.hasRow()) {
            rows.emplace_back(cursor.getLong(0),
                              cursor.getColumnType(1) == kStorageNull ? std::string("NULL")
                                                                      : cursor.getText(1));
            cursor.next();
        }
    }
    int rowParameter = 0;
    Statement insert = prepareCopy(
        table, sources, fill("FROM {} WHERE rowid = ?", quoteId("Shareware_Sites")), rowParameter);
    // Each row under a savepoint of its own: a refused row leaves nothing behind.
    const auto prepared = [this](const char* text) {
        Statement s = connection_->createStatement();
        s.prepareOrThrow(text);
        return s;
    };
    Statement mark = prepared("SAVEPOINT sync_row;");
    Statement release = prepared("RELEASE sync_row;");
    Statement undo = prepared("ROLLBACK TO sync_row;");
    const auto run = [](Statement& s) {
        s.reset();
        if (const int rc = s.step(); rc != kStepDone)
            throw dwin::database::sqlite::SQLiteVMException(rc);
    };
    CopyCount count;
    for (const auto& [rowid, id] : rows) {
        insert.reset();
        insert.bindLong(rowParameter, rowid);
        run(mark);
        const int rc = insert.step();
        if (rc == kStepDone) {
            count.stored += static_cast<std::size_t>(connection_->getChanges());
            run(release);
            continue;
        }
        const std::string reason(connection_->getErrorMessage());
        if (steps::isFileFailure(rc) || connection_->isAutoCommit())
            throw dwin::database::sqlite::SQLiteVMException(reason, rc);
        insert.reset();
        run(undo);
        run(release);
        report::trace(fill("synchronizeSites skipped row {} of {}: {}", id, table, reason));
        ++count.refused;
    }
    return count;
}

void DB::update20080917()
{
    try {
        Cursor cursor = newCursor();
        try {
            cursor.executeScript(std::string_view(kUpdate20080917), [](Cursor&) {});
        } catch (const std::exception& e) {
            report::trace(fill("update20080917 catch {}, SQL {}", e.what(), kUpdate20080917));
            try {
                connection_->rollback();
            } catch (...) {
                report::caught("update20080917 rollback");
            }
        }
    } catch (...) {
        report::caught("update20080917");
    }
}

} // namespace qmk
