#include "qmk/Base.h"

#include "dwin/net/Services.h"
#include "dwin/text/Unicode.h"
#include "qmk/MainWindow.h"
#include "qmk/config/Config.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/Listed_Urls.h"

#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <cctype>

namespace qmk {

namespace {

QWidget* currentTabPage()
{
    QTabWidget* folder = mainTabFolder();
    return folder ? folder->currentWidget() : nullptr;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

} // namespace

ViewerRecords* currentViewerRecords()
{
    return extends::TableViewer::viewerRecordsOf(currentTabPage());
}

QTableView* currentViewer()
{
    return qobject_cast<QTableView*>(currentTabPage());
}

QTableView* currentTable()
{
    return currentViewer();
}

std::optional<std::string> currentTableName()
{
    ViewerRecords* records = currentViewerRecords();
    if (!records)
        return std::nullopt;
    return records->name;
}

std::optional<ViewerCell> currentMouseCell()
{
    return mouseCell();
}

const std::vector<base::RecordPtr>& currentLastSelection()
{
    return lastSelection();
}

std::optional<std::vector<base::RecordPtr>> selectedItems()
{
    ViewerRecords* records = currentViewerRecords();
    auto* viewer =
        records ? dynamic_cast<extends::TableViewer*>(records->getTableViewer()) : nullptr;
    if (!viewer)
        return std::nullopt;
    std::vector<base::RecordPtr> selected = viewer->selectedRecords();
    if (selected.empty())
        return std::nullopt;
    return selected;
}

base::RecordPtr firstSelectedItem()
{
    auto items = selectedItems();
    return items ? items->front() : nullptr;
}

base::RecordPtr selectedRecord()
{
    return firstSelectedItem();
}

QClipboard* mainClipboard()
{
    MainWindow* window = MainWindow::getInstance();
    return window ? window->getClipboard() : nullptr;
}

QTabWidget* mainTabFolder()
{
    MainWindow* window = MainWindow::getInstance();
    return window ? window->getTabFolder() : nullptr;
}

std::string tabText(const QTabWidget* folder, int index)
{
    if (!folder || index < 0 || index >= folder->count())
        return std::string();
    return folder->tabText(index).replace("&&", "&").toStdString();
}

void setTabText(QTabWidget* folder, int index, const std::string& text)
{
    folder->setTabText(index, QString::fromStdString(text).replace("&", "&&"));
    folder->setTabToolTip(index, QString::fromStdString(text)); // the whole name of an elided tab
}

void saveState()
{
    QTabWidget* folder = mainTabFolder();
    if (!folder)
        return;
    auto& store = config::Config::getInstance().getPreferenceStore();
    store.setValue("last_ctabitem_index", std::to_string(folder->currentIndex()));
    tab::Listed_Urls* listing = tab::Listed_Urls::currentListedUrls();
    store.setValue("last_listed_urls", listing ? listing->name : std::string());
    if (base::RecordPtr record = selectedRecord()) {
        if (auto id = record->get("id"))
            store.setValue("last_id", *id);
    }
}

void restoreLastRecord()
{
    std::string id = config::Config::getInstance().getPreferenceStore().getString("last_id");
    if (id.empty())
        return;
    ViewerRecords* records = currentViewerRecords();
    if (!records)
        return;
    if (base::RecordPtr record = records->getById(id))
        records->selectRecord(record);
}

void showStatus(const std::string& text)
{
    if (MainWindow* window = MainWindow::getInstance())
        window->setStatus(text);
}

std::string formatTime(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &local);
    return buffer;
}

std::string nowText()
{
    return formatTime(std::time(nullptr));
}

int columnWidth(std::string_view columnName)
{
    if (columnName == "id")
        return 150;
    if (columnName == "pr")
        return 30;
    if (columnName == "home")
        return 250;
    if (columnName == "notes")
        return 0;
    if (columnName == "sub_to" || columnName == "software" || columnName == "exe_locale" ||
        columnName == "listed_url" || columnName == "pad_locale")
        return 150;
    return 65;
}

std::optional<std::string> getId(const base::BaseRecord& record)
{
    return record.get("id");
}
std::optional<std::string> getPadLocale(const base::BaseRecord& record)
{
    return record.get("pad_locale");
}
std::optional<std::string> getExeLocale(const base::BaseRecord& record)
{
    return record.get("exe_locale");
}
std::optional<std::string> getSubPage(const base::BaseRecord& record)
{
    return record.get("sub_page");
}
std::optional<std::string> getListedUrl(const base::BaseRecord& record)
{
    return record.get("listed_url");
}

bool isSubPageAddress(std::string_view page)
{
    return dwin::text::Unicode::length(page) > 10 && page.starts_with("http");
}

std::string normalizeUrl(std::string_view text, bool hostOnly)
{
    std::string url = dwin::text::Unicode::toLower(text);
    for (std::string_view prefix : {"http://", "https://", "www."})
        if (url.rfind(prefix, 0) == 0)
            url.erase(0, prefix.size());
    if (std::count(url.begin(), url.end(), '/') < 2 && !url.empty() && url.back() == '/')
        url.pop_back();
    if (hostOnly)
        url = url.substr(0, url.find('/'));
    return url;
}

bool normalizeRecordUrl(base::BaseRecord& record)
{
    const bool hasHome = record.get("home").has_value();
    const char* column = hasHome ? "home" : "id";
    std::optional<std::string> value = record.get(column);
    if (!value)
        return false;
    std::string normal = normalizeUrl(*value, !hasHome);
    if (normal.size() == value->size())
        return false;
    record.set(column, normal);
    return true;
}

std::string pageUrl(std::string_view site, bool addWww)
{
    std::string n = normalizeUrl(site, false);
    if (addWww) {
        std::string host = n.substr(0, n.find('/'));
        if (std::count(host.begin(), host.end(), '.') == 1)
            n = "www." + n;
    }
    return "http://" + n;
}

std::string fixSiteUrl(std::string_view url)
{
    std::string result(url);
    const std::string domain = dwin::net::downloadSiteDomain();
    if (domain.empty() || result.find(domain) == std::string::npos)
        return result;
    replaceAll(result, "%5B", "[");
    replaceAll(result, "%5D", "]");
    replaceAll(result, "[SiteID]" + domain, "");
    return result;
}

bool isUsableValue(std::string_view text)
{
    return !text.empty() && text.front() != '[';
}

bool isUsableValue(const std::optional<std::string>& text)
{
    return text && isUsableValue(*text);
}

std::optional<base::StoredKey> writableKeyOf(const base::BaseRecord& record)
{
    if (std::optional<base::StoredKey> stored = record.storedKey())
        return stored;
    std::optional<std::string> id = record.get("id");
    if (!isUsableValue(id))
        return std::nullopt;
    return base::StoredKey::ofText(std::move(*id));
}

} // namespace qmk
