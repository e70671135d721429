// The database object on a real file: opening, single-table operations, the table loader.
#include "Fixture.h"

#include "qmk/SqlText.h"
#include "qmk/ViewerRecords.h"
#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/Temp_Site.h"

#include <cstdlib>
#include <fstream>
#include <regex>

using namespace qmk;
using namespace qmk::test;
namespace sqlite = dwin::database::sqlite;

namespace {

std::vector<std::string> ids(const BaseRecords& list)
{
    std::vector<std::string> out;
    for (const auto& r : list.getRecords())
        out.push_back(r->get("id").value_or("?"));
    return out;
}

// ---- opening ----

TEST(DBOpen, FirstStartCreatesFolderFileAndFixedTables)
{
    TempDir dir;
    const auto xdg = dir.path() / "share";
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    DB::releaseInstance();
    {
        DB& db = DB::getInstance();
        EXPECT_EQ(&db, &DB::getInstance());
        EXPECT_TRUE(std::filesystem::is_regular_file(xdg / "Brightfen/Quillmark/qmk.db"));
        for (const char* t : {"Softwares", "Shareware_Sites", "Black_Sites", "Temp_Sites"})
            EXPECT_TRUE(sqlite::tableExists(db.getConnection(), t)) << t;
        // the listing table's form: id unique, no declared types
        auto cursor = db.getConnection().createCursor();
        cursor.execute("SELECT sql FROM sqlite_master WHERE name = 'Softwares';");
        EXPECT_EQ(cursor.getText(0),
                  "CREATE TABLE \"Softwares\" ( id UNIQUE NOT "
                  "NULL,home,pr,pad_locale,exe_locale,notes )");
    }
    DB::releaseInstance();
    unsetenv("XDG_DATA_HOME");
}

TEST(DBOpen, DataFolderFallsBackToHomeAndIgnoresRelativeXdg)
{
    TempDir dir;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", dir.path().c_str(), 1);
    setenv("XDG_DATA_HOME", "relative/share", 1);
    const auto folder = DB::dataFolder();
    EXPECT_EQ(folder, (dir.path() / ".local/share/Brightfen/Quillmark").string());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(DB::defaultPath(), folder + "/qmk.db");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", oldHome.c_str(), 1);
}

TEST(DBOpen, ReopeningKeepsTheRows)
{
    TempDir dir;
    const auto path = (dir.path() / "qmk.db").string();
    {
        DB db(path);
        tab::Temp_Site t;
        t.set("id", "kept.com");
        EXPECT_EQ(db.insert(t, "Temp_Sites"), 1);
    }
    DB db(path);
    BaseRecords list("Temp_Sites");
    db.loadTable<tab::Temp_Site>(list, "Temp_Sites");
    EXPECT_EQ(ids(list), std::vector<std::string>{"kept.com"});
}

TEST(DBOpen, NotADatabaseIsAClearError)
{
    TempDir dir;
    const auto path = dir.path() / "qmk.db";
    std::ofstream(path)
        << "this is not an SQLite file, just some text that is long enough to look like a header";
    try {
        DB db(path.string());
        FAIL() << "opened a text file";
    } catch (const sqlite::SQLiteVMException& e) {
        EXPECT_EQ(e.getCode(), 26);
        EXPECT_NE(std::string(e.what()).find(path.string() + ": file is not a database"),
                  std::string::npos)
            << e.what();
    }
}

TEST(DBOpen, MissingFolderIsAClearError)
{
    TempDir dir;
    const auto path = (dir.path() / "no/such/folder/qmk.db").string();
    try {
        DB db(path);
        FAIL() << "opened a file in a missing folder";
    } catch (const sqlite::SQLiteVMException& e) {
        EXPECT_EQ(e.getCode(), 14); // SQLITE_CANTOPEN
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("SQLite VM Exception: Can't Open Connection: ", 0), 0u)
            << text; // the layer's text first
        EXPECT_NE(text.find(path), std::string::npos) << text;
    }
}

