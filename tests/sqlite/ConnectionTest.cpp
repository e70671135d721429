// Connection: opening, closing, transactions, change counts and engine failures on real files.
#include "SqliteFixture.h"

#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <memory>

namespace sqltest {
namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ConnectionOpen, CreatesMissingFileInExistingFolder)
{
    TempDir dir;
    Connection c;
    EXPECT_FALSE(c.isAvailable());
    EXPECT_FALSE(c.isClosed());
    EXPECT_EQ(c.getPath(), "");
    c.open(dir.file("new.db"));
    EXPECT_TRUE(c.isAvailable());
    EXPECT_EQ(c.getPath(), dir.file("new.db"));
    EXPECT_TRUE(fs::exists(dir.file("new.db")));
    c.close();
    EXPECT_TRUE(c.isClosed());
    EXPECT_FALSE(c.isAvailable());
}

TEST(ConnectionOpen, MissingFolderFailsAndKeepsHandle)
{
    TempDir dir;
    Connection c;
    std::string path = dir.file("no/such/folder/x.db");
    EXPECT_THROW_MSG(c.open(path), SQLiteVMException, "SQLite VM Exception: Can't Open Connection");
    EXPECT_VM_CODE(Connection().open(path), SQLiteVMCode::CantOpen);
    // SQLite hands out a handle even for a failed open: the connection counts as open.
    EXPECT_TRUE(c.isAvailable());
    EXPECT_THROW_MSG(c.open(path), SQLiteDException,
                     "SQLite D Exception: Connection Has Already Opened");
    c.close();
    EXPECT_TRUE(c.isClosed());
    EXPECT_FALSE(fs::exists(dir.path() / "no"));
}

TEST(ConnectionOpen, SecondOpenAndOpenAfterCloseAreRefused)
{
    TempDir dir;
    Connection c;
    c.open(dir.file("a.db"));
    EXPECT_THROW_MSG(c.open(dir.file("b.db")), SQLiteDException,
                     "SQLite D Exception: Connection Has Already Opened");
    EXPECT_EQ(c.getPath(), dir.file("a.db"));
    c.close();
    EXPECT_THROW_MSG(c.open(dir.file("a.db")), SQLiteDException,
                     "SQLite D Exception: Connection Has Already Closed");
    EXPECT_FALSE(fs::exists(dir.file("b.db")));
}

TEST(ConnectionOpen, NameWithZeroByteIsRefused)
{
    TempDir dir;
    Connection c;
    std::string path = dir.file("a.db") + std::string(1, '\0') + "b";
    EXPECT_VM_CODE(c.open(path), SQLiteVMCode::CantOpen);
    EXPECT_FALSE(c.isAvailable());
    EXPECT_FALSE(fs::exists(dir.file("a.db")));
}

// A name holding URI characters opens that very file, read-only, and a missing one is not made.
TEST(ConnectionOpen, ReadOnlyOpensTheNamedFileOnly)
{
    TempDir dir;
    const std::string path = dir.file("a?mode=rwc#b%20c é.db");
    {
        Connection w;
        w.open(path);
        w.createCursor().execute("CREATE TABLE t(a)");
    }
    for (bool asItStands : {false, true}) {
        Connection c;
        c.openReadOnly(path, asItStands);
        EXPECT_TRUE(c.isReadOnly());
        EXPECT_EQ(c.getPath(), path);
        Cursor cur = c.createCursor();
        EXPECT_TRUE(cur.execute("SELECT name FROM sqlite_master"));
        EXPECT_EQ(cur.getText(0), "t");
    }
    EXPECT_VM_CODE(Connection().openReadOnly(dir.file("missing.db"), false),
                   SQLiteVMCode::CantOpen);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ConnectionClose, NeverOpenedDoesNothing)
{
    TempDir dir;
    Connection c;
    c.close();
    EXPECT_FALSE(c.isClosed());
    c.open(dir.file("later.db"));
    EXPECT_TRUE(c.isAvailable());
}

