// A web look-up over ten result pages of 4 MiB each holds one page at a time: the heap grows by
// a few pages at most, not by the ten of them joined, and the links found are all there.
#include "FakeService.h"
#include "HeapPeak.h"
#include "vorn/net/GoogleSearch.h"
#include "vorn/net/InboundLinks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t kPageBytes = 4u * 1024 * 1024;

// A page of `pageBytes` bytes: head, then filler up to the tail. Sent in pieces, so the fake
// service holds no whole page itself.
void sendPage(httplib::Response& res, std::string head, std::string tail, std::size_t pageBytes)
{
    res.set_content_provider(
        pageBytes, "text/html",
        [head, tail, pageBytes](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::string chunk;
            for (std::size_t at = offset; at < offset + std::min<std::size_t>(length, 64 * 1024);
                 ++at) {
                if (at < head.size())
                    chunk += head[at];
                else if (at >= pageBytes - tail.size())
                    chunk += tail[at - (pageBytes - tail.size())];
                else
                    chunk += ' ';
            }
            sink.write(chunk.data(), chunk.size());
            return true;
        });
}

std::string inboundPage(const httplib::Request& req)
{
    const int start = std::stoi(req.get_param_value("start"));
    const int results = std::stoi(req.get_param_value("results"));
    std::string xml = "<ResultSet totalResultsAvailable=\"1000\">\n";
    for (int k = start; k < start + results; ++k)
        xml += "<Result><Url>http://site" + std::to_string(k) + ".example/</Url></Result>\n";
    return xml;
}

std::string searchPage(const httplib::Request& req)
{
    const int start = std::stoi(req.get_param_value("start"));
    const int results = std::stoi(req.get_param_value("num"));
    std::string html = "Results 1 - 100 of about <b>1,000</b> for x. (0.1 seconds)\n";
    for (int k = start; k < start + results; ++k)
        html += "<a href=\"http://site" + std::to_string(k) +
            ".example/\" target=_blank class=l>s</a>\n";
    return html;
}

TEST(ResultPagesMemory, TenBigPagesAreScannedOneAtATime)
{
    {
        lookups_test::FakeService service(
            "QMK_INBOUND_URL", [](const httplib::Request& req, httplib::Response& res) {
                const bool one = req.get_param_value("results") == "1";
                sendPage(res, inboundPage(req), "</ResultSet>\n", one ? 4096 : kPageBytes);
            });
        vorn::net::InboundLinks::InboundLinks links("http://www.example.com");
        lookups_test::resetHeapPeak();
        const auto found = links.getLinks();
        const long long growth = lookups_test::heapPeakGrowth();
        ASSERT_TRUE(found);
        ASSERT_EQ(found->size(), 1000u);
        EXPECT_EQ(found->front(), "http://site1.example/");
        EXPECT_EQ(found->back(), "http://site1000.example/");
        // A page may take three times its size while its body grows; ten joined pages take ten.
        EXPECT_LT(growth, static_cast<long long>(5 * kPageBytes));
    }
    {
        lookups_test::FakeService service(
            "QMK_SEARCH_URL", [](const httplib::Request& req, httplib::Response& res) {
                const bool one = req.get_param_value("num") == "1";
                sendPage(res, searchPage(req), "</html>\n", one ? 4096 : kPageBytes);
            });
        vorn::net::GoogleSearch::GoogleSearch search("quillmark tools");
        lookups_test::resetHeapPeak();
        const auto found = search.getLinks();
        const long long growth = lookups_test::heapPeakGrowth();
        ASSERT_TRUE(found);
        ASSERT_EQ(found->size(), 1000u);
        EXPECT_EQ(found->back(), "http://site999.example/");
        EXPECT_LT(growth, static_cast<long long>(5 * kPageBytes));
    }
}

} // namespace
