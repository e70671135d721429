#include "qmk/tab/Temp_Sites.h"

#include "qmk/extends/Commands.h"

#include <QMenu>

namespace qmk::tab {

Temp_Sites* Temp_Sites::getInstance() {
  static Temp_Sites* instance = new Temp_Sites();  // kept for the whole run
  return instance;
}

void Temp_Sites::addTableMenuItems() {
  if (!menu_) return;
  using extends::Commands::addTo;
  addTo(menu_, "InboundLinksAction");
  addTo(menu_, "GoogleSearchAction");
  menu_->addSeparator();
  addTo(menu_, "MoveToSharewareSitesAction");
  addTo(menu_, "MoveToBlackSitesAction");
  menu_->addSeparator();
  addTo(menu_, "RemoveTemp_SitesAction");
}

}  // namespace qmk::tab
