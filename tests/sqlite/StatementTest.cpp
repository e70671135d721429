// Statement: preparation, tails, binding positions and failures, state and end of life.
#include "SqliteFixture.h"

#include <sqlite3.h>

#include <climits>
#include <map>
#include <vector>

namespace sqltest {
namespace {

class StatementTest : public SqliteTest {
protected:
    StatementTest() { run("CREATE TABLE t(a, b)"); }

    std::string rows()
    {
        return scalar("SELECT group_concat(quote(a) || ':' || quote(b), ' ') FROM t");
    }
};

TEST_F(StatementTest, BindAllFillsPositionsInOrder)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (?, ?)");
    std::vector<SQLiteData> values{SQLiteData("one"), SQLiteData("two")};
    s.bindAll(values);
    EXPECT_EQ(s.step(), SQLITE_DONE);
    EXPECT_EQ(s.step(), SQLITE_DONE); // stays done: no second row
    s.close();
    EXPECT_EQ(rows(), "'one':'two'");
}

TEST_F(StatementTest, BindAllWithTooManyValuesFailsAfterBindingTheFirst)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (?, ?)");
    std::vector<SQLiteData> values{SQLiteData("one"), SQLiteData("two"), SQLiteData("three")};
    EXPECT_VM_CODE(s.bindAll(values), SQLiteVMCode::Range);
    EXPECT_EQ(s.step(), SQLITE_DONE);
    s.close();
    EXPECT_EQ(rows(), "'one':'two'");
}

TEST_F(StatementTest, ShorterListKeepsEarlierBindingsAndResetKeepsAll)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (?, ?)");
    s.bindAll(std::vector<SQLiteData>{SQLiteData("a1"), SQLiteData("b1")});
    EXPECT_EQ(s.step(), SQLITE_DONE);
    EXPECT_EQ(s.reset(), SQLITE_OK);
    s.bindAll(std::vector<SQLiteData>{SQLiteData("a2")});
    EXPECT_EQ(s.step(), SQLITE_DONE);
    EXPECT_EQ(s.reset(), SQLITE_OK);
    EXPECT_EQ(s.step(), SQLITE_DONE);
    s.close();
    EXPECT_EQ(rows(), "'a1':'b1' 'a2':'b1' 'a2':'b1'");
}

TEST_F(StatementTest, BadTagsAreRefused)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (?, ?)");
    const char* msg = "SQLite D Exception: Invalid Parameter (SQLiteData)Type";
    EXPECT_THROW_MSG(s.bind(0, SQLiteData()), SQLiteDException, msg);
    EXPECT_THROW_MSG(s.bind(0, SQLiteData(8, std::string("x"))), SQLiteDException, msg);
    EXPECT_THROW_MSG(s.bind(0, SQLiteData(9, std::string("x"))), SQLiteDException, msg);
    EXPECT_THROW_MSG(s.bind(0, SQLiteData(0, 1)), SQLiteDException, msg);
}

TEST_F(StatementTest, BindOutOfRangeFailsWithCode25)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (?, ?)");
    EXPECT_VM_CODE(s.bindText(2, "x"), SQLiteVMCode::Range);
    EXPECT_VM_CODE(s.bindInt(-1, 1), SQLiteVMCode::Range);
    EXPECT_VM_CODE(s.bind(5, SQLiteData("x")), SQLiteVMCode::Range);
}

TEST_F(StatementTest, LargestAndSmallestIndexesAreOutOfRange)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (?, ?)");
    for (int index : {INT_MAX, INT_MIN}) {
        EXPECT_VM_CODE(s.bindInt(index, 1), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindLong(index, 1), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindDouble(index, 1), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindText(index, "x"), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindText16(index, u"x"), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindBlob(index, Blob(1)), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindTextStatic(index, "x"), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindText16Static(index, u"x"), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindBlobStatic(index, Blob(1)), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bindNull(index), SQLiteVMCode::Range);
        EXPECT_VM_CODE(s.bind(index, SQLiteData("x")), SQLiteVMCode::Range);
        EXPECT_EQ(s.getParameterName(index), "");
    }
}

