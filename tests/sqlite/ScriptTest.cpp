// Script and Cursor::executeScript: multi-statement texts, tails, callbacks and failures.
#include "SqliteFixture.h"

#include <sqlite3.h>

#include <vector>

namespace sqltest {
namespace {

using ScriptTest = SqliteTest;

TEST_F(ScriptTest, EveryStatementRunsAndRowsReachTheCallback)
{
    run("CREATE TABLE t(a)");
    run("INSERT INTO t VALUES ('x'), ('y')");
    Cursor c = db.createCursor();
    std::vector<std::string> seen;
    std::int32_t result = c.executeScript(
        "INSERT INTO t VALUES ('before'); SELECT a FROM t WHERE a < 'z' ORDER BY a DESC; "
        "INSERT INTO t VALUES ('after');",
        [&](Cursor& row) { seen.push_back(row.getText(0)); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"y", "x", "before"}));
    EXPECT_EQ(scalar("SELECT group_concat(a) FROM t"), "x,y,before,after");
    // The script's statements are gone; the last one changed one row.
    EXPECT_EQ(c.getStatement(), nullptr);
    EXPECT_FALSE(c.hasRow());
    EXPECT_EQ(c.getRowCount(), 1);
    c.close();
    db.close();
}

TEST_F(ScriptTest, TrailingBlanksAndCommentsEndTheScriptQuietly)
{
    Cursor c = db.createCursor();
    int calls = 0;
    EXPECT_EQ(c.executeScript("CREATE TABLE t(a);\nINSERT INTO t VALUES (1);   \n\t -- done\n  ",
                              [&](Cursor&) { ++calls; }),
              0);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(c.executeScript("", [&](Cursor&) { ++calls; }), 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM t"), "1");
    c.close();
}

TEST_F(ScriptTest, StoppingCallbackEndsOnlyTheRowsOfItsStatement)
{
    Cursor c = db.createCursor();
    std::vector<std::string> seen;
    c.executeScript("SELECT 1 UNION ALL SELECT 2 UNION ALL SELECT 3; SELECT 'next';",
                    [&](Cursor& row) {
                        seen.push_back(row.getText(0));
                        return row.getText(0) == "2" ? 1 : 0;
                    });
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "next"}));
    c.close();
}

TEST_F(ScriptTest, FailingStatementEndsTheScriptAndKeepsEarlierWork)
{
    Cursor c = db.createCursor();
    EXPECT_VM_CODE(
        c.executeScript(
            "CREATE TABLE t(a); INSERT INTO t VALUES (1); INSERT INTO nowhere VALUES (2); "
            "INSERT INTO t VALUES (3);",
            nullptr),
        SQLiteVMCode::Error);
    EXPECT_EQ(scalar("SELECT group_concat(a) FROM t"), "1");
    EXPECT_EQ(c.getStatement(), nullptr);
    run("CREATE TABLE u(id UNIQUE)");
    EXPECT_VM_CODE(
        c.executeScript(
            "INSERT INTO u VALUES (1); INSERT INTO u VALUES (1); INSERT INTO u VALUES (2);",
            nullptr),
        SQLiteVMCode::Constraint);
    EXPECT_EQ(scalar("SELECT group_concat(id) FROM u"), "1");
    c.close();
    db.close(); // no statement of the script outlived it
}

TEST_F(ScriptTest, ScriptCarriesItsOwnTransaction)
{
    Cursor c = db.createCursor();
    c.executeScript("BEGIN; CREATE TABLE t(a); INSERT INTO t VALUES ('in'); COMMIT;", nullptr);
    EXPECT_TRUE(db.isAutoCommit());
    EXPECT_EQ(scalar("SELECT a FROM t"), "in");
    c.close();
}

TEST_F(ScriptTest, ScriptObjectReusedWithRestart)
{
    run("CREATE TABLE t(a)");
    Script script = db.createScript("INSERT INTO t VALUES (1); INSERT INTO t VALUES (2);");
    Cursor c = db.createCursor();
    c.executeScript(script, nullptr);
    EXPECT_EQ(script.getCount(), 2);
    c.executeScript(script, nullptr); // the text is used up
    EXPECT_EQ(scalar("SELECT count(*) FROM t"), "2");
    script.restart();
    EXPECT_EQ(script.getCount(), 0);
    c.executeScript(script, [](Cursor&) {});
    EXPECT_EQ(scalar("SELECT count(*) FROM t"), "4");
    c.close();
}

TEST_F(ScriptTest, NextStatementHandsOutPreparedStatements)
{
    Script script(db);
    EXPECT_EQ(&script.getConnection(), &db);
    EXPECT_FALSE(script.nextStatement());
    script.setText("SELECT 1; SELECT 2;  ");
    auto first = script.nextStatement();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->getTail(), " SELECT 2;  ");
    auto second = script.nextStatement();
    ASSERT_TRUE(second);
    ASSERT_EQ(second->step(), SQLITE_ROW);
    EXPECT_EQ(second->getInt(0), 2);
    EXPECT_FALSE(script.nextStatement());
    EXPECT_EQ(script.getCount(), 2);
    script.setText("SELECT 1; SELEC 2; SELECT 3;");
    EXPECT_TRUE(script.nextStatement());
    EXPECT_VM_CODE(script.nextStatement(), SQLiteVMCode::Error);
}

TEST_F(ScriptTest, RunStopsAtTheFirstNonZeroAnswer)
{
    Script script = db.createScript("SELECT 1; SELECT 2; SELECT 3;");
    int seen = 0;
    EXPECT_EQ(script.run([&](Statement&) { return ++seen == 2 ? 7 : 0; }), 7);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(script.getCount(), 2);
}

TEST_F(ScriptTest, ScriptStatementsMustBeFinishedBeforeClose)
{
    Script script = db.createScript("SELECT 1;");
    auto s = script.nextStatement();
    EXPECT_VM_CODE(db.close(), SQLiteVMCode::Busy);
    s.reset();
    db.close();
}

} // namespace
} // namespace sqltest
