#include "qmk/tab/Temp_Sites.h"

#include "qmk/extends/Commands.h"

#include <QMenu>

namespace qmk::tab {

Temp_Sites* Temp_Sites::getInstance()
{
    static Temp_Sites* instance = new Temp_Sites(); // kept for the whole run
    return instance;
}

void Temp_Sites::addTableMenuItems()
{
    if (!menu_)
        return;
    using extends::Command;
    using extends::Commands::addTo;
    addTo(menu_, Command::InboundLinksAction);
    addTo(menu_, Command::GoogleSearchAction);
    menu_->addSeparator();
    addTo(menu_, Command::MoveToSharewareSitesAction);
    addTo(menu_, Command::MoveToBlackSitesAction);
    menu_->addSeparator();
    addTo(menu_, Command::RemoveTemp_SitesAction);
}

} // namespace qmk::tab
