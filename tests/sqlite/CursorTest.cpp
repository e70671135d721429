// Cursor: state, row counts, reads, statements of the caller, failures and fetches.
#include "SqliteFixture.h"

#include <sqlite3.h>

#include <vector>

namespace sqltest {
namespace {

class CursorTest : public SqliteTest {
protected:
    CursorTest()
    {
        run("CREATE TABLE t(id, name)");
        run("INSERT INTO t VALUES (1, 'a'), (2, 'b'), (3, 'c')");
    }
};

TEST_F(CursorTest, NewCursorHasNoRowAndIsNoQuery)
{
    Cursor c = db.createCursor();
    EXPECT_FALSE(c.hasRow());
    EXPECT_FALSE(c.isQuery());
    EXPECT_FALSE(c.isClosed());
    EXPECT_EQ(c.getRowCount(), 0);
    EXPECT_EQ(c.getStatement(), nullptr);
    EXPECT_THROW_MSG(c.getText(0), SQLiteDException, "SQLite D Exception: Statement Not Available");
    EXPECT_THROW_MSG(c.next(), SQLiteDException, "SQLite D Exception: Statement Not Available");
    EXPECT_THROW_MSG(c.checkStatement(), SQLiteDException,
                     "SQLite D Exception: Statement Not Available");
    EXPECT_EQ(&c.getConnection(), &db);
}

TEST_F(CursorTest, UpdateCountsChangedRows)
{
    Cursor c = db.createCursor();
    EXPECT_FALSE(c.execute("UPDATE t SET name = 'z' WHERE id >= 1"));
    EXPECT_EQ(c.getRowCount(), 3);
    EXPECT_FALSE(c.isQuery());
    EXPECT_FALSE(c.execute("DELETE FROM t WHERE id = 2"));
    EXPECT_EQ(c.getRowCount(), 1);
    EXPECT_FALSE(c.execute("INSERT INTO t VALUES (9, 'n')"));
    EXPECT_EQ(c.getRowCount(), 1);
    EXPECT_FALSE(c.execute("UPDATE t SET name = 'q' WHERE id = 99"));
    EXPECT_EQ(c.getRowCount(), 0);
    c.close();
}

TEST_F(CursorTest, ReadLoopCountsRowsRead)
{
    Cursor c = db.createCursor();
    EXPECT_TRUE(c.execute("SELECT id, name FROM t WHERE id <= 2 ORDER BY id"));
    EXPECT_TRUE(c.isQuery());
    EXPECT_EQ(c.getRowCount(), 1);
    std::vector<std::string> names;
    while (c.hasRow()) {
        names.push_back(c.getColumnName(1) + "=" + c.getText(1));
        c.next();
    }
    EXPECT_EQ(names, (std::vector<std::string>{"name=a", "name=b"}));
    EXPECT_EQ(c.getRowCount(), 2);
    EXPECT_FALSE(c.hasRow());
    EXPECT_TRUE(c.isQuery());
    c.close();
}

TEST_F(CursorTest, QueryWithoutRows)
{
    Cursor c = db.createCursor();
    EXPECT_FALSE(c.execute("SELECT * FROM t WHERE id > 100"));
    EXPECT_FALSE(c.hasRow());
    EXPECT_EQ(c.getRowCount(), 0);
    c.close();
}

TEST_F(CursorTest, ClosedCursorRefusesWork)
{
    Cursor c = db.createCursor();
    c.execute("SELECT * FROM t");
    c.close();
    EXPECT_TRUE(c.isClosed());
    EXPECT_FALSE(c.hasRow());
    const char* msg = "SQLite D Exception: Cursor Has Already Closed";
    EXPECT_THROW_MSG(c.execute("SELECT 1"), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.executeScript("SELECT 1;", [](Cursor&) {}), SQLiteDException, msg);
    EXPECT_NO_THROW(c.close());
    db.close(); // the cursor left no statement behind
}

TEST_F(CursorTest, BlankTextIsNoStatement)
{
    Cursor c = db.createCursor();
    EXPECT_THROW_MSG(c.execute("   "), SQLiteDException,
                     "SQLite D Exception: Statement Not Available");
    EXPECT_THROW_MSG(c.execute("  ", {1}), SQLiteDException,
                     "SQLite D Exception: Statement Not Available");
}

TEST_F(CursorTest, OnlyTheFirstStatementOfATextRuns)
{
    Cursor c = db.createCursor();
    EXPECT_FALSE(c.execute("DELETE FROM t WHERE id = 1; DELETE FROM t"));
    EXPECT_EQ(c.getRowCount(), 1);
    c.close();
    EXPECT_EQ(scalar("SELECT count(*) FROM t"), "2");
}

TEST_F(CursorTest, ExecuteWithValues)
{
    Cursor c = db.createCursor();
    std::vector<SQLiteData> list{SQLiteData("10"), SQLiteData("ten")};
    EXPECT_FALSE(c.execute("INSERT INTO t VALUES (?, ?)", list));
    EXPECT_EQ(c.getRowCount(), 1);
    EXPECT_FALSE(c.execute(
        "INSERT INTO t VALUES (:i, :n)",
        std::map<std::string, SQLiteData>{{":i", SQLiteData("11")}, {":n", SQLiteData("eleven")}}));
    EXPECT_FALSE(c.execute("UPDATE t SET name = ? WHERE id IN (?, ?)", {"x", "10", "11"}));
    EXPECT_EQ(c.getRowCount(), 2);
    ASSERT_TRUE(c.execute("SELECT group_concat(name) FROM t WHERE id > ?", {9}));
    EXPECT_EQ(c.getText(0), "x,x");
    c.close();
}

TEST_F(CursorTest, CallersStatementIsResetAndLeftOpen)
{
    Statement s = db.createStatement("SELECT name FROM t ORDER BY id");
    Cursor c = db.createCursor();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(c.execute(s));
        EXPECT_EQ(c.getStatement(), &s);
        EXPECT_EQ(c.getText(0), "a");
        c.skipRows();
        EXPECT_EQ(c.getRowCount(), 3);
    }
    c.close();
    EXPECT_TRUE(s.isPrepared());
    s.close();
    db.close();
}

TEST_F(CursorTest, StatementOfAnotherConnectionIsRefused)
{
    Connection other;
    other.open(dir.file("other.db"));
    Statement s = other.createStatement("SELECT 1");
    Cursor c = db.createCursor();
    EXPECT_THROW_MSG(c.execute(s), SQLiteDException,
                     "SQLite D Exception: Same Connection Required");
    Statement unprepared = db.createStatement();
    EXPECT_THROW_MSG(c.execute(unprepared), SQLiteDException,
                     "SQLite D Exception: Statement Not Available");
}

TEST_F(CursorTest, FailedStatementIsReportedAgainByTheNextExecute)
{
    run("CREATE TABLE u(id UNIQUE NOT NULL)");
    run("INSERT INTO u VALUES ('k')");
    Cursor c = db.createCursor();
    EXPECT_VM_CODE(c.execute("INSERT INTO u VALUES ('k')"), SQLiteVMCode::Constraint);
    EXPECT_EQ(db.getErrorMessage(), "UNIQUE constraint failed: u.id");
    EXPECT_VM_CODE(c.execute("SELECT 1"), SQLiteVMCode::Constraint);
    EXPECT_TRUE(c.execute("SELECT 1"));
    c.close();

    Cursor d = db.createCursor();
    EXPECT_VM_CODE(d.execute("INSERT INTO u VALUES (NULL)"), SQLiteVMCode::Constraint);
    EXPECT_VM_CODE(d.close(), SQLiteVMCode::Constraint);
    EXPECT_FALSE(d.isClosed());
    d.close();
    EXPECT_TRUE(d.isClosed());
    db.close();
}

TEST_F(CursorTest, BadTextThrowsAndCursorStaysUsable)
{
    Cursor c = db.createCursor();
    EXPECT_VM_CODE(c.execute("SELECT * FROM missing"), SQLiteVMCode::Error);
    EXPECT_TRUE(c.execute("SELECT 1"));
    c.close();
}

TEST_F(CursorTest, ResetReadsTheRowsAgain)
{
    Cursor c = db.createCursor();
    c.execute("SELECT id FROM t ORDER BY id");
    c.next();
    EXPECT_EQ(c.getInt(0), 2);
    c.reset();
    EXPECT_EQ(c.getRowCount(), 0);
    EXPECT_FALSE(c.hasRow());
    ASSERT_TRUE(c.next());
    EXPECT_EQ(c.getLong(0), 1);
    EXPECT_EQ(c.getRowCount(), 1);
    c.close();
}

TEST_F(CursorTest, FetchRowsByStorageClassAndByTags)
{
    Cursor c = db.createCursor();
    c.execute("SELECT id, name FROM t ORDER BY id");
    auto first = c.fetchRow();
    EXPECT_EQ(first, (std::vector<SQLiteData>{SQLiteData::ofLong(1), SQLiteData("a")}));
    std::vector<std::int32_t> tags{SQLiteDataType::Text, SQLiteDataType::Text};
    auto rest = c.fetchAll(tags);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[1], (std::vector<SQLiteData>{SQLiteData("3"), SQLiteData("c")}));
    EXPECT_TRUE(c.fetchRow().empty());
    EXPECT_EQ(c.getRowCount(), 3);

