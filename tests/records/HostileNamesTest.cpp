// Product and site ids holding quotes, semicolons, SQL words and non-ASCII text.
#include "Fixture.h"

#include "qmk/ViewerRecords.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/Temp_Site.h"

using namespace qmk;
using namespace qmk::test;

namespace {

const std::string kProduct = "O'Brien's; DROP TABLE x --";
const std::string kRenamed = "Tool \"2\"; DELETE FROM Softwares; --";
const std::string kSite = "it's.com'; DROP TABLE \"Shareware_Sites\"; --";
const std::string kUnicode = "\xc3\xbcnic\xc3\xb8"
                             "de-\xe4\xbe\x8b\xe3\x81\x88.jp"; // "ünicøde-例え.jp"

class Hostile : public DbTest {};

TEST_F(Hostile, ProductIsCreatedRenamedAndDropped)
{
    exec("create table x ( id );");
    addProduct(kProduct, "5");
    EXPECT_TRUE(hasTable(kProduct));
    EXPECT_TRUE(window.registered.count(kProduct));
    show(kProduct);
    db->add(*site("a.com"), "Shareware_Sites");
    EXPECT_TRUE(value(kProduct, "a.com", "id").has_value());

    db->updateFieldCascade("Softwares", kProduct, "id", kRenamed);
    EXPECT_TRUE(hasTable(kRenamed));
    EXPECT_FALSE(hasTable(kProduct));
    EXPECT_EQ(rowCount("Softwares"), 1);
    EXPECT_TRUE(value(kRenamed, "a.com", "id").has_value());

    tab::Software product;
    product.set("id", kRenamed);
    product.setStored();
    EXPECT_EQ(db->deleteRecord(product, "Softwares"), 1);
    EXPECT_FALSE(hasTable(kRenamed));
    EXPECT_TRUE(hasTable("x"));
    EXPECT_TRUE(hasTable("Shareware_Sites"));
}

TEST_F(Hostile, SiteIdWithQuotesAcrossAllTables)
{
    addProduct("Alpha", "5");
    addProduct(kProduct, "3");
    show("Alpha");
    db->add(*site(kSite), "Shareware_Sites");
    EXPECT_TRUE(value("Alpha", kSite, "id").has_value());
    EXPECT_TRUE(value(kProduct, kSite, "id").has_value());
    EXPECT_TRUE(db->existsInSiteTables(kSite));

    db->updateFieldCascade("Alpha", kSite, "notes", "it's \"fine\"");
    for (const auto& t : {std::string("Shareware_Sites"), std::string("Alpha"), kProduct})
        EXPECT_EQ(value(t, kSite, "notes"), "it's \"fine\"") << t;

    tab::Listed_Url row;
    row.set("id", kSite);
    row.set("listed_url", "https://x/'");
    db->updateField("Alpha", kSite, "listed_url", "https://x/'");
    EXPECT_EQ(db->getListedUrl("Alpha", kSite), "https://x/'");

    EXPECT_EQ(db->deleteRecord(*stored(site(kSite)), "Shareware_Sites"), 1);
    for (const auto& t : {std::string("Shareware_Sites"), std::string("Alpha"), kProduct})
        EXPECT_FALSE(value(t, kSite, "id").has_value()) << t;
    EXPECT_EQ(rowCount("Softwares"), 2);
}

TEST_F(Hostile, TempSiteWithQuoteIsRefusedWhenKnownAndClearedOtherwise)
{
    db->insert(*site(kSite), "Shareware_Sites");
    tab::Temp_Site temp;
    temp.set("id", kSite);
    db->add(temp, "Temp_Sites");
    EXPECT_EQ(window.statusText, "Temp_Sites id " + kSite + " exists");
    temp.set("id", kSite + "2");
    db->add(temp, "Temp_Sites");
    EXPECT_EQ(rowCount("Temp_Sites"), 1);
    EXPECT_TRUE(db->clearTable());
    EXPECT_EQ(rowCount("Temp_Sites"), 0);
}

TEST_F(Hostile, NonAsciiIdsRoundTrip)
{
    addProduct(kUnicode + "-tool", "5");
    show(kUnicode + "-tool");
    db->add(*site(kUnicode, "n\xc3\xb6tes"), "Shareware_Sites");
    EXPECT_EQ(value(kUnicode + "-tool", kUnicode, "notes"), "n\xc3\xb6tes");
    db->synchronizeSites();
    BaseRecords list(kUnicode + "-tool");
    db->loadTable<tab::Listed_Url>(list, kUnicode + "-tool");
    ASSERT_EQ(list.length(), 1u);
    EXPECT_EQ(list.getRecords()[0]->get("id"), kUnicode);
    EXPECT_EQ(db->idsByRank(), std::vector<std::string>{kUnicode + "-tool"});
}

TEST_F(Hostile, ColumnNameIsQuotedToo)
{
    db->insert(*site("a.com"), "Shareware_Sites");
    EXPECT_EQ(db->updateField("Shareware_Sites", "a.com", "notes\"=1,pr=\"9", "x"),
              DB::notStored); // no such column
    EXPECT_EQ(value("Shareware_Sites", "a.com", "pr"), "-1");
}

TEST_F(Hostile, SynchronizeIntoProductWithHostileName)
{
    addProduct(kProduct);
    show(kProduct);
    db->insert(*site(kSite), "Shareware_Sites");
    db->insert(*site("b.com"), "Shareware_Sites");
    db->synchronizeSites();
    EXPECT_EQ(rowCount(kProduct), 2);
    EXPECT_EQ(window.statusText, " 2 rows inserted into " + kProduct);
}

TEST_F(Hostile, EmptyProductIdIsRefusedWhereverAnIdIsSet)
{
    const auto emptyTables = [this] {
        auto cursor = db->getConnection().createCursor();
        cursor.execute("SELECT count(*) FROM sqlite_master WHERE name = '';");
        return cursor.getLong(0);
    };
    const std::string refused = "product id refused: the id is empty";
    tab::Software product;
    product.set("id", "");
    EXPECT_FALSE(db->add(product, "Softwares"));
    EXPECT_EQ(window.statusText, refused);
    EXPECT_EQ(db->insert(product, "Softwares"), DB::notStored);
    addProduct("Alpha");
    window.statusText.clear();
    EXPECT_FALSE(db->updateFieldCascade("Softwares", "Alpha", "id", ""));
    EXPECT_EQ(window.statusText, refused);
    EXPECT_EQ(db->updateField("Softwares", "Alpha", "id", ""), DB::notStored);
    auto cursor = db->getConnection().createCursor();
    db->createTable(cursor, tab::Listed_Url::getInstance(), "");
    EXPECT_EQ(db->alterTable(cursor, "Alpha", ""), 0);
    cursor.close();
    EXPECT_EQ(emptyTables(), 0);
    EXPECT_EQ(rowCount("Softwares"), 1);
    EXPECT_TRUE(hasTable("Alpha"));

    // A file that holds such a product already: removing it removes its table too.
    exec("INSERT INTO Softwares (id) VALUES ('');");
    exec("create table \"\" ( id UNIQUE NOT NULL );");
    product.setStored();
    EXPECT_EQ(db->deleteRecord(product, "Softwares"), 1);
    EXPECT_EQ(emptyTables(), 0);
}

} // namespace
