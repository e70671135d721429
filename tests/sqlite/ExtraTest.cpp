// tableExists / exists: schema lookups by type, name, attached and temporary databases.
#include "SqliteFixture.h"

#include "dwin/database/sqlite/Extra.h"

namespace sqltest {
namespace {

class ExistsTest : public SqliteTest {
protected:
    ExistsTest() { run("CREATE TABLE Softwares(id UNIQUE NOT NULL, name)"); }
};

TEST_F(ExistsTest, FindsTablesByExactName)
{
    EXPECT_TRUE(tableExists(db, "Softwares"));
    EXPECT_FALSE(tableExists(db, "softwares"));
    EXPECT_FALSE(tableExists(db, "SOFTWARES"));
    EXPECT_FALSE(tableExists(db, "Temp_Sites"));
    db.close(); // no cursor left open
}

TEST_F(ExistsTest, EmptyNameIsFalseWithoutTouchingTheDatabase)
{
    EXPECT_FALSE(tableExists(db, ""));
    Connection never;
    EXPECT_FALSE(tableExists(never, ""));
}

TEST_F(ExistsTest, ClosedConnectionAnswersFalse)
{
    db.close();
    EXPECT_FALSE(tableExists(db, "Softwares"));
}

TEST(ExistsUnopened, NeverOpenedConnectionThrows)
{
    Connection never;
    EXPECT_THROW_MSG(tableExists(never, "Softwares"), SQLiteDException,
                     "SQLite D Exception: Connection Not Available");
}

TEST_F(ExistsTest, OtherSchemaTypes)
{
    run("CREATE INDEX by_name ON Softwares(name)");
    run("CREATE VIEW names AS SELECT name FROM Softwares");
    run("CREATE TRIGGER touch AFTER INSERT ON Softwares BEGIN SELECT 1; END");
    EXPECT_TRUE(exists(db, "by_name", "", false, "index"));
    EXPECT_TRUE(exists(db, "names", "", false, "view"));
    EXPECT_TRUE(exists(db, "touch", "", false, "trigger"));
    EXPECT_FALSE(exists(db, "names", "", false, "table"));
    EXPECT_FALSE(tableExists(db, "by_name"));
}

TEST_F(ExistsTest, AttachedAndTemporaryDatabases)
{
    run("ATTACH DATABASE '" + dir.file("other.db") + "' AS other");
    run("CREATE TABLE other.Listed(id)");
    run("CREATE TEMP TABLE scratch(id)");
    EXPECT_TRUE(tableExists(db, "Listed", "other"));
    EXPECT_FALSE(tableExists(db, "Listed"));
    EXPECT_FALSE(tableExists(db, "Softwares", "other"));
    EXPECT_TRUE(tableExists(db, "Softwares", "main"));
    EXPECT_TRUE(tableExists(db, "scratch", "", true));
    EXPECT_FALSE(tableExists(db, "scratch"));
    EXPECT_FALSE(tableExists(db, "Softwares", "", true));
    EXPECT_VM_CODE(tableExists(db, "Listed", "nosuch"), SQLiteVMCode::Error);
    run("DETACH DATABASE other");
    db.close(); // the failed lookup closed its cursor
}

TEST_F(ExistsTest, NamesWithQuotesAreLookedUpNotExecuted)
{
    run("CREATE TABLE \"Bob's Tool\"(id)");
    EXPECT_TRUE(tableExists(db, "Bob's Tool"));
    EXPECT_FALSE(tableExists(db, "x') OR ('1' = '1"));
    EXPECT_FALSE(tableExists(db, "x'); DROP TABLE Softwares; --"));
    EXPECT_TRUE(tableExists(db, "Softwares"));
    run("ATTACH DATABASE '" + dir.file("odd.db") + "' AS \"we\"\"ird\"");
    run("CREATE TABLE \"we\"\"ird\".inside(id)");
    EXPECT_TRUE(tableExists(db, "inside", "we\"ird"));
}

} // namespace
} // namespace sqltest