    c.execute("SELECT id, name FROM t ORDER BY id");
    std::vector<std::int32_t> shortTags{SQLiteDataType::Double};
    EXPECT_EQ(c.fetchRow(shortTags),
              (std::vector<SQLiteData>{SQLiteData::ofDouble(1.0), SQLiteData("a")}));

    c.execute("SELECT id FROM t ORDER BY id");
    EXPECT_TRUE(c.fetchMany(0).empty());
    EXPECT_EQ(c.fetchMany(2).size(), 2u);
    EXPECT_EQ(c.fetchMany(5).size(), 1u);
    EXPECT_TRUE(c.fetchMany(5).empty());
    c.close();
}

TEST_F(CursorTest, GettersForwardToTheCurrentStatement)
{
    run("CREATE TABLE g(d DATE, r REAL, b BLOB)");
    run("INSERT INTO g VALUES ('2008-05-01', 1.25, x'0102')");
    Cursor c = db.createCursor();
    ASSERT_TRUE(c.execute("SELECT d, r, b FROM g"));
    EXPECT_EQ(c.getColumnCount(), 3);
    EXPECT_EQ(c.getDataCount(), 3);
    EXPECT_EQ(c.getDeclType(0), "DATE");
    EXPECT_EQ(c.getDeclType16(1), u"REAL");
    EXPECT_EQ(c.getColumnName16(2), u"b");
    EXPECT_EQ(c.getText16(0), u"2008-05-01");
    EXPECT_EQ(c.getDouble(1), 1.25);
    EXPECT_EQ(c.getColumnType(1), SQLITE_FLOAT);
    EXPECT_EQ(c.getBlob(2).size(), 2u);
    EXPECT_EQ(c.getData(1), SQLiteData::ofDouble(1.25));
    c.close();
}

TEST_F(CursorTest, MovedCursorKeepsItsRows)
{
    Cursor a = db.createCursor();
    a.execute("SELECT name FROM t ORDER BY id");
    Cursor b = std::move(a);
    EXPECT_EQ(b.getText(0), "a");
    ASSERT_TRUE(b.next());
    EXPECT_EQ(b.getText(0), "b");
    EXPECT_FALSE(a.hasRow());
    b.close();
    db.close();
}

} // namespace
} // namespace sqltest
