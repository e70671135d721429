#include "qmk/Base.h"

#include "dwin/net/Http.h"
#include "dwin/net/Services.h"
#include "qmk/Report.h"
#include "qmk/tab/Black_Sites.h"
#include "qmk/tab/Shareware_Sites.h"
#include "qmk/tab/Temp_Sites.h"

#include <array>
#include <exception>
#include <unordered_set>
#include <utility>

namespace qmk {

namespace {

// The ids of the three site lists, read again when a list changed since, or when the id asked
// for was written to some record since.
class KnownIds {
public:
    bool contains(const std::string& id)
    {
        const std::array<const BaseRecords*, 3> lists = {tab::Shareware_Sites::getInstance(),
                                                         tab::Temp_Sites::getInstance(),
                                                         tab::Black_Sites::getInstance()};
        if (!valid_ || base::changeStamp() != stamp_ || lists != lists_ ||
            base::writtenIds().count(id)) {
            base::noteChange(); // what was written so far is read now
            ids_.clear();
            std::size_t rows = 0;
            for (const BaseRecords* list : lists)
                rows += list ? list->length() : 0;
            ids_.reserve(rows);
            for (const BaseRecords* list : lists) {
                if (!list)
                    continue;
                for (const base::RecordPtr& record : list->getRecords()) {
                    if (!record)
                        continue;
                    const base::FieldMap& fields = std::as_const(*record).getFields();
                    if (auto it = fields.find(std::string_view("id")); it != fields.end())
                        ids_.insert(it->second);
                }
            }
            lists_ = lists;
            stamp_ = base::changeStamp();
            valid_ = true;
        }
        return ids_.count(id) != 0;
    }

private:
    bool valid_ = false;
    std::uint64_t stamp_ = 0;
    std::array<const BaseRecords*, 3> lists_{};
    std::unordered_set<std::string> ids_;
};

} // namespace

bool isNewSite(const std::string& id)
{
    static KnownIds known;
    return !known.contains(id);
}

std::string categoryPageUrl(const std::string& cid)
{
    return dwin::net::serviceUrl(dwin::net::Service::DownloadSite) + "/category.php%5Bid%5D" + cid;
}

int getIndex(const std::string& url, const std::string& product)
{
    try {
        const std::string page = dwin::net::Http::get(url, 16 * 1024, 30);
        if (page.size() < 3000) {
            showStatus("CheckUpdateAction: getIndex: source html less than 300");
            return 0;
        }
        // The parts between the "Released:" markers, read in place; part 1 is the text before the
        // first one.
        constexpr std::string_view marker = "Released:";
        std::vector<std::string_view> parts;
        const std::string_view text(page);
        for (std::size_t start = 0;;) {
            const std::size_t at = text.find(marker, start);
            parts.push_back(text.substr(
                start, at == std::string_view::npos ? std::string_view::npos : at - start));
            if (at == std::string_view::npos)
                break;
            start = at + marker.size();
        }
        if (parts.size() < 10) {
            report::trace("CheckUpdateAction getIndex get 0 result, software:\r\n" + product);
            return 0;
        }
        for (std::size_t i = 0; i < parts.size(); ++i)
            if (parts[i].find(product) != std::string_view::npos)
                return int(i + 1);
        return 0;
    } catch (const std::exception& e) {
        report::trace(std::string("getIndex catch ") + e.what());
        return 0;
    }
}

} // namespace qmk
