// Statement: values in and out, by kind, by tag, and through a caller's own types.
#include "SqliteFixture.h"

#include <sqlite3.h>

#include <limits>
#include <memory>
#include <vector>

namespace sqltest {
namespace {

Blob bytes(std::initializer_list<int> values)
{
    Blob b;
    for (int v : values)
        b.push_back(static_cast<std::byte>(v));
    return b;
}

class ValuesTest : public SqliteTest {
protected:
    ValuesTest() { run("CREATE TABLE v(x)"); }

    // typeof and quote of every stored value, in order.
    std::string stored()
    {
        return scalar("SELECT group_concat(typeof(x) || '=' || quote(x), ' ') FROM v");
    }

    Statement insert() { return db.createStatement("INSERT INTO v VALUES (?)"); }

    void add(const std::function<void(Statement&)>& bindOne)
    {
        Statement s = insert();
        bindOne(s);
        ASSERT_EQ(s.step(), SQLITE_DONE);
        s.close();
    }
};

TEST_F(ValuesTest, TypedBindsStoreTheirKinds)
{
    add([](Statement& s) { s.bindInt(0, -7); });
    add([](Statement& s) { s.bindLong(0, std::int64_t{1} << 40); });
    add([](Statement& s) { s.bindDouble(0, 2.5); });
    add([](Statement& s) { s.bindText(0, "it's"); });
    add([](Statement& s) { s.bindText16(0, u"h\u00e9"); });
    add([](Statement& s) { s.bindBlob(0, bytes({0, 255})); });
    add([](Statement& s) { s.bindNull(0); });
    EXPECT_EQ(
        stored(),
        "integer=-7 integer=1099511627776 real=2.5 text='it''s' text='hé' blob=X'00FF' null=NULL");
}

TEST_F(ValuesTest, EmptyTextAndBlobAreNotNull)
{
    add([](Statement& s) { s.bindText(0, std::string_view()); });
    add([](Statement& s) { s.bindBlob(0, {}); });
    add([](Statement& s) { s.bindText16(0, std::u16string_view()); });
    add([](Statement& s) { s.bind(0, SQLiteData("")); });
    EXPECT_EQ(stored(), "text='' blob=X'' text='' text=''");
}

TEST_F(ValuesTest, TextIsBoundByLengthNotByZeroByte)
{
    std::string withZero("a\0b", 3);
    add([&](Statement& s) { s.bindText(0, withZero); });
    add([&](Statement& s) { s.bindText(0, std::string_view("abcdef", 3)); });
    EXPECT_EQ(scalar("SELECT group_concat(length(CAST(x AS BLOB)), ',') FROM v"), "3,3");
    Statement s = db.createStatement("SELECT x FROM v");
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getText(0), withZero);
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getTextView(0), "abc");
}

TEST_F(ValuesTest, CopiedBindsOutliveTheCallersBuffer)
{
    Statement s = insert();
    {
        std::string temp = "copied";
        s.bindText(0, temp);
        temp.assign("XXXXXX");
    }
    ASSERT_EQ(s.step(), SQLITE_DONE);
    std::string kept = "static";
    s.reset();
    s.bindTextStatic(0, kept);
    ASSERT_EQ(s.step(), SQLITE_DONE);
    std::u16string kept16 = u"s16";
    Blob keptBlob = bytes({1, 2});
    s.reset();
    s.bindText16Static(0, kept16);
    ASSERT_EQ(s.step(), SQLITE_DONE);
    s.reset();
    s.bindBlobStatic(0, keptBlob);
    ASSERT_EQ(s.step(), SQLITE_DONE);
    s.close();
    EXPECT_EQ(stored(), "text='copied' text='static' text='s16' blob=X'0102'");
}

TEST_F(ValuesTest, AnyNumberBindChoosesByKind)
{
    run("CREATE TABLE m(a, b, c, d, e, f, g)");
    Statement s = db.createStatement("INSERT INTO m VALUES (?, ?, ?, ?, ?, ?, ?)");
    Blob blob = bytes({0xAB});
    std::string text = "four";
    s.bind({3, std::int64_t{5000000000}, 0.25, text, std::u16string(u"f\u00fcnf"), blob,
            SQLiteData::ofNull()});
    ASSERT_EQ(s.step(), SQLITE_DONE);
    s.close();
    EXPECT_EQ(
        scalar(
            "SELECT quote(a)||quote(b)||quote(c)||quote(d)||quote(e)||quote(f)||quote(g) FROM m"),
        "350000000000.25'four''fünf'X'AB'NULL");
}

