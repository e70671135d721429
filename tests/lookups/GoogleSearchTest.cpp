// The web-search client against a loopback search engine serving result pages.
#include "FakeService.h"
#include "vorn/Conv.h"
#include "vorn/net/GoogleSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gs = vorn::net::GoogleSearch;
using lookups_test::FakeService;
using lookups_test::param;
using lookups_test::ScopedPump;

namespace {

std::string linkOf(int k)
{
    return "http://www.site" + std::to_string(k) + ".example/p" + std::to_string(k) + ".html";
}

// A result page: the count line, then results [start, start + num) of `available`.
std::string resultPage(const std::string& countText, int available, int start, int num,
                       bool timing = true)
{
    std::string html = "<html><body><div>Results <b>" + std::to_string(start + 1) +
        "</b> of about <b>" + countText + "</b> for <b>cheap software</b>." +
        (timing ? " (0.21 seconds)" : "") + "</div>\n";
    for (int k = start; k < std::min(start + num, available); ++k)
        html += "<div class=g><h2 class=r><a href=\"" + linkOf(k) +
            "\" target=_blank class=l>Result " + std::to_string(k) + "</a></h2><a href=\"/cache?" +
            std::to_string(k) + "\">Cached</a></div>\n";
    return html + "</body></html>\n";
}

int countValue(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), ','), text.end());
    return std::atoi(text.c_str());
}

// An engine reporting `countText` results; the page of 100 at `failStart` answers 503.
struct SearchService {
    explicit SearchService(std::string countText, int failStart = -1)
        : countText(std::move(countText)), failStart(failStart),
          service("QMK_SEARCH_URL", [this](const httplib::Request& req, httplib::Response& res) {
              const int start = std::stoi(req.get_param_value("start"));
              const int num = std::stoi(req.get_param_value("num"));
              if (start == this->failStart && num == 100) {
                  res.status = 503;
                  return;
              }
              res.set_content(resultPage(this->countText, countValue(this->countText), start, num),
                              "text/html");
          })
    {
    }

    std::vector<std::string> pages() const
    {
        std::vector<std::string> out;
        for (const auto& r : service.requests())
            out.push_back(param(r, "num") + "@" + param(r, "start"));
        return out;
    }

    std::string countText;
    int failStart;
    FakeService service;
};

std::vector<std::string> expectedLinks(int n)
{
    std::vector<std::string> links;
    for (int k = 0; k < n; ++k)
        links.push_back(linkOf(k));
    return links;
}

using V = std::vector<std::string>;

TEST(GoogleSearch, RequestUrlEncodesOnlyTheText)
{
    SearchService fake("1");
    gs::GoogleSearch client("cheap & good_software");
    EXPECT_EQ(client.getUrl(),
              fake.service.baseUrl() +
                  "/search?q=cheap+&+good%5Fsoftware&num=100&hl=en&as_qdr=all&start=0&sa=N");
}

TEST(GoogleSearch, TextOfFiveBytesOrLessMakesNoRequest)
{
    SearchService fake("10");
    EXPECT_FALSE(gs::GoogleSearch("abcde").isValid());
    EXPECT_TRUE(gs::GoogleSearch("abcdef").isValid());
    EXPECT_EQ(gs::GoogleSearch("abcde").getSites(), std::nullopt);
    EXPECT_EQ(fake.service.requestCount(), 0u);
}

struct PagingCase {
    const char* count;
    int links;
    V requests;
};

TEST(GoogleSearch, PagesUpToTheCountAndAtMostTen)
{
    const PagingCase cases[] = {
        {"1", 1, {"1@0", "100@0"}},
        {"100", 100, {"1@0", "100@0"}},
        {"101", 101, {"1@0", "100@0", "100@100"}},
        {"1,234",
         1000,
         {"1@0", "100@0", "100@100", "100@200", "100@300", "100@400", "100@500", "100@600",
          "100@700", "100@800", "100@900"}},
    };
    for (const PagingCase& c : cases) {
        SearchService fake(c.count);
        ScopedPump pump(&fake.service);
        gs::GoogleSearch client("cheap software");
        const auto links = client.getLinks();
        ASSERT_TRUE(links) << c.count;
        EXPECT_EQ(*links, expectedLinks(c.links)) << c.count;
        EXPECT_EQ(fake.pages(), c.requests) << c.count;
        EXPECT_EQ(client.total, countValue(c.count));
        std::vector<std::size_t> waits;
        for (std::size_t i = 2; i <= c.requests.size(); ++i)
            waits.push_back(i);
        EXPECT_EQ(pump.requestsAtWait(), waits) << c.count;
        const auto seen = fake.service.requests();
        EXPECT_EQ(seen.front().path, "/search");
        EXPECT_EQ(param(seen.front(), "q"), "cheap software");
        EXPECT_EQ(param(seen.back(), "hl"), "en");
        EXPECT_EQ(param(seen.back(), "as_qdr"), "all");
        EXPECT_EQ(param(seen.back(), "sa"), "N");
    }
}

