// The five tabs: loading, switching, the place between runs, adding and removing, products.
#include "Fixture.h"

#include "qmk/Base.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/tab/Listed_Urls.h"
#include "qmk/tab/Softwares.h"
#include "qmk/tab/Temp_Sites.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <iostream>
#include <sstream>

namespace qmk::test {
namespace {

std::vector<std::string> tabTexts(QTabWidget* folder)
{
    std::vector<std::string> texts;
    for (int i = 0; i < folder->count(); ++i)
        texts.push_back(folder->tabText(i).toStdString());
    return texts;
}

// The menu's entries from the first switch entry on ("|" for a separator).
std::vector<std::string> menuTexts(QMenu* menu)
{
    std::vector<std::string> texts;
    for (QAction* action : menu->actions()) {
        std::string text = action->isSeparator() ? "|" : action->text().toStdString();
        if (texts.empty() && text.rfind("Switch to", 0) != 0)
            continue;
        texts.push_back(text);
    }
    return texts;
}

class Tables : public WindowTest {};

TEST_F(Tables, FiveTabsInFixedOrderEachWithItsRows)
{
    addSite("Shareware_Sites", "a.com", "5");
    addSite("Shareware_Sites", "b.com", "7");
    addSite("Black_Sites", "bad.com");
    addProduct("Tool", "3");
    addSite("Tool", "a.com");
    openWindow();
    EXPECT_EQ(tabTexts(window_->getTabFolder()),
              (std::vector<std::string>{"Shareware_Sites", "Softwares", "Black_Sites", "Temp_Sites",
                                        "Tool"}));
    EXPECT_EQ(idsShown(0), (std::vector<std::string>{"b.com", "a.com"})); // pr DESC
    EXPECT_EQ(idsShown(1), std::vector<std::string>{"Tool"});
    EXPECT_EQ(idsShown(2), std::vector<std::string>{"bad.com"});
    EXPECT_TRUE(idsShown(3).empty());
    EXPECT_EQ(idsShown(4), std::vector<std::string>{"a.com"});
    EXPECT_EQ(window_->getTabFolder()->currentIndex(), 4); // the last tab built, no saved place
    if (const char* shot = std::getenv("QMK_SCREENSHOT")) { // a picture of the window, on request
        selectTab(0);
        window_->resize(1100, 500);
        window_->grab().save(shot);
    }
    EXPECT_EQ(window_->notesLabel()->text().toStdString(), "Notes:");

    QHeaderView* header = viewerAt(1)->getTable()->horizontalHeader();
    auto* model = viewerAt(1)->getModel();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString().toStdString(), "id");
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString().toStdString(),
              "id:\nSoftware name without version number");
    EXPECT_EQ(header->sectionSize(0), 150);
    EXPECT_EQ(header->sectionSize(1), 250);
    EXPECT_EQ(header->sectionSize(2), 30);
    const int screenWidth = QGuiApplication::primaryScreen()->availableVirtualGeometry().width();
    const int left = screenWidth - 15 - 730;
    EXPECT_EQ(header->sectionSize(5), left > 100 ? left : 160);
}

TEST_F(Tables, ModelsPassTheModelTester)
{
    addSite("Shareware_Sites", "a.com", "5");
    addSite("Shareware_Sites", "b.com", "10");
    openWindow();
    auto* model = viewerAt(0)->getModel();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    viewAt(0)->addNewRecord();
    viewerAt(0)->getTable()->horizontalHeader()->sectionClicked(1);
    edit(0, 0, "notes", QString("checked"));
    viewAt(0)->removeById("b.com");
    viewAt(0)->refresh();
    EXPECT_EQ(model->rowCount(), 2);
}

