// Scalar SQL functions: arguments and results through the proxies and the base class,
// registration keys, and failures inside a call.
#include "TempDb.h"

#include <sqlite3.h>

#include <cstring>

namespace sqlext_test {
namespace {

using sq::SQLiteData;
using sq::SQLiteDataType;
using sq::SQLiteEncoding;

class UserFunctionTest : public TempDb {};

SQLiteData joinPlain(const std::vector<SQLiteData>& args)
{
    return SQLiteData(std::string(args.at(0).asText()) + "+" + std::string(args.at(1).asText()));
}

TEST_F(UserFunctionTest, TwoArgumentsArriveTaggedByStorageClass)
{
    std::vector<SQLiteData> seen;
    db.createFunction("pair", 2, SQLiteEncoding::UTF8, [&](const std::vector<SQLiteData>& args) {
        seen = args;
        return SQLiteData::ofLong(args.at(0).asLong() +
                                  static_cast<std::int64_t>(args.at(1).asText().size()));
    });

    EXPECT_EQ(scalar("SELECT pair(40, 'ab')").asLong(), 42);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].type, SQLiteDataType::Long);
    EXPECT_EQ(seen[0].asLong(), 40);
    EXPECT_EQ(seen[1].type, SQLiteDataType::Text);
    EXPECT_EQ(seen[1].asText(), "ab");
}

TEST_F(UserFunctionTest, ArgumentsOfEveryStorageClass)
{
    std::vector<int> tags;
    db.createFunction("tags", -1, SQLiteEncoding::UTF8, [&](const std::vector<SQLiteData>& args) {
        for (const SQLiteData& a : args)
            tags.push_back(a.type);
        return SQLiteData::ofInt(static_cast<std::int32_t>(args.size()));
    });
    EXPECT_EQ(scalar("SELECT tags(1, 2.5, 'x', x'0102', NULL)").asLong(), 5);
    EXPECT_EQ(tags, (std::vector<int>{2, 3, 4, 6, 7}));
}

TEST_F(UserFunctionTest, NullResultMakesTheExpressionNull)
{
    db.createFunction("nullish", 0, SQLiteEncoding::UTF8,
                      [](const std::vector<SQLiteData>&) { return SQLiteData::ofNull(); });
    EXPECT_EQ(scalar("SELECT nullish() IS NULL").asLong(), 1);
    EXPECT_EQ(scalar("SELECT typeof(nullish())").asText(), "null");
}

TEST_F(UserFunctionTest, ResultsOfEveryTag)
{
    db.createFunction("make", 1, SQLiteEncoding::UTF8, [](const std::vector<SQLiteData>& args) {
        switch (args.at(0).asInt()) {
        case 1: return SQLiteData::ofInt(7);
        case 2: return SQLiteData::ofLong(std::int64_t{1} << 40);
        case 3: return SQLiteData::ofDouble(0.25);
        case 4: return SQLiteData("t\xC3\xA9");
        case 5: return SQLiteData::ofText16(u"h\u00e9llo");
        default: {
            const std::byte bytes[] = {std::byte{0}, std::byte{0xFF}};
            return SQLiteData::ofBlob(bytes);
        }
        }
    });
    EXPECT_EQ(scalar("SELECT make(1)").asLong(), 7);
    EXPECT_EQ(scalar("SELECT make(2)").asLong(), std::int64_t{1} << 40);
    EXPECT_DOUBLE_EQ(scalar("SELECT make(3)").asDouble(), 0.25);
    EXPECT_EQ(scalar("SELECT make(4)").asText(), "t\xC3\xA9");
    EXPECT_EQ(scalar("SELECT make(5)").asText(), "h\xC3\xA9llo");
    EXPECT_EQ(scalar("SELECT hex(make(6))").asText(), "00FF");
    EXPECT_EQ(scalar("SELECT length(make(6))").asLong(), 2);
}

TEST_F(UserFunctionTest, ResultTagZeroFailsTheStatementWithBadDataType)
{
    db.createFunction("bad", 0, SQLiteEncoding::UTF8, [](const std::vector<SQLiteData>&) {
        return SQLiteData(0, std::monostate{});
    });
    EXPECT_EQ(failureCode("SELECT bad()"), SQLITE_ERROR);
    EXPECT_NE(std::string(db.getErrorMessage()).find("Bad Data Type"), std::string::npos)
        << db.getErrorMessage();
}

