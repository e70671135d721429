// Record lists: identity, id lookups, truncation.
#include "qmk/DB.h"
#include "qmk/ViewerRecords.h"
#include "qmk/WindowPort.h"
#include "qmk/tab/Shareware_Site.h"

#include <gtest/gtest.h>

using namespace qmk;

namespace {

base::RecordPtr site(const std::string& id)
{
    auto r = std::make_shared<tab::Shareware_Site>();
    r->set("id", id);
    return r;
}

struct CountingViewer : RecordsViewer {
    int refreshes = 0;
    void refresh() override { ++refreshes; }
};

TEST(BaseRecords, AddKeepsIdentityNotEquality)
{
    BaseRecords list("Shareware_Sites");
    auto a = site("a.com");
    EXPECT_TRUE(list.add(a));
    EXPECT_FALSE(list.add(a));
    EXPECT_TRUE(list.add(site("a.com")));
    EXPECT_EQ(list.length(), 2u);
    EXPECT_EQ(list.name, "Shareware_Sites");
}

TEST(BaseRecords, GetOtherById)
{
    BaseRecords list;
    auto a = site("a.com");
    list.add(a);
    EXPECT_EQ(list.getOtherById(a, "a.com"), nullptr);
    EXPECT_FALSE(list.hasOtherWithId(a, "a.com"));
    auto b = site("a.com");
    list.add(b);
    EXPECT_EQ(list.getOtherById(a, "a.com"), b);
    EXPECT_EQ(list.getOtherById(b, "a.com"), a);
    EXPECT_TRUE(list.hasOtherWithId(a, "a.com"));
}

TEST(BaseRecords, GetByIdIsExactAndFirst)
{
    BaseRecords list;
    EXPECT_EQ(list.getById("x"), nullptr);
    auto first = site("Ab.com");
    list.add(first);
    list.add(site("Ab.com"));
    EXPECT_EQ(list.getById("Ab.com"), first);
    EXPECT_EQ(list.getById("ab.com"), nullptr);
    EXPECT_FALSE(list.hasId("Ab"));
    EXPECT_TRUE(list.hasId("Ab.com"));
}

TEST(BaseRecords, RemoveEveryOccurrenceKeepsOrder)
{
    BaseRecords list;
    auto a = site("a"), b = site("b"), c = site("c");
    list.getRecords() = {a, b, a, c};
    list.remove(a);
    ASSERT_EQ(list.length(), 2u);
    EXPECT_EQ(list.getRecords()[0], b);
    EXPECT_EQ(list.getRecords()[1], c);
    list.remove(a);
    EXPECT_EQ(list.length(), 2u);
}

TEST(BaseRecords, SetLengthAndClear)
{
    BaseRecords list;
    for (auto id : {"a", "b", "c"})
        list.add(site(id));
    list.setLength(5);
    EXPECT_EQ(list.length(), 3u);
    list.setLength(1);
    ASSERT_EQ(list.length(), 1u);
    EXPECT_EQ(list.getRecords()[0]->get("id"), "a");
    list.setLength(0);
    EXPECT_EQ(list.length(), 0u);
    list.add(site("d"));
    list.clear();
    EXPECT_EQ(list.length(), 0u);
}

TEST(ViewerRecords, RefreshReachesTheViewerOnlyWhenThereIsOne)
{
    ViewerRecords list("Temp_Sites");
    list.refresh(); // no viewer yet: nothing happens
    CountingViewer viewer;
    list.setTableViewer(&viewer);
    EXPECT_EQ(list.getTableViewer(), &viewer);
    list.refresh();
    EXPECT_EQ(viewer.refreshes, 1);
    EXPECT_TRUE(list.selectRecord(site("a")));
}

} // namespace
