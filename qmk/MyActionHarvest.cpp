#include "qmk/MyActionHarvest.h"

#include "dwin/net/Http.h"
#include "dwin/net/Net.h"
#include "dwin/sys/win32/Process.h"
#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/MyAction.h"
#include "qmk/MyActionPrompt.h"
#include "qmk/Report.h"
#include "qmk/dialog/FindDialog.h"
#include "qmk/tab/Temp_Site.h"
#include "qmk/tab/Temp_Sites.h"
#include "vorn/PageRank.h"
#include "vorn/Texts.h"
#include "vorn/net/GoogleSearch.h"
#include "vorn/net/InboundLinks.h"
#include "vorn/net/Sites.h"

#include <array>
#include <optional>
#include <set>

namespace qmk::MyAction {

namespace {

// Technology news, a press-release site, a download portal, a social network, the search
// engine, forums and a blog host; the tenth entry is stored scrambled.
constexpr std::array<std::string_view, 9> excludedFragments = {
    "cnet.com",     "zdnet.com", "pcworld.com", "prweb.com",   "tucows.com",
    "facebook.com", "google.",   "forum",       "blogspot.com"};

constexpr std::uint32_t keptWaitMs = 50;
// Results skipped without a request between two turns of the event loop (a huge answer).
constexpr std::size_t skipsPerPump = 1024;

int harvestsAlive = 0;

// True when the store of a site just failed for the file itself (a lock, a read-only file).
bool fileFailed()
{
    return tab::Temp_Sites::getInstance() && DB::getInstance().fileFailed();
}

// The end both workers share: visit, store, report. Says nothing when the run ended because
// the window closed.
void harvest(const std::string& input, const std::string& label, const HarvestRun::SiteMap& sites,
             const std::string& storedBefore, const std::string& storedAfter,
             const std::string& failed)
{
    HarvestRun run(input, label, &getPageRank);
    if (!run.visit(sites))
        return;
    const std::size_t count = run.store();
    if (!run.windowOpen())
        return;
    // sites not stored are counted, with the reason of the first refusal or of the file's failure
    const std::string refused = run.notStored() == 0
        ? std::string()
        : ", " + std::to_string(run.notStored()) + " not stored (" + run.notStoredReason() + ")";
    if (count == 0) {
        showStatus(failed + refused);
        return;
    }
    showStatus(storedBefore + std::to_string(count) + storedAfter + refused);
    dialog::FindDialog::getInstance().hide();
}

} // namespace

bool isExcludedSite(std::string_view url)
{
    for (std::string_view fragment : excludedFragments)
        if (url.find(fragment) != std::string_view::npos)
            return true;
    static const std::string scrambled = vorn::Texts::excludedSource();
    return url.find(scrambled) != std::string_view::npos;
}

HarvestRun::HarvestRun(std::string input, std::string label, Rank rank)
    : input_(std::move(input)), label_(std::move(label)), rank_(rank),
      hadWindow_(MainWindow::getInstance() != nullptr), window_(MainWindow::getInstance())
{
    ++harvestsAlive;
}

HarvestRun::~HarvestRun()
{
    --harvestsAlive;
}

bool HarvestRun::running()
{
    return harvestsAlive > 0;
}

bool HarvestRun::windowOpen() const
{
    return !hadWindow_ || (window_ && !window_->isClosed());
}

bool HarvestRun::collectSite(const std::string& site, const std::string& page)
{
    ++counter;
    askedRank_ = false;
    if (isExcludedSite(page))
        return false;
    if (isKnownSite(site))
        return false;
    std::string rank;
    askedRank_ = true;
    try {
        rank = rank_(site);
    } catch (const dwin::net::HttpException&) {
        showStatus("Failed to get PageRank of " + site +
                   "\nPlease connected to the Internet first");
        rank.clear();
    }
    rank = vorn::PageRank::rankOf(rank).value_or(std::string());
    if (rank.empty() || rank == "9" || rank == "10")
        return false;
    auto record = std::make_shared<tab::Temp_Site>();
    record->set("id", site);
    record->set("sub_page", page);
    record->set("pr", rank);
    list.push_back(record);
    showStatus(std::to_string(counter) + "\t" + input_ + label_ + page + "\tPR: " + rank);
    return true;
}

bool HarvestRun::visit(const SiteMap& sites)
{
    namespace process = dwin::sys::win32::Process;
    std::size_t quiet = 0; // results visited since the window last caught up
    for (const auto& [site, page] : sites) {
        if (!windowOpen())
            return false;
        if (collectSite(site, page)) {
            if (!process::wait(keptWaitMs))
                return false;
            quiet = 0;
        } else if (askedRank_ || ++quiet == skipsPerPump) {
            // a rank request, or a long stretch of skipped results, blocked the window: let it catch up
            if (!process::wait(0))
                return false;
            quiet = 0;
        }
    }
    return windowOpen();
}

std::size_t HarvestRun::store()
{
    if (!windowOpen())
        return 0;
    // Sites the user (or another command) added while the run waited are not stored again;
    // all are looked up before the first store changes the lists.
    std::vector<base::RecordPtr> fresh;
    std::set<std::string> keys;
    for (const base::RecordPtr& record : list) {
        const std::string id = record->get("id").value_or(std::string());
        if (!isKnownSite(id) && keys.insert(siteKey(id)).second)
            fresh.push_back(record);
    }
    std::size_t stored = 0;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        if (tab::Temp_Sites::addAllAndStore({fresh[i]}, true)) {
            ++stored;
            continue;
        }
        // the store has said why on the status line
        const std::string reason = window_ ? window_->statusText() : std::string();
        if (notStored_++ == 0)
            notStoredReason_ = reason;
        if (fileFailed()) {
            // every later site would wait and fail alike: they are not tried, and this is the reason
            notStored_ += fresh.size() - i - 1;
            notStoredReason_ = reason;
            break;
        }
    }
    return stored;
}

