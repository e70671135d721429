// Engine hooks: each one observed firing, removed again, and failing safely when it throws.
#include "TempDb.h"

#include <sqlite3.h>

namespace sqlext_test {
namespace {

using sq::Connection;
using sq::SQLiteUpdateAction;

class HookTest : public TempDb {
protected:
    void SetUp() override
    {
        TempDb::SetUp();
        exec("CREATE TABLE t(id INTEGER PRIMARY KEY, v TEXT);");
    }
    static constexpr const char* longQuery =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000)"
        " SELECT sum(i) FROM n";
};

TEST_F(HookTest, ProgressHandlerInterruptsALongQuery)
{
    int calls = 0;
    Connection* seen = nullptr;
    db.setProgressHandlerOps(100);
    db.setProgressHandler([&](Connection& c) {
        seen = &c;
        return ++calls >= 5 ? 1 : 0;
    });
    EXPECT_EQ(db.getProgressHandlerOps(), 100);
    EXPECT_EQ(failureCode(longQuery), SQLITE_INTERRUPT);
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(seen, &db);

    db.setProgressHandler({});
    EXPECT_FALSE(db.getProgressHandler());
    EXPECT_EQ(scalar(longQuery).asLong(), 200000LL * 200001 / 2);
    EXPECT_EQ(calls, 5);
}

TEST_F(HookTest, ThrowingProgressHandlerStopsTheStatement)
{
    db.setProgressHandlerOps(50);
    db.setProgressHandler([](Connection&) -> int { throw std::runtime_error("stop"); });
    EXPECT_EQ(failureCode(longQuery), SQLITE_INTERRUPT);
    db.setProgressHandler({});
    EXPECT_EQ(scalar("SELECT count(*) FROM t").asLong(), 0);
}

TEST_F(HookTest, CommitHookCanTurnACommitIntoARollback)
{
    int commits = 0, rollbacks = 0;
    bool veto = false;
    db.setCommitHook([&](Connection&) {
        ++commits;
        return veto ? 1 : 0;
    });
    db.setRollbackHook([&](Connection&) { ++rollbacks; });
    EXPECT_TRUE(db.getCommitHook());
    EXPECT_TRUE(db.getRollbackHook());

    exec("INSERT INTO t(v) VALUES ('kept')");
    EXPECT_EQ(commits, 1);

    veto = true;
    db.begin();
    exec("INSERT INTO t(v) VALUES ('vetoed')");
    EXPECT_THROW(db.commit(), sq::SQLiteVMException);
    EXPECT_EQ(commits, 2);
    EXPECT_EQ(rollbacks, 1);
    EXPECT_TRUE(db.isAutoCommit());

    veto = false;
    db.begin();
    exec("INSERT INTO t(v) VALUES ('undone')");
    db.rollback();
    EXPECT_EQ(rollbacks, 2);
    EXPECT_EQ(scalar("SELECT group_concat(v) FROM t").asText(), "kept");
}

TEST_F(HookTest, ThrowingCommitHookRollsBack)
{
    db.setCommitHook([](Connection&) -> int { throw std::runtime_error("no commit"); });
    db.begin();
    exec("INSERT INTO t(v) VALUES ('x')");
    EXPECT_THROW(db.commit(), sq::SQLiteVMException);
    db.setCommitHook({});
    EXPECT_EQ(scalar("SELECT count(*) FROM t").asLong(), 0);
    exec("INSERT INTO t(v) VALUES ('y')");
    EXPECT_EQ(scalar("SELECT count(*) FROM t").asLong(), 1);
}

struct Change {
    SQLiteUpdateAction op;
    std::string database;
    std::string table;
    std::int64_t rowId;
};

TEST_F(HookTest, UpdateHookSeesEveryRowChange)
{
    std::vector<Change> changes;
    db.setUpdateHook([&](Connection&, SQLiteUpdateAction op, std::string_view database,
                         std::string_view table, std::int64_t rowId) {
        changes.push_back({op, std::string(database), std::string(table), rowId});
    });
    exec("INSERT INTO t(id, v) VALUES (7, 'a'); UPDATE t SET v = 'b' WHERE id = 7;"
         "DELETE FROM t WHERE id = 7;");
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].op, SQLiteUpdateAction::Insert);
    EXPECT_EQ(changes[1].op, SQLiteUpdateAction::Update);
    EXPECT_EQ(changes[2].op, SQLiteUpdateAction::Delete);
    for (const Change& c : changes) {
        EXPECT_EQ(c.database, "main");
        EXPECT_EQ(c.table, "t");
        EXPECT_EQ(c.rowId, 7);
    }
    db.setUpdateHook({});
    exec("INSERT INTO t(v) VALUES ('quiet')");
    EXPECT_EQ(changes.size(), 3u);
}

