// Aggregates over groups, collations in ORDER BY, and their registration.
#include "TempDb.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sqlext_test {
namespace {

using sq::SQLiteData;
using sq::SQLiteEncoding;

class AggregateTest : public TempDb {
protected:
    void SetUp() override
    {
        TempDb::SetUp();
        exec("CREATE TABLE sales(shop TEXT, amount INTEGER);"
             "INSERT INTO sales VALUES ('north', 3), ('south', 10), ('north', 4), ('south', 1),"
             " ('east', 8);");
    }
};

TEST_F(AggregateTest, CallbackAggregateOverGroupBy)
{
    // The proxy keeps no state per group: the callables carry it, and final starts it anew.
    std::int64_t product = 1;
    db.createAggregate(
        "product", 1, SQLiteEncoding::UTF8,
        [&](const std::vector<SQLiteData>& args) { product *= args.at(0).asLong(); },
        [&] {
            const SQLiteData result = SQLiteData::ofLong(product);
            product = 1;
            return result;
        });
    const auto rows = query("SELECT shop, product(amount) FROM sales GROUP BY shop ORDER BY shop");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0].asText(), "east");
    EXPECT_EQ(rows[0][1].asLong(), 8);
    EXPECT_EQ(rows[1][0].asText(), "north");
    EXPECT_EQ(rows[1][1].asLong(), 12);
    EXPECT_EQ(rows[2][0].asText(), "south");
    EXPECT_EQ(rows[2][1].asLong(), 10);
}

std::vector<std::string> joined;

void collectStep(const std::vector<SQLiteData>& args)
{
    joined.emplace_back(args.at(0).asText());
}

SQLiteData collectFinal()
{
    std::string text;
    for (const std::string& s : joined)
        text += (text.empty() ? "" : ",") + s;
    joined.clear();
    return SQLiteData(text);
}

TEST_F(AggregateTest, PlainFunctionAggregate)
{
    db.createAggregate("collect", 1, SQLiteEncoding::Any, collectStep, collectFinal);
    EXPECT_EQ(scalar("SELECT collect(shop) FROM (SELECT shop FROM sales ORDER BY rowid)").asText(),
              "north,south,north,south,east");
    // An empty input still calls final once.
    EXPECT_EQ(scalar("SELECT collect(shop) FROM sales WHERE 0").asText(), "");
}

class Spread : public sq::UserAggregateBase {
public:
    std::string getName() const override { return "spread"; }
    int getArgs() const override { return 1; }
    int getEncoding() const override { return SQLiteEncoding::UTF8; }
    void step() override
    {
        const std::int64_t v = getLong();
        low = std::min(low, v);
        high = std::max(high, v);
    }
    void final() override
    {
        if (low > high)
            setNull();
        else
            setLong(high - low);
        low = INT64_MAX;
        high = INT64_MIN;
    }

private:
    std::int64_t low = INT64_MAX;
    std::int64_t high = INT64_MIN;
};

TEST_F(AggregateTest, BaseClassAggregateAndRemoval)
{
    auto spread = std::make_shared<Spread>();
    db.createAggregate(spread);
    EXPECT_EQ(scalar("SELECT spread(amount) FROM sales").asLong(), 9);
    EXPECT_EQ(scalar("SELECT spread(amount) IS NULL FROM sales WHERE 0").asLong(), 1);
    db.removeAggregate(spread);
    EXPECT_NE(failureCode("SELECT spread(amount) FROM sales"), 0);
    try {
        db.removeAggregate("spread", 1, SQLiteEncoding::UTF8);
        FAIL();
    } catch (const sq::SQLiteDException& e) {
        EXPECT_STREQ(e.what(), "SQLite D Exception: User Aggregate Not Exist");
    }
}

TEST_F(AggregateTest, ThrowingStepFailsOnlyThatStatement)
{
    db.createAggregate(
        "picky", 1, SQLiteEncoding::UTF8,
        [](const std::vector<SQLiteData>& args) {
            if (args.at(0).asLong() == 10)
                throw std::invalid_argument("ten is not welcome");
        },
        [] { return SQLiteData::ofInt(1); });
    EXPECT_EQ(failureCode("SELECT picky(amount) FROM sales"), SQLITE_ERROR);
    EXPECT_EQ(std::string(db.getErrorMessage()), "ten is not welcome");
    EXPECT_EQ(scalar("SELECT picky(amount) FROM sales WHERE amount < 10").asLong(), 1);
}

