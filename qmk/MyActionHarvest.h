#pragma once
// What the two link harvests share: the excluded link sources and one run over the results of
// a query (counter, collected list, status lines, pumped waits, the store into Temp_Sites).
//
// A run visits the results on the UI thread and pumps window messages after every result that
// cost a rank request, so other commands and edits run meanwhile. Only one run exists at a
// time (HarvestRun::tryStart); it ends early, storing nothing, once the main window has closed
// or the application is quitting.
#include "qmk/base/BaseRecord.h"

#include <QPointer>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qmk {
class MainWindow;
}

namespace qmk::MyAction {

// True when the URL contains one of the excluded fragments (plain ones first, then the
// scrambled one), compared case-sensitively.
bool isExcludedSite(std::string_view url);

// The form in which a harvest compares a site with the lists: its vorn::net::siteHost, or the
// site itself when that is empty.
std::string siteKey(const std::string& site);
// True when Shareware_Sites, Temp_Sites or Black_Sites holds a record whose id, as shown or as
// stored (storedId), has the same siteKey as the site: capitals, "www.", a trailing dot and the
// "xn--" form make no other site. The hosts of the lists are gathered once and again only after
// a list changed or the site was written as an id, so a lookup costs a hash lookup.
bool isKnownSite(const std::string& site);

class HarvestRun {
public:
    using Rank = std::string (*)(const std::string& site);
    using SiteMap = std::map<std::string, std::string>;

    // input: the entered URL or search text; label: "\tinbound link: " or "\tlink: ".
    HarvestRun(std::string input, std::string label, Rank rank);
    ~HarvestRun();
    HarvestRun(const HarvestRun&) = delete;
    HarvestRun& operator=(const HarvestRun&) = delete;

    // False while another run is alive: the caller must not start.
    static bool running();

    // The per-result step without its wait: counts the result, skips an excluded page, a known
    // site (isKnownSite) and a rank of "9", "10" or none (an answer that vorn::PageRank::rankOf
    // takes for no rank), else appends a new Temp_Site with that rank and shows its status
    // line. A rank request that fails for the network shows its own status and skips the site.
    // True when the site was kept. Other exceptions pass through.
    bool collectSite(const std::string& site, const std::string& page);
    // True when collectSite asked for a rank (the step took network time).
    bool askedRank() const { return askedRank_; }

    // collectSite for every entry, in map order, with a 50 ms pumped wait after each kept site
    // and a dispatch of queued messages after every other rank request and after every long
    // stretch of results skipped without one. False when the run had to end early (window
    // closed, application quitting); then nothing is to be stored.
    bool visit(const SiteMap& sites);
    // Drops collected sites that became known meanwhile and stores the rest in Temp_Sites, one
    // by one (addAllAndStore with storing on): a site whose row the file refuses (its unique id,
    // a constraint or trigger) is left out and counted, and the store goes on. A failure of the
    // file itself (DB::fileFailed: a lock, a read-only or full file) ends the store at once: that
    // site and those after it, not tried, are counted as not stored. The number stored.
    std::size_t store();
    // The number of sites store() could not store, and the status text of the failure of the
    // file that ended it, else of the first refusal.
    std::size_t notStored() const { return notStored_; }
    const std::string& notStoredReason() const { return notStoredReason_; }

    // True while the main window that was there at the start is still open (always true when
    // the run began without one).
    bool windowOpen() const;

    int counter = -1;
    std::vector<base::RecordPtr> list;

private:
    std::string input_;
    std::string label_;
    Rank rank_;
    bool askedRank_ = false;
    std::size_t notStored_ = 0;
    std::string notStoredReason_;
    bool hadWindow_;
    QPointer<MainWindow> window_;
};

} // namespace qmk::MyAction
