#pragma once
// The program's commands. createActions makes one object of each class, once, and registers it
// under its Command value (extends/Commands.h), so the menus, the tool bar and the context menus
// all place the same QAction; the module variables below reach them. The objects have no
// parent and live until releaseActions. UI thread only.
#include <QAction>

#include <memory>
#include <string>

namespace qmk {
class ViewerRecords;
namespace base {
class BaseRecord;
}
} // namespace qmk

namespace qmk::MyAction {

// A command: text "&Label@Accel" (label with mnemonic, accelerator after "@"), an image and an
// optional disabled image by file name, a tool tip. Triggering it calls run.
class Action : public QAction {
    Q_OBJECT

public:
    Action(const std::string& text, const std::string& image, const std::string& toolTip,
           const std::string& disabledImage = {});
    virtual void run() = 0;
};

#define QMK_COMMAND(Name)                                                                          \
    class Name : public Action {                                                                   \
    public:                                                                                        \
        Name();                                                                                    \
        void run() override;                                                                       \
    };

QMK_COMMAND(ExitAction)
QMK_COMMAND(AboutAction)
QMK_COMMAND(RefreshViewAction)
QMK_COMMAND(AddAction)
QMK_COMMAND(RemoveAction)
QMK_COMMAND(HomeAction)
QMK_COMMAND(MoveToSharewareSitesAction)
QMK_COMMAND(MoveToBlackSitesAction)
QMK_COMMAND(PageRankAction)
QMK_COMMAND(SynchronizeSitesAction)
QMK_COMMAND(HelpAction)
QMK_COMMAND(OpenURLAction)
QMK_COMMAND(OpenWithDefaultBrowserAction)
QMK_COMMAND(CopyLocationURLAction)
QMK_COMMAND(RemoveTemp_SitesAction)
QMK_COMMAND(ListedUrlAction)
QMK_COMMAND(SubPageAction)
QMK_COMMAND(OpenHomePageAction)
QMK_COMMAND(OpenSubPageAction)
QMK_COMMAND(CopyUsernameAction)
QMK_COMMAND(CopyPasswordAction)
QMK_COMMAND(SubmitProductAction)
#undef QMK_COMMAND

// The two stamps of a listing row: run stamps the selected row of the current tab, stamp the
// given row of the given table (the row of a cell typed into). Outside a product's listing table
// both only clear the status line.
class TodayAction : public Action {
public:
    TodayAction();
    void run() override;
    void stamp(ViewerRecords* table, const std::shared_ptr<base::BaseRecord>& record);
};

class VersionAction : public Action {
public:
    VersionAction();
    void run() override;
    // The version is the one the PAD file of the table's product holds.
    void stamp(ViewerRecords* table, const std::shared_ptr<base::BaseRecord>& record);
};

// The four commands whose work is a worker of its own: the find prompt calls the first three
// back with the text the user entered; run of CheckUpdateAction calls checkUpdate.
class FindTableItemAction : public Action {
public:
    FindTableItemAction();
    void run() override;
    virtual void findInTables(const std::string& text);
};

class InboundLinksAction : public Action {
public:
    InboundLinksAction();
    void run() override;
    virtual void getInboundLinks(const std::string& text);
};

class GoogleSearchAction : public Action {
public:
    GoogleSearchAction();
    void run() override;
    virtual void searchSites(const std::string& text);
};

class CheckUpdateAction : public Action {
public:
    CheckUpdateAction();
    void run() override;
    virtual void checkUpdate();
};

// Makes the 28 commands in their fixed order, registers each and installs the menu listener;
// later calls do nothing until releaseActions.
void createActions();
// Unregisters and deletes them and sets the module variables back to null (at the end of the
// run).
void releaseActions();

extern ExitAction* exitAction;
extern AboutAction* aboutAction;
extern RefreshViewAction* refreshViewAction;
extern AddAction* addAction;
extern RemoveAction* removeAction;
extern HomeAction* homeAction;
extern MoveToSharewareSitesAction* moveToSharewareSitesAction;
extern MoveToBlackSitesAction* moveToBlackSitesAction;
extern PageRankAction* pageRankAction;
extern SynchronizeSitesAction* synchronizeSitesAction;
extern HelpAction* helpAction;
extern OpenURLAction* openURLAction;
extern OpenWithDefaultBrowserAction* openWithDefaultBrowserAction;
extern TodayAction* todayAction;
extern VersionAction* versionAction;
extern CopyLocationURLAction* copyLocationURLAction;
extern FindTableItemAction* findTableItemAction;
extern InboundLinksAction* inboundLinksAction;
extern RemoveTemp_SitesAction* removeTemp_SitesAction;
extern GoogleSearchAction* googleSearchAction;
extern ListedUrlAction* listedUrlAction;
extern SubPageAction* subPageAction;
extern OpenHomePageAction* openHomePageAction;
extern OpenSubPageAction* openSubPageAction;
extern CopyUsernameAction* copyUsernameAction;
extern CopyPasswordAction* copyPasswordAction;
extern CheckUpdateAction* checkUpdateAction;
extern SubmitProductAction* submitProductAction;

} // namespace qmk::MyAction