TEST(DBOpen, ConstructedDbIsTheInstanceWhileItLives)
{
    TempDir dir;
    DB::releaseInstance();
    {
        DB db((dir.path() / "a.db").string());
        EXPECT_EQ(&DB::getInstance(), &db);
    }
}

TEST(DBOpen, CloseTwiceDoesNothing)
{
    TempDir dir;
    DB db((dir.path() / "a.db").string());
    db.close();
    EXPECT_NO_THROW(db.close());
    tab::Temp_Site t;
    EXPECT_EQ(db.insert(t, "Temp_Sites"), DB::notStored); // reported, no crash
    EXPECT_TRUE(db.idsByRank().empty());
}

// ---- single-table operations ----

using DBOps = DbTest;

TEST_F(DBOps, InsertStoresPlaceholdersAsValues)
{
    tab::Shareware_Site s;
    s.set("id", "a.com");
    EXPECT_EQ(db->insert(s, "Shareware_Sites"), 1);
    EXPECT_EQ(window.statusText, "1 rows inserted into Shareware_Sites");
    EXPECT_EQ(value("Shareware_Sites", "a.com", "notes"), "[Enter notes]");
    EXPECT_EQ(value("Shareware_Sites", "a.com", "g_user"), "[Engter Global Username");
    EXPECT_EQ(value("Shareware_Sites", "a.com", "pr"), "-1");
}

TEST_F(DBOps, DuplicateIdInListingTableIsRefusedAndReported)
{
    addProduct("Tool");
    tab::Listed_Url row;
    row.set("id", "a.com");
    EXPECT_EQ(db->insert(row, "Tool"), 1);
    EXPECT_EQ(db->insert(row, "Tool"), DB::notStored);
    EXPECT_EQ(window.statusText, "row a.com of Tool not stored: UNIQUE constraint failed: Tool.id");
    EXPECT_EQ(db->insert(base::BaseRecord(), "Tool"), DB::notStored); // a record without columns
    EXPECT_EQ(rowCount("Tool"), 1);
}

TEST_F(DBOps, DeleteRecordOnMissingTableOrRow)
{
    tab::Temp_Site t;
    t.set("id", "x.com");
    // a record never stored deletes nothing, not even a row showing its id
    db->insert(t, "Temp_Sites");
    EXPECT_EQ(db->deleteRecord(t, "Temp_Sites"), 0);
    EXPECT_EQ(rowCount("Temp_Sites"), 1);
    t.setStored();
    EXPECT_EQ(db->deleteRecord(t, "No_Such"), 0);
    EXPECT_EQ(db->deleteRecord(t, "Temp_Sites"), 1);
    EXPECT_EQ(db->deleteRecord(t, "Temp_Sites"), DB::notStored); // the file lacks its row
    EXPECT_EQ(rowCount("Temp_Sites"), 0);
}

TEST_F(DBOps, UpdateFieldOnMissingRowStillReports)
{
    EXPECT_EQ(db->updateField("Temp_Sites", "none.com", "notes", "n"), 0);
    EXPECT_EQ(window.statusText, "0 rows updated on Temp_Sites, column: notes, new value: n");
    EXPECT_EQ(db->updateField("Temp_Sites", "none.com", "no_column", "n"), DB::notStored);
    EXPECT_EQ(window.statusText,
              "no_column of row none.com in Temp_Sites not stored: no such column: no_column");
}

TEST_F(DBOps, ClearTableEmptiesTempSitesOnly)
{
    tab::Temp_Site t;
    t.set("id", "t.com");
    db->insert(t, "Temp_Sites");
    db->insert(*site("s.com"), "Shareware_Sites");
    EXPECT_TRUE(db->clearTable());
    EXPECT_EQ(rowCount("Temp_Sites"), 0);
    EXPECT_EQ(rowCount("Shareware_Sites"), 1);
}

TEST_F(DBOps, ExistsInSiteTablesLooksInAllThree)
{
    tab::Black_Site b;
    b.set("id", "bad.com");
    db->insert(b, "Black_Sites");
    EXPECT_TRUE(db->existsInSiteTables("bad.com"));
    EXPECT_FALSE(db->existsInSiteTables("good.com"));
    tab::Temp_Site t;
    t.set("id", "temp.com");
    db->insert(t, "Temp_Sites");
    EXPECT_TRUE(db->existsInSiteTables("temp.com"));
}

