// What the commands do when run; the harvest, browser and About commands have files of their own.
#include "qmk/MyAction.h"

#include "dwin/sys/win32/Shell32.h"
#include "dwin/time/WallClock.h"
#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/MessageDialog.h"
#include "qmk/Report.h"
#include "qmk/config/Config.h"
#include "qmk/dialog/WebBrowserDialog.h"
#include "qmk/tab/Black_Site.h"
#include "qmk/tab/Black_Sites.h"
#include "qmk/tab/Listed_Urls.h"
#include "qmk/tab/Shareware_Site.h"
#include "qmk/tab/Shareware_Sites.h"
#include "qmk/tab/Softwares.h"
#include "qmk/tab/Temp_Sites.h"

#include <QAbstractItemModel>
#include <QTableView>

#include <ctime>
#include <exception>

namespace qmk::MyAction {

namespace {

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The selected record of the current tab; without one the user is told and null comes back.
base::RecordPtr selectedOrTell()
{
    base::RecordPtr record = selectedRecord();
    if (!record) {
        showStatus("Please selected a record first");
        MessageDialog::openInformation("information", "Please selected a record first");
    }
    return record;
}

std::string idOf(const base::RecordPtr& record)
{
    return record->get("id").value_or(std::string());
}

// The table when it is a product's listing table, else null.
ViewerRecords* listingOrNull(ViewerRecords* records)
{
    return records && tab::Listed_Urls::listedUrlsFor(records->name) ? records : nullptr;
}

bool isCurrentListing(const ViewerRecords* records)
{
    tab::Listed_Urls* current = tab::Listed_Urls::currentListedUrls();
    return records && current && records == current;
}

// The browser window, made on first use; null when the engine cannot be made.
dialog::WebBrowserDialog* browser()
{
    return dialog::WebBrowserDialog::getInstance();
}

void navigate(const std::string& url, const std::string& shown)
{
    dialog::WebBrowserDialog* dialog = browser();
    if (!dialog)
        return;
    dialog->openUrl(url);
    showStatus("navigate to " + shown);
}

// The record of the list whose row the file holds under exactly that key, or null.
base::RecordPtr storedUnder(const ViewerRecords& records, const base::StoredKey& key)
{
    for (const base::RecordPtr& record : records.getRecords())
        if (record && record->isStoredUnder(key.text) && record->storedKey()->sameAs(key))
            return record;
    return nullptr;
}

// The record leaves the list (and its row the table on show), the file holding it no longer.
void unlist(ViewerRecords& records, const base::RecordPtr& record)
{
    records.remove(record);
    record->setUnstored();
    records.recordRemoved(record);
}

// Moves the selected record of the current tab into target as a new record of the target's
// kind, in one write (DB::move): the columns both kinds have, as the file holds the row now,
// under the id its row is stored under (a placeholder typed over it is dropped); the row leaves
// its table (and, from a listing to the black list, the catalogue) with the cascades; the new
// one is selected. A move not stored changes no list: the status line says why.
void moveSelected(tab::TableView& target, bool alsoFromCatalogue)
{
    showStatus("");
    base::RecordPtr record = selectedOrTell();
    auto* current = dynamic_cast<tab::TableView*>(currentViewerRecords());
    if (!record || !current)
        return;
    if (!isUsableValue(base::rowIdOf(*record))) {
        showStatus(DB::unusableIdText);
        return;
    }
    const bool fromListing = isCurrentListing(current);
    base::RecordPtr moved = target.newRecord();
    std::optional<base::StoredKey> site;
    if (!DB::getInstance().move(*record, current->name, *moved, target.name,
                                alsoFromCatalogue && fromListing, site))
        return;
    unlist(*current, record);
    tab::Shareware_Sites* catalogue = tab::Shareware_Sites::getInstance();
    if (base::RecordPtr shown = site && catalogue ? storedUnder(*catalogue, *site) : nullptr)
        unlist(*catalogue, shown);
    // The write's follow-ups may have read the target again: the row is listed once.
    base::RecordPtr listed =
        storedUnder(target, base::StoredKey::ofText(moved->get("id").value_or(std::string())));
    if (!listed) {
        target.add(moved);
        moved->setStored();
        target.recordInserted(moved);
        listed = moved;
    }
    target.selectRecord(listed);
}

// The one column written to the record's row in the file: true when stored. A row the file lacks
// is reported as not stored.
bool writeField(const std::string& table, const base::StoredKey& row, const std::string& column,
                const std::string& value, bool cascade)
{
    DB& db = DB::getInstance();
    if (cascade)
        return db.updateFieldCascade(table, row, column, value);
    const int n = db.updateField(table, row, column, value);
    if (n == 0)
        report::notStored(db.getWindow(), column + " of row " + row.text + " in " + table,
                          DB::noSuchRowText);
    return n > 0;
}

// Sets the column of the record and writes it (with its cascade when asked); a write that is
// not stored puts the old value back. A row never stored keeps the value without a write, as a
// cell edit does: it is stored with it once its id is set. True unless the write failed.
bool storeField(ViewerRecords& records, const base::RecordPtr& record, const std::string& column,
                const std::string& value, bool cascade)
{
    const std::optional<std::string> old = record->get(column);
    if (!record->set(column, value))
        return false;
    records.recordChanged(record);
    const std::optional<base::StoredKey> row = writableKeyOf(*record);
    if (!row)
        return true;
    const bool stored = writeField(records.name, *row, column, value, cascade);
    if (!stored) {
        record->set(column, old.value_or(std::string()));
        records.recordChanged(record);
    }
    return stored;
}

// Sets one column of the row of the current tab whose id is the host of the browser's page.
void stampLocation(const std::string& column, const std::string& refused, const std::string& done,
                   bool cascade)
{
    showStatus("");
    dialog::WebBrowserDialog* dialog = browser();
    if (!dialog)
        return;
    const std::string location = dialog->getLocationUrl();
    if (location.empty()) {
        showStatus("not got location URL");
        return;
    }
    const std::string host = normalizeUrl(location, true);
    ViewerRecords* records = currentViewerRecords();
    if (!records)
        return;
    base::RecordPtr record = records->getById(host);
    if (!record) {
        showStatus("not found " + host + " in " + records->name);
        return;
    }
    if (!record->get(column)) {
        showStatus(refused + records->name);
        return;
    }
    if (storeField(*records, record, column, location, cascade))
        showStatus(host + done + location);
}

} // namespace

void ExitAction::run()
{
    if (MainWindow* window = MainWindow::getInstance())
        window->close();
}

void RefreshViewAction::run()
{
    if (ViewerRecords* records = currentViewerRecords())
        records->refresh();
}

void AddAction::run()
{
    if (MainWindow* window = MainWindow::getInstance())
        window->addNewRecord();
}

void RemoveAction::run()
{
    if (!selectedOrTell())
        return;
    if (MainWindow* window = MainWindow::getInstance())
        window->removeSelectedRecord();
}

void HomeAction::run()
{
    config::Config::getInstance().openHomePage("HomeAction");
}

void HelpAction::run()
{
    config::Config::getInstance().openHelpPage("HelpAction");
}

void MoveToSharewareSitesAction::run()
{
    moveSelected(*tab::Shareware_Sites::getInstance(), false);
}

void MoveToBlackSitesAction::run()
{
    moveSelected(*tab::Black_Sites::getInstance(), true);
}

void PageRankAction::run()
{
    showStatus("");
    if (base::RecordPtr record = selectedOrTell())
        updatePageRankInCurrentTab(record);
}

void SynchronizeSitesAction::run()
{
    showStatus("");
    DB::getInstance().synchronizeSites();
}

void OpenURLAction::run()
{
    showStatus("");
    try {
        const std::optional<ViewerCell>& cell = mouseCell();
        QTableView* table = currentTable();
        if (!cell || !table || !table->model())
            return;
        const std::string column =
            table->model()->headerData(cell->column, Qt::Horizontal).toString().toStdString();
        const std::string text = cell->getText();
        if (!isUsableValue(text))
            return;
        if (column == "id" || column == "home") {
            const std::string url = pageUrl(text, true);
            navigate(url, url);
        } else if (startsWith(text, "http")) {
            navigate(text, text);
        }
    } catch (const std::exception& e) {
        report::trace(std::string("OpenURLAction catch ") + e.what());
    }
}

void OpenWithDefaultBrowserAction::run()
{
    showStatus("");
    try {
        std::optional<std::string> url = cellUrl();
        if (!url || url->empty())
            return;
        dwin::sys::win32::Shell32::open(*url);
        showStatus("navigate to " + *url);
    } catch (const std::exception& e) {
        report::trace(std::string("OpenWithDefaultBrowserAction catch ") + e.what());
    }
}

void OpenHomePageAction::run()
{
    showStatus("");
    base::RecordPtr record = selectedOrTell();
    if (!record)
        return;
    const bool software = currentTableName() == tab::Softwares::getInstance()->name;
    const std::string value = record->get(software ? "home" : "id").value_or(std::string());
    if (isUsableValue(value))
        navigate(pageUrl(value, true), value);
    else
        showStatus("home page for " + idOf(record) + " not setted");
}

void OpenSubPageAction::run()
{
    showStatus("");
    base::RecordPtr record = selectedOrTell();
    if (!record)
        return;
    const std::string page = getSubPage(*record).value_or(std::string());
    if (isSubPageAddress(page))
        navigate(page, page);
    else
        showStatus("home page for " + idOf(record) + " not setted");
}

void TodayAction::run()
{
    showStatus("");
    if (base::RecordPtr record = selectedOrTell())
        stamp(currentViewerRecords(), record);
}

void TodayAction::stamp(ViewerRecords* table, const base::RecordPtr& record)
{
    showStatus("");
    ViewerRecords* listing = listingOrNull(table);
    if (!record || !listing)
        return;
    const std::string date = dwin::time::WallClock::today(std::time(nullptr), true);
    if (storeField(*listing, record, "sub_date", date, false))
        showStatus(idOf(record) + " submit date setted to " + date);
}

void VersionAction::run()
{
    showStatus("");
    if (base::RecordPtr record = selectedOrTell())
        stamp(currentViewerRecords(), record);
}

void VersionAction::stamp(ViewerRecords* table, const base::RecordPtr& record)
{
    showStatus("");
    ViewerRecords* listing = listingOrNull(table);
    if (!record || !listing)
        return;
    // a listing table is named by its product's id
    std::string whyNotRead;
    const std::string version =
        readPad(listing->name, "Program_Version", &whyNotRead).value_or(std::string());
    if (version.empty()) {
        showStatus(" version for " + listing->name + " not setted" +
                   (whyNotRead.empty() ? "" : ": " + whyNotRead));
        return;
    }
    if (storeField(*listing, record, "version", version, false))
        showStatus(idOf(record) + " submited version setted to " + version);
}

void RemoveTemp_SitesAction::run()
{
    tab::Temp_Sites* temp = tab::Temp_Sites::getInstance();
    // Not stored: the file still holds these rows. They are put back rather than read again, which
    // would only wait while another program holds the file.
    std::vector<base::RecordPtr> kept = temp->getRecords();
    temp->setLength(0);
    temp->refresh();
    if (!DB::getInstance().clearTable()) {
        temp->getRecords() = std::move(kept);
        temp->refresh();
    }
}

void ListedUrlAction::run()
{
    stampLocation("listed_url", "listed url not setted for ", " listed_url settted to ", false);
}

void SubPageAction::run()
{
    stampLocation("sub_page", "sub_page not setted for ", " sub_page setted to ", true);
}

void CopyUsernameAction::run()
{
    showStatus("");
    std::optional<std::string> name = userName();
    if (!name || name->empty())
        showStatus("failed to get username");
    else
        copyText(*name);
}

void CopyPasswordAction::run()
{
    showStatus("");
    std::optional<std::string> secret = password();
    if (!secret || secret->empty())
        showStatus("failed to get password");
    else
        copyText(*secret);
}

} // namespace qmk::MyAction
