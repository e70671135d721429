// Menus, tool bar and context menus place the registered commands in their order.
#include "Fixture.h"

#include "qmk/extends/Commands.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

namespace qmk::test {
namespace {

const char* const commandNames[] = {
    "AddAction", "RemoveAction", "FindTableItemAction", "ExitAction", "OpenHomePageAction", "OpenSubPageAction",
    "InboundLinksAction", "GoogleSearchAction", "PageRankAction", "FirstProductAction", "SecondProductAction",
    "HomeAction", "HelpAction", "AboutAction", "OpenURLAction", "OpenWithDefaultBrowserAction",
    "MoveToBlackSitesAction", "MoveToSharewareSitesAction", "RemoveTemp_SitesAction", "SynchronizeSitesAction",
    "TodayAction", "VersionAction", "CopyUsernameAction", "CopyPasswordAction"};

std::string entries(const QList<QAction*>& actions) {
  std::string text;
  for (QAction* action : actions) text += (action->isSeparator() ? std::string("|") : action->text().toStdString()) + " ";
  return text;
}

class Menus : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    for (const char* name : commandNames) {
      auto action = std::make_unique<QAction>(QString(name).remove("Action"));
      extends::Commands::registerAction(name, action.get());
      actions_.push_back(std::move(action));
    }
    extends::Commands::setMenuListener([this] { ++listened_; });
  }
  void TearDown() override {
    WindowTest::TearDown();
    for (const char* name : commandNames) extends::Commands::unregisterAction(name);
    extends::Commands::setMenuListener(nullptr);
  }
  std::vector<std::unique_ptr<QAction>> actions_;
  int listened_ = 0;
};

TEST_F(Menus, MenuBarAndToolBarInTheirOrder) {
  openWindow();
  EXPECT_EQ(entries(window_->menu("&File")->actions()), "FindTableItem Exit ");
  EXPECT_EQ(entries(window_->menu("&Edit")->actions()), "Add Remove ");
  EXPECT_EQ(entries(window_->menu("&Net")->actions()),
            "OpenHomePage OpenSubPage | InboundLinks GoogleSearch | PageRank ");
  EXPECT_EQ(entries(window_->menu("&Products")->actions()), "FirstProduct SecondProduct ");
  EXPECT_EQ(entries(window_->menu("&Help")->actions()), "Home Help About ");
  EXPECT_EQ(entries(window_->toolBar()->actions()),
            "Add Remove | FindTableItem | OpenHomePage OpenSubPage | GoogleSearch InboundLinks PageRank | Help About ");
  emit window_->menu("&Edit")->aboutToShow();
  emit window_->menu("&Net")->aboutToShow();
  emit window_->menu("&Help")->aboutToShow();
  EXPECT_EQ(listened_, 2);
}

TEST_F(Menus, ContextMenusOfEachTable) {
  addProduct("Solo", "1");
  openWindow();
  const std::string common = "Add FindTableItem Remove | OpenHomePage OpenSubPage | OpenURL OpenWithDefaultBrowser | PageRank ";
  EXPECT_EQ(entries(viewAt(0)->menuManager()->actions()), common + "MoveToBlackSites ");
  EXPECT_EQ(entries(viewAt(1)->menuManager()->actions()),
            "Add FindTableItem Remove | OpenHomePage | OpenURL OpenWithDefaultBrowser | PageRank ");
  EXPECT_EQ(entries(viewAt(2)->menuManager()->actions()), common + "MoveToSharewareSites ");
  EXPECT_EQ(entries(viewAt(3)->menuManager()->actions()),
            common + "InboundLinks GoogleSearch | MoveToSharewareSites MoveToBlackSites | RemoveTemp_Sites ");
  EXPECT_EQ(entries(viewAt(4)->menuManager()->actions()),
            "Add FindTableItem | OpenHomePage OpenSubPage | OpenURL OpenWithDefaultBrowser | PageRank | "
            "SynchronizeSites | Today Version | CopyUsername CopyPassword | MoveToBlackSites ");
  emit viewAt(3)->menuManager()->aboutToShow();
  EXPECT_EQ(listened_, 1);
}

}  // namespace
}  // namespace qmk::test