TEST_F(SqliteTest, CloseWithLiveStatementIsRefusedAndConnectionKeepsWorking)
{
    run("CREATE TABLE t(a)");
    Statement s = db.createStatement("SELECT * FROM t");
    ASSERT_TRUE(s.isPrepared());
    EXPECT_THROW_MSG(db.close(), SQLiteVMException,
                     "SQLite VM Exception: Connection Is Still Available, Close All Cursors And "
                     "Statements Created "
                     "By It And Try Again");
    EXPECT_VM_CODE(db.close(), SQLiteVMCode::Busy);
    EXPECT_FALSE(db.isClosed());
    EXPECT_EQ(run("INSERT INTO t VALUES (1)"), 1);
    s.close();
    db.close();
    EXPECT_TRUE(db.isClosed());
}

TEST_F(SqliteTest, LiveCursorAlsoBlocksClose)
{
    Cursor c = db.createCursor();
    c.execute("SELECT 1");
    EXPECT_VM_CODE(db.close(), SQLiteVMCode::Busy);
    c.close();
    db.close();
}

TEST(ConnectionClose, DestroyingConnectionBeforeItsStatementIsSafe)
{
    TempDir dir;
    auto c = std::make_unique<Connection>();
    c->open(dir.file("x.db"));
    Statement s = c->createStatement("SELECT 1");
    ASSERT_TRUE(s.isPrepared());
    c.reset(); // releases the handle once s is finalized
    EXPECT_EQ(s.finalize(), SQLITE_OK);
}

