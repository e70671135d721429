// Copying the catalogue into the current listing table, and the one schema migration.
#include "qmk/DB.h"

#include "dwin/database/sqlite/Base.h"
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
    std::size_t rows = 0;
    return write(fill("copy of the catalogue sites into {}", *table), [&](Cursor& cursor) {
        const std::string columns =
            sql::join(tab::Shareware_Site::getInstance().getColumnNames(), ",");
        const bool listed = cursor.execute(fill("SELECT * FROM {};", quoteId(*table)));
        cursor.execute(listed ? fill("SELECT {} FROM {} WHERE id NOT IN ( SELECT id FROM {} );",
                                     columns, quoteId("Shareware_Sites"), quoteId(*table))
                              : fill("SELECT {} FROM {} ;", columns, quoteId("Shareware_Sites")));
        const PendingSites pending = readPending(cursor);
        cursor.close();
        rows = pending.rows;
        insertPending(*table, pending);
        reloadOnFailure(WindowPort::Tab::Listed_Urls);
        later([this] {
            if (window_)
                window_->openTab(WindowPort::Tab::Listed_Urls);
        });
        status(fill(" {} rows inserted into {}", rows, *table));
    });
}

DB::PendingSites DB::readPending(Cursor& cursor)
{
    // Result column -> listing column; listing columns not selected keep their placeholders.
    const auto& names = tab::Listed_Url::getInstance().getColumnNames();
    PendingSites pending;
    pending.source.assign(names.size(), -1);
    const int count = cursor.getColumnCount();
    for (int i = 0; i < count; ++i) {
        auto at = std::find(names.begin(), names.end(), cursor.getColumnName(i));
        if (at != names.end())
            pending.source[static_cast<std::size_t>(at - names.begin())] = i;
    }
    pending.width = static_cast<std::size_t>(count);
    while (cursor.hasRow()) {
        const auto& statement = *cursor.getStatement();
        for (int i = 0; i < count; ++i) {
            if (cursor.getColumnType(i) == kStorageNull) {
                pending.cells.emplace_back(0, -1);
                continue;
            }
            const auto text = statement.getTextView(i);
            pending.cells.emplace_back(pending.text.size(),
                                       static_cast<std::ptrdiff_t>(text.size()));
            pending.text.append(text);
        }
        ++pending.rows;
        cursor.next();
    }
    return pending;
}

void DB::insertPending(const std::string& table, const PendingSites& pending)
{
    const auto& listing = tab::Listed_Url::getInstance();
    const auto& names = listing.getColumnNames();
    std::vector<std::string> placeholders;
    for (const auto& name : names)
        placeholders.push_back(listing.get(name).value_or(std::string()));

    Statement statement = connection_->createStatement();
    if (statement.prepare(fill("INSERT INTO {} ( {} ) values( {} );", quoteId(table),
                               sql::join(names, ","), sql::placeholders(names.size()))) != 0 ||
        !statement.isPrepared())
        throw std::runtime_error("INSERT did not prepare");
    // The pending texts and the placeholders outlive the statement's use of them: bound without copies.
    const std::string_view text = pending.text;
    for (std::size_t r = 0; r < pending.rows; ++r) {
        statement.reset();
        const auto* row = pending.cells.data() + r * pending.width;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const int source = pending.source[i];
            const int param = static_cast<int>(i);
            if (source < 0) {
                statement.bindTextStatic(param, placeholders[i]);
            } else if (const auto& [offset, length] = row[source]; length >= 0) {
                statement.bindTextStatic(param,
                                         text.substr(offset, static_cast<std::size_t>(length)));
            } else {
                statement.bindNull(param);
            }
        }
        // Any row the engine refuses ends the copy, and the write around it rolls all of it back.
        if (const int rc = statement.step(); rc != kStepDone)
            throw dwin::database::sqlite::SQLiteVMException(rc);
    }
    statement.reset();
    statement.clearBindings();
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
            }
        }
    } catch (...) {
    }
}

} // namespace qmk
