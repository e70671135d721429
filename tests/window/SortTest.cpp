// Header sorting: lower-cased text order, three states, a sort kept across refreshes.
#include "Fixture.h"

#include "qmk/Base.h"
#include "qmk/extends/ColumnSorter.h"
#include "qmk/extends/RecordTableModel.h"

#include "qmk/tab/Temp_Site.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <random>

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

std::vector<std::string>& testerFaults()
{
    static std::vector<std::string> faults;
    return faults;
}

// The model against a reference ordering (a stable sort of the list by the lower-cased key, ties
// in list order; the list itself without a sort) through random key changes, several at once
// before their rows are told, inserts, removals and new sorts, over few distinct keys.
TEST(RecordTableModelOrder, FollowsAStableSortThroughRandomChanges)
{
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& text) {
            if (context.category && std::string(context.category) == "qt.modeltest")
                testerFaults().push_back(text.toStdString());
        });
    BaseRecords list("Temp_Sites");
    extends::RecordTableModel model(&list, tab::Temp_Site::columns(), nullptr);
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    const int pr = 1;
    const std::vector<std::string> keys = {"a", "A", "b", "B", "10", "9", ""};
    std::mt19937 random(20261207);
    const auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
    const auto newRecord = [&] {
        auto record = std::make_shared<tab::Temp_Site>();
        record->set("pr", keys[pick(keys.size())]);
        return base::RecordPtr(record);
    };
    const auto expected = [&] {
        std::vector<base::RecordPtr> order = list.getRecords();
        const auto direction = model.sorter().direction();
        const auto key = [](const base::RecordPtr& r) {
            return ColumnSorter::lowerKey(r->get("pr").value_or(""));
        };
        std::stable_sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
            return direction == ColumnSorter::ASC ? key(a) < key(b)
                : direction == ColumnSorter::DESC ? key(b) < key(a)
                                                  : false;
        });
        return order;
    };
    const auto shown = [&] {
        std::vector<base::RecordPtr> rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows.push_back(model.recordAt(row));
        return rows;
    };
    for (int i = 0; i < 40; ++i)
        list.getRecords().push_back(newRecord());
    model.refresh();
    for (int step = 0; step < 3000; ++step) {
        std::vector<base::RecordPtr>& records = list.getRecords();
        const std::size_t what = pick(10);
        if (what < 5 && !records.empty()) {
            // one to three keys change before their rows are told, in any order
            std::vector<base::RecordPtr> changed;
            for (std::size_t n = 1 + pick(3); n > 0; --n) {
                changed.push_back(records[pick(records.size())]);
                changed.back()->set("pr", keys[pick(keys.size())]);
            }
            std::shuffle(changed.begin(), changed.end(), random);
            for (const base::RecordPtr& record : changed)
                model.recordChanged(record);
        } else if (what < 7) {
            const base::RecordPtr record = newRecord();
            records.insert(records.begin() + std::ptrdiff_t(pick(records.size() + 1)), record);
            model.recordInserted(record);
        } else if (what < 9 && !records.empty()) {
            const base::RecordPtr record = records[pick(records.size())];
            list.remove(record);
            model.recordRemoved(record);
        } else {
            model.onColumnSelected(pick(4) == 0 ? 0 : pr); // now and then another column
        }
        if (model.sorter().activeColumn() != pr && model.sorter().direction() != ColumnSorter::NONE)
            model.onColumnSelected(pr); // the key of the reference
        ASSERT_EQ(shown(), expected()) << "step " << step;
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(testerFaults(), std::vector<std::string>{});
}

} // namespace
} // namespace qmk::test