TEST_F(UserFunctionTest, PlainFunctionForm)
{
    db.createFunction("joined", 2, SQLiteEncoding::UTF8, joinPlain);
    EXPECT_EQ(scalar("SELECT joined('a', 'b')").asText(), "a+b");
}

TEST_F(UserFunctionTest, ProxyRemembersItsKind)
{
    sq::UserFunctionProxy callback("f", 1, 1,
                                   [](const std::vector<SQLiteData>&) { return SQLiteData(); });
    sq::UserFunctionProxy plain("g", 2, 5, joinPlain);
    EXPECT_EQ(callback.getName(), "f");
    EXPECT_EQ(plain.getArgs(), 2);
    EXPECT_EQ(plain.getEncoding(), 5);
}

// A function written on the base class, reading and writing through the context.
class Reverse16 : public sq::UserFunctionBase {
public:
    std::string getName() const override { return "reverse16"; }
    int getArgs() const override { return 1; }
    int getEncoding() const override { return SQLiteEncoding::UTF16; }
    void call() override
    {
        if (getType() == SQLITE_NULL) {
            setValue(nextValue()); // pass the NULL through
            return;
        }
        std::u16string text(getText16());
        std::reverse(text.begin(), text.end());
        setText16(text);
    }
};

TEST_F(UserFunctionTest, BaseClassReadsAndWritesUtf16)
{
    db.createFunction(std::make_shared<Reverse16>());
    EXPECT_EQ(scalar("SELECT reverse16('abc\xC3\xA9')").asText(),
              "\xC3\xA9"
              "cba");
    EXPECT_EQ(scalar("SELECT reverse16(NULL) IS NULL").asLong(), 1);
}

class ArgWalker : public sq::UserFunctionBase {
public:
    std::string getName() const override { return "walk"; }
    int getArgs() const override { return 3; }
    int getEncoding() const override { return SQLiteEncoding::UTF8; }
    void call() override
    {
        skip();
        const std::int64_t second = getLong();
        back();
        const double again = getDouble();
        const auto blob = getBlob();
        setDouble(static_cast<double>(second) + again + static_cast<double>(blob.size()) +
                  getArgCount() * 100);
    }
};

TEST_F(UserFunctionTest, SkipAndBackMoveThePosition)
{
    db.createFunction(std::make_shared<ArgWalker>());
    EXPECT_DOUBLE_EQ(scalar("SELECT walk('x', 4, x'010203')").asDouble(), 4 + 4 + 3 + 300);
}

class Overreader : public sq::UserFunctionBase {
public:
    std::string getName() const override { return "overread"; }
    int getArgs() const override { return 1; }
    int getEncoding() const override { return SQLiteEncoding::UTF8; }
    void call() override { setLong(getLong() + getLong()); }
};

TEST_F(UserFunctionTest, ReadingPastTheLastArgumentIsAnSqlError)
{
    db.createFunction(std::make_shared<Overreader>());
    EXPECT_EQ(failureCode("SELECT overread(1)"), SQLITE_ERROR);
    EXPECT_NE(std::string(db.getErrorMessage()).find("Argument Index Out Of Range"),
              std::string::npos);
}

TEST_F(UserFunctionTest, ThrowingCallbackFailsTheStatementAndLeavesTheConnectionUsable)
{
    db.createFunction("boom", 1, SQLiteEncoding::UTF8,
                      [](const std::vector<SQLiteData>& args) -> SQLiteData {
                          if (args.at(0).asLong() == 2)
                              throw std::runtime_error("boom at two");
                          return args.at(0);
                      });
    exec("CREATE TABLE t(v); INSERT INTO t VALUES (1), (2), (3);");
    EXPECT_EQ(failureCode("SELECT boom(v) FROM t"), SQLITE_ERROR);
    EXPECT_EQ(std::string(db.getErrorMessage()), "boom at two");
    EXPECT_EQ(failureCode("UPDATE t SET v = boom(v) + 10"), SQLITE_ERROR);
    // The failed update changed nothing, and the connection goes on working.
    EXPECT_EQ(scalar("SELECT sum(v) FROM t").asLong(), 6);
    EXPECT_EQ(scalar("SELECT boom(5)").asLong(), 5);
    EXPECT_TRUE(db.isAutoCommit());
}

