#pragma once
// Where the window finds the program's command objects. The command set registers one shared
// QAction per command class name ("AddAction", "TodayAction", ...); menus, the tool bar and the
// context menus place whatever is registered, and skip what is not (yet). Actions are not
// owned here. UI thread only.
#include <functional>
#include <string>
#include <string_view>

class QAction;
class QMenu;

namespace qmk::extends::Commands {

void registerAction(const std::string& name, QAction* action);
void unregisterAction(const std::string& name);
// The command registered under that name, or null.
QAction* find(std::string_view name);
// Runs the command (its triggered signal, whatever its enabled state); nothing when it is
// not registered.
void run(std::string_view name);
// Appends the command to the menu when it is registered.
void addTo(QMenu* menu, std::string_view name);

// The listener that sets the commands' enabled state before a listening menu shows.
void setMenuListener(std::function<void()> listener);
// Calls the listener, if any (connected to the aboutToShow of each listening menu).
void menuAboutToShow();

}  // namespace qmk::extends::Commands
