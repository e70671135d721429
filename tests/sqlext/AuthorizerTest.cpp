// The authoriser: answers, the texts SQLite hands over, and a throwing authoriser.
#include "TempDb.h"

#include <sqlite3.h>

namespace sqlext_test {
namespace {

using sq::SQLiteAuthAction;
using sq::SQLiteAuthCode;

struct Request {
    SQLiteAuthAction action;
    std::string text1, text2, text3, text4;
};

class Recorder : public sq::IAuthorizer {
public:
    SQLiteAuthCode authorize(SQLiteAuthAction action, std::string_view a, std::string_view b,
                             std::string_view c, std::string_view d) override
    {
        requests.push_back(
            {action, std::string(a), std::string(b), std::string(c), std::string(d)});
        if (action == SQLiteAuthAction::DropTable)
            return SQLiteAuthCode::Deny;
        if (action == SQLiteAuthAction::Read && b == "secret")
            return SQLiteAuthCode::Ignore;
        return SQLiteAuthCode::Ok;
    }
    std::vector<Request> requests;
};

class AuthorizerTest : public TempDb {
protected:
    void SetUp() override
    {
        TempDb::SetUp();
        exec("CREATE TABLE people(name TEXT, secret TEXT); INSERT INTO people VALUES ('ann', "
             "'pin');");
    }
};

TEST_F(AuthorizerTest, DeniesAStatementAndIgnoresAColumn)
{
    auto recorder = std::make_shared<Recorder>();
    db.setAuthorizer(recorder);
    EXPECT_EQ(db.getAuthorizer(), recorder);

    EXPECT_EQ(failureCode("DROP TABLE people"), SQLITE_AUTH);
    const auto rows = query("SELECT name, secret FROM people");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].asText(), "ann");
    EXPECT_EQ(rows[0][1].type, sq::SQLiteDataType::Null);

    db.setAuthorizer(nullptr);
    EXPECT_FALSE(db.getAuthorizer());
    exec("DROP TABLE people");
}

TEST_F(AuthorizerTest, TextsSqliteLeavesOutArriveEmpty)
{
    auto recorder = std::make_shared<Recorder>();
    db.setAuthorizer(recorder);
    query("SELECT name FROM people");

    bool sawSelect = false, sawRead = false;
    for (const Request& r : recorder->requests) {
        if (r.action == SQLiteAuthAction::Select) {
            sawSelect = true;
            EXPECT_EQ(r.text1, "");
            EXPECT_EQ(r.text2, "");
            EXPECT_EQ(r.text3, "");
            EXPECT_EQ(r.text4, "");
        }
        if (r.action == SQLiteAuthAction::Read) {
            sawRead = true;
            EXPECT_EQ(r.text1, "people");
            EXPECT_EQ(r.text2, "name");
            EXPECT_EQ(r.text3, "main");
            EXPECT_EQ(r.text4, ""); // not inside a trigger or view
        }
    }
    EXPECT_TRUE(sawSelect);
    EXPECT_TRUE(sawRead);
}

class Thrower : public sq::IAuthorizer {
public:
    SQLiteAuthCode authorize(SQLiteAuthAction, std::string_view, std::string_view, std::string_view,
                             std::string_view) override
    {
        throw std::runtime_error("authoriser failed");
    }
};

TEST_F(AuthorizerTest, ThrowingAuthoriserDenies)
{
    db.setAuthorizer(std::make_shared<Thrower>());
    EXPECT_EQ(failureCode("SELECT name FROM people"), SQLITE_AUTH);
    EXPECT_EQ(failureCode("DELETE FROM people"), SQLITE_AUTH);
    db.setAuthorizer(nullptr);
    EXPECT_EQ(scalar("SELECT count(*) FROM people").asLong(), 1);
}

TEST(AuthorizerClosed, SetterStoresThenNeedsAnOpenConnection)
{
    sq::Connection db;
    auto recorder = std::make_shared<Recorder>();
    EXPECT_THROW(db.setAuthorizer(recorder), sq::SQLiteDException);
    EXPECT_EQ(db.getAuthorizer(), recorder);
}

} // namespace
} // namespace sqlext_test