TEST_F(ValuesTest, BindByTagCoversEveryBaseTag)
{
    std::vector<SQLiteData> all{SQLiteData::ofInt(1),       SQLiteData::ofLong(-2),
                                SQLiteData::ofDouble(0.5),  SQLiteData("t"),
                                SQLiteData::ofText16(u"w"), SQLiteData::ofBlob(bytes({9})),
                                SQLiteData::ofNull()};
    for (const SQLiteData& d : all)
        add([&](Statement& s) { s.bind(0, d); });
    EXPECT_EQ(stored(), "integer=1 integer=-2 real=0.5 text='t' text='w' blob=X'09' null=NULL");
}

TEST_F(ValuesTest, GetTextOfAnIntegerAndGetDataByStorageClass)
{
    run("INSERT INTO v VALUES (42), (1.5), ('txt'), (x'0A0B'), (NULL)");
    Statement s = db.createStatement("SELECT x FROM v");
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getText(0), "42");
    SQLiteData d = s.getData(0, -1);
    EXPECT_EQ(d.type, SQLiteDataType::Long);
    EXPECT_EQ(d.asLong(), 42);
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getData(0), SQLiteData::ofDouble(1.5));
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getData(0), SQLiteData("txt"));
    EXPECT_EQ(s.getData(0, SQLiteDataType::Text16), SQLiteData::ofText16(u"txt"));
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getData(0), SQLiteData::ofBlob(bytes({10, 11})));
    EXPECT_EQ(s.getBlob(0), bytes({10, 11}));
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getData(0), SQLiteData::ofNull());
    EXPECT_EQ(s.getColumnType(0), SQLITE_NULL);
    EXPECT_THROW_MSG(s.getData(0, 0), SQLiteDException,
                     "SQLite D Exception: Invalid Parameter Type");
    EXPECT_THROW_MSG(s.getData(0, SQLiteDataType::ByDeclType), SQLiteDException,
                     "SQLite D Exception: Invalid Parameter Type");
}

TEST_F(ValuesTest, Text16ReturnsTheWholeText)
{
    run("INSERT INTO v VALUES ('h\u00e9llo')");
    Statement s = db.createStatement("SELECT x FROM v");
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getText16(0), u"h\u00e9llo");
    EXPECT_EQ(s.getText16View(0).size(), 5u);
    EXPECT_EQ(s.getText(0), "h\u00e9llo");
}

TEST(StorageClass, MapsToTags)
{
    EXPECT_EQ(storageClassToTag(SQLITE_INTEGER), SQLiteDataType::Long);
    EXPECT_EQ(storageClassToTag(SQLITE_FLOAT), SQLiteDataType::Double);
    EXPECT_EQ(storageClassToTag(SQLITE_TEXT), SQLiteDataType::Text);
    EXPECT_EQ(storageClassToTag(SQLITE_BLOB), SQLiteDataType::Blob);
    EXPECT_EQ(storageClassToTag(SQLITE_NULL), SQLiteDataType::Null);
    EXPECT_THROW_MSG(storageClassToTag(6), SQLiteDException,
                     "SQLite D Exception: Bad Internal Type");
}

// A caller's own point type (tag 9), stored as the text "x,y".
constexpr std::int32_t PointTag = 9;

class PointAdapter : public IUserDataAdapter {
public:
    SQLiteData toBase(const SQLiteData& d) override
    {
        auto [x, y] = points.at(static_cast<std::size_t>(d.asLong()));
        return SQLiteData(std::to_string(x) + "," + std::to_string(y));
    }
    std::int32_t baseType(std::int32_t) override { return SQLiteDataType::Text; }
    SQLiteData fromBase(const SQLiteData& d, std::int32_t tag) override
    {
        std::string text(d.asText());
        auto comma = text.find(',');
        points.push_back({std::stoi(text.substr(0, comma)), std::stoi(text.substr(comma + 1))});
        return SQLiteData(tag, std::int64_t(points.size() - 1));
    }
    std::vector<std::pair<int, int>> points;
};