TEST_F(DBOps, GetListedUrl)
{
    addProduct("Tool");
    tab::Listed_Url row;
    row.set("id", "a.com");
    row.set("listed_url", "https://a.com/tool.html");
    db->insert(row, "Tool");
    EXPECT_EQ(db->getListedUrl("Tool", "a.com"), "https://a.com/tool.html");
    EXPECT_FALSE(db->getListedUrl("Tool", "b.com").has_value());
    EXPECT_THROW(db->getListedUrl("Missing", "a.com"), sqlite::SQLiteVMException);
}

TEST_F(DBOps, IdsByRankComparesText)
{
    addProduct("A", "9");
    addProduct("B", "10");
    addProduct("C", "2");
    addProduct("D", "9");
    EXPECT_EQ(db->idsByRank(), (std::vector<std::string>{"D", "A", "C", "B"}));
}

TEST_F(DBOps, AlterTableReportsByChangeCount)
{
    exec("create table \"Old\" ( id UNIQUE NOT NULL );");
    exec("create table \"Other\" ( id );");
    exec("INSERT INTO \"Other\" VALUES ('x');"); // the connection's change count is now 1
    auto cursor = db->getConnection().createCursor();
    EXPECT_EQ(db->alterTable(cursor, "Old", "New"), 1);
    EXPECT_TRUE(std::regex_match(
        window.statusText,
        std::regex(R"(table name Old changed to New at \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)")))
        << window.statusText;
    EXPECT_TRUE(hasTable("New"));
    EXPECT_EQ(db->alterTable(cursor, "Missing", "Gone"), 0);
}

TEST(SqlText, NamesCompareLikeSqliteDoes)
{
    EXPECT_TRUE(qmk::sql::sameIgnoringCase("Shareware_Sites", "SHAREWARE_sites"));
    EXPECT_FALSE(qmk::sql::sameIgnoringCase("Tool", "Tools"));
    // Only ASCII letters fold: "É" and "é" are different names to SQLite.
    EXPECT_FALSE(qmk::sql::sameIgnoringCase("\xc3\x89", "\xc3\xa9"));
    EXPECT_FALSE(qmk::sql::sameIgnoringCase("\xc9", "\xe9")); // Latin-1 bytes do not fold either
}

TEST_F(DBOps, ColumnDefinitions)
{
    EXPECT_FALSE(DB::columnDefinitions({}, 0, "X").has_value());
    EXPECT_EQ(DB::columnDefinitions({"a", "b"}, 1, "UNIQUE"), "a,b UNIQUE");
    EXPECT_EQ(DB::columnDefinitions({"a", "b"}, 5, "UNIQUE"), "a,b");
}

TEST_F(DBOps, CreateTableOfListingForm)
{
    auto cursor = db->getConnection().createCursor();
    db->createTable(cursor, tab::Listed_Url::getInstance(), "Tool");
    EXPECT_EQ(rowCount("Tool"), 0);
    auto c2 = db->getConnection().createCursor();
    c2.execute("SELECT sql FROM sqlite_master WHERE name = 'Tool';");
    EXPECT_EQ(c2.getText(0),
              "CREATE TABLE \"Tool\" ( id UNIQUE NOT NULL,pr,listed_url,username,password,version,"
              "sub_date,backlink,sub_method,sort,sub_page,rev_days,g_user,g_pass,notes )");
    EXPECT_NO_THROW(
        db->createTable(cursor, tab::Listed_Url::getInstance(), "Tool")); // exists: silent
}

// ---- loader ----

