// Cascades between the catalogue and the product listing tables, with a faked main window.
#include "Fixture.h"

#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Software.h"
#include "qmk/tab/Temp_Site.h"

using namespace qmk;
using namespace qmk::test;

namespace {

class Cascade : public DbTest {
protected:
    // Two or three products ranked Alpha (pr 5) > Beta (pr 3) > Gamma (pr 1).
    void products(int n)
    {
        addProduct("Alpha", "5");
        addProduct("Beta", "3");
        if (n > 2)
            addProduct("Gamma", "1");
    }
    tab::Listed_Url listing(const std::string& id, const std::string& listedUrl)
    {
        tab::Listed_Url row;
        row.set("id", id);
        row.set("listed_url", listedUrl);
        return row;
    }
};

// ---- add ----

TEST_F(Cascade, AddProductCreatesEmptyListingTableAndRegistersIt)
{
    tab::Software product;
    product.set("id", "Tool");
    db->add(product, "Softwares");
    EXPECT_TRUE(hasTable("Tool"));
    EXPECT_EQ(rowCount("Tool"), 0);
    EXPECT_TRUE(window.called("register:Tool"));
    EXPECT_TRUE(window.called("open:Listed_Urls"));
    EXPECT_TRUE(window.called("menu"));
    tab::Listed_Url row;
    row.set("id", "a.com");
    EXPECT_EQ(db->insert(row, "Tool"), 1); // 15 listing columns are there
}

TEST_F(Cascade, ProductCallsReachTheWindowInOrder)
{
    using Calls = std::vector<std::string>;
    tab::Software product;
    product.set("id", "Tool");
    db->add(product, "Softwares");
    EXPECT_EQ(window.calls,
              (Calls{"status:1 rows inserted into Softwares", "register:Tool", "open:Listed_Urls",
                     "menu"}));

    addProduct("Other", "9");
    show("Tool");
    window.clearCalls();
    db->updateFieldCascade("Softwares", "Other", "id", "Other2");
    ASSERT_EQ(window.calls.size(), 5u);
    EXPECT_EQ(window.calls[0], "status:1 rows updated on Softwares, column: id, new value: Other2");
    EXPECT_EQ(window.calls[1].rfind("status:table name Other changed to Other2 at ", 0), 0u);
    EXPECT_EQ((Calls{window.calls[2], window.calls[3], window.calls[4]}),
              (Calls{"unregister:Other", "register:Other2", "menu"}));

    window.clearCalls();
    tab::Software tool;
    tool.set("id", "Tool");
    tool.setStored();
    db->deleteRecord(tool, "Softwares");
    EXPECT_EQ(window.calls, (Calls{"unregister:Tool", "close", "open:Listed_Urls"}));
}

TEST_F(Cascade, AddProductWhoseTableExistsReusesIt)
{
    exec("create table \"Tool\" ( id UNIQUE NOT "
         "NULL,pr,listed_url,username,password,version,sub_date,backlink,"
         "sub_method,sort,sub_page,rev_days,g_user,g_pass,notes );");
    exec("INSERT INTO \"Tool\" (id) VALUES ('kept.com');");
    tab::Software product;
    product.set("id", "Tool");
    db->add(product, "Softwares");
    EXPECT_EQ(rowCount("Softwares"), 1);
    EXPECT_EQ(rowCount("Tool"), 1);
    EXPECT_FALSE(window.called("register:Tool"));
    EXPECT_FALSE(window.called("open:Listed_Urls"));
}

TEST_F(Cascade, AddCatalogueSiteCopiesIntoEveryProduct)
{
    products(2);
    db->add(*site("new.com", "good site"), "Shareware_Sites");
    for (const char* p : {"Alpha", "Beta"}) {
        EXPECT_EQ(value(p, "new.com", "listed_url"), "[Enter listed url]") << p;
        EXPECT_EQ(value(p, "new.com", "notes"), "good site") << p;
    }
    EXPECT_EQ(window.count("open:Listed_Urls"), 1);
    EXPECT_EQ(window.statusText, "1 rows inserted into Beta");
}

TEST_F(Cascade, AddCatalogueSiteWithoutProductsStopsAfterInsert)
{
    db->add(*site("new.com"), "Shareware_Sites");
    EXPECT_EQ(rowCount("Shareware_Sites"), 1);
    EXPECT_FALSE(window.called("open:Listed_Urls"));
}

TEST_F(Cascade, AddCatalogueSiteSkipsOnlyAProductWithoutTable)
{
    products(3);
    exec("DROP TABLE \"Beta\";");
    EXPECT_TRUE(db->add(*site("new.com"), "Shareware_Sites"));
    EXPECT_TRUE(value("Alpha", "new.com", "id").has_value());
    EXPECT_TRUE(value("Gamma", "new.com", "id").has_value());
    EXPECT_FALSE(hasTable("Beta"));
    EXPECT_TRUE(window.called("open:Listed_Urls"));
}

TEST_F(Cascade, EachCascadeNamesTheProductItSkipsForWantOfAListingTable)
{
    products(3);
    show("Alpha");
    exec("DROP TABLE \"Beta\";");
    testing::internal::CaptureStdout();
    db->add(*site("new.com"), "Shareware_Sites");
    db->updateFieldCascade("Shareware_Sites", "new.com", "notes", "n");
    db->updateFieldCascade("Alpha", "new.com", "pr", "4");
    db->deleteRecord(*stored(site("new.com")), "Shareware_Sites");
    const std::string trace = testing::internal::GetCapturedStdout();
    const std::string catalogue = "cascade on Shareware_Sites skips product Beta: it has no "
                                  "listing table\n";
    std::size_t count = 0;
    for (auto at = trace.find(catalogue); at != std::string::npos;
         at = trace.find(catalogue, at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << trace;
    EXPECT_NE(trace.find("cascade on Alpha skips product Beta: it has no listing table"),
              std::string::npos)
        << trace;
    EXPECT_EQ(trace.find("skips product Gamma"), std::string::npos) << trace;
}

TEST_F(Cascade, AddCatalogueSiteKeepsExistingListingRows)
{
    products(2);
    db->insert(listing("new.com", "https://new.com/alpha"), "Alpha");
    db->add(*site("new.com"), "Shareware_Sites");
    EXPECT_EQ(value("Alpha", "new.com", "listed_url"), "https://new.com/alpha");
    EXPECT_EQ(value("Beta", "new.com", "listed_url"), "[Enter listed url]");
}

TEST_F(Cascade, AddRefusesIdKnownInAnySiteTable)
{
    tab::Black_Site black;
    black.set("id", "bad.com");
    db->insert(black, "Black_Sites");
    tab::Temp_Site temp;
    temp.set("id", "bad.com");
    db->add(temp, "Temp_Sites");
    EXPECT_EQ(window.statusText, "Temp_Sites id bad.com exists");
    EXPECT_EQ(rowCount("Temp_Sites"), 0);
}

TEST_F(Cascade, AddToListingOfOnlyProduct)
{
    addProduct("Alpha", "5");
    show("Alpha");
    db->add(listing("new.com", "https://new.com/alpha"), "Alpha");
    EXPECT_EQ(value("Alpha", "new.com", "listed_url"), "https://new.com/alpha");
    EXPECT_EQ(value("Shareware_Sites", "new.com", "id"), "new.com");
    EXPECT_TRUE(window.called("open:Shareware_Sites"));
    EXPECT_FALSE(window.called("open:Listed_Urls"));
}

TEST_F(Cascade, AddToCurrentListingGivesOtherProductsTheSiteDataOnly)
{
    products(3);
    show("Beta");
    auto row = listing("new.com", "https://new.com/beta");
    row.set("username", "me");
    row.set("notes", "shared note");
    db->add(row, "Beta");
    for (const char* p : {"Alpha", "Gamma"}) {
        EXPECT_EQ(value(p, "new.com", "listed_url"), "[Enter listed url]") << p;
        EXPECT_EQ(value(p, "new.com", "username"), "[Enter Username]") << p;
        EXPECT_EQ(value(p, "new.com", "notes"), "shared note") << p;
    }
    EXPECT_EQ(value("Beta", "new.com", "username"), "me");
    EXPECT_EQ(value("Shareware_Sites", "new.com", "notes"), "shared note");
    EXPECT_TRUE(window.called("open:Shareware_Sites"));
    EXPECT_FALSE(window.called("open:Listed_Urls")); // the listing on show holds the row already
}

TEST_F(Cascade, AddToListingThatIsNotCurrentInsertsOnly)
{
    products(2);
    show("Alpha");
    db->add(listing("new.com", "u"), "Beta");
    EXPECT_TRUE(value("Beta", "new.com", "id").has_value());
    EXPECT_FALSE(value("Shareware_Sites", "new.com", "id").has_value());
    EXPECT_FALSE(value("Alpha", "new.com", "id").has_value());
}

// ---- updateFieldCascade ----

TEST_F(Cascade, ListingColumnStaysWithItsProduct)
{
    products(2);
    show("Alpha");
    db->add(*site("s.com"), "Shareware_Sites");
    db->updateFieldCascade("Alpha", "s.com", "version", "2.0");
    EXPECT_EQ(value("Alpha", "s.com", "version"), "2.0");
    EXPECT_EQ(value("Beta", "s.com", "version"), "[Enter Version]");
}

TEST_F(Cascade, SiteColumnOfCurrentListingSpreadsEverywhere)
{
    products(3);
    show("Beta");
    db->add(*site("s.com"), "Shareware_Sites");
    window.clearCalls();
    db->updateFieldCascade("Beta", "s.com", "notes", "edited");
    for (const char* t : {"Shareware_Sites", "Alpha", "Beta", "Gamma"})
        EXPECT_EQ(value(t, "s.com", "notes"), "edited") << t;
    EXPECT_TRUE(window.called("open:Shareware_Sites"));
    EXPECT_EQ(window.statusText, "1 rows updated on Gamma, column: notes, new value: edited");
}

TEST_F(Cascade, CatalogueChangeReachesEveryProductAndReloadsCurrent)
{
    products(3);
    show("Gamma");
    db->add(*site("s.com"), "Shareware_Sites");
    exec("DROP TABLE \"Alpha\";"); // a missing table only updates nothing
    window.clearCalls();
    db->updateFieldCascade("Shareware_Sites", "s.com", "pr", "4");
    EXPECT_EQ(value("Beta", "s.com", "pr"), "4");
    EXPECT_EQ(value("Gamma", "s.com", "pr"), "4");
    EXPECT_EQ(window.count("open:Listed_Urls"), 1);
}

TEST_F(Cascade, SiteIdChangeTravelsLikeAnyColumn)
{
    products(2);
    show("Alpha");
    db->add(*site("old.com"), "Shareware_Sites");
    db->updateFieldCascade("Shareware_Sites", "old.com", "id", "new.com");
    for (const char* t : {"Shareware_Sites", "Alpha", "Beta"}) {
        EXPECT_TRUE(value(t, "new.com", "id").has_value()) << t;
        EXPECT_FALSE(value(t, "old.com", "id").has_value()) << t;
    }
    db->updateFieldCascade("Alpha", "new.com", "id", "newer.com");
    for (const char* t : {"Shareware_Sites", "Alpha", "Beta"})
        EXPECT_TRUE(value(t, "newer.com", "id").has_value()) << t;
}

TEST_F(Cascade, UpdateOfMissingRowDoesNotCascade)
{
    products(2);
    show("Alpha");
    db->add(*site("s.com"), "Shareware_Sites");
    db->updateFieldCascade("Alpha", "other.com", "notes", "x");
    EXPECT_EQ(value("Shareware_Sites", "s.com", "notes"), "[Enter notes]");
}

TEST_F(Cascade, ProductIdChangeOnShowClosesAndReopensItsTab)
{
    products(2);
    show("Alpha");
    db->updateFieldCascade("Softwares", "Alpha", "id", "Alpha2");
    EXPECT_TRUE(hasTable("Alpha2"));
    EXPECT_FALSE(hasTable("Alpha"));
    EXPECT_EQ(window.calls.back(), "open:Listed_Urls");
    EXPECT_TRUE(window.called("close"));
    EXPECT_EQ(window.current, "Alpha2");
    EXPECT_NE(window.statusText.find("table name Alpha changed to Alpha2 at "), std::string::npos);
}

TEST_F(Cascade, ProductIdChangeOffShowReRegisters)
{
    products(2);
    show("Alpha");
    db->updateFieldCascade("Softwares", "Beta", "id", "Beta2");
    EXPECT_TRUE(hasTable("Beta2"));
    EXPECT_TRUE(window.called("unregister:Beta"));
    EXPECT_TRUE(window.called("register:Beta2"));
    EXPECT_EQ(window.calls.back(), "menu");
    EXPECT_FALSE(window.called("close"));
}

TEST_F(Cascade, ProductIdChangeOfLetterCaseOnlyKeepsItsListing)
{
    products(2);
    show("Alpha");
    db->add(*site("s.com"), "Shareware_Sites");
    db->updateFieldCascade("Softwares", "Beta", "id", "BETA");
    EXPECT_TRUE(hasTable("BETA"));
    EXPECT_FALSE(hasTable("Beta"));
    EXPECT_NE(window.statusText.find("table name Beta changed to BETA at "), std::string::npos);
    BaseRecords rows("BETA");
    db->loadTable<tab::Listed_Url>(rows, "BETA");
    EXPECT_EQ(rows.length(), 1u);
    EXPECT_TRUE(rows.hasId("s.com"));
}

TEST_F(Cascade, RenamingProductWithoutATableOfItsExactNameLeavesOtherTables)
{
    addProduct("Tool", "5");
    db->add(*site("s.com"), "Shareware_Sites");
    addProduct("tool", "3"); // SQLite names ignore case: no table of its own can be made
    EXPECT_FALSE(hasTable("tool"));
    db->updateFieldCascade("Softwares", "tool", "id", "Other");
    EXPECT_TRUE(hasTable("Tool")); // still Tool's listing, not renamed away for another product
    EXPECT_TRUE(value("Tool", "s.com", "id").has_value());
    EXPECT_FALSE(hasTable("Other"));
}

TEST_F(Cascade, OtherSoftwaresColumnsDoNotCascade)
{
    products(2);
    db->updateFieldCascade("Softwares", "Alpha", "notes", "n");
    EXPECT_EQ(value("Softwares", "Alpha", "notes"), "n");
    EXPECT_TRUE(hasTable("Alpha"));
    EXPECT_FALSE(window.called("menu"));
}

// ---- deleteRecord / deleteCascade ----

TEST_F(Cascade, DeleteCatalogueSiteRemovesItFromEveryProduct)
{
    products(3);
    db->add(*site("s.com"), "Shareware_Sites");
    db->add(*site("keep.com"), "Shareware_Sites");
    window.clearCalls();
    EXPECT_EQ(db->deleteRecord(*stored(site("s.com")), "Shareware_Sites"), 1);
    for (const char* t : {"Shareware_Sites", "Alpha", "Beta", "Gamma"}) {
        EXPECT_FALSE(value(t, "s.com", "id").has_value()) << t;
        EXPECT_TRUE(value(t, "keep.com", "id").has_value()) << t;
    }
    EXPECT_TRUE(window.called("open:Listed_Urls"));
}

TEST_F(Cascade, DeleteListingRowLeavesCatalogue)
{
    products(2);
    show("Alpha");
    db->add(*site("s.com"), "Shareware_Sites");
    EXPECT_EQ(db->deleteRecord(*stored(site("s.com")), "Alpha"), 1);
    EXPECT_FALSE(value("Alpha", "s.com", "id").has_value());
    EXPECT_TRUE(value("Beta", "s.com", "id").has_value());
    EXPECT_TRUE(value("Shareware_Sites", "s.com", "id").has_value());
}

TEST_F(Cascade, DeleteProductOnShowDropsTableAndReopens)
{
    products(2);
    show("Alpha");
    tab::Software alpha;
    alpha.set("id", "Alpha");
    alpha.setStored();
    EXPECT_EQ(db->deleteRecord(alpha, "Softwares"), 1);
    EXPECT_FALSE(hasTable("Alpha"));
    EXPECT_TRUE(window.called("unregister:Alpha"));
    EXPECT_TRUE(window.called("close"));
    EXPECT_EQ(window.calls.back(), "open:Listed_Urls");
    EXPECT_EQ(window.current, "Beta");
}

TEST_F(Cascade, DeleteProductOffShowRefreshesMenu)
{
    products(2);
    show("Alpha");
    tab::Software beta;
    beta.set("id", "Beta");
    beta.setStored();
    db->deleteRecord(beta, "Softwares");
    EXPECT_FALSE(hasTable("Beta"));
    EXPECT_TRUE(hasTable("Alpha"));
    EXPECT_EQ(window.calls.back(), "menu");
    EXPECT_FALSE(window.called("close"));
}

TEST_F(Cascade, DeletingProductNamedLikeAFixedTableKeepsThatTable)
{
    db->add(*site("kept.com"), "Shareware_Sites");
    for (const char* fixed : {"Shareware_Sites", "Black_Sites", "Temp_Sites", "Softwares"}) {
        // Such a product can no longer be added; a file written before may still hold one.
        exec(std::string("INSERT INTO Softwares (id, pr) VALUES ('") + fixed + "', '-1');");
        tab::Software product;
        product.set("id", fixed);
        product.setStored();
        EXPECT_EQ(db->deleteRecord(product, "Softwares"), 1) << fixed;
        EXPECT_TRUE(hasTable(fixed)) << fixed;
    }
    EXPECT_TRUE(value("Shareware_Sites", "kept.com", "id").has_value());
}

TEST_F(Cascade, ProductRenamedToAFixedTableNameIsRefusedAndSuchAProductDeletedKeepsThatTable)
{
    products(2);
    db->add(*site("kept.com"), "Shareware_Sites");
    EXPECT_FALSE(db->updateFieldCascade("Softwares", "Beta", "id", "shareware_SITES"));
    EXPECT_EQ(window.statusText,
              "product id shareware_SITES refused: it differs from Shareware_Sites only in letter "
              "case, and both would share one table");
    EXPECT_TRUE(value("Softwares", "Beta", "id").has_value());
    EXPECT_TRUE(value("Beta", "kept.com", "id").has_value());
    // A file written before may hold such a product.
    exec("UPDATE Softwares SET id = 'Shareware_Sites' WHERE id = 'Beta';");
    window.registered.insert("Shareware_Sites");
    tab::Software product;
    product.set("id", "Shareware_Sites");
    product.setStored();
    window.clearCalls();
    db->deleteRecord(product, "Softwares");
    EXPECT_TRUE(value("Shareware_Sites", "kept.com", "id").has_value());
    EXPECT_TRUE(value("Alpha", "kept.com", "id").has_value());
    EXPECT_TRUE(
        window.called("unregister:Shareware_Sites")); // the product is gone from the registry
    EXPECT_FALSE(window.registered.count("Shareware_Sites"));
}

TEST_F(Cascade, RenamingProductNamedLikeAFixedTableLeavesThatTable)
{
    db->add(*site("kept.com"), "Shareware_Sites");
    exec("INSERT INTO Softwares (id, pr) VALUES ('Shareware_Sites', '-1');"); // from an older file
    EXPECT_TRUE(db->updateFieldCascade("Softwares", "Shareware_Sites", "id", "Renamed"));
    EXPECT_EQ(value("Softwares", "Renamed", "id"), "Renamed");
    EXPECT_TRUE(value("Shareware_Sites", "kept.com", "id").has_value());
    EXPECT_FALSE(hasTable("Renamed"));
}

TEST_F(Cascade, WithoutWindowCascadesStillKeepTablesInStep)
{
    db->setWindow(nullptr);
    addProduct("Alpha", "5");
    addProduct("Beta", "3");
    db->add(*site("s.com"), "Shareware_Sites");
    EXPECT_TRUE(value("Beta", "s.com", "id").has_value());
    db->updateFieldCascade("Shareware_Sites", "s.com", "notes", "n");
    EXPECT_EQ(value("Alpha", "s.com", "notes"), "n");
    db->synchronizeSites(); // no current listing without a window: nothing
    tab::Software alpha;
    alpha.set("id", "Alpha");
    alpha.setStored();
    db->deleteRecord(alpha, "Softwares");
    EXPECT_FALSE(hasTable("Alpha"));
}

} // namespace