TEST(GoogleSearch, CountOfZeroReadsNoPage)
{
    SearchService fake("0");
    gs::GoogleSearch client("cheap software");
    EXPECT_EQ(client.getSites(), std::nullopt);
    EXPECT_EQ(fake.pages(), (V{"1@0"}));
}

TEST(GoogleSearch, FailingPageEndsPagingAndKeepsEarlierLinks)
{
    SearchService fake("450", 200);
    gs::GoogleSearch client("cheap software");
    const auto links = client.getLinks();
    ASSERT_TRUE(links);
    EXPECT_EQ(*links, expectedLinks(200));
    EXPECT_EQ(fake.pages(), (V{"1@0", "100@0", "100@100", "100@200"}));
}

TEST(GoogleSearch, CountThatDoesNotConvertReachesTheCaller)
{
    for (const char* count : {"99,999,999,999", ","}) {
        SearchService fake(count);
        gs::GoogleSearch client("cheap software");
        EXPECT_THROW(client.getSites(), vorn::ConvException) << count;
        EXPECT_EQ(fake.service.requestCount(), 1u);
    }
}

TEST(GoogleSearch, FirstPagesWithoutUsableContent)
{
    const std::vector<std::string> replies = {
        "",
        resultPage("1,234", 1234, 0, 1, false), // no "seconds)"
        "Results 1 of <b>1,234</b> for <b>x</b> (0.1 seconds)", // no "about "
        "Results 1 of about <b>1 234</b> for <b>x</b> (0.1 seconds)", // blank in the count
        std::string(10u << 20, 'x'), // 10 MiB without markers
        std::string(20u << 20, 'y'), // over the size cap
    };
    for (const std::string& reply : replies) {
        FakeService fake("QMK_SEARCH_URL", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(reply, "text/html");
        });
        gs::GoogleSearch client("cheap software");
        EXPECT_EQ(client.getSites(), std::nullopt) << reply.substr(0, 80);
        EXPECT_EQ(fake.requestCount(), 1u);
    }
}

TEST(GoogleSearch, LinksWithBlanksAreSkipped)
{
    FakeService fake("QMK_SEARCH_URL", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("of about <b>3</b> for x (0.1 seconds)\n"
                        "<a href=\"http://a.example/a b\" target=_blank class=l>A</a>\n"
                        "<a href='http://b.example/' target=_blank class=l>B</a>\n"
                        "<a href=\"http://www.B.example/longer\" target=_blank class=l>B2</a>\n"
                        "<a href=\"http://c.example/\" class=x>C</a>\n",
                        "text/html");
    });
    gs::GoogleSearch client("cheap software");
    EXPECT_EQ(client.getLinks(), (V{"http://b.example/", "http://www.B.example/longer"}));
    EXPECT_EQ(client.getSites(), (vorn::net::SiteMap{{"b.example", "http://b.example/"}}));
    EXPECT_EQ(gs::getHost("https://www.Shop.example/x"), "shop.example");
    EXPECT_EQ(gs::getHost("https://www.\u00C4RGER.example/x"), "\u00E4rger.example");
}

TEST(GoogleSearch, UnreachableEngineGivesNothing)
{
    const std::string dead = lookups_test::deadBaseUrl();
    ::setenv("QMK_SEARCH_URL", dead.c_str(), 1);
    gs::GoogleSearch client("cheap software");
    EXPECT_EQ(client.getSites(), std::nullopt);
    ::unsetenv("QMK_SEARCH_URL");
}

} // namespace
