#pragma once
// Where the window finds the program's command objects. Each command is named once, in
// QMK_COMMANDS; the command set registers one shared QAction per command, and the menus, the
// tool bar, the context menus and the cell editor reach it through its Command value. What is
// not (yet) registered is skipped. Actions are not owned here. UI thread only.
#include <functional>
#include <string_view>

class QAction;
class QMenu;

namespace qmk::extends {

// Every command of the window, by its class name.
// clang-format off
#define QMK_COMMANDS(X)                                                                            \
    X(ExitAction) X(AboutAction) X(RefreshViewAction) X(AddAction) X(RemoveAction) X(HomeAction)   \
    X(MoveToSharewareSitesAction) X(MoveToBlackSitesAction) X(PageRankAction)                      \
    X(SynchronizeSitesAction) X(HelpAction) X(OpenURLAction) X(OpenWithDefaultBrowserAction)       \
    X(TodayAction) X(VersionAction) X(CopyLocationURLAction) X(FindTableItemAction)                \
    X(InboundLinksAction) X(RemoveTemp_SitesAction) X(GoogleSearchAction) X(ListedUrlAction)       \
    X(SubPageAction) X(OpenHomePageAction) X(OpenSubPageAction) X(CopyUsernameAction)              \
    X(CopyPasswordAction) X(CheckUpdateAction) X(SubmitProductAction) X(FirstProductAction)        \
    X(SecondProductAction)
// clang-format on

enum class Command {
#define QMK_COMMAND_ENUM(Name) Name,
    QMK_COMMANDS(QMK_COMMAND_ENUM)
#undef QMK_COMMAND_ENUM
};

namespace Commands {

// The class name of the command ("TodayAction").
std::string_view nameOf(Command command);

void registerAction(Command command, QAction* action);
void unregisterAction(Command command);
// The command registered for that value, or null.
QAction* find(Command command);
// Runs the command (its triggered signal, whatever its enabled state); nothing when it is
// not registered.
void run(Command command);
// Appends the command to the menu when it is registered.
void addTo(QMenu* menu, Command command);

// The listener that sets the commands' enabled state before a listening menu shows.
void setMenuListener(std::function<void()> listener);
// Calls the listener, if any (connected to the aboutToShow of each listening menu).
void menuAboutToShow();

} // namespace Commands
} // namespace qmk::extends
