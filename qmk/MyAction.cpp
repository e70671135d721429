#include "qmk/MyAction.h"

#include "qmk/MainWindow.h"
#include "qmk/ProductsAction.h"
#include "qmk/config/ImageManager.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/MyMenuListener.h"
#include "qmk/extends/ShortcutGuard.h"
#include "qmk/extends/TableViewer.h"

#include <QKeySequence>

#include <functional>
#include <memory>
#include <vector>

namespace qmk::MyAction {

namespace {

using extends::Command;

// Each made command with the module variable that points at it.
struct Made {
    Command command;
    std::unique_ptr<Action> action;
    std::function<void()> forget;
};

std::vector<Made>& made()
{
    static std::vector<Made> actions;
    return actions;
}

template <class T>
void make(T*& variable, Command command)
{
    auto action = std::make_unique<T>();
    variable = action.get();
    extends::Commands::registerAction(command, variable);
    made().push_back({command, std::move(action), [&variable] { variable = nullptr; }});
}

} // namespace

Action::Action(const std::string& text, const std::string& image, const std::string& toolTip,
               const std::string& disabledImage)
{
    const std::size_t at = text.find('@');
    setText(QString::fromStdString(text.substr(0, at)));
    if (at != std::string::npos)
        setShortcut(QKeySequence(QString::fromStdString(text.substr(at + 1))));
    auto& images = config::ImageManager::getInstance();
    QIcon icon = images.icon(image);
    if (!disabledImage.empty())
        if (const QPixmap* disabled = images.get(disabledImage))
            icon.addPixmap(*disabled, QIcon::Disabled);
    setIcon(icon);
    setToolTip(QString::fromStdString(toolTip));
    connect(this, &QAction::triggered, this, [this] {
        // The edit open in a cell goes to the file first; one refused or not stored keeps its
        // report, and the command does not run; so does one that a click elsewhere ended, until
        // the user acts in the window again (the menu that click opened, the browser's menu).
        if (extends::TableViewer::commandsHeld())
            return;
        if (MainWindow* window = MainWindow::getInstance(); window && !window->commitOpenEditors())
            return;
        run();
    });
}

ExitAction::ExitAction() : Action("E&xit@Alt+F4", "exit16.png", "Exit")
{
}
AboutAction::AboutAction() : Action("&About@Ctrl+A", "about16.png", "About this Software")
{
}
RefreshViewAction::RefreshViewAction() : Action("&Refresh@Ctrl+R", "refresh16.gif", "Refresh Table")
{
}
AddAction::AddAction()
    : Action("&Add Record@Ctrl+B", "add16.gif", "Add a record", "addDisabled16.gif")
{
}
RemoveAction::RemoveAction()
    : Action("&Remove Record@Ctrl+X", "remove16.gif", "Remove Record", "removeDisabled16.gif")
{
}
HomeAction::HomeAction() : Action("&Home@F1", "home16.png", "Homepage")
{
}
MoveToSharewareSitesAction::MoveToSharewareSitesAction()
    : Action("&Move to Shareware Sites List@Ctrl+S", "sharewareSites16.gif",
             "Move this site to Shareware Sites list")
{
}
MoveToBlackSitesAction::MoveToBlackSitesAction()
    : Action("&Move to Black Sites List@Ctrl+M", "blackSites16.gif",
             "Move this site to Black Sites list")
{
}
PageRankAction::PageRankAction()
    : Action("&Get PageRank@Ctrl+G", "pagerank16.png", "get Google PageRank")
{
}
SynchronizeSitesAction::SynchronizeSitesAction()
    : Action("&Synchronize Shareware Sites@Ctrl+Y", "synchronize16.png",
             "Synchronize all Shareware Sites")
{
}
HelpAction::HelpAction()
    : Action("&Help@Ctrl+H", "help16.gif", "Software Usage", "helpDisabled16.gif")
{
}
OpenURLAction::OpenURLAction()
    : Action("Open &URL with internal Browser", "ie16.png", "Open URL with internal Browser")
{
}
OpenWithDefaultBrowserAction::OpenWithDefaultBrowserAction()
    : Action("Open URL with default Browser@Ctrl+D", "openBrowser16.png",
             "Open URL with Default Browser")
{
}
TodayAction::TodayAction()
    : Action("Set submit date to &Today", "today16.png",
             "paste today e.g. 20080607 format:YYYYMMDD")
{
}
VersionAction::VersionAction()
    : Action("Set &version to current Version", "version16.png",
             "Versin number for Submited or listed software")
{
}
CopyLocationURLAction::CopyLocationURLAction()
    : Action("&Copy Location URL to clipboard", "url16.png",
             "Copy Location URL of Web Browser to Clipboard")
{
}
FindTableItemAction::FindTableItemAction()
    : Action("Find &TableItem@Ctrl+F", "find16.png", "Find TableItem")
{
}
InboundLinksAction::InboundLinksAction()
    : Action("Get Yahoo Inbound Links", "yahoo16.png", "Get Yahoo Inbound Links")
{
}
RemoveTemp_SitesAction::RemoveTemp_SitesAction()
    : Action("Remove &All Record", "remove16.gif", "Remove All Record", "removeDisabled16.gif")
{
}
GoogleSearchAction::GoogleSearchAction()
    : Action("Get Sites from Google", "google16.png", "Get Sites from Google Search")
{
}
ListedUrlAction::ListedUrlAction()
    : Action("Set &listed url to current URL", "url16.png", "Set listed_url field to current URL")
{
}
SubPageAction::SubPageAction()
    : Action("Set &submit page to current URL", "url16_2.png", "Set sub_page field to current URL")
{
}
OpenHomePageAction::OpenHomePageAction()
    : Action("Open &Home Page", "home16.png", "Open Home Page in internal Browser")
{
}
OpenSubPageAction::OpenSubPageAction()
    : Action("Open &Submit Page", "url16_2.png", "Open Submit Page in internal Browser")
{
}
CopyUsernameAction::CopyUsernameAction()
    : Action("Copy &username to clipboard", "keyUser16.gif", "Copy &username to clipboard")
{
}
CopyPasswordAction::CopyPasswordAction()
    : Action("Copy &password to clipboard", "keyPass16.gif", "Copy &password to clipboard")
{
}
CheckUpdateAction::CheckUpdateAction()
    : Action("&Check Update", "systemSoftwareUpdate16.png", "Check Update Now")
{
}
SubmitProductAction::SubmitProductAction()
    : Action("&Submit Product", "opmlExportAll16.png", "Submit Product")
{
}

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

void createActions()
{
    ProductsAction::createActions();
    if (!made().empty())
        return;
    make(exitAction, Command::ExitAction);
    make(aboutAction, Command::AboutAction);
    make(refreshViewAction, Command::RefreshViewAction);
    make(addAction, Command::AddAction);
    make(removeAction, Command::RemoveAction);
    make(homeAction, Command::HomeAction);
    make(moveToSharewareSitesAction, Command::MoveToSharewareSitesAction);
    make(moveToBlackSitesAction, Command::MoveToBlackSitesAction);
    make(pageRankAction, Command::PageRankAction);
    make(synchronizeSitesAction, Command::SynchronizeSitesAction);
    make(helpAction, Command::HelpAction);
    make(openURLAction, Command::OpenURLAction);
    make(openWithDefaultBrowserAction, Command::OpenWithDefaultBrowserAction);
    make(todayAction, Command::TodayAction);
    make(versionAction, Command::VersionAction);
    make(copyLocationURLAction, Command::CopyLocationURLAction);
    make(findTableItemAction, Command::FindTableItemAction);
    make(inboundLinksAction, Command::InboundLinksAction);
    make(removeTemp_SitesAction, Command::RemoveTemp_SitesAction);
    make(googleSearchAction, Command::GoogleSearchAction);
    make(listedUrlAction, Command::ListedUrlAction);
    make(subPageAction, Command::SubPageAction);
    make(openHomePageAction, Command::OpenHomePageAction);
    make(openSubPageAction, Command::OpenSubPageAction);
    make(copyUsernameAction, Command::CopyUsernameAction);
    make(copyPasswordAction, Command::CopyPasswordAction);
    make(checkUpdateAction, Command::CheckUpdateAction);
    make(submitProductAction, Command::SubmitProductAction);
    extends::Commands::setMenuListener([] { extends::MyMenuListener::updateActions(); });
    extends::ShortcutGuard::install();
}

void releaseActions()
{
    if (made().empty())
        return;
    extends::Commands::setMenuListener(nullptr);
    extends::ShortcutGuard::uninstall();
    for (Made& entry : made()) {
        extends::Commands::unregisterAction(entry.command);
        entry.forget();
    }
    made().clear();
}

} // namespace qmk::MyAction
