#pragma once
// Loopback stand-ins of the search engine (home page, rank query, web search) and of the
// inbound-links service, for the harvest tests.
#include "lookups/FakeService.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace qmk::test {

using lookups_test::FakeService;

// The site a rank query asks about ("info:http://www.x.example/" gives "x.example").
inline std::string rankedSite(std::string q)
{
    for (std::string_view prefix : {"info:", "http://", "www."})
        if (q.rfind(prefix, 0) == 0)
            q.erase(0, prefix.size());
    if (!q.empty() && q.back() == '/')
        q.pop_back();
    return q;
}

// The search engine: home page, rank query (ranks by site; "down" breaks the reply; a site not
// listed has no rank) and web search over the given links.
struct SearchEngine {
    std::map<std::string, std::string> ranks;
    std::string otherRank; // the rank of a site not in ranks ("": none)
    std::vector<std::string> links;
    std::atomic<int> rankRequests{0};
    std::atomic<int> ticks{0}; // raised by the test's event loop
    std::mutex mutex;
    std::vector<int> ticksAtRank;
    FakeService service{"QMK_SEARCH_URL",
                        [this](const httplib::Request& req, httplib::Response& res) {
                            if (req.path == "/")
                                return res.set_content("<html>home</html>", "text/html");
                            if (req.get_param_value("features") == "Rank")
                                return rank(req, res);
                            search(req, res);
                        }};

    void rank(const httplib::Request& req, httplib::Response& res)
    {
        ++rankRequests;
        {
            std::lock_guard lock(mutex);
            ticksAtRank.push_back(ticks);
        }
        auto it = ranks.find(rankedSite(req.get_param_value("q")));
        if (it == ranks.end() && !otherRank.empty())
            return res.set_content("Rank_1:1:" + otherRank + "\n", "text/plain");
        if (it == ranks.end())
            return res.set_content("", "text/plain");
        if (it->second == "down") {
            res.set_content_provider(100, "text/plain",
                                     [](size_t, size_t, httplib::DataSink&) { return false; });
            return;
        }
        res.set_content("Rank_1:1:" + it->second + "\n", "text/plain");
    }
    void search(const httplib::Request& req, httplib::Response& res)
    {
        const int start = std::stoi(req.get_param_value("start"));
        const int num = std::stoi(req.get_param_value("num"));
        std::string html = "<html><body><div>Results <b>" + std::to_string(start + 1) +
            "</b> of about <b>" + std::to_string(links.size()) +
            "</b> for <b>x</b>. (0.21 seconds)</div>\n";
        for (int k = start; k < std::min<int>(start + num, int(links.size())); ++k)
            html += "<div class=g><h2 class=r><a href=\"" + links[std::size_t(k)] +
                "\" target=_blank class=l>Result</a></h2></div>\n";
        res.set_content(html + "</body></html>\n", "text/html");
    }
};

// The inbound-links service over the given links; total is the count it reports.
struct InboundService {
    std::vector<std::string> links;
    std::string total;
    int failStart = -1; // the page at this start answers 500
    FakeService service{
        "QMK_INBOUND_URL", [this](const httplib::Request& req, httplib::Response& res) {
            const int start = std::stoi(req.get_param_value("start"));
            const int results = std::stoi(req.get_param_value("results"));
            if (start == failStart && results == 100) {
                res.status = 500;
                return;
            }
            std::string xml = "<?xml version=\"1.0\"?>\n<ResultSet totalResultsAvailable=\"" +
                (total.empty() ? std::to_string(links.size()) : total) + "\">\n";
            for (int k = start; k < start + results && k <= int(links.size()); ++k)
                xml += "<Result><Url>" + links[std::size_t(k - 1)] + "</Url></Result>\n";
            res.set_content(xml + "</ResultSet>\n", "text/xml");
        }};
};

} // namespace qmk::test