TEST_F(DBOps, LoaderReadsNullAsEmptyAndOrdersAsText)
{
    for (auto [id, pr] : {std::pair{"ten.com", "10"}, {"nine.com", "9"}, {"two.com", "2"}}) {
        tab::Shareware_Site s;
        s.set("id", id);
        s.set("pr", pr);
        db->insert(s, "Shareware_Sites");
    }
    exec("UPDATE \"Shareware_Sites\" SET notes = NULL WHERE id = 'two.com';");
    BaseRecords list("Shareware_Sites");
    db->loadTable<tab::Shareware_Site>(list, "Shareware_Sites");
    EXPECT_EQ(ids(list), (std::vector<std::string>{"nine.com", "two.com", "ten.com"}));
    EXPECT_EQ(list.getById("two.com")->get("notes"), std::string());
    EXPECT_EQ(list.getById("ten.com")->get("notes"), "[Enter notes]");
}

TEST_F(DBOps, LoaderOnMissingTableLeavesListAlone)
{
    exec("DROP TABLE \"Temp_Sites\";");
    BaseRecords list("Temp_Sites");
    list.add(site("kept"));
    db->loadTable<tab::Temp_Site>(list, "Temp_Sites");
    EXPECT_EQ(list.length(), 1u);
}

TEST_F(DBOps, LoadFailingPartWayIsReportedAndKeepsTheRowsRead)
{
    for (const char* id : {"a.com", "b.com", "c.com", "d.com", "e.com"})
        db->insert(*site(id), "Shareware_Sites");
    BaseRecords list("Shareware_Sites");
    // The engine is interrupted once three rows are listed.
    auto& connection = db->getConnection();
    connection.setProgressHandlerOps(1);
    connection.setProgressHandler([&list](sqlite::Connection&) { return list.length() >= 3; });
    testing::internal::CaptureStdout();
    db->loadTable<tab::Shareware_Site>(list, "Shareware_Sites");
    const std::string trace = testing::internal::GetCapturedStdout();
    connection.setProgressHandler({});
    EXPECT_EQ(list.length(), 3u);
    EXPECT_EQ(window.statusText, "reading Shareware_Sites (3 rows read) failed: interrupted");
    EXPECT_NE(trace.find("reading Shareware_Sites (3 rows read) catch interrupted"),
              std::string::npos)
        << trace;
}

TEST_F(DBOps, SoftwaresWithoutExeLocaleLoadsNothing)
{
    exec("DROP TABLE \"Softwares\";");
    exec("CREATE TABLE Softwares(id TEXT UNIQUE NOT NULL, home TEXT, pr TEXT, pad_locale TEXT, "
         "notes TEXT);");
    exec("INSERT INTO Softwares VALUES ('Tool', 'tool.com', '3', '', '');");
    BaseRecords list("Softwares");
    db->loadTable<tab::Software>(list, "Softwares");
    EXPECT_EQ(list.length(), 0u);
}

TEST_F(DBOps, MigrationAddsExeLocaleAndKeepsRows)
{
    exec("DROP TABLE \"Softwares\";");
    exec("CREATE TABLE Softwares(id TEXT UNIQUE NOT NULL, home TEXT, pr TEXT, pad_locale TEXT, "
         "notes TEXT);");
    exec("INSERT INTO Softwares VALUES ('Tool', 'tool.com', '3', 'pad.xml', 'n');");
    db->update20080917();
    BaseRecords list("Softwares");
    db->loadTable<tab::Software>(list, "Softwares");
    ASSERT_EQ(list.length(), 1u);
    EXPECT_EQ(list.getRecords()[0]->get("exe_locale"), std::string());
    EXPECT_EQ(list.getRecords()[0]->get("pad_locale"), "pad.xml");
}

TEST_F(DBOps, FailedMigrationRollsBack)
{
    // the fixed Softwares table has exe_locale already, but no failure there; break it instead:
    exec("DROP TABLE \"Softwares\";");
    exec("CREATE TABLE Softwares(id, home, pr, pad_locale);"); // no notes column: the copy fails
    exec("INSERT INTO Softwares VALUES ('Tool', 'tool.com', '3', 'pad.xml');");
    testing::internal::CaptureStdout();
    db->update20080917();
    const auto out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("update20080917 catch ", 0), 0u) << out;
    EXPECT_TRUE(db->getConnection().isAutoCommit());
    EXPECT_EQ(rowCount("Softwares"), 1);
}

} // namespace
