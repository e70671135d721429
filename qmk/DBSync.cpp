// Copying the catalogue into the current listing table, and the one schema migration.
#include "qmk/DB.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/SqlText.h"
#include "qmk/WindowPort.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"

#include <algorithm>
#include <iostream>
#include <stdexcept>

namespace qmk {

using dwin::database::sqlite::Statement;
using sql::fill;
using sql::quoteId;

namespace {

using Row = std::vector<std::optional<std::string>>;

constexpr int kStorageNull = 5;   // SQLite's storage class of NULL

const char* const kUpdate20080917 =
    "BEGIN;CREATE TEMPORARY TABLE Softwares_backup(id, home, pr, pad_locale, notes);INSERT INTO Softwares_backup "
    "(id, home, pr, pad_locale, notes) SELECT id, home, pr, pad_locale, notes FROM Softwares;DROP TABLE "
    "Softwares;CREATE TABLE Softwares(id TEXT UNIQUE NOT NULL, home TEXT, pr TEXT, pad_locale TEXT, exe_locale "
    "TEXT DEFAULT '', notes TEXT);INSERT INTO Softwares (id, home, pr, pad_locale, notes) SELECT id, home, pr, "
    "pad_locale, notes FROM Softwares_backup;DROP TABLE Softwares_backup;COMMIT;";

// Rolls the open transaction back unless commit() was reached.
class TransactionGuard {
public:
    explicit TransactionGuard(DB::Connection& connection) : connection_(connection) { connection_.begin(); }
    ~TransactionGuard()
    {
        if (open_) {
            try {
                connection_.rollback();
            } catch (...) {
            }
        }
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;
    void commit()
    {
        connection_.commit();
        open_ = false;
    }

private:
    DB::Connection& connection_;
    bool open_ = true;
};

} // namespace

void DB::synchronizeSites()
{
    try {
        const auto table = currentListingName();
        if (!table)
            return;
        std::vector<Row> pending;
        {
            Cursor cursor = newCursor();
            const std::string columns = sql::join(tab::Shareware_Site::getInstance().getColumnNames(), ",");
            const bool listed = cursor.execute(fill("SELECT * FROM {};", quoteId(*table)));
            cursor.execute(listed ? fill("SELECT {} FROM {} WHERE id NOT IN ( SELECT id FROM {} );", columns,
                                         quoteId("Shareware_Sites"), quoteId(*table))
                                  : fill("SELECT {} FROM {} ;", columns, quoteId("Shareware_Sites")));
            // Result column -> position among the listing columns; the rest keep their placeholders.
            const auto& listing = tab::Listed_Url::getInstance();
            const auto& names = listing.getColumnNames();
            std::vector<std::size_t> position;
            for (int i = 0; i < cursor.getColumnCount(); ++i) {
                auto at = std::find(names.begin(), names.end(), cursor.getColumnName(i));
                position.push_back(static_cast<std::size_t>(at - names.begin()));
            }
            Row defaults;
            for (const auto& name : names)
                defaults.push_back(listing.get(name));
            while (cursor.hasRow()) {
                Row row = defaults;
                for (std::size_t i = 0; i < position.size(); ++i) {
                    if (position[i] >= row.size())
                        continue;
                    const int col = static_cast<int>(i);
                    if (cursor.getColumnType(col) == kStorageNull)
                        row[position[i]].reset();
                    else
                        row[position[i]] = cursor.getText(col);
                }
                pending.push_back(std::move(row));
                cursor.next();
            }
        }
        insertPending(*table, pending);
        if (window_)
            window_->openTab(WindowPort::Tab::Listed_Urls);
        status(fill(" {} rows inserted into {}", pending.size(), *table));
    } catch (...) {
    }
}

void DB::insertPending(const std::string& table, const std::vector<Row>& rows)
{
    const auto& names = tab::Listed_Url::getInstance().getColumnNames();
    Statement statement = connection_->createStatement();
    if (statement.prepare(fill("INSERT INTO {} ( {} ) values( {} );", quoteId(table), sql::join(names, ","),
                               sql::placeholders(names.size()))) != 0 ||
        !statement.isPrepared())
        throw std::runtime_error("INSERT did not prepare");
    TransactionGuard transaction(*connection_);
    for (const auto& row : rows) {
        statement.reset();
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (row[i])
                statement.bindText(static_cast<int>(i), *row[i]);
            else
                statement.bindNull(static_cast<int>(i));
        }
        statement.step();   // a row the engine refuses is skipped
    }
    transaction.commit();
}

void DB::update20080917()
{
    try {
        Cursor cursor = newCursor();
        try {
            cursor.executeScript(std::string_view(kUpdate20080917), [](Cursor&) {});
        } catch (const std::exception& e) {
            std::cout << fill("update20080917 catch {}, SQL {}", e.what(), kUpdate20080917) << std::endl;
            try {
                connection_->rollback();
            } catch (...) {
            }
        }
    } catch (...) {
    }
}

} // namespace qmk