TEST_F(UserFunctionTest, EngineExceptionInACallbackKeepsItsCode)
{
    db.createFunction("busy", 0, SQLiteEncoding::UTF8,
                      [](const std::vector<SQLiteData>&) -> SQLiteData {
                          throw sq::SQLiteVMException(SQLITE_BUSY);
                      });
    EXPECT_EQ(failureCode("SELECT busy()"), SQLITE_BUSY);
}

TEST_F(UserFunctionTest, AnyEncodingIsStoredUnderThreeKeys)
{
    auto f = [](const std::vector<SQLiteData>&) { return SQLiteData::ofInt(1); };
    db.createFunction("anyenc", 1, SQLiteEncoding::Any, f);
    EXPECT_EQ(scalar("SELECT anyenc(0)").asLong(), 1);

    // The UTF-16 registration is one of the three keys: removing it leaves the other two.
    db.removeFunction("anyenc", 1, SQLiteEncoding::UTF16LE);
    EXPECT_THROW(db.removeFunction("anyenc", 1, SQLiteEncoding::Any), sq::SQLiteDException);

    db.createFunction("anyenc", 1, SQLiteEncoding::Any, f);
    db.removeFunction("anyenc", 1, SQLiteEncoding::Any);
    EXPECT_NE(failureCode("SELECT anyenc(0)"), 0);
    try {
        db.removeFunction("anyenc", 1, SQLiteEncoding::Any);
        FAIL() << "second removal did not throw";
    } catch (const sq::SQLiteDException& e) {
        EXPECT_STREQ(e.what(), "SQLite D Exception: User Function Not Exist");
    }
}

TEST_F(UserFunctionTest, NativeUtf16IsStoredAsLittleEndian)
{
    db.createFunction("u16", 0, SQLiteEncoding::UTF16,
                      [](const std::vector<SQLiteData>&) { return SQLiteData::ofInt(3); });
    EXPECT_EQ(scalar("SELECT u16()").asLong(), 3);
    EXPECT_NO_THROW(db.removeFunction("u16", 0, SQLiteEncoding::UTF16LE));
}

TEST_F(UserFunctionTest, RemovingByObjectUsesItsOwnKey)
{
    auto walker = std::make_shared<ArgWalker>();
    db.createFunction(walker);
    db.removeFunction(walker);
    EXPECT_NE(failureCode("SELECT walk(1, 2, 3)"), 0);
    EXPECT_THROW(db.removeFunction(walker), sq::SQLiteDException);
}

TEST_F(UserFunctionTest, NullObjectOrEmptyCallbackIsRefused)
{
    try {
        db.createFunction(std::shared_ptr<sq::IUserFunction>());
        FAIL();
    } catch (const sq::SQLiteDException& e) {
        EXPECT_STREQ(e.what(), "SQLite D Exception: User Function NULL");
    }
    EXPECT_THROW(db.createFunction("f", 0, 1, sq::UserFunctionCallback()), sq::SQLiteDException);
}

TEST_F(UserFunctionTest, RefusedRegistrationThrowsTheEngineCode)
{
    try {
        db.createFunction("f", 1000, SQLiteEncoding::UTF8,
                          [](const std::vector<SQLiteData>&) { return SQLiteData(); });
        FAIL();
    } catch (const sq::SQLiteVMException& e) {
        EXPECT_EQ(e.getCode(), SQLITE_MISUSE);
    }
    EXPECT_THROW(db.removeFunction("f", 1000, SQLiteEncoding::UTF8), sq::SQLiteVMException);
}

TEST_F(UserFunctionTest, RegisteredObjectOutlivesTheCallersReference)
{
    {
        auto counter = std::make_shared<int>(0);
        db.createFunction(
            "count_up", 0, SQLiteEncoding::UTF8,
            [counter](const std::vector<SQLiteData>&) { return SQLiteData::ofInt(++*counter); });
    }
    EXPECT_EQ(scalar("SELECT count_up()").asLong(), 1);
    EXPECT_EQ(scalar("SELECT count_up()").asLong(), 2);
}

TEST_F(UserFunctionTest, ReplacingAFunctionUnderTheSameKey)
{
    db.createFunction("v", 0, 1,
                      [](const std::vector<SQLiteData>&) { return SQLiteData::ofInt(1); });
    db.createFunction("v", 0, 1,
                      [](const std::vector<SQLiteData>&) { return SQLiteData::ofInt(2); });
    EXPECT_EQ(scalar("SELECT v()").asLong(), 2);
    db.removeFunction("v", 0, 1);
    EXPECT_THROW(db.removeFunction("v", 0, 1), sq::SQLiteDException);
}

