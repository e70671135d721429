#include "qmk/extends/Commands.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include <array>

namespace qmk::extends::Commands {

namespace {

#define QMK_COMMAND_COUNT(Name) +1
constexpr std::size_t count = 0 QMK_COMMANDS(QMK_COMMAND_COUNT);
#undef QMK_COMMAND_COUNT

std::array<QPointer<QAction>, count>& registry()
{
    static std::array<QPointer<QAction>, count> actions;
    return actions;
}

std::function<void()>& listener()
{
    static std::function<void()> menuListener;
    return menuListener;
}

} // namespace

std::string_view nameOf(Command command)
{
    static constexpr std::array<std::string_view, count> names = {
#define QMK_COMMAND_NAME(Name) #Name,
        QMK_COMMANDS(QMK_COMMAND_NAME)
#undef QMK_COMMAND_NAME
    };
    return names[std::size_t(command)];
}

void registerAction(Command command, QAction* action)
{
    registry()[std::size_t(command)] = action;
}

void unregisterAction(Command command)
{
    registry()[std::size_t(command)] = nullptr;
}

QAction* find(Command command)
{
    return registry()[std::size_t(command)].data();
}

void run(Command command)
{
    // a command's run does not depend on its enabled state, which only the menus look at
    if (QAction* action = find(command))
        emit action->triggered(false);
}

void addTo(QMenu* menu, Command command)
{
    if (QAction* action = find(command))
        menu->addAction(action);
}

void setMenuListener(std::function<void()> menuListener)
{
    listener() = std::move(menuListener);
}

void menuAboutToShow()
{
    if (listener())
        listener()();
}

} // namespace qmk::extends::Commands
