// Header sorting: lower-cased text order, three states, a sort kept across refreshes.
#include "Fixture.h"

#include "qmk/Base.h"
#include "qmk/extends/ColumnSorter.h"
#include "qmk/extends/RecordTableModel.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

namespace qmk::test {
namespace {

using extends::ColumnSorter;

TEST(CompareValues, TextOrderIgnoringCase)
{
    EXPECT_LT(ColumnSorter::compareValues("10", "9"), 0);
    EXPECT_LT(ColumnSorter::compareValues("-1", "0"), 0);
    EXPECT_EQ(ColumnSorter::compareValues("Example.COM", "example.com"), 0);
    EXPECT_LT(ColumnSorter::compareValues("abc", "abcd"), 0);
    EXPECT_EQ(ColumnSorter::lowerKey("\xc3\x84pfel"), "\xc3\xa4pfel"); // Unicode lower case
    EXPECT_GT(ColumnSorter::compareValues("\xc3\xa4", "z"), 0); // UTF-8 bytes, unsigned
}

class Sorting : public WindowTest {
protected:
    std::vector<std::string> prShown(int tab)
    {
        std::vector<std::string> values;
        auto* viewer = viewerAt(tab);
        for (int row = 0; row < viewer->rowCount(); ++row)
            values.push_back(*viewer->recordAt(row)->get("pr"));
        return values;
    }
    void clickHeader(int tab, int column)
    {
        QHeaderView* header = viewerAt(tab)->getTable()->horizontalHeader();
        QPoint point(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
    }
};

TEST_F(Sorting, ThreeClicksAscendingDescendingListOrder)
{
    for (const char* pr : {"9", "10", "-1", "2", "0"})
        addSite("Temp_Sites", std::string("s") + pr + ".com", pr);
    openWindow();
    selectTab(3);
    const std::vector<std::string> listOrder = prShown(3);
    EXPECT_EQ(listOrder, (std::vector<std::string>{"9", "2", "10", "0", "-1"})); // pr DESC as text
    QHeaderView* header = viewerAt(3)->getTable()->horizontalHeader();
    clickHeader(3, 1);
    EXPECT_EQ(prShown(3), (std::vector<std::string>{"-1", "0", "10", "2", "9"}));
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(3, 1);
    EXPECT_EQ(prShown(3), (std::vector<std::string>{"9", "2", "10", "0", "-1"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(3, 1);
    EXPECT_EQ(prShown(3), listOrder);
    EXPECT_FALSE(header->isSortIndicatorShown());
    clickHeader(3, 1);
    EXPECT_EQ(prShown(3).front(), "-1");
}

TEST_F(Sorting, AnotherColumnStartsAscendingAndTheSortSurvivesRefresh)
{
    addSite("Shareware_Sites", "B.com", "1");
    addSite("Shareware_Sites", "a.com", "2");
    addSite("Shareware_Sites", "c.com", "3");
    openWindow();
    selectTab(0);
    clickHeader(0, 1);
    clickHeader(0, 1); // pr descending
    clickHeader(0, 0); // id: ascending at once
    EXPECT_EQ(idsShown(0), (std::vector<std::string>{"a.com", "B.com", "c.com"}));
    EXPECT_EQ(viewerAt(0)->getTable()->horizontalHeader()->sortIndicatorSection(), 0);
    viewAt(0)->addNewRecord(); // "[" sorts before the letters
    EXPECT_EQ(idsShown(0).front(), "[Enter id]");
    ASSERT_NE(selectedRecord(), nullptr);
    EXPECT_EQ(selectedRecord()->get("id"), "[Enter id]");
    viewAt(0)->load();
    viewAt(0)->refresh();
    EXPECT_EQ(idsShown(0), (std::vector<std::string>{"a.com", "B.com", "c.com"}));
}

} // namespace
} // namespace qmk::test
