// PLACEHOLDER: the command set replaces these.
#include "qmk/MyAction.h"

namespace qmk::MyAction {

void ExitAction::run() {}
void RefreshViewAction::run() {}
void AddAction::run() {}
void RemoveAction::run() {}
void HomeAction::run() {}
void MoveToSharewareSitesAction::run() {}
void MoveToBlackSitesAction::run() {}
void PageRankAction::run() {}
void SynchronizeSitesAction::run() {}
void HelpAction::run() {}
void OpenURLAction::run() {}
void OpenWithDefaultBrowserAction::run() {}
void TodayAction::run() {}
void VersionAction::run() {}
void RemoveTemp_SitesAction::run() {}
void ListedUrlAction::run() {}
void SubPageAction::run() {}
void OpenHomePageAction::run() {}
void OpenSubPageAction::run() {}
void CopyUsernameAction::run() {}
void CopyPasswordAction::run() {}

}  // namespace qmk::MyAction