TEST(UserFunctionClosed, RegistrationNeedsAnOpenConnection)
{
    sq::Connection db;
    try {
        db.createFunction("f", 0, 1, [](const std::vector<SQLiteData>&) { return SQLiteData(); });
        FAIL();
    } catch (const sq::SQLiteDException& e) {
        EXPECT_STREQ(e.what(), "SQLite D Exception: Connection Not Available");
    }
}

TEST(UserFunctionKeys, NameThenArgumentCountThenEncoding)
{
    const auto keys = sq::detail::functionKeys("ab", -1, 5);
    ASSERT_EQ(keys.size(), 3u);
    std::int32_t words[2];
    for (int enc = 1; enc <= 3; ++enc) {
        const std::string& key = keys[static_cast<std::size_t>(enc - 1)];
        ASSERT_EQ(key.size(), 10u);
        EXPECT_EQ(key.substr(0, 2), "ab");
        std::memcpy(words, key.data() + 2, 8);
        EXPECT_EQ(words[0], -1);
        EXPECT_EQ(words[1], enc);
    }
    const auto coll = sq::detail::collationKeys("c", 4);
    ASSERT_EQ(coll.size(), 1u);
    std::memcpy(words, coll[0].data() + 1, 8);
    EXPECT_EQ(words[0], 2);
    EXPECT_EQ(words[1], 0);
}

} // namespace
} // namespace sqlext_test

namespace sqlext_test {
namespace {

// A function that runs SQL calling itself again on the same connection: each level must still
// set its own result after the inner call ended.
TEST_F(UserFunctionTest, FunctionMayReenterItselfThroughSql)
{
    db.createFunction("depth", 1, SQLiteEncoding::UTF8,
                      [this](const std::vector<SQLiteData>& args) {
                          const std::int64_t n = args.at(0).asLong();
                          if (n == 0)
                              return SQLiteData::ofLong(0);
                          sq::Cursor inner = db.createCursor();
                          inner.execute("SELECT depth(" + std::to_string(n - 1) + ") + 1");
                          const std::int64_t below = inner.getLong(0);
                          inner.close();
                          return SQLiteData::ofLong(below * 10);
                      });
    EXPECT_EQ(scalar("SELECT depth(3)").asLong(), 1110); // ((0 + 1) * 10 + 1) * 10 + 1) * 10
}

class Echo : public sq::UserFunctionBase {
public:
    explicit Echo(sq::Connection& db) : db_(db) {}
    std::string getName() const override { return "echo"; }
    int getArgs() const override { return 2; }
    int getEncoding() const override { return SQLiteEncoding::UTF8; }
    void call() override
    {
        const std::int64_t level = getLong();
        if (level > 0) {
            sq::Cursor inner = db_.createCursor();
            inner.execute("SELECT echo(" + std::to_string(level - 1) + ", 'inner')");
            inner.close();
        }
        // The second argument is still this call's own.
        setText(getText());
    }

private:
    sq::Connection& db_;
};

TEST_F(UserFunctionTest, BaseClassKeepsItsArgumentsAcrossAReentrantCall)
{
    db.createFunction(std::make_shared<Echo>(db));
    EXPECT_EQ(scalar("SELECT echo(2, 'outer')").asText(), "outer");
}

} // namespace
} // namespace sqlext_test

namespace sqlext_test {
namespace {

class TagReader : public sq::UserFunctionBase {
public:
    std::string getName() const override { return "readtag"; }
    int getArgs() const override { return 2; }
    int getEncoding() const override { return SQLiteEncoding::UTF8; }
    void call() override
    {
        const int tag = getInt();
        setData(getData(tag));
    }
};

TEST_F(UserFunctionTest, ArgumentReadByAnExplicitTag)
{
    db.createFunction(std::make_shared<TagReader>());
    EXPECT_EQ(scalar("SELECT readtag(4, 12)").asText(), "12");
    EXPECT_EQ(scalar("SELECT readtag(1, '7')").asLong(), 7);
    EXPECT_EQ(scalar("SELECT readtag(7, 'x') IS NULL").asLong(), 1);
    EXPECT_EQ(failureCode("SELECT readtag(9, 1)"), SQLITE_ERROR);
    EXPECT_NE(std::string(db.getErrorMessage()).find("Bad Data Type"), std::string::npos);
}

} // namespace
} // namespace sqlext_test
