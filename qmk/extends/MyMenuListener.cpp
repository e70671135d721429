#include "qmk/extends/MyMenuListener.h"

#include "dwin/net/Services.h"
#include "qmk/Base.h"
#include "qmk/Report.h"
#include "qmk/MyAction.h"
#include "qmk/dialog/WebBrowserDialog.h"
#include "qmk/tab/Listed_Urls.h"
#include "qmk/tab/Softwares.h"
#include "qmk/tab/Temp_Sites.h"

namespace qmk::extends {

namespace {

void setEnabled(QAction* action, bool enabled)
{
    if (action)
        action->setEnabled(enabled);
}

base::RecordPtr failed(const std::string& reason)
{
    report::trace("isSubmitProductEnabled failed: " + reason);
    return nullptr;
}

} // namespace

MyMenuListener& MyMenuListener::getInstance()
{
    static MyMenuListener listener;
    return listener;
}

void MyMenuListener::menuAboutToShow()
{
    updateActions();
}

void MyMenuListener::updateActions()
{
    using namespace MyAction;
    const base::RecordPtr record = selectedRecord();
    const bool selected = record != nullptr;
    const std::string table = currentTableName().value_or(std::string());
    const bool listing =
        currentViewerRecords() && tab::Listed_Urls::listedUrlsFor(table) != nullptr;
    const bool temp = currentViewerRecords() && table == tab::Temp_Sites::getInstance()->name;
    const bool software = currentViewerRecords() && table == tab::Softwares::getInstance()->name;
    const std::optional<std::string> address = cellUrl();
    const bool cellAddress = address && !address->empty();
    const bool homePage = selected && isUsableValue(record->get(software ? "home" : "id"));
    const bool submitPage =
        !software && selected && isSubPageAddress(getSubPage(*record).value_or(""));

    setEnabled(moveToBlackSitesAction, selected);
    setEnabled(moveToSharewareSitesAction, selected);
    setEnabled(pageRankAction, selected);
    setEnabled(removeAction, selected);
    setEnabled(todayAction, selected && listing);
    setEnabled(versionAction, selected && listing);
    setEnabled(subPageAction, selected && listing);
    setEnabled(listedUrlAction, selected && listing);
    setEnabled(openWithDefaultBrowserAction, cellAddress);
    setEnabled(openURLAction, cellAddress);
    setEnabled(inboundLinksAction, temp);
    setEnabled(googleSearchAction, temp);
    setEnabled(openHomePageAction, homePage);
    setEnabled(openSubPageAction, submitPage);
    setEnabled(copyUsernameAction, !userName().value_or(std::string()).empty());
    setEnabled(copyPasswordAction, !password().value_or(std::string()).empty());
    setEnabled(submitProductAction, isSubmitProductEnabled() != nullptr);
}

base::RecordPtr MyMenuListener::isSubmitProductEnabled()
{
    if (!dialog::WebBrowserDialog::instance())
        return failed("webBrowser is null");
    const std::string table = currentTableName().value_or(std::string());
    tab::Listed_Urls* listing = tab::Listed_Urls::currentListedUrls();
    if (!listing || !currentViewerRecords() || table != listing->name)
        return failed("softName incorrect " + table);
    const base::RecordPtr record = selectedRecord();
    if (!record)
        return failed("record not selected");
    const std::string id = getId(*record).value_or(std::string());
    if (id != dwin::net::downloadSiteDomain())
        return failed("id incorrect " + id);
    const std::string listedUrl = getListedUrl(*record).value_or(std::string());
    if (listedUrl.find("[cid]") == std::string::npos)
        return failed("record listed_url incorrect " + listedUrl);
    base::RecordPtr product = tab::Softwares::getInstance()->getById(listing->name);
    if (!product)
        return nullptr;
    if (getPadLocale(*product).value_or(std::string()).empty() ||
        getExeLocale(*product).value_or(std::string()).empty())
        failed("pad_locale or exe_locale not setted");
    return product;
}

} // namespace qmk::extends