TEST_F(StatementTest, BindByNameUsesParameterIndexes)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (:a, :b)");
    EXPECT_EQ(s.getParameterCount(), 2);
    EXPECT_EQ(s.getParameterIndex(":b"), 1);
    EXPECT_EQ(s.getParameterIndex(":zz"), -1);
    EXPECT_EQ(s.getParameterIndex(std::string_view(":b\0c", 4)), -1); // not ":b"
    EXPECT_EQ(s.getParameterName(0), ":a");
    s.bindAll(
        std::map<std::string, SQLiteData>{{":b", SQLiteData("bee")}, {":a", SQLiteData("ay")}});
    EXPECT_EQ(s.step(), SQLITE_DONE);
    EXPECT_VM_CODE(s.bindText(0, "between step and reset"), SQLiteVMCode::Misuse);
    s.reset();
    EXPECT_VM_CODE(s.bindAll(std::map<std::string, SQLiteData>{{":zz", SQLiteData("x")}}),
                   SQLiteVMCode::Range);
    s.close();
    EXPECT_EQ(rows(), "'ay':'bee'");
}

TEST_F(StatementTest, NamelessParameterHasEmptyName)
{
    Statement s = db.createStatement("SELECT ?, ?7");
    EXPECT_EQ(s.getParameterCount(), 7);
    EXPECT_EQ(s.getParameterName(0), "");
    EXPECT_EQ(s.getParameterName(6), "?7");
}

TEST_F(StatementTest, ClearBindingsSetsEveryPositionToNull)
{
    Statement s = db.createStatement("INSERT INTO t VALUES (?, ?)");
    s.bind({"x", "y"});
    s.clearBindings();
    EXPECT_EQ(s.step(), SQLITE_DONE);
    s.close();
    EXPECT_EQ(rows(), "NULL:NULL");
}

TEST_F(StatementTest, UnpreparedStatementHasNoParameters)
{
    Statement s = db.createStatement();
    EXPECT_EQ(s.getParameterCount(), 0);
    EXPECT_EQ(s.getParameterIndex(":a"), -1);
    EXPECT_EQ(s.getParameterName(0), "");
    EXPECT_NO_THROW(s.clearBindings());
    EXPECT_EQ(s.prepare("  "), SQLITE_OK);
    EXPECT_EQ(s.getParameterCount(), 0);
    // Binding by name still needs a statement.
    EXPECT_THROW_MSG(s.bindAll(std::map<std::string, SQLiteData>{{":a", SQLiteData("x")}}),
                     SQLiteDException, "SQLite D Exception: Statement Not Available");
}

TEST_F(StatementTest, TransferBindingsMovesValuesToAnotherStatement)
{
    Statement from = db.createStatement("SELECT ?, ?");
    Statement to = db.createStatement("INSERT INTO t VALUES (?, ?)");
    from.bind({"p", "q"});
    EXPECT_EQ(from.transferBindings(to), SQLITE_OK);
    EXPECT_EQ(to.step(), SQLITE_DONE);
    to.close();
    from.close();
    EXPECT_EQ(rows(), "'p':'q'");
}

TEST_F(StatementTest, PrepareKeepsTheRestAsTail)
{
    std::string sql = "SELECT 1; SELECT 2;";
    Statement s = db.createStatement();
    std::string_view rest;
    EXPECT_EQ(s.prepare(sql, rest), SQLITE_OK);
    EXPECT_EQ(s.getTail(), " SELECT 2;");
    EXPECT_EQ(rest, " SELECT 2;");
    EXPECT_EQ(rest.data(), sql.data() + 9); // a slice of the caller's text
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getInt(0), 1);
    EXPECT_EQ(s.step(), SQLITE_DONE);
    EXPECT_EQ(s.step(), SQLITE_DONE); // until reset
    EXPECT_EQ(s.reset(), SQLITE_OK);
    EXPECT_EQ(s.step(), SQLITE_ROW);
}

TEST_F(StatementTest, PreparingAgainReplacesTheStatement)
{
    Statement s = db.createStatement("SELECT 1");
    EXPECT_EQ(s.prepare("SELECT 'again'"), SQLITE_OK);
    EXPECT_EQ(s.getTail(), "");
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getText(0), "again");
    s.close();
    db.close(); // nothing left behind by the first preparation
}

TEST_F(StatementTest, BlankTextLeavesStatementUnprepared)
{
    Statement s = db.createStatement();
    EXPECT_EQ(s.prepare("   -- only a comment\n  "), SQLITE_OK);
    EXPECT_FALSE(s.isPrepared());
    EXPECT_TRUE(s.isExpired());
    EXPECT_FALSE(s.hasColumns());
    const char* msg = "SQLite D Exception: Statement Not Available";
    EXPECT_THROW_MSG(s.bindText(0, "x"), SQLiteDException, msg);
    EXPECT_THROW_MSG(s.step(), SQLiteDException, msg);
    EXPECT_THROW_MSG(s.reset(), SQLiteDException, msg);
    EXPECT_THROW_MSG(s.getColumnCount(), SQLiteDException, msg);
    EXPECT_THROW_MSG(s.getInt(0), SQLiteDException,
                     "SQLite D Exception: Not A Row Or Column Index Out Of Range");
    EXPECT_THROW_MSG(s.getColumnName(-1), SQLiteDException,
                     "SQLite D Exception: Not <Select> Or Column Index Out Of Range");
}

