#include "qmk/MyAction.h"

#include "qmk/ProductsAction.h"
#include "qmk/config/ImageManager.h"
#include "qmk/extends/Commands.h"

#include <QKeySequence>

#include <memory>
#include <vector>

namespace qmk::MyAction {

namespace {

std::vector<std::pair<std::string, std::unique_ptr<Action>>>& made() {
  static std::vector<std::pair<std::string, std::unique_ptr<Action>>> actions;
  return actions;
}

template <class T>
void make(T*& variable, const char* name) {
  auto action = std::make_unique<T>();
  variable = action.get();
  extends::Commands::registerAction(name, variable);
  made().emplace_back(name, std::move(action));
}

}  // namespace

Action::Action(const std::string& text, const std::string& image, const std::string& toolTip,
               const std::string& disabledImage) {
  const std::size_t at = text.find('@');
  setText(QString::fromStdString(text.substr(0, at)));
  if (at != std::string::npos) setShortcut(QKeySequence(QString::fromStdString(text.substr(at + 1))));
  auto& images = config::ImageManager::getInstance();
  QIcon icon = images.icon(image);
  if (!disabledImage.empty())
    if (const QPixmap* disabled = images.get(disabledImage)) icon.addPixmap(*disabled, QIcon::Disabled);
  setIcon(icon);
  setToolTip(QString::fromStdString(toolTip));
  connect(this, &QAction::triggered, this, [this] { run(); });
}

ExitAction::ExitAction() : Action("E&xit@Alt+F4", "exit16.png", "Exit") {}
AboutAction::AboutAction() : Action("&About@Ctrl+A", "about16.png", "About this Software") {}
RefreshViewAction::RefreshViewAction() : Action("&Refresh@Ctrl+R", "refresh16.gif", "Refresh Table") {}
AddAction::AddAction() : Action("&Add Record@Ctrl+B", "add16.gif", "Add a record", "addDisabled16.gif") {}
RemoveAction::RemoveAction()
    : Action("&Remove Record@Ctrl+X", "remove16.gif", "Remove Record", "removeDisabled16.gif") {}
HomeAction::HomeAction() : Action("&Home@F1", "home16.png", "Homepage") {}
MoveToSharewareSitesAction::MoveToSharewareSitesAction()
    : Action("&Move to Shareware Sites List@Ctrl+S", "sharewareSites16.gif",
             "Move this site to Shareware Sites list") {}
MoveToBlackSitesAction::MoveToBlackSitesAction()
    : Action("&Move to Black Sites List@Ctrl+M", "blackSites16.gif", "Move this site to Black Sites list") {}
PageRankAction::PageRankAction() : Action("&Get PageRank@Ctrl+G", "pagerank16.png", "get Google PageRank") {}
SynchronizeSitesAction::SynchronizeSitesAction()
    : Action("&Synchronize Shareware Sites@Ctrl+Y", "synchronize16.png", "Synchronize all Shareware Sites") {}
HelpAction::HelpAction() : Action("&Help@Ctrl+H", "help16.gif", "Software Usage", "helpDisabled16.gif") {}
OpenURLAction::OpenURLAction()
    : Action("Open &URL with internal Browser", "ie16.png", "Open URL with internal Browser") {}
OpenWithDefaultBrowserAction::OpenWithDefaultBrowserAction()
    : Action("Open URL with default Browser@Ctrl+D", "openBrowser16.png", "Open URL with Default Browser") {}
TodayAction::TodayAction()
    : Action("Set submit date to &Today", "today16.png", "paste today e.g. 20080607 format:YYYYMMDD") {}
VersionAction::VersionAction()
    : Action("Set &version to current Version", "version16.png", "Versin number for Submited or listed software") {}
CopyLocationURLAction::CopyLocationURLAction()
    : Action("&Copy Location URL to clipboard", "url16.png", "Copy Location URL of Web Browser to Clipboard") {}
FindTableItemAction::FindTableItemAction() : Action("Find &TableItem@Ctrl+F", "find16.png", "Find TableItem") {}
InboundLinksAction::InboundLinksAction()
    : Action("Get Yahoo Inbound Links", "yahoo16.png", "Get Yahoo Inbound Links") {}
RemoveTemp_SitesAction::RemoveTemp_SitesAction()
    : Action("Remove &All Record", "remove16.gif", "Remove All Record", "removeDisabled16.gif") {}
GoogleSearchAction::GoogleSearchAction()
    : Action("Get Sites from Google", "google16.png", "Get Sites from Google Search") {}
ListedUrlAction::ListedUrlAction()
    : Action("Set &listed url to current URL", "url16.png", "Set listed_url field to current URL") {}
SubPageAction::SubPageAction()
    : Action("Set &submit page to current URL", "url16_2.png", "Set sub_page field to current URL") {}
OpenHomePageAction::OpenHomePageAction()
    : Action("Open &Home Page", "home16.png", "Open Home Page in internal Browser") {}
OpenSubPageAction::OpenSubPageAction()
    : Action("Open &Submit Page", "url16_2.png", "Open Submit Page in internal Browser") {}
CopyUsernameAction::CopyUsernameAction()
    : Action("Copy &username to clipboard", "keyUser16.gif", "Copy &username to clipboard") {}
CopyPasswordAction::CopyPasswordAction()
    : Action("Copy &password to clipboard", "keyPass16.gif", "Copy &password to clipboard") {}
CheckUpdateAction::CheckUpdateAction()
    : Action("&Check Update", "systemSoftwareUpdate16.png", "Check Update Now") {}
SubmitProductAction::SubmitProductAction()
    : Action("&Submit Product", "opmlExportAll16.png", "Submit Product") {}

ExitAction* exitAction = nullptr;
AboutAction* aboutAction = nullptr;
RefreshViewAction* refreshViewAction = nullptr;
AddAction* addAction = nullptr;
RemoveAction* removeAction = nullptr;
HomeAction* homeAction = nullptr;
MoveToSharewareSitesAction* moveToSharewareSitesAction = nullptr;
MoveToBlackSitesAction* moveToBlackSitesAction = nullptr;
PageRankAction* pageRankAction = nullptr;
SynchronizeSitesAction* synchronizeSitesAction = nullptr;
HelpAction* helpAction = nullptr;
OpenURLAction* openURLAction = nullptr;
OpenWithDefaultBrowserAction* openWithDefaultBrowserAction = nullptr;
TodayAction* todayAction = nullptr;
VersionAction* versionAction = nullptr;
CopyLocationURLAction* copyLocationURLAction = nullptr;
FindTableItemAction* findTableItemAction = nullptr;
InboundLinksAction* inboundLinksAction = nullptr;
RemoveTemp_SitesAction* removeTemp_SitesAction = nullptr;
GoogleSearchAction* googleSearchAction = nullptr;
ListedUrlAction* listedUrlAction = nullptr;
SubPageAction* subPageAction = nullptr;
OpenHomePageAction* openHomePageAction = nullptr;
OpenSubPageAction* openSubPageAction = nullptr;
CopyUsernameAction* copyUsernameAction = nullptr;
CopyPasswordAction* copyPasswordAction = nullptr;
CheckUpdateAction* checkUpdateAction = nullptr;
SubmitProductAction* submitProductAction = nullptr;

void createActions() {
  ProductsAction::createActions();
  if (!made().empty()) return;
  make(exitAction, "ExitAction");
  make(aboutAction, "AboutAction");
  make(refreshViewAction, "RefreshViewAction");
  make(addAction, "AddAction");
  make(removeAction, "RemoveAction");
  make(homeAction, "HomeAction");
  make(moveToSharewareSitesAction, "MoveToSharewareSitesAction");
  make(moveToBlackSitesAction, "MoveToBlackSitesAction");
  make(pageRankAction, "PageRankAction");
  make(synchronizeSitesAction, "SynchronizeSitesAction");
  make(helpAction, "HelpAction");
  make(openURLAction, "OpenURLAction");
  make(openWithDefaultBrowserAction, "OpenWithDefaultBrowserAction");
  make(todayAction, "TodayAction");
  make(versionAction, "VersionAction");
  make(copyLocationURLAction, "CopyLocationURLAction");
  make(findTableItemAction, "FindTableItemAction");
  make(inboundLinksAction, "InboundLinksAction");
  make(removeTemp_SitesAction, "RemoveTemp_SitesAction");
  make(googleSearchAction, "GoogleSearchAction");
  make(listedUrlAction, "ListedUrlAction");
  make(subPageAction, "SubPageAction");
  make(openHomePageAction, "OpenHomePageAction");
  make(openSubPageAction, "OpenSubPageAction");
  make(copyUsernameAction, "CopyUsernameAction");
  make(copyPasswordAction, "CopyPasswordAction");
  make(checkUpdateAction, "CheckUpdateAction");
  make(submitProductAction, "SubmitProductAction");
}

void releaseActions() {
  for (auto& [name, action] : made()) extends::Commands::unregisterAction(name);
  made().clear();
}

}  // namespace qmk::MyAction
