#pragma once
// The application's shared functions: the current table and its selection, the status line,
// time text, column widths and site addresses. They reach the main window through
// MainWindow::getInstance; the lookups answer "none" (null, empty, no value) when there is no
// window, no tab or no selection. Nothing here throws except std::bad_alloc. UI thread only.
#include "qmk/ViewerRecords.h"
#include "qmk/base/BaseRecord.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QClipboard;
class QTabWidget;
class QTableView;

namespace qmk {

// --- current table and selection (through the selected tab's "_ViewerRecords_") ---
ViewerRecords* currentViewerRecords();
// The view that shows the current table (Qt has no separate viewer and table widget).
QTableView* currentViewer();
QTableView* currentTable();
std::optional<std::string> currentTableName();
// The cell under the last mouse press or release in any table, or none.
std::optional<ViewerCell> currentMouseCell();
// The records of the rows that were selected in a table when it was last hidden.
const std::vector<base::RecordPtr>& currentLastSelection();
// The records of the selected rows of the current table, in display order; no value when none.
std::optional<std::vector<base::RecordPtr>> selectedItems();
base::RecordPtr firstSelectedItem();
base::RecordPtr selectedRecord();
QClipboard* mainClipboard();
QTabWidget* mainTabFolder();
// A tab's text as the table's name (a "&" in a name is shown as it is, not as a mnemonic).
std::string tabText(const QTabWidget* folder, int index);
void setTabText(QTabWidget* folder, int index, const std::string& text);

// --- the place kept between runs ---
// "last_ctabitem_index", "last_listed_urls" and "last_id" into the settings store.
void saveState();
// Selects, in the current table, the record whose id is the saved "last_id".
void restoreLastRecord();

// --- status and time ---
void showStatus(const std::string& text);
// Local time as "yyyy-MM-ddTHH:mm:ss".
std::string formatTime(std::time_t time);
std::string nowText();

// Pixels of a new column of that name ("notes" 0: it takes the width left over).
int columnWidth(std::string_view columnName);

// --- record getters ---
std::optional<std::string> getId(const base::BaseRecord& record);
std::optional<std::string> getPadLocale(const base::BaseRecord& record);
std::optional<std::string> getExeLocale(const base::BaseRecord& record);
std::optional<std::string> getSubPage(const base::BaseRecord& record);
std::optional<std::string> getListedUrl(const base::BaseRecord& record);
// A submit page that can be opened: longer than 10 characters and beginning with "http".
bool isSubPageAddress(std::string_view page);

// --- site addresses ---
// Lower-cased, without a leading "http://", "https://" and "www.", without a trailing "/" when
// fewer than two "/" remain; with hostOnly only the part before the first "/".
std::string normalizeUrl(std::string_view text, bool hostOnly);
// Normalises "home" (when the record has it) or else "id" (host only); writes it back and
// answers true only when the length changed.
bool normalizeRecordUrl(base::BaseRecord& record);
// "http://" + the normalised site, with "www." before a bare two-part domain when addWww.
std::string pageUrl(std::string_view site, bool addWww);
// Decodes "%5B" and "%5D" and drops "[SiteID]" + domain in an address of the download site.
std::string fixSiteUrl(std::string_view url);

// Non-empty and not beginning with "[" (an unfilled placeholder).
bool isUsableValue(std::string_view text);
bool isUsableValue(const std::optional<std::string>& text);
inline bool isUsableValue(const std::string& text)
{
    return isUsableValue(std::string_view(text));
}
inline bool isUsableValue(const char* text)
{
    return isUsableValue(std::string_view(text));
}
// The id an edit of the record is written under, as the database's writes take it: the id its
// row is stored under, as the file holds it (base::StoredKey); for a record not known to be
// stored, its id as text when usable; none for a row never stored.
std::optional<base::StoredKey> writableKeyOf(const base::BaseRecord& record);

// --- rank ---
// The rank of a page ("" when unranked), asked once more with a "/" added when the first
// answer is none. Only an answer that is a rank (vorn::PageRank::rankOf: 0 to 10) counts; any
// other is none. Network failures are raised (dwin exceptions).
std::string queryPageRank(const std::string& url);
// queryPageRank of pageUrl(site, with "www.").
std::string getPageRank(const std::string& site);
// Sets the record's "pr" from the rank of pageUrl; true when it changed. A network failure
// shows the error dialog and gives false.
bool updatePageRank(const std::string& pageUrl, base::BaseRecord& record);
// updatePageRank of the record's home (or id); a change is refreshed and stored with its
// cascade (a row never stored keeps it until its id is set).
bool updateRecordPageRank(const base::RecordPtr& record, ViewerRecords& viewerRecords);
bool updatePageRankInCurrentTab(const base::RecordPtr& record);

// --- links under the mouse ---
// The address the cell under the last mouse click stands for, or no value.
std::optional<std::string> cellUrl();

// --- PAD files ---
// The text between the first "<tag>" and the first "</tag>" of the file, or no value. A file that
// is there but is not read (not a plain file, over 4 MiB, unreadable) sets whyNotRead, when given,
// to "pad file <path> not read: <reason>"; else it is set empty.
std::optional<std::string> readXmlTag(const std::string& filePath, const std::string& tag,
                                      std::string* whyNotRead = nullptr);
// The value of the element in the product's pad_locale file, found as readXmlTag finds it but in
// the file's text decoded as its byte-order mark or XML declaration says (dwin::text::xml::
// decodeDocument), with its escapes and CDATA sections decoded and the white space at either end
// left out (dwin::text::Unicode::trim). No value for any failure
// (whyNotRead as there, also for a file in an encoding not read: "... not read: encoding <name>
// not supported").
std::optional<std::string> readPad(const std::string& productId, const std::string& tag,
                                   std::string* whyNotRead = nullptr);

// --- clipboard ---
// Puts a non-empty text on the main window's clipboard and reports it on the status line.
void copyToClipboard(const std::string& text);
void copyText(const std::string& text);

// --- credentials ---
std::optional<std::string> userNameOf(const base::RecordPtr& record);
std::optional<std::string> passwordOf(const base::RecordPtr& record);
// Of the row siteId in the current listing table, or of the selected record when siteId is empty.
std::optional<std::string> userName(const std::string& siteId = {});
std::optional<std::string> password(const std::string& siteId = {});

// --- known sites and the download site's listing ---
// True when the id is in none of the lists of Shareware_Sites, Temp_Sites and Black_Sites.
bool isNewSite(const std::string& id);
// The category id after the last "[cid]" of a listing address, or no value.
std::optional<std::string> getSimtelCid(std::string_view listedUrl);
std::optional<std::string> getCid(const base::BaseRecord& record);
// Non-empty and every character a decimal digit of any script ("0042", "٣", "３").
bool isDigits(std::string_view text);
// The address of a category page of the download site.
std::string categoryPageUrl(const std::string& cid);
// The 1-based position of the product on the page, 0 when not found or on any failure.
int getIndex(const std::string& url, const std::string& product);

} // namespace qmk
