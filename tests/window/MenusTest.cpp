// Menus, tool bar and context menus place the registered commands in their order.
#include "Fixture.h"

#include "qmk/MyAction.h"
#include "qmk/extends/Commands.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

namespace qmk::test {
namespace {

using extends::Command;

const Command commands[] = {Command::AddAction,
                            Command::RemoveAction,
                            Command::FindTableItemAction,
                            Command::ExitAction,
                            Command::OpenHomePageAction,
                            Command::OpenSubPageAction,
                            Command::InboundLinksAction,
                            Command::GoogleSearchAction,
                            Command::PageRankAction,
                            Command::FirstProductAction,
                            Command::SecondProductAction,
                            Command::HomeAction,
                            Command::HelpAction,
                            Command::AboutAction,
                            Command::OpenURLAction,
                            Command::OpenWithDefaultBrowserAction,
                            Command::MoveToBlackSitesAction,
                            Command::MoveToSharewareSitesAction,
                            Command::RemoveTemp_SitesAction,
                            Command::SynchronizeSitesAction,
                            Command::TodayAction,
                            Command::VersionAction,
                            Command::CopyUsernameAction,
                            Command::CopyPasswordAction};

// The id of the row of the mouse cell, "none" without one.
std::string pointed()
{
    return mouseCell() && mouseCell()->record ? mouseCell()->record->get("id").value_or("")
                                              : "none";
}

std::string entries(const QList<QAction*>& actions)
{
    std::string text;
    for (QAction* action : actions)
        text += (action->isSeparator() ? std::string("|") : action->text().toStdString()) + " ";
    return text;
}

class Menus : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // stand-ins named for their commands in place of the program's own
        MyAction::releaseActions();
        MainWindow::setCreateActions(nullptr);
        for (Command command : commands) {
            auto action = std::make_unique<QAction>(
                QString::fromUtf8(extends::Commands::nameOf(command).data(),
                                  qsizetype(extends::Commands::nameOf(command).size()))
                    .remove("Action"));
            extends::Commands::registerAction(command, action.get());
            actions_.push_back(std::move(action));
        }
        extends::Commands::setMenuListener([this] {
            ++listened_;
            shown_ = pointed();
        });
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        for (Command command : commands)
            extends::Commands::unregisterAction(command);
        extends::Commands::setMenuListener(nullptr);
        MainWindow::setCreateActions(MyAction::createActions);
    }
    std::vector<std::unique_ptr<QAction>> actions_;
    int listened_ = 0;
    std::string shown_; // the row of the mouse cell when a menu last showed
};

TEST_F(Menus, MenuBarAndToolBarInTheirOrder)
{
    openWindow();
    EXPECT_EQ(entries(window_->menu("&File")->actions()), "FindTableItem Exit ");
    EXPECT_EQ(entries(window_->menu("&Edit")->actions()), "Add Remove ");
    EXPECT_EQ(entries(window_->menu("&Net")->actions()),
              "OpenHomePage OpenSubPage | InboundLinks GoogleSearch | PageRank ");
    EXPECT_EQ(entries(window_->menu("&Products")->actions()), "FirstProduct SecondProduct ");
    EXPECT_EQ(entries(window_->menu("&Help")->actions()), "Home Help About ");
    EXPECT_EQ(entries(window_->toolBar()->actions()),
              "Add Remove | FindTableItem | OpenHomePage OpenSubPage | GoogleSearch InboundLinks "
              "PageRank | Help About ");
    emit window_->menu("&Edit")->aboutToShow();
    emit window_->menu("&Net")->aboutToShow();
    emit window_->menu("&Help")->aboutToShow();
    EXPECT_EQ(listened_, 2);
}