TEST_F(AggregateTest, NullAndEmptyAreRefused)
{
    EXPECT_THROW(db.createAggregate(std::shared_ptr<sq::IUserAggregate>()), sq::SQLiteDException);
    try {
        db.createAggregate("a", 1, 1, sq::UserStepCallback(), [] { return SQLiteData(); });
        FAIL();
    } catch (const sq::SQLiteDException& e) {
        EXPECT_STREQ(e.what(), "SQLite D Exception: User Aggregate NULL");
    }
}

class CollationTest : public TempDb {
protected:
    void SetUp() override
    {
        TempDb::SetUp();
        exec("CREATE TABLE words(w TEXT);"
             "INSERT INTO words VALUES ('banana'), ('Apple'), ('cherry'), ('apple2'), ('Date');");
    }
    std::vector<std::string> ordered(const std::string& collation)
    {
        std::vector<std::string> out;
        for (const auto& row : query("SELECT w FROM words ORDER BY w COLLATE " + collation))
            out.emplace_back(row.at(0).asText());
        return out;
    }
};

int byLength(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

TEST_F(CollationTest, CallbackCollationOrdersCaseBlind)
{
    db.createCollation("nocase2", SQLiteEncoding::UTF8, [](std::string_view a, std::string_view b) {
        std::string x(a), y(b);
        for (char& c : x)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (char& c : y)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return x.compare(y);
    });
    EXPECT_EQ(ordered("nocase2"),
              (std::vector<std::string>{"Apple", "apple2", "banana", "cherry", "Date"}));
}

TEST_F(CollationTest, PlainFunctionCollationAndRemoval)
{
    db.createCollation("bylength", SQLiteEncoding::UTF8, byLength);
    EXPECT_EQ(ordered("bylength"),
              (std::vector<std::string>{"Date", "Apple", "apple2", "banana", "cherry"}));
    db.removeCollation("bylength", SQLiteEncoding::UTF8);
    EXPECT_EQ(failureCode("SELECT w FROM words ORDER BY w COLLATE bylength"), SQLITE_ERROR);
    try {
        db.removeCollation("bylength", SQLiteEncoding::UTF8);
        FAIL();
    } catch (const sq::SQLiteDException& e) {
        EXPECT_STREQ(e.what(), "SQLite D Exception: User Collation Not Exist");
    }
}

TEST_F(CollationTest, Utf16CollationGetsUtf16Bytes)
{
    std::size_t oddLengths = 0;
    auto proxy = std::make_shared<sq::UserCollationProxy>(
        "reversed16", SQLiteEncoding::UTF16, [&](std::string_view a, std::string_view b) {
            oddLengths += (a.size() % 2) + (b.size() % 2);
            std::u16string x(a.size() / 2, u'\0'), y(b.size() / 2, u'\0');
            std::memcpy(x.data(), a.data(), a.size());
            std::memcpy(y.data(), b.data(), b.size());
            return y.compare(x);
        });
    db.createCollation(proxy);
    EXPECT_EQ(ordered("reversed16"),
              (std::vector<std::string>{"cherry", "banana", "apple2", "Date", "Apple"}));
    EXPECT_EQ(oddLengths, 0u);
    // UTF-16 in the machine's order is kept as little-endian.
    db.removeCollation("reversed16", SQLiteEncoding::UTF16LE);
    EXPECT_THROW(db.removeCollation(proxy), sq::SQLiteDException);
}

TEST_F(CollationTest, ThrowingCollationCountsAsEqual)
{
    db.createCollation(
        "grumpy", SQLiteEncoding::UTF8,
        [](std::string_view, std::string_view) -> int { throw std::runtime_error("no"); });
    EXPECT_EQ(query("SELECT w FROM words ORDER BY w COLLATE grumpy").size(), 5u);
    EXPECT_EQ(scalar("SELECT 'a' = 'b' COLLATE grumpy").asLong(), 1);
}

TEST_F(CollationTest, NullAndRefused)
{
    EXPECT_THROW(db.createCollation(std::shared_ptr<sq::IUserCollation>()), sq::SQLiteDException);
    EXPECT_THROW(db.createCollation("c", 1, sq::UserCollationCallback()), sq::SQLiteDException);
    // SQLite takes no collation for "any" encoding.
    try {
        db.createCollation("c", SQLiteEncoding::Any, byLength);
        FAIL();
    } catch (const sq::SQLiteVMException& e) {
        EXPECT_EQ(e.getCode(), SQLITE_MISUSE);
    }
    EXPECT_THROW(db.removeCollation("c", SQLiteEncoding::Any), sq::SQLiteVMException);
}

} // namespace
} // namespace sqlext_test
