// The viewer glue on its own: providers, the cell modifier's starting values, the link widget.
#include "qmk/Base.h"
#include "qmk/custom/LinkText.h"
#include "qmk/extends/MyCellModifier.h"
#include "qmk/extends/StructuredContentProvider.h"
#include "qmk/extends/TableLabelProvider.h"
#include "qmk/tab/Listed_Url.h"
#include "qmk/tab/Shareware_Site.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace qmk::extends {
namespace {

TEST(Providers, BareProvidersShowNothingRecordProvidersShowValues)
{
    tab::Shareware_Site site;
    site.set("id", "a.com");
    TableLabelProvider bare;
    EXPECT_EQ(bare.getColumnText(&site, 0), "");
    EXPECT_FALSE(bare.hasColumnImage(&site, 0));
    StructuredContentProvider bareContent;
    BaseRecords list("x");
    list.add(std::make_shared<tab::Shareware_Site>());
    EXPECT_TRUE(bareContent.getElements(&list).empty());
    DefaultStructuredContentProvider content;
    EXPECT_EQ(&content.getElements(&list), &list.getRecords()); // the live array, not a copy

    std::vector<std::string> headers = {"id", "pr", "nothing"};
    DefaultTableLabelProvider labels(&headers);
    EXPECT_EQ(labels.getColumnText(&site, 0), "a.com");
    EXPECT_EQ(labels.getColumnText(&site, 1), "-1");
    EXPECT_EQ(labels.getColumnText(&site, 2), ""); // a field the record lacks
    EXPECT_EQ(labels.getColumnText(&site, -1), ""); // out of range
    EXPECT_EQ(labels.getColumnText(&site, 3), "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(labels.getColumnText(nullptr, 0), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "DefaultLabelProvider.getColumntext catch element is not a record at column index 0, "
              "column text id\n");
}

TEST(CellModifierValues, TextIndexOrNothing)
{
    MyCellModifier modifier(nullptr);
    tab::Listed_Url row;
    row.set("sort", "popular");
    EXPECT_TRUE(modifier.canModify(&row, "id"));
    EXPECT_EQ(std::get<std::string>(modifier.getValue(&row, "id")), "[Enter id]");
    EXPECT_EQ(std::get<int>(modifier.getValue(&row, "sort")), 2);
    row.getFields()["sort"] = "unknown";
    EXPECT_EQ(std::get<int>(modifier.getValue(&row, "sort")), 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(modifier.getValue(&row, "home")));
    EXPECT_EQ(std::get<std::string>(modifier.getValue(nullptr, "id")), "");
}

TEST(Link, BlueTextWithTipAndHandCursor)
{
    custom::LinkText link(nullptr, "https://maker.example/");
    EXPECT_EQ(link.text().toStdString(), "https://maker.example/");
    EXPECT_EQ(link.toolTip().toStdString(), "Navigate to https://maker.example/");
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(Qt::blue));
    link.resize(200, 20);
    QSignalSpy clicks(&link, &custom::LinkText::clicked);
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
}

} // namespace
} // namespace qmk::extends
