#include "qmk/tab/Shareware_Sites.h"

#include "qmk/extends/Commands.h"

#include <QMenu>

namespace qmk::tab {

Shareware_Sites* Shareware_Sites::getInstance()
{
    static Shareware_Sites* instance = new Shareware_Sites(); // kept for the whole run
    return instance;
}

void Shareware_Sites::addTableMenuItems()
{
    if (!menu_)
        return;
    using extends::Command;
    using extends::Commands::addTo;
    addTo(menu_, Command::MoveToBlackSitesAction);
}

} // namespace qmk::tab