TEST_F(ValuesTest, OwnTypesGoThroughTheAdapterBothWays)
{
    auto adapter = std::make_shared<PointAdapter>();
    adapter->points.push_back(std::pair{3, 4});
    db.setUserDataAdapter(adapter);
    EXPECT_EQ(db.getUserDataAdapter(), adapter);

    add([](Statement& s) { s.bind(0, SQLiteData(PointTag, std::int64_t{0})); });
    EXPECT_EQ(stored(), "text='3,4'");

    Statement s = db.createStatement("SELECT x FROM v");
    ASSERT_EQ(s.step(), SQLITE_ROW);
    SQLiteData p = s.getData(0, PointTag);
    EXPECT_EQ(p.type, PointTag);
    EXPECT_EQ(adapter->points.at(static_cast<std::size_t>(p.asLong())), std::pair(3, 4));
    EXPECT_EQ(adapter->points.size(), 2u);
}

TEST_F(ValuesTest, DeclaredTypesMapToTagsThroughTheMapper)
{
    auto adapter = std::make_shared<PointAdapter>();
    auto mapper = std::make_shared<RegDeclTypeMapper>();
    mapper->registerType("POINT", PointTag);
    mapper->registerType("NUM", SQLiteDataType::Double);
    db.setUserDataAdapter(adapter);
    db.setDeclTypeMapper(mapper);
    run("CREATE TABLE shapes(p POINT, n NUM, other BLOB)");
    run("INSERT INTO shapes VALUES ('5,6', 7, x'01')");

    Statement s = db.createStatement("SELECT p, n, other FROM shapes");
    ASSERT_EQ(s.step(), SQLITE_ROW);
    SQLiteData p = s.getData(0, SQLiteDataType::ByDeclType);
    EXPECT_EQ(p.type, PointTag);
    EXPECT_EQ(adapter->points.at(static_cast<std::size_t>(p.asLong())), std::pair(5, 6));
    EXPECT_EQ(s.getData(1, SQLiteDataType::ByDeclType), SQLiteData::ofDouble(7.0));
    EXPECT_THROW_MSG(s.getData(2, SQLiteDataType::ByDeclType), SQLiteDException,
                     "SQLite D Exception: Invalid Parameter Type");
    mapper->unregister("NUM");
    EXPECT_EQ(mapper->map("NUM"), 0);
    EXPECT_EQ(mapper->map("POINT"), PointTag);
}

TEST(SQLiteDataValue, DefaultAndConversions)
{
    SQLiteData d;
    EXPECT_EQ(d.type, -1);
    EXPECT_EQ(d.reserved, 0);
    EXPECT_EQ(d.asLong(), 0);
    EXPECT_EQ(d.asText(), "");
    SQLiteData t("abc");
    EXPECT_EQ(t.type, SQLiteDataType::Text);
    EXPECT_EQ(t.asText(), "abc");
    EXPECT_EQ(SQLiteData::ofInt(3).asDouble(), 3.0);
    EXPECT_EQ(SQLiteData::ofDouble(3.9).asLong(), 3);
}

TEST(SQLiteDataValue, DoublesOutOfRangeSaturate)
{
    constexpr auto most = std::numeric_limits<std::int64_t>::max();
    constexpr auto least = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(SQLiteData::ofDouble(1e300).asLong(), most);
    EXPECT_EQ(SQLiteData::ofDouble(-1e300).asLong(), least);
    EXPECT_EQ(SQLiteData::ofDouble(std::numeric_limits<double>::infinity()).asLong(), most);
    EXPECT_EQ(SQLiteData::ofDouble(std::numeric_limits<double>::quiet_NaN()).asLong(), 0);
    EXPECT_EQ(SQLiteData::ofDouble(-2.5).asLong(), -2);
}

TEST_F(ValuesTest, LongTagWithAHugeDoubleBindsTheLargestInteger)
{
    Statement s = db.createStatement("SELECT ?");
    s.bind(0, SQLiteData(SQLiteDataType::Long, 1e300));
    ASSERT_EQ(s.step(), SQLITE_ROW);
    EXPECT_EQ(s.getLong(0), std::numeric_limits<std::int64_t>::max());
}

} // namespace
} // namespace sqltest