TEST_F(StatementTest, BadTextGivesItsCodeOrThrows)
{
    Statement s = db.createStatement();
    EXPECT_EQ(s.prepare("SELEC 1"), SQLITE_ERROR);
    EXPECT_FALSE(s.isPrepared());
    EXPECT_VM_CODE(s.prepareOrThrow("SELECT * FROM missing"), SQLiteVMCode::Error);
    std::string_view rest;
    EXPECT_THROW_MSG(s.prepareOrThrow("INSERT INTO", rest), SQLiteVMException,
                     "SQLite VM Exception");
}

TEST_F(StatementTest, CloseTwiceAndFinalizeAfterFailure)
{
    run("CREATE TABLE u(id UNIQUE)");
    run("INSERT INTO u VALUES (1)");
    Statement s = db.createStatement("INSERT INTO u VALUES (1)");
    EXPECT_EQ(s.step(), SQLITE_CONSTRAINT);
    EXPECT_VM_CODE(s.close(), SQLiteVMCode::Constraint);
    EXPECT_FALSE(s.isPrepared()); // dropped whatever the result
    EXPECT_NO_THROW(s.close());
    EXPECT_EQ(s.finalize(), SQLITE_OK);
    db.close();
}

TEST_F(StatementTest, MovedStatementIsFinalizedOnce)
{
    Statement a = db.createStatement("SELECT 7");
    Statement b = std::move(a);
    EXPECT_FALSE(a.isPrepared());
    ASSERT_EQ(b.step(), SQLITE_ROW);
    EXPECT_EQ(b.getInt(0), 7);
    Statement c = db.createStatement("SELECT 8");
    c = std::move(b); // finalizes c's own statement
    EXPECT_EQ(c.getInt(0), 7);
    EXPECT_VM_CODE(db.close(), SQLiteVMCode::Busy);
    c.close();
    db.close();
}

TEST_F(StatementTest, StatementNeedsAnOpenConnection)
{
    Statement s = db.createStatement();
    db.close();
    EXPECT_THROW_MSG(s.prepare("SELECT 1"), SQLiteDException,
                     "SQLite D Exception: Connection Not Available");
    EXPECT_THROW_MSG(s.checkConnection(), SQLiteDException,
                     "SQLite D Exception: Connection Not Available");
}

TEST_F(StatementTest, ColumnNamesBeforeFirstStepRowGettersOnlyOnARow)
{
    run("INSERT INTO t VALUES (1, 2)");
    Statement s = db.createStatement("SELECT a AS first, b, a + b FROM t");
    EXPECT_EQ(s.getColumnCount(), 3);
    EXPECT_EQ(s.getDataCount(), 0);
    EXPECT_EQ(s.getColumnName(0), "first");
    EXPECT_EQ(s.getColumnName16(1), u"b");
    EXPECT_THROW_MSG(s.getColumnName(3), SQLiteDException,
                     "SQLite D Exception: Not <Select> Or Column Index Out Of Range");
    EXPECT_THROW_MSG(s.getInt(0), SQLiteDException,
                     "SQLite D Exception: Not A Row Or Column Index Out Of Range");
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getDataCount(), 3);
    EXPECT_EQ(s.getInt(2), 3);
    EXPECT_THROW_MSG(s.getInt(3), SQLiteDException,
                     "SQLite D Exception: Not A Row Or Column Index Out Of Range");
    EXPECT_EQ(s.getText(-1), ""); // negative indexes read as null
    EXPECT_EQ(s.getInt(-1), 0);
    EXPECT_EQ(s.step(), SQLITE_DONE);
    EXPECT_THROW_MSG(s.getInt(0), SQLiteDException,
                     "SQLite D Exception: Not A Row Or Column Index Out Of Range");
    EXPECT_FALSE(s.isExpired());
}

TEST_F(StatementTest, DeclaredTypes)
{
    run("CREATE TABLE typed(d DATE, t TEXT, plain)");
    Statement s = db.createStatement("SELECT d, t, plain, 1 + 1 FROM typed");
    EXPECT_EQ(s.getDeclType(0), "DATE");
    EXPECT_EQ(s.getDeclType16(1), u"TEXT");
    EXPECT_EQ(s.getDeclType(2), "");
    EXPECT_EQ(s.getDeclType(3), "");
}

} // namespace
} // namespace sqltest