void InboundLinksAction::run()
{
    showPrompt(this, &InboundLinksAction::getInboundLinks, "Get Inbound Links from yahoo search",
               "must start with http://");
}

void InboundLinksAction::getInboundLinks(const std::string& url)
{
    if (HarvestRun::running())
        return; // one harvest at a time
    showStatus("");
    if (characters(url) < 10 || url.rfind("http:", 0) != 0) {
        showStatus("Enter http url first");
        return;
    }
    const std::string failed = "finished, not get valid inbound links for " + url;
    try {
        showStatus("begin to get inbound links of " + url + " please wait a minute");
        std::optional<vorn::net::SiteMap> sites;
        {
            HarvestRun guard(url, {}, nullptr); // holds the harvest slot while the pages come in
            sites = vorn::net::InboundLinks::InboundLinks(url).getSites();
            if (!guard.windowOpen())
                return;
        }
        if (!sites || sites->empty()) {
            showStatus("not got Inbound Links for " + url);
            return;
        }
        harvest(url, "\tinbound link: ", *sites, "", " URLs linking to " + url, failed);
    } catch (...) {
        report::caught("getInboundLinks");
        showStatus(failed);
    }
}

void GoogleSearchAction::run()
{
    showPrompt(this, &GoogleSearchAction::searchSites, "Get Urls from Google from yahoo search",
               "");
}

void GoogleSearchAction::searchSites(const std::string& text)
{
    if (HarvestRun::running())
        return; // one harvest at a time
    showStatus("");
    if (characters(text) < 5) {
        showStatus("Please enter search text");
        return;
    }
    const std::string failed = "finished, not get valid links for " + text;
    try {
        std::optional<vorn::net::SiteMap> sites;
        {
            HarvestRun guard(text, {}, nullptr);
            if (!dwin::net::Net::isOnline(3)) {
                showStatus("Pleae connect to the internet first");
                return;
            }
            showStatus(text + "\tbegins Google Search, please wait a minute");
            sites = vorn::net::GoogleSearch::GoogleSearch(text).getSites();
            if (!guard.windowOpen())
                return;
        }
        if (!sites || sites->empty()) {
            showStatus("not got urls for " + text);
            return;
        }
        harvest(text, "\tlink: ", *sites, "finished, get ", " URLs linking to " + text, failed);
    } catch (...) {
        report::caught("searchSites");
        showStatus(failed);
    }
}

} // namespace qmk::MyAction
