// The hosts the three site lists hold, as a harvest compares them with the hosts it finds.
#include "qmk/MyActionHarvest.h"

#include "qmk/tab/Black_Sites.h"
#include "qmk/tab/Shareware_Sites.h"
#include "qmk/tab/Temp_Sites.h"
#include "vorn/net/Sites.h"

#include <array>
#include <unordered_set>
#include <utility>

namespace qmk::MyAction {

std::string siteKey(const std::string& site)
{
    std::string host = vorn::net::siteHost(site);
    return host.empty() ? site : host;
}

namespace {

using Lists = std::array<const BaseRecords*, 3>;

Lists siteLists()
{
    return {tab::Shareware_Sites::getInstance(), tab::Temp_Sites::getInstance(),
            tab::Black_Sites::getInstance()};
}

// The host of every id the lists hold, shown or stored; gathered again once a list changed or
// the site or its host was written as an id since (base::changeStamp, base::writtenIds: the
// editors write an id in the form its host takes).
class KnownHosts {
public:
    bool contains(const std::string& site, const std::string& host)
    {
        const Lists lists = siteLists();
        const std::unordered_set<std::string>& written = base::writtenIds();
        if (!valid_ || base::changeStamp() != stamp_ || lists != lists_ ||
            written.count(host) != 0 || written.count(site) != 0)
            gather(lists);
        return hosts_.count(host) != 0;
    }

private:
    void gather(const Lists& lists)
    {
        base::noteChange(); // what was written so far is read now
        hosts_.clear();
        std::size_t rows = 0;
        for (const BaseRecords* list : lists)
            rows += list ? list->length() : 0;
        hosts_.reserve(rows);
        for (const BaseRecords* list : lists)
            if (list)
                for (const base::RecordPtr& record : list->getRecords())
                    if (record)
                        addHostsOf(*record);
        lists_ = lists;
        stamp_ = base::changeStamp();
        valid_ = true;
    }

    void addHostsOf(const base::BaseRecord& record)
    {
        const base::FieldMap& fields = record.getFields();
        const auto it = fields.find(std::string_view("id"));
        if (it != fields.end())
            addHost(it->second);
        // an id typed over the row (a placeholder, a rename not yet stored) hides the stored one
        if (it == fields.end() || !record.isStoredUnder(it->second))
            if (const std::optional<std::string> stored = record.storedId())
                addHost(*stored);
    }

    // an id that is no bare host is kept as it is, so a site still matches it exactly
    void addHost(const std::string& id) { hosts_.insert(siteKey(id)); }

    bool valid_ = false;
    std::uint64_t stamp_ = 0;
    Lists lists_{};
    std::unordered_set<std::string> hosts_;
};

} // namespace

bool isKnownSite(const std::string& site)
{
    static KnownHosts known;
    return known.contains(site, siteKey(site));
}

} // namespace qmk::MyAction