TEST_F(HookTest, ThrowingUpdateHookDoesNotStopTheWrite)
{
    db.setUpdateHook([](Connection&, SQLiteUpdateAction, std::string_view, std::string_view,
                        std::int64_t) { throw std::runtime_error("ignored"); });
    exec("INSERT INTO t(v) VALUES ('a'), ('b')");
    EXPECT_EQ(scalar("SELECT count(*) FROM t").asLong(), 2);
}

TEST_F(HookTest, BusyHandlerIsAskedUntilItGivesUp)
{
    Connection other;
    other.open(file.string());
    other.begin();
    {
        sq::Cursor c = other.createCursor();
        c.execute("INSERT INTO t(v) VALUES ('locked')");
        c.close();
    }
    std::vector<int> counts;
    db.setBusyHandler([&](Connection&, int count) {
        counts.push_back(count);
        return count < 2 ? 1 : 0;
    });
    EXPECT_EQ(failureCode("INSERT INTO t(v) VALUES ('waiting')"), SQLITE_BUSY);
    EXPECT_EQ(counts, (std::vector<int>{0, 1, 2}));

    db.setBusyHandler([&](Connection&, int) -> int { throw std::runtime_error("give up"); });
    counts.clear();
    EXPECT_EQ(failureCode("INSERT INTO t(v) VALUES ('waiting')"), SQLITE_BUSY);

    // Once the other side commits, the same connection writes normally.
    other.commit();
    other.close();
    db.setBusyHandler({});
    exec("INSERT INTO t(v) VALUES ('after')");
    EXPECT_EQ(scalar("SELECT count(*) FROM t").asLong(), 2);
}

TEST_F(HookTest, TraceSeesTheSqlText)
{
    std::vector<std::string> traced;
    db.setTrace([&](Connection&, std::string_view sql) { traced.emplace_back(sql); });
    scalar("SELECT 40 + 2");
    ASSERT_FALSE(traced.empty());
    EXPECT_EQ(traced.back(), "SELECT 40 + 2");

    db.setTrace([](Connection&, std::string_view) { throw std::runtime_error("ignored"); });
    EXPECT_EQ(scalar("SELECT 1").asLong(), 1);
    db.setTrace({});
    traced.clear();
    scalar("SELECT 2");
    EXPECT_TRUE(traced.empty());
}

TEST_F(HookTest, CollationNeededCanRegisterTheMissingCollation)
{
    std::vector<std::pair<std::string, int>> asked;
    db.setCollationNeeded([&](Connection& c, std::string_view name, int encoding) {
        asked.emplace_back(std::string(name), encoding);
        if (name == "backwards")
            c.createCollation(name, sq::SQLiteEncoding::UTF8,
                              [](std::string_view a, std::string_view b) { return b.compare(a); });
    });
    exec("INSERT INTO t(v) VALUES ('a'), ('c'), ('b')");
    const auto rows = query("SELECT v FROM t ORDER BY v COLLATE backwards");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0].asText(), "c");
    EXPECT_EQ(rows[2][0].asText(), "a");
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), (std::pair<std::string, int>{"backwards", 1}));

    EXPECT_EQ(failureCode("SELECT v FROM t ORDER BY v COLLATE unknown_one"), SQLITE_ERROR);
    EXPECT_EQ(asked.back().first, "unknown_one");
}

TEST(HookClosed, SettersStoreThenNeedAnOpenConnection)
{
    Connection db;
    try {
        db.setCommitHook([](Connection&) { return 0; });
        FAIL();
    } catch (const sq::SQLiteDException& e) {
        EXPECT_STREQ(e.what(), "SQLite D Exception: Connection Not Available");
    }
    EXPECT_TRUE(db.getCommitHook());
    EXPECT_FALSE(db.getRollbackHook());
    EXPECT_THROW(db.setTrace({}), sq::SQLiteDException);
    db.setProgressHandlerOps(12); // only stored
    EXPECT_EQ(db.getProgressHandlerOps(), 12);
}

TEST_F(HookTest, HookMayReplaceItselfWhileRunning)
{
    int first = 0, second = 0;
    db.setUpdateHook(
        [&](Connection& c, SQLiteUpdateAction, std::string_view, std::string_view, std::int64_t) {
            ++first;
            c.setUpdateHook([&](Connection&, SQLiteUpdateAction, std::string_view, std::string_view,
                                std::int64_t) { ++second; });
        });
    exec("INSERT INTO t(v) VALUES ('a'), ('b'), ('c')");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

} // namespace
} // namespace sqlext_test

namespace sqlext_test {
namespace {

TEST_F(HookTest, ProgressHandlerWithoutAnInstructionCountIsNeverCalled)
{
    int calls = 0;
    db.setProgressHandler([&](Connection&) { return ++calls, 1; });
    EXPECT_EQ(scalar(longQuery).asLong(), 200000LL * 200001 / 2);
    EXPECT_EQ(calls, 0);
}

} // namespace
} // namespace sqlext_test