TEST_F(Tables, SwitchingTabsShowsTotalAndReselectsRowsById)
{
    addSite("Shareware_Sites", "a.com", "5");
    addSite("Shareware_Sites", "b.com", "4");
    addSite("Shareware_Sites", "c.com", "3");
    addProduct("Tool", "3");
    for (const char* id : {"c.com", "a.com", "x.com"})
        addSite("Tool", id, "1");
    openWindow();
    selectTab(2);
    EXPECT_EQ(status(), "Black_Sites,  total: 0");
    selectTab(0);
    EXPECT_EQ(status(), "Shareware_Sites,  total: 3");
    viewerAt(0)->setSelection({0, 2}); // a.com, c.com
    selectTab(4);
    EXPECT_EQ(status(), "Tool,  total: 3");
    std::vector<std::string> selected;
    for (const auto& record : viewerAt(4)->selectedRecords())
        selected.push_back(*record->get("id"));
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (std::vector<std::string>{"a.com", "c.com"}));
}

TEST_F(Tables, WithNoCommonIdTheRowUnderTheLastClickIsSelected)
{
    addSite("Shareware_Sites", "a.com", "5");
    addSite("Shareware_Sites", "b.com", "4");
    addProduct("Tool", "3");
    addSite("Tool", "x.com", "1");
    addSite("Tool", "b.com", "1");
    openWindow();
    selectTab(0);
    QTableView* table = viewerAt(0)->getTable();
    QRect cell = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_TRUE(mouseCell().has_value());
    EXPECT_EQ(mouseCell()->record->get("id"), "b.com");
    EXPECT_EQ(window_->notesLabel()->text().toStdString(), "Notes : b.com");
    viewerAt(0)->setSelection({});
    selectTab(4);
    ASSERT_EQ(viewerAt(4)->selectedRecords().size(), 1u);
    EXPECT_EQ(viewerAt(4)->selectedRecords()[0]->get("id"), "b.com");
}

TEST_F(Tables, PlaceIsSavedAtCloseAndRestoredAtOpen)
{
    addSite("Black_Sites", "one.com");
    addSite("Black_Sites", "two.com");
    openWindow();
    selectTab(2);
    viewAt(2)->selectRecord(viewAt(2)->getById("two.com"));
    closeWindow();
    EXPECT_EQ(setting("last_ctabitem_index"), "2");
    EXPECT_EQ(setting("last_id"), "two.com");
    EXPECT_EQ(setting("last_listed_urls"), "");
    reopenDatabase();
    openWindow();
    EXPECT_EQ(window_->getTabFolder()->currentIndex(), 2);
    ASSERT_NE(selectedRecord(), nullptr);
    EXPECT_EQ(selectedRecord()->get("id"), "two.com");
}

TEST_F(Tables, DamagedOrStalePlaceChangesNothing)
{
    addSite("Shareware_Sites", "a.com");
    setSetting("last_ctabitem_index", "7");
    setSetting("last_id", "gone.com");
    openWindow();
    EXPECT_EQ(window_->getTabFolder()->currentIndex(), 3);
    EXPECT_EQ(selectedRecord(), nullptr);
    window_.reset();
    setSetting("last_ctabitem_index", "zero");
    std::ostringstream console;
    std::streambuf* out = std::cout.rdbuf(console.rdbuf());
    openWindow();
    std::cout.rdbuf(out);
    EXPECT_EQ(window_->getTabFolder()->currentIndex(), 3);
    EXPECT_NE(console.str().find("last_ctabitem_index ignored, not a number: zero\n"),
              std::string::npos)
        << console.str();
    closeWindow();
    EXPECT_EQ(setting("last_id"), "gone.com"); // no selection keeps the earlier value
}

TEST_F(Tables, AddNewRecordIsSelectedAndNotStoredRemoveNeedsASelection)
{
    openWindow();
    selectTab(3);
    window_->addNewRecord();
    ASSERT_EQ(idsShown(3), std::vector<std::string>{"[Enter id]"});
    EXPECT_EQ(selectedRecord()->get("id"), "[Enter id]");
    EXPECT_TRUE(column("SELECT id FROM Temp_Sites").empty());
    viewerAt(3)->setSelection({});
    window_->removeSelectedRecord();
    EXPECT_EQ(status(), "please select a record first");
    viewerAt(3)->setSelection({0});
    window_->removeSelectedRecord();
    EXPECT_TRUE(idsShown(3).empty());
}

