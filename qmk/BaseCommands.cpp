// The application functions the commands share: rank, links under the mouse, PAD files, the
// clipboard, credentials and the download site's category id.
#include "qmk/Base.h"
#include "qmk/Report.h"

#include "dwin/core/Exception.h"
#include "dwin/net/Http.h"
#include "dwin/text/Unicode.h"
#include "dwin/text/XmlText.h"
#include "dwin/text/convert/Utf.h"
#include "qmk/DB.h"
#include "qmk/MessageDialog.h"
#include "qmk/tab/Listed_Urls.h"
#include "qmk/tab/Softwares.h"
#include "vorn/PageRank.h"

#include <QClipboard>
#include <QString>
#include <QTableView>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace qmk {

namespace {

// PAD files are a few kilobytes; anything larger is not one.
constexpr std::uintmax_t maxPadBytes = 4 * 1024 * 1024;

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The engine's answer for the url when it is a rank, else "".
std::string askRank(const std::string& url)
{
    const std::optional<std::string> answer = vorn::PageRank::getRank(url);
    return answer ? vorn::PageRank::rankOf(*answer).value_or(std::string()) : std::string();
}

} // namespace

// --- rank ---

std::string queryPageRank(const std::string& url)
{
    std::string rank = askRank(url);
    if (rank.empty() && (url.empty() || url.back() != '/'))
        rank = askRank(url + "/");
    return rank;
}

std::string getPageRank(const std::string& site)
{
    return queryPageRank(pageUrl(site, true));
}

bool updatePageRank(const std::string& pageUrl, base::BaseRecord& record)
{
    try {
        const std::string old = record.get("pr").value_or(std::string());
        std::string rank = queryPageRank(pageUrl);
        if (rank.empty()) {
            showStatus(pageUrl + " unranked");
            rank = "-1";
        }
        if (rank != old) {
            record.set("pr", rank);
            showStatus(pageUrl + " PageRank updated to " + rank);
            return true;
        }
        showStatus(pageUrl + " PageRank same as old value " + old);
    } catch (const dwin::net::HttpException& e) {
        report::trace(std::string("updatePageRank catch ") + e.what());
        MessageDialog::openError("Error on reterive Google Page Rank",
                                 "Please connected to the Internet first");
    }
    return false;
}

bool updateRecordPageRank(const base::RecordPtr& record, ViewerRecords& viewerRecords)
{
    if (!record)
        return false;
    std::optional<std::string> site = record->get("home");
    if (!site)
        site = record->get("id");
    const std::optional<std::string> old = record->get("pr");
    if (!updatePageRank(pageUrl(site.value_or(std::string()), true), *record))
        return false;
    viewerRecords.recordChanged(record);
    const std::optional<base::StoredKey> rowId = writableKeyOf(*record);
    if (!rowId)
        return true; // a row never stored keeps its rank until its id is set, as a cell edit does
    if (DB::getInstance().updateFieldCascade(viewerRecords.name, *rowId, "pr",
                                             record->get("pr").value_or(std::string())))
        return true;
    // not stored (the database has said why): the table shows what the file holds
    record->set("pr", old.value_or(std::string()));
    viewerRecords.recordChanged(record);
    return false;
}

bool updatePageRankInCurrentTab(const base::RecordPtr& record)
{
    ViewerRecords* records = currentViewerRecords();
    return records && updateRecordPageRank(record, *records);
}

// --- links under the mouse ---

std::optional<std::string> cellUrl()
{
    const std::optional<ViewerCell>& cell = mouseCell();
    if (!cell)
        return std::nullopt;
    const std::string text = cell->getText();
    if (!isUsableValue(text))
        return std::nullopt;
    QTableView* table = currentTable();
    if (!table || !table->model())
        return std::nullopt;
    const std::string column =
        table->model()->headerData(cell->column, Qt::Horizontal).toString().toStdString();
    if (column == "home")
        return pageUrl(text, true);
    if (column == "id") {
        if (currentTableName() == tab::Softwares::getInstance()->name)
            return std::nullopt;
        return pageUrl(text, true);
    }
    if (startsWith(text, "http"))
        return text;
    return std::nullopt;
}

// --- PAD files ---

namespace {

// Why the PAD file cannot be read whole: empty when it can (size is set then), no value when it
// is missing.
std::optional<std::string> padUnreadable(const std::string& filePath, std::uintmax_t& size)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(filePath, error);
    if (status.type() == fs::file_type::not_found)
        return std::nullopt;
    if (error)
        return error.message();
    // Only a plain file is read: a directory, a pipe or a device would fail or never end.
    if (!fs::is_regular_file(status))
        return "not a file";
    size = fs::file_size(filePath, error);
    if (error)
        return error.message();
    if (size > maxPadBytes)
        return "too large (" + std::to_string(size) + " bytes, at most " +
            std::to_string(maxPadBytes) + ")";
    return std::string();
}

// At most size bytes of the file; why is set when it cannot be read.
std::string readBytes(const std::string& filePath, std::uintmax_t size, std::string& why)
{
    errno = 0;
    std::ifstream in(filePath, std::ios::binary);
    if (!in) {
        why = errno ? std::strerror(errno) : "cannot be opened";
        return {};
    }
    std::string text(std::size_t(size), '\0');
    in.read(text.data(), std::streamsize(size));
    if (in.bad())
        why = "read failed";
    text.resize(std::size_t(in.gcount()));
    return text;
}

