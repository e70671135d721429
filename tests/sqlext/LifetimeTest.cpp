// How long registered objects live: as long as the connection or SQLite may still call them.
#include "TempDb.h"

#include <sqlite3.h>

#include <optional>

namespace sqlext_test {
namespace {

using sq::SQLiteData;
using sq::SQLiteEncoding;

// A function that tells when it is destroyed.
class Tracked : public sq::UserFunctionBase {
public:
    Tracked(std::string name, bool& destroyed) : name_(std::move(name)), destroyed_(destroyed) {}
    ~Tracked() override { destroyed_ = true; }
    std::string getName() const override { return name_; }
    int getArgs() const override { return 0; }
    int getEncoding() const override { return SQLiteEncoding::Any; }
    void call() override { setText(name_); }

private:
    std::string name_;
    bool& destroyed_;
};

class LifetimeTest : public TempDb {};

TEST_F(LifetimeTest, ObjectLivesUntilRemovedOrReplaced)
{
    bool firstGone = false, secondGone = false;
    db.createFunction(std::make_shared<Tracked>("who", firstGone));
    EXPECT_EQ(scalar("SELECT who()").asText(), "who");
    EXPECT_FALSE(firstGone);

    db.createFunction(std::make_shared<Tracked>("who", secondGone));
    EXPECT_TRUE(firstGone);
    EXPECT_EQ(scalar("SELECT who()").asText(), "who");

    db.removeFunction("who", 0, SQLiteEncoding::Any);
    EXPECT_TRUE(secondGone);
}

TEST_F(LifetimeTest, PartialRemovalKeepsTheObjectForTheOtherEncodings)
{
    bool gone = false;
    db.createFunction(std::make_shared<Tracked>("who", gone));
    db.removeFunction("who", 0, SQLiteEncoding::UTF8);
    EXPECT_FALSE(gone);
    db.removeFunction("who", 0, SQLiteEncoding::UTF16BE);
    EXPECT_FALSE(gone);
    db.removeFunction("who", 0, SQLiteEncoding::UTF16LE);
    EXPECT_TRUE(gone);
}

TEST_F(LifetimeTest, RemovingAFunctionInUseIsRefusedAndKeepsIt)
{
    exec("CREATE TABLE t(v); INSERT INTO t VALUES (1), (2);");
    bool gone = false;
    db.createFunction(std::make_shared<Tracked>("who", gone));
    sq::Cursor running = db.createCursor();
    ASSERT_TRUE(running.execute("SELECT who(), v FROM t"));
    try {
        db.removeFunction("who", 0, SQLiteEncoding::Any);
        FAIL() << "removal while running was not refused";
    } catch (const sq::SQLiteVMException& e) {
        EXPECT_EQ(e.getCode(), SQLITE_BUSY);
    }
    EXPECT_FALSE(gone);
    ASSERT_TRUE(running.next());
    EXPECT_EQ(running.getText(0), "who");
    running.close();
    db.removeFunction("who", 0, SQLiteEncoding::Any);
    EXPECT_TRUE(gone);
}

TEST_F(LifetimeTest, CollationReplacedWhileAPreparedStatementWaits)
{
    exec("CREATE TABLE w(x); INSERT INTO w VALUES ('b'), ('a'), ('c');");
    db.createCollation("flip", SQLiteEncoding::UTF8,
                       [](std::string_view a, std::string_view b) { return b.compare(a); });
    sq::Statement waiting = db.createStatement("SELECT x FROM w ORDER BY x COLLATE flip");
    ASSERT_TRUE(waiting.isPrepared());
    db.createCollation("flip", SQLiteEncoding::UTF8,
                       [](std::string_view a, std::string_view b) { return a.compare(b); });
    // The waiting statement is prepared anew and uses the collation registered now.
    ASSERT_EQ(waiting.step(), SQLITE_ROW);
    EXPECT_EQ(waiting.getText(0), "a");
    waiting.close();
}

TEST(LifetimeClose, ObjectsDieWithTheConnection)
{
    const auto dir = std::filesystem::temp_directory_path() /
        ("sqlext-close-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    bool gone = false;
    {
        sq::Connection db;
        db.open((dir / "c.db").string());
        db.createFunction(std::make_shared<Tracked>("who", gone));
        db.close();
        EXPECT_FALSE(gone); // still held by the connection object
    }
    EXPECT_TRUE(gone);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace sqlext_test

namespace sqlext_test {
namespace {

// A statement that outlives its connection keeps the handle open until it is finalized; the
// rollback SQLite then runs must not call a hook of the destroyed connection.
TEST(LifetimeClose, HooksStaySilentAfterTheConnectionIsGone)
{
    const auto dir = std::filesystem::temp_directory_path() / "sqlext-zombie";
    std::filesystem::create_directories(dir);
    int rollbacks = 0;
    std::optional<sq::Statement> survivor;
    {
        auto db = std::make_unique<sq::Connection>();
        db->open((dir / "z.db").string());
        db->setRollbackHook([&](sq::Connection&) { ++rollbacks; });
        db->setAuthorizer(nullptr);
        db->begin();
        {
            sq::Cursor c = db->createCursor();
            c.execute("CREATE TABLE t(v)");
            c.close();
        }
        survivor.emplace(db->createStatement("SELECT 1"));
        ASSERT_TRUE(survivor->isPrepared());
    }
    survivor->finalize();
    survivor.reset();
    EXPECT_EQ(rollbacks, 0);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace sqlext_test