TEST(ConnectionState, EngineOperationsNeedAHandle)
{
    Connection c;
    const char* msg = "SQLite D Exception: Connection Not Available";
    EXPECT_THROW_MSG(c.begin(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.commit(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.getChanges(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.getLastInsertRowId(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.isAutoCommit(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.interrupt(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.setBusyTimeout(10), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.getErrorMessage(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.createCursor(), SQLiteDException, msg);
    EXPECT_THROW_MSG(c.createStatement("SELECT 1"), SQLiteDException, msg);
    EXPECT_NO_THROW(c.setExtendedResultCodes(true));
}

TEST_F(SqliteTest, CommitWithoutBeginFailsWithCodeOne)
{
    EXPECT_THROW_MSG(db.commit(), SQLiteVMException, "SQLite VM Exception");
    EXPECT_VM_CODE(db.rollback(), SQLiteVMCode::Error);
    EXPECT_EQ(db.getErrorMessage(), "cannot rollback - no transaction is active");
}

TEST_F(SqliteTest, TransactionsCommitAndRollBack)
{
    run("CREATE TABLE t(a)");
    EXPECT_TRUE(db.isAutoCommit());
    db.begin();
    EXPECT_FALSE(db.isAutoCommit());
    run("INSERT INTO t VALUES ('gone')");
    db.rollback();
    EXPECT_TRUE(db.isAutoCommit());
    db.begin();
    EXPECT_VM_CODE(db.begin(), SQLiteVMCode::Error); // no nesting
    run("INSERT INTO t VALUES ('kept')");
    db.commit();
    db.close();

    Connection again;
    again.open(dir.file("test.db"));
    Cursor c = again.createCursor();
    ASSERT_TRUE(c.execute("SELECT group_concat(a) FROM t"));
    EXPECT_EQ(c.getText(0), "kept");
    c.close();
}

TEST_F(SqliteTest, ChangeCountsAndLastRowId)
{
    run("CREATE TABLE t(a, b)");
    run("INSERT INTO t VALUES (1, 'x'), (2, 'x'), (3, 'x'), (4, 'y')");
    EXPECT_EQ(db.getChanges(), 4);
    EXPECT_EQ(db.getLastInsertRowId(), 4);
    run("UPDATE t SET a = a + 10 WHERE b = 'x'");
    EXPECT_EQ(db.getChanges(), 3);
    run("DELETE FROM t WHERE b = 'y'");
    EXPECT_EQ(db.getChanges(), 1);
    EXPECT_EQ(db.getTotalChanges(), 8);
}

TEST_F(SqliteTest, ErrorCodeAndMessageDescribeTheLastFailure)
{
    Statement s = db.createStatement("SELECT * FROM nowhere");
    EXPECT_FALSE(s.isPrepared());
    EXPECT_EQ(db.getErrorCode(), SQLiteVMCode::Error);
    EXPECT_EQ(db.getErrorMessage(), "no such table: nowhere");
    EXPECT_EQ(db.getErrorMessage16(), u"no such table: nowhere");
}

TEST_F(SqliteTest, ExtendedResultCodesCanBeSwitchedOn)
{
    run("CREATE TABLE t(id UNIQUE NOT NULL)");
    run("INSERT INTO t VALUES ('a')");
    EXPECT_VM_CODE(run("INSERT INTO t VALUES ('a')"), SQLiteVMCode::Constraint);
    db.setExtendedResultCodes(true);
    EXPECT_VM_CODE(run("INSERT INTO t VALUES ('a')"), SQLITE_CONSTRAINT_UNIQUE);
}

TEST(ConnectionFiles, FileThatIsNotADatabaseFailsOnFirstUseAndIsLeftAlone)
{
    TempDir dir;
    std::string path = dir.file("notes.db");
    std::string garbage(4096, 'x');
    garbage.replace(0, 24, "this is not a database..");
    std::ofstream(path, std::ios::binary) << garbage;

    Connection c;
    c.open(path);
    Cursor cur = c.createCursor();
    EXPECT_VM_CODE(cur.execute("SELECT * FROM sqlite_master"), SQLiteVMCode::NotADb);
    EXPECT_EQ(c.getErrorMessage(), "file is not a database");
    EXPECT_VM_CODE(cur.execute("CREATE TABLE t(a)"), SQLiteVMCode::NotADb);
    cur = c.createCursor();
    c.close();
    EXPECT_EQ(readFile(path), garbage);
}

// Root passes file permissions by its capabilities; without them a 0444 file is read-only to it too.
bool dropPermissionOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        data[cap / 32].effective &= ~(1u << (cap % 32));
    return syscall(SYS_capset, &header, data) == 0;
}

// Exit code 0 when a write to the read-only file fails with code 8 and its row is still there.
int writeToReadOnlyFile(const std::string& path)
{
    if (!dropPermissionOverride())
        return 2;
    try {
        Connection c;
        c.open(path);
        Cursor cur = c.createCursor();
        try {
            cur.execute("INSERT INTO t VALUES ('more')");
            return 3;
        } catch (const SQLiteVMException& e) {
            if (e.getCode() != SQLiteVMCode::ReadOnly)
                return 4;
        }
        cur = c.createCursor();
        if (!cur.execute("SELECT count(*) FROM t") || cur.getInt(0) != 1)
            return 5;
        cur.close();
        return 0;
    } catch (...) {
        return 6;
    }
}

TEST(ConnectionFiles, ReadOnlyFileRefusesWritesAndKeepsItsRows)
{
    TempDir dir;
    std::string path = dir.file("ro.db");
    {
        Connection w;
        w.open(path);
        Cursor c = w.createCursor();
        c.execute("CREATE TABLE t(a)");
        c.execute("INSERT INTO t VALUES ('row')");
        c.close();
        w.close();
    }
    fs::permissions(path, fs::perms::owner_read);
    // A forked child drops the override; the folder is the parent's, which removes it.
    EXPECT_EXIT(_exit(writeToReadOnlyFile(path)), ::testing::ExitedWithCode(0), "");
}

TEST(ConnectionFiles, LockedDatabaseReportsBusy)
{
    TempDir dir;
    std::string path = dir.file("shared.db");
    Connection a, b;
    a.open(path);
    b.open(path);
    Cursor ca = a.createCursor();
    ca.execute("CREATE TABLE t(a)");
    a.begin();
    ca.execute("INSERT INTO t VALUES (1)");

    b.setBusyTimeout(50);
    Cursor cb = b.createCursor();
    EXPECT_VM_CODE(cb.execute("INSERT INTO t VALUES (2)"), SQLiteVMCode::Busy);
    cb = b.createCursor();

    a.commit();
    EXPECT_FALSE(cb.execute("INSERT INTO t VALUES (2)"));
    EXPECT_EQ(cb.getRowCount(), 1);
    ASSERT_TRUE(cb.execute("SELECT count(*) FROM t"));
    EXPECT_EQ(cb.getInt(0), 2);
    ca.close();
    cb.close();
}

TEST_F(SqliteTest, CreateStatementWithBadTextComesBackUnprepared)
{
    Statement s = db.createStatement("SELEC 1");
    EXPECT_FALSE(s.isPrepared());
    Statement empty = db.createStatement();
    EXPECT_FALSE(empty.isPrepared());
    Script script = db.createScript("SELECT 1; SELECT 2;");
    EXPECT_EQ(script.getText(), "SELECT 1; SELECT 2;");
    EXPECT_EQ(db.createScript().getText(), "");
}

} // namespace
} // namespace sqltest
