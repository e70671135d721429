// Copying the catalogue into the current listing table.
#include "Fixture.h"

#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"

#include <sqlite3.h>

using namespace qmk;
using namespace qmk::test;

namespace {

class Sync : public DbTest {
protected:
    void catalogue(int n)
    {
        for (int i = 0; i < n; ++i)
            db->insert(*site("site" + std::to_string(i) + ".com"), "Shareware_Sites");
    }
};

TEST_F(Sync, EmptyListingGetsEveryCatalogueRow)
{
    catalogue(5);
    addProduct("Alpha");
    show("Alpha");
    db->synchronizeSites();
    EXPECT_EQ(rowCount("Alpha"), 5);
    EXPECT_EQ(value("Alpha", "site3.com", "listed_url"), "[Enter listed url]");
    EXPECT_EQ(window.statusText, " 5 rows inserted into Alpha");
    EXPECT_TRUE(window.called("open:Listed_Urls"));
    EXPECT_TRUE(db->getConnection().isAutoCommit());
}

TEST_F(Sync, OnlyMissingSitesAreCopiedAndASecondRunCopiesNothing)
{
    catalogue(4);
    addProduct("Alpha");
    show("Alpha");
    tab::Listed_Url row;
    row.set("id", "site1.com");
    row.set("listed_url", "https://site1.com/alpha");
    db->insert(row, "Alpha");
    db->synchronizeSites();
    EXPECT_EQ(rowCount("Alpha"), 4);
    EXPECT_EQ(value("Alpha", "site1.com", "listed_url"), "https://site1.com/alpha");
    EXPECT_EQ(window.statusText, " 3 rows inserted into Alpha");
    db->synchronizeSites();
    EXPECT_EQ(rowCount("Alpha"), 4);
    EXPECT_EQ(window.statusText, " 0 rows inserted into Alpha");
}

TEST_F(Sync, CatalogueValuesAreCopiedAsTextAndNullStaysNull)
{
    catalogue(1);
    exec("UPDATE \"Shareware_Sites\" SET notes = NULL, pr = 7, rev_days = 2.5;");
    addProduct("Alpha");
    show("Alpha");
    db->synchronizeSites();
    EXPECT_EQ(value("Alpha", "site0.com", "notes"), "<null>");
    auto cursor = db->getConnection().createCursor();
    ASSERT_TRUE(
        cursor.execute("SELECT typeof(pr), pr, typeof(rev_days), rev_days FROM \"Alpha\";"));
    EXPECT_EQ(cursor.getText(0), "text");
    EXPECT_EQ(cursor.getText(1), "7");
    EXPECT_EQ(cursor.getText(2), "text");
    EXPECT_EQ(cursor.getText(3), "2.5");
}

TEST_F(Sync, RefusedRowsAreSkippedNamedAndCountedApart)
{
    catalogue(4);
    addProduct("Alpha");
    show("Alpha");
    // One row refused before it is inserted, one after (a trigger's own writes for it included).
    exec("CREATE TABLE log ( id );");
    exec("CREATE TRIGGER refuse BEFORE INSERT ON \"Alpha\" WHEN NEW.id = 'site1.com' "
         "BEGIN SELECT RAISE(ABORT, 'refused early'); END;");
    exec("CREATE TRIGGER late AFTER INSERT ON \"Alpha\" BEGIN INSERT INTO log VALUES (NEW.id); "
         "SELECT RAISE(FAIL, 'refused late') WHERE NEW.id = 'site2.com'; END;");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(db->synchronizeSites());
    const std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rowCount("Alpha"), 2);
    EXPECT_TRUE(value("Alpha", "site3.com", "id").has_value());
    EXPECT_EQ(rowCount("log"), 2);
    EXPECT_EQ(window.statusText, " 2 rows inserted into Alpha, 2 refused");
    EXPECT_NE(trace.find("site1.com of Alpha: refused early"), std::string::npos) << trace;
    EXPECT_NE(trace.find("site2.com of Alpha: refused late"), std::string::npos) << trace;
    EXPECT_TRUE(db->getConnection().isAutoCommit());
    exec("DROP TRIGGER refuse;");
    exec("DROP TRIGGER late;");
    EXPECT_TRUE(db->synchronizeSites());
    EXPECT_EQ(rowCount("Alpha"), 4);
    EXPECT_EQ(window.statusText, " 2 rows inserted into Alpha");
    // An integer id from an older file is copied once as text, then counts as listed.
    exec("INSERT INTO \"Shareware_Sites\" (id) VALUES (42);");
    EXPECT_TRUE(db->synchronizeSites());
    EXPECT_EQ(window.statusText, " 1 rows inserted into Alpha");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(db->synchronizeSites());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(window.statusText, " 0 rows inserted into Alpha");
    EXPECT_EQ(rowCount("Alpha"), 5);
}

TEST_F(Sync, FailedCommitRollsBack)
{
    catalogue(3);
    addProduct("Alpha");
    show("Alpha");
    // A second connection in the middle of a read holds a shared lock, so the commit is refused.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((dir.path() / "qmk.db").c_str(), &other), SQLITE_OK);
    sqlite3_stmt* reading = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(other, "SELECT * FROM Shareware_Sites;", -1, &reading, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(reading), SQLITE_ROW);
    EXPECT_FALSE(db->synchronizeSites());
    EXPECT_TRUE(db->getConnection().isAutoCommit()); // no transaction left open
    EXPECT_EQ(window.statusText,
              "copy of the catalogue sites into Alpha not stored: database is locked");
    sqlite3_finalize(reading);
    sqlite3_close(other);
    EXPECT_EQ(rowCount("Alpha"), 0);
    db->synchronizeSites(); // the database is usable again
    EXPECT_EQ(rowCount("Alpha"), 3);
}

TEST_F(Sync, LockedDatabaseIsReportedAndLeavesNoTransaction)
{
    catalogue(3);
    addProduct("Alpha");
    show("Alpha");
    // Another writer holds the write lock: every insert of the copy is refused with "busy".
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((dir.path() / "qmk.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    window.clearCalls();
    EXPECT_FALSE(db->synchronizeSites());
    // No "rows inserted" for rows that were not.
    EXPECT_EQ(window.statusText,
              "copy of the catalogue sites into Alpha not stored: database is locked");
    EXPECT_FALSE(window.called("open:Listed_Urls"));
    EXPECT_TRUE(db->getConnection().isAutoCommit());
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(rowCount("Alpha"), 0);
    db->synchronizeSites();
    EXPECT_EQ(rowCount("Alpha"), 3);
    EXPECT_EQ(window.statusText, " 3 rows inserted into Alpha");
}

TEST_F(Sync, NoProductsDoesNothing)
{
    catalogue(2);
    db->synchronizeSites();
    EXPECT_FALSE(window.called("open:Listed_Urls"));
}

} // namespace
