// PLACEHOLDER: the find, harvest and listing-check work replaces these.
#include "qmk/MyAction.h"

namespace qmk::MyAction {

void FindTableItemAction::run() {}
void FindTableItemAction::findInTables(const std::string&) {}
void InboundLinksAction::run() {}
void InboundLinksAction::getInboundLinks(const std::string&) {}
void GoogleSearchAction::run() {}
void GoogleSearchAction::searchSites(const std::string&) {}
void CheckUpdateAction::run() {}
void CheckUpdateAction::checkUpdate() {}

}  // namespace qmk::MyAction
