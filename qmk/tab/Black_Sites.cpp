#include "qmk/tab/Black_Sites.h"

#include "qmk/extends/Commands.h"

#include <QMenu>

namespace qmk::tab {

Black_Sites* Black_Sites::getInstance()
{
    static Black_Sites* instance = new Black_Sites(); // kept for the whole run
    return instance;
}

void Black_Sites::addTableMenuItems()
{
    if (!menu_)
        return;
    using extends::Command;
    using extends::Commands::addTo;
    addTo(menu_, Command::MoveToSharewareSitesAction);
}

} // namespace qmk::tab