TEST_F(Tables, AddAllAndStoreAndRemoveAndDelete)
{
    openWindow();
    EXPECT_FALSE(tab::Temp_Sites::addAllAndStore({}, true));
    std::vector<base::RecordPtr> found;
    for (const char* id : {"n1.com", "n2.com", "n3.com"}) {
        auto record = std::make_shared<tab::Temp_Site>();
        record->set("id", id);
        found.push_back(record);
    }
    EXPECT_TRUE(tab::Temp_Sites::addAllAndStore(found, true));
    EXPECT_EQ(idsShown(3).size(), 3u);
    EXPECT_EQ(column("SELECT id FROM Temp_Sites ORDER BY id").size(), 3u);
    tab::Temp_Sites::removeAndDelete(found[1]);
    EXPECT_EQ(column("SELECT id FROM Temp_Sites ORDER BY id"),
              (std::vector<std::string>{"n1.com", "n3.com"}));
    EXPECT_EQ(idsShown(3), (std::vector<std::string>{"n1.com", "n3.com"}));
}

TEST_F(Tables, ContextMenusHaveTheirFrames)
{
    addProduct("Solo", "1");
    openWindow();
    QMenu* menu = viewAt(4)->menuManager();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menuTexts(menu).empty()); // one product: no switch entries
}

TEST_F(Tables, ProductSwitchWithTwoAndThreeProducts)
{
    addProduct("Alpha", "5");
    addProduct("Beta", "3");
    addSite("Alpha", "a.com");
    addSite("Beta", "a.com");
    addSite("Beta", "b.com");
    openWindow();
    EXPECT_EQ(window_->lastTabText(), "Alpha");
    std::vector<std::string> entries = menuTexts(viewAt(4)->menuManager());
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[0], "Switch to Beta");
    EXPECT_EQ(entries[1], "|");

    selectTab(4);
    viewAt(4)->selectRecord(viewAt(4)->getById("a.com"));
    tab::Listed_Urls::switchActionFor("Beta")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window_->getTabFolder()->count(), 5);
    EXPECT_EQ(window_->lastTabText(), "Beta");
    EXPECT_EQ(window_->getTabFolder()->currentIndex(), 4);
    EXPECT_EQ(setting("last_listed_urls"), "Alpha");
    EXPECT_EQ(idsShown(4).size(), 2u);
    ASSERT_NE(selectedRecord(), nullptr);
    EXPECT_EQ(selectedRecord()->get("id"), "a.com"); // the same site stays selected
    entries = menuTexts(viewAt(4)->menuManager());
    EXPECT_EQ(entries[0], "Switch to Alpha");

    window_.reset();
    addProduct("Gamma", "9");
    setSetting("last_listed_urls", "Beta");
    openWindow();
    EXPECT_EQ(window_->lastTabText(), "Beta");
    entries = menuTexts(viewAt(4)->menuManager());
    EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 3),
              (std::vector<std::string>{"Switch to Gamma", "Switch to Alpha", "|"}));
    tab::Listed_Urls::switchActionFor("Gamma")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(window_->lastTabText(), "Gamma");
    EXPECT_TRUE(idsShown(4).empty());
    closeWindow();
    EXPECT_EQ(setting("last_listed_urls"), "Gamma");
}

TEST_F(Tables, StaleProductSettingFallsBackToTheTopRanked)
{
    addProduct("Low", "1");
    addProduct("High", "8");
    setSetting("last_listed_urls", "Removed");
    openWindow();
    EXPECT_EQ(window_->lastTabText(), "High");
    EXPECT_FALSE(tab::Listed_Urls::registerProduct("High"));
    EXPECT_TRUE(tab::Listed_Urls::registerProduct("Other"));
    EXPECT_TRUE(tab::Listed_Urls::unregisterProduct("Other"));
    EXPECT_FALSE(tab::Listed_Urls::unregisterProduct("Other"));
}

} // namespace
} // namespace qmk::test