// The whole PAD file; no value when it is missing, or when it cannot be read: whyNotRead says why.
std::optional<std::string> readPadFile(const std::string& filePath, std::string& whyNotRead)
{
    std::uintmax_t size = 0;
    std::optional<std::string> why = padUnreadable(filePath, size);
    if (!why)
        return std::nullopt;
    std::string text;
    if (why->empty())
        text = readBytes(filePath, size, *why);
    if (why->empty())
        return text;
    whyNotRead = "pad file " + filePath + " not read: " + *why;
    report::trace(whyNotRead);
    return std::nullopt;
}

// The text between the end of the first "<tag>" and the first "</tag>", or no value.
std::optional<std::string> elementText(std::string_view text, const std::string& tag)
{
    const std::string open = "<" + tag + ">";
    const std::size_t start = text.find(open);
    const std::size_t end = text.find("</" + tag + ">");
    if (start == std::string::npos || end == std::string::npos)
        return std::nullopt;
    const std::size_t from = start + open.size();
    // a closing tag that starts inside the opening one: no element
    if (end < from)
        return std::nullopt;
    return std::string(text.substr(from, end - from));
}

// The PAD file's text in UTF-8, as its byte-order mark or declaration says; no value when it
// cannot be decoded: whyNotRead says why.
std::optional<std::string> decodePad(const std::string& filePath, std::string_view bytes,
                                     std::string& whyNotRead)
{
    try {
        return dwin::text::xml::decodeDocument(bytes);
    } catch (const dwin::core::TextException& e) {
        whyNotRead = "pad file " + filePath + " not read: " + e.msg();
        report::trace(whyNotRead);
        return std::nullopt;
    }
}

} // namespace

std::optional<std::string> readXmlTag(const std::string& filePath, const std::string& tag,
                                      std::string* whyNotRead)
{
    std::string why;
    const std::optional<std::string> text = readPadFile(filePath, why);
    if (whyNotRead)
        *whyNotRead = why;
    if (!text)
        return std::nullopt;
    return elementText(*text, tag);
}

std::optional<std::string> readPad(const std::string& productId, const std::string& tag,
                                   std::string* whyNotRead)
{
    if (whyNotRead)
        whyNotRead->clear();
    try {
        base::RecordPtr product = tab::Softwares::getInstance()->getById(productId);
        if (!product)
            return std::nullopt;
        std::string path =
            dwin::text::Unicode::trim(getPadLocale(*product).value_or(std::string()));
        if (!isUsableValue(path))
            return std::nullopt;
        std::replace(path.begin(), path.end(), '\\', '/');
        std::string why;
        std::optional<std::string> text = readPadFile(path, why);
        if (text)
            text = decodePad(path, *text, why);
        if (whyNotRead)
            *whyNotRead = why;
        const std::optional<std::string> value = text ? elementText(*text, tag) : std::nullopt;
        if (!value)
            return std::nullopt;
        return dwin::text::Unicode::trim(dwin::text::xml::decodeContent(*value));
    } catch (const std::exception& e) {
        report::trace(std::string("readPad catch ") + e.what());
        return std::nullopt;
    }
}

// --- clipboard ---

void copyToClipboard(const std::string& text)
{
    if (text.empty())
        return;
    QClipboard* clipboard = mainClipboard();
    if (!clipboard)
        return;
    clipboard->setText(QString::fromStdString(text));
    showStatus("copied to clipboard : " + text);
}

void copyText(const std::string& text)
{
    copyToClipboard(text);
}

// --- credentials ---

namespace {

std::optional<std::string> credentialOf(const base::RecordPtr& record, const char* own,
                                        const char* general)
{
    if (!record)
        return std::nullopt;
    std::optional<std::string> value = record->get(own);
    if (!isUsableValue(value))
        value = record->get(general);
    if (!isUsableValue(value))
        return std::nullopt;
    return value;
}

base::RecordPtr listingOrSelected(const std::string& siteId)
{
    if (siteId.empty())
        return selectedRecord();
    tab::Listed_Urls* listing = tab::Listed_Urls::currentListedUrls();
    return listing ? listing->getById(siteId) : nullptr;
}

} // namespace

std::optional<std::string> userNameOf(const base::RecordPtr& record)
{
    return credentialOf(record, "username", "g_user");
}

std::optional<std::string> passwordOf(const base::RecordPtr& record)
{
    return credentialOf(record, "password", "g_pass");
}

std::optional<std::string> userName(const std::string& siteId)
{
    return userNameOf(listingOrSelected(siteId));
}

std::optional<std::string> password(const std::string& siteId)
{
    return passwordOf(listingOrSelected(siteId));
}

// --- the download site's category id ---

std::optional<std::string> getSimtelCid(std::string_view listedUrl)
{
    constexpr std::string_view marker = "[cid]";
    const std::size_t last = listedUrl.rfind(marker);
    if (listedUrl.size() < 20 || last == std::string_view::npos)
        return std::nullopt;
    std::string part(listedUrl.substr(last + marker.size()));
    if (isDigits(part))
        return part;
    report::trace("getSimtelCid get wrong category string " + part);
    return std::nullopt;
}

std::optional<std::string> getCid(const base::BaseRecord& record)
{
    std::optional<std::string> listedUrl = getListedUrl(record);
    if (!listedUrl)
        return std::nullopt;
    return getSimtelCid(*listedUrl);
}

bool isDigits(std::string_view text)
{
    std::u32string characters;
    try {
        characters = dwin::text::convert::Utf::toString32(text);
    } catch (const dwin::core::UtfException&) {
        return false; // a byte that is no UTF-8 is no digit
    }
    return !characters.empty() &&
        std::all_of(characters.begin(), characters.end(), dwin::text::Unicode::isDecimalDigit);
}

} // namespace qmk