TEST_F(Menus, ContextMenusOfEachTable)
{
    addProduct("Solo", "1");
    for (const char* id : {"a.com", "b.com", "c.com", "d.com", "e.com"})
        addSite("Shareware_Sites", id);
    openWindow();
    const std::string common = "Add FindTableItem Remove | OpenHomePage OpenSubPage | OpenURL "
                               "OpenWithDefaultBrowser | PageRank ";
    EXPECT_EQ(entries(viewAt(0)->menuManager()->actions()), common + "MoveToBlackSites ");
    EXPECT_EQ(
        entries(viewAt(1)->menuManager()->actions()),
        "Add FindTableItem Remove | OpenHomePage | OpenURL OpenWithDefaultBrowser | PageRank ");
    EXPECT_EQ(entries(viewAt(2)->menuManager()->actions()), common + "MoveToSharewareSites ");
    EXPECT_EQ(entries(viewAt(3)->menuManager()->actions()),
              common +
                  "InboundLinks GoogleSearch | MoveToSharewareSites MoveToBlackSites | "
                  "RemoveTemp_Sites ");
    EXPECT_EQ(entries(viewAt(4)->menuManager()->actions()),
              "Add FindTableItem | OpenHomePage OpenSubPage | OpenURL OpenWithDefaultBrowser | "
              "PageRank | "
              "SynchronizeSites | Today Version | CopyUsername CopyPassword | MoveToBlackSites ");
    emit viewAt(3)->menuManager()->aboutToShow();
    EXPECT_EQ(listened_, 1);

    // the Menu key: the menu at the current cell, acting on its row, not on the last click's
    QAction* browser = extends::Commands::find(Command::OpenWithDefaultBrowserAction);
    QMenu* menu = viewAt(0)->menuManager();
    std::string ran;
    QObject::connect(browser, &QAction::triggered, menu, [&ran] { ran = pointed(); });
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    selectTab(0);
    const std::vector<std::string> ids = idsShown(0);
    ASSERT_EQ(ids.size(), 5u);
    QTableView* table = viewerAt(0)->getTable();
    clickRow(0, 1);
    for (int down = 0; down < 3; ++down)
        QTest::keyClick(table, Qt::Key_Down);
    ASSERT_EQ(table->currentIndex().row(), 4);
    auto menuKey = [table, menu] {
        // as the window hands the key to the focused widget
        ASSERT_EQ(QApplication::focusWidget(), table);
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(1, 1),
                              table->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(table, &key);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    };
    menuKey();
    EXPECT_EQ(shown_, ids[4]);
    EXPECT_TRUE(menu->geometry().contains(table->viewport()->mapToGlobal(
        table->visualRect(table->currentIndex()).center() + QPoint(1, 1))));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(browser).center());
    EXPECT_EQ(ran, ids[4]);
    QApplication::processEvents();
    EXPECT_EQ(pointed(), ids[1]);
    // a right click still takes the cell under the pointer, also one that closes such a menu
    menuKey();
    const QPoint third = table->visualRect(table->model()->index(2, 1)).center();
    QTest::keyClick(menu, Qt::Key_Escape); // the press outside closes the menu first
    QTest::mouseClick(table->viewport(), Qt::RightButton, {}, third);
    QApplication::processEvents();
    QContextMenuEvent click(QContextMenuEvent::Mouse, third, table->viewport()->mapToGlobal(third));
    QApplication::sendEvent(table->viewport(), &click);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    EXPECT_EQ(shown_, ids[2]);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(browser).center());
    EXPECT_EQ(ran, ids[2]);
    QApplication::processEvents();
    EXPECT_EQ(pointed(), ids[2]);
}

TEST_F(Menus, OpeningAndHoveringMenusLeavesTheStatusLineAlone)
{
    addSite("Shareware_Sites", "a.com");
    openWindow();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    const std::string result = "3 URLs linking to http://www.mine.example/";
    // each entry of an open menu, then the menu closed
    auto hoverEntries = [this, &result](QMenu* menu, const std::string& name) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu)) << name;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                QTest::mouseMove(menu, menu->actionGeometry(action).center());
        QTest::keyClick(menu, Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_EQ(status(), result) << name;
    };
    QMenuBar* bar = window_->menuBar();
    for (QAction* item : bar->actions()) {
        window_->setStatus(result);
        QTest::mouseMove(bar, bar->actionGeometry(item).center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(item).center());
        hoverEntries(item->menu(), item->text().toStdString());
    }
    window_->setStatus(result);
    for (QAction* action : window_->toolBar()->actions())
        if (QWidget* button = window_->toolBar()->widgetForAction(action))
            QTest::mouseMove(button);
    QTest::mouseMove(viewerAt(0)->getTable()->viewport());
    EXPECT_EQ(status(), result) << "tool bar";
    window_->setStatus(result);
    viewAt(0)->menuManager()->popup(window_->mapToGlobal(QPoint(50, 150)));
    hoverEntries(viewAt(0)->menuManager(), "context menu");
    window_->setStatus("");
    EXPECT_EQ(status(), "");
}

} // namespace
} // namespace qmk::test
