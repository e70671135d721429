#include "qmk/extends/Commands.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include <map>

namespace qmk::extends::Commands {

namespace {

std::map<std::string, QPointer<QAction>, std::less<>>& registry() {
  static std::map<std::string, QPointer<QAction>, std::less<>> actions;
  return actions;
}

std::function<void()>& listener() {
  static std::function<void()> menuListener;
  return menuListener;
}

}  // namespace

void registerAction(const std::string& name, QAction* action) { registry()[name] = action; }

void unregisterAction(const std::string& name) { registry().erase(name); }

QAction* find(std::string_view name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : it->second.data();
}

void run(std::string_view name) {
  // a command's run does not depend on its enabled state, which only the menus look at
  if (QAction* action = find(name)) emit action->triggered(false);
}

void addTo(QMenu* menu, std::string_view name) {
  if (QAction* action = find(name)) menu->addAction(action);
}

void setMenuListener(std::function<void()> menuListener) { listener() = std::move(menuListener); }

void menuAboutToShow() {
  if (listener()) listener()();
}

}  // namespace qmk::extends::Commands
