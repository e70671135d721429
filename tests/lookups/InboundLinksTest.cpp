// The inbound-links client against a loopback service that pages its results as the real one does.
#include "FakeService.h"
#include "vorn/Conv.h"
#include "vorn/net/InboundLinks.h"
#include "dwin/text/XmlText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace il = vorn::net::InboundLinks;
using lookups_test::FakeService;
using lookups_test::param;
using lookups_test::ScopedPump;

namespace {

std::string linkOf(int k)
{
    return "http://www.site" + std::to_string(k) + ".example/page" + std::to_string(k);
}

// One XML page: results [start, start + results) of `total`, one <Url> element per line.
std::string resultPage(const std::string& total, int count, int start, int results)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ResultSet totalResultsAvailable=\"" + total +
        "\" firstResultPosition=\"" + std::to_string(start) + "\">\n";
    for (int k = start; k < start + results && k <= count; ++k)
        xml += "<Result><Title>Page " + std::to_string(k) + "</Title><Url>" + linkOf(k) +
            "</Url></Result>\n";
    return xml + "</ResultSet>\n";
}

// A service reporting `total` results; the result page (of 100) at `failStart` answers 500.
struct InboundService {
    explicit InboundService(std::string total, int failStart = -1)
        : total(std::move(total)), failStart(failStart),
          service("QMK_INBOUND_URL", [this](const httplib::Request& req, httplib::Response& res) {
              const int start = std::stoi(req.get_param_value("start"));
              if (start == this->failStart && req.get_param_value("results") == "100") {
                  res.status = 500;
                  return;
              }
              const int count =
                  std::max(1, std::atoi(this->total.c_str())); // a page always has a <Url>
              res.set_content(
                  resultPage(this->total, count, start, std::stoi(req.get_param_value("results"))),
                  "text/xml");
          })
    {
    }

    std::vector<std::string> starts() const
    {
        std::vector<std::string> out;
        for (const auto& r : service.requests())
            out.push_back(param(r, "results") + "@" + param(r, "start"));
        return out;
    }

    std::string total;
    int failStart;
    FakeService service;
};

std::vector<std::string> expectedLinks(int n)
{
    std::vector<std::string> links;
    for (int k = 1; k <= n; ++k)
        links.push_back(linkOf(k));
    return links;
}

using V = std::vector<std::string>;

TEST(InboundLinks, RequestUrl)
{
    InboundService fake("1");
    il::InboundLinks client("http://www.example.com/a?b=1");
    EXPECT_EQ(client.getUrl(),
              fake.service.baseUrl() +
                  "/SiteExplorerService/V1/inlinkData?appid=" + std::string(il::appid) +
                  "&query=http://www.example.com/a?b=1&results=100&start=1&entire_site="
                  "&omit_inlinks=&output=xml&callback=");
    EXPECT_EQ(il::appid.size(), 64u);
}

TEST(InboundLinks, OnlyPlainHttpQueriesAreValid)
{
    InboundService fake("1");
    EXPECT_TRUE(il::InboundLinks("http:x").isValid());
    EXPECT_FALSE(il::InboundLinks("http:").isValid());
    EXPECT_FALSE(il::InboundLinks("https://www.example.com").isValid());
    EXPECT_FALSE(il::InboundLinks("HTTP://www.example.com").isValid());
    EXPECT_EQ(il::InboundLinks("https://www.example.com").getSites(), std::nullopt);
    EXPECT_EQ(fake.service.requestCount(), 0u);
}

struct PagingCase {
    const char* total;
    int links;
    V requests;
};

TEST(InboundLinks, PagesUpToTheTotalAndAtMostTen)
{
    const PagingCase cases[] = {
        {"1", 1, {"1@1", "100@1"}},
        {"100", 100, {"1@1", "100@1"}},
        {"101", 101, {"1@1", "100@1", "100@101"}},
        {"5000",
         1000,
         {"1@1", "100@1", "100@101", "100@201", "100@301", "100@401", "100@501", "100@601",
          "100@701", "100@801", "100@901"}},
    };
    for (const PagingCase& c : cases) {
        InboundService fake(c.total);
        ScopedPump pump(&fake.service);
        il::InboundLinks client("http://www.example.com");
        const auto links = client.getLinks();
        ASSERT_TRUE(links) << "total " << c.total;
        EXPECT_EQ(*links, expectedLinks(c.links)) << "total " << c.total;
        EXPECT_EQ(fake.starts(), c.requests) << "total " << c.total;
        EXPECT_EQ(client.total, std::atoi(c.total));
        // One 50 ms wait after each result page, before the next request.
        std::vector<std::size_t> waits;
        for (std::size_t i = 2; i <= c.requests.size(); ++i)
            waits.push_back(i);
        EXPECT_EQ(pump.requestsAtWait(), waits) << "total " << c.total;
        for (const auto& r : fake.service.requests()) {
            EXPECT_EQ(r.path, "/SiteExplorerService/V1/inlinkData");
            EXPECT_EQ(param(r, "appid"), il::appid);
            EXPECT_EQ(param(r, "query"), "http://www.example.com");
            EXPECT_EQ(param(r, "output"), "xml");
            EXPECT_EQ(param(r, "entire_site"), "");
            EXPECT_EQ(param(r, "callback"), "");
        }
    }
}

TEST(InboundLinks, FailingPageEndsPagingAndKeepsEarlierLinks)
{
    InboundService fake("500", 201);
    il::InboundLinks client("http://www.example.com");
    const auto links = client.getLinks();
    ASSERT_TRUE(links);
    EXPECT_EQ(*links, expectedLinks(200));
    EXPECT_EQ(fake.starts(), (V{"1@1", "100@1", "100@101", "100@201"}));
}

TEST(InboundLinks, FailingFirstResultPageGivesNothing)
{
    InboundService fake("50", 1); // the count request still works
    il::InboundLinks client("http://www.example.com");
    EXPECT_EQ(client.getLinks(), std::nullopt);
    EXPECT_EQ(fake.starts(), (V{"1@1", "100@1"}));
}

TEST(InboundLinks, TotalThatIsNotANumberReachesTheCaller)
{
    InboundService fake("lots");
    il::InboundLinks client("http://www.example.com");
    try {
        client.getSites();
        FAIL() << "no exception";
    } catch (const vorn::ConvException& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Could not convert `lots`", 0), 0u) << e.what();
    }
    EXPECT_EQ(fake.service.requestCount(), 1u);
}

TEST(InboundLinks, RepliesWithoutUsableContent)
{
    const std::vector<std::string> replies = {
        "",
        "<ResultSet totalResultsAvailable=\"3\"></ResultSet>", // total but no <Url>
        "<Result><Url>http://a.example/</Url></Result>", // <Url> but no total
        "<ResultSet totalResultsAvailable=3><Url>http://a/</Url>", // total not quoted
        std::string(10u << 20, 'x'), // 10 MiB without markers
        std::string(20u << 20, 'y'), // over the size cap
    };
    for (const std::string& reply : replies) {
        FakeService fake("QMK_INBOUND_URL", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(reply, "text/xml");
        });
        il::InboundLinks client("http://www.example.com");
        EXPECT_EQ(client.getSites(), std::nullopt) << "reply of " << reply.size() << " bytes";
        EXPECT_EQ(fake.requestCount(), 1u);
    }
}

TEST(InboundLinks, TruncatedAndHugePagesInTheMiddle)
{
    // Page 2 is cut inside an element, page 3 is 10 MiB of noise: the complete elements are kept.
    FakeService fake("QMK_INBOUND_URL", [](const httplib::Request& req, httplib::Response& res) {
        const int start = std::stoi(req.get_param_value("start"));
        const int results = std::stoi(req.get_param_value("results"));
        if (start == 101) {
            std::string page = resultPage("1000", 1000, start, results);
            res.set_content(page.substr(0, page.find("<Url>" + linkOf(103)) + 20), "text/xml");
        } else if (start == 201) {
            res.set_content(std::string(10u << 20, 'z'), "text/xml");
        } else {
            res.set_content(resultPage("1000", 1000, start, results), "text/xml");
        }
    });
    il::InboundLinks client("http://www.example.com");
    const auto links = client.getLinks();
    ASSERT_TRUE(links);
    V expected = expectedLinks(102);
    EXPECT_EQ(*links, expected);
    EXPECT_EQ(fake.requestCount(), 4u);
}

TEST(InboundLinks, UnreachableServiceGivesNothing)
{
    const std::string dead = lookups_test::deadBaseUrl();
    ::setenv("QMK_INBOUND_URL", dead.c_str(), 1);
    il::InboundLinks client("http://www.example.com");
    EXPECT_EQ(client.fetch(), std::nullopt);
    EXPECT_EQ(client.getSites(), std::nullopt);
    ::unsetenv("QMK_INBOUND_URL");
}

TEST(InboundLinks, SecondRunStartsAgain)
{
    InboundService fake("150");
    il::InboundLinks client("http://www.example.com");
    ASSERT_TRUE(client.getLinks());
    ASSERT_TRUE(client.getLinks());
    EXPECT_EQ(fake.starts(), (V{"1@1", "100@1", "100@101", "1@1", "100@1", "100@101"}));
}

TEST(InboundLinks, OneShortestPagePerSite)
{
    FakeService fake("QMK_INBOUND_URL", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<ResultSet totalResultsAvailable=\"6\">\n"
                        "<Url>http://www.EXAMPLE.com/a/longer/path</Url>\n"
                        "<Url>http://example.com/</Url>\n"
                        "<Url>http://other.example/bb</Url>\n"
                        "<Url>http://other.example/aa</Url>\n"
                        "<Url>HTTP://Example.com/</Url>\n"
                        "<Url>http://WWW.example.com/x</Url>\n"
                        "<Url>http://amp.example/list?a=1&amp;b=2</Url>\n"
                        "<Url>&#x68;ttp://caf&#233;.example/&apos;q&#0;</Url>\n"
                        "</ResultSet>\n",
                        "text/xml");
    });
    il::InboundLinks client("http://www.example.com");
    const auto sites = client.getSites();
    ASSERT_TRUE(sites);
    // each address is taken with its XML references decoded
    EXPECT_EQ(*sites,
              (vorn::net::SiteMap{{"amp.example", "http://amp.example/list?a=1&b=2"},
                                  {"caf\u00E9.example", "http://caf\u00E9.example/'q&#0;"},
                                  {"example.com", "http://example.com/"},
                                  {"other.example", "http://other.example/bb"}}));
    // what is no reference, or names a character XML forbids, stays as written
    const std::pair<const char*, const char*> texts[] = {
        {"&lt;&gt;&quot;&apos;&amp;", "<>\"'&"},
        {"&amp;amp;&#38;#65;", "&amp;&#65;"}, // decoded once
        {"&#65;&#x42;&#x1F600;&#9;", "AB\U0001F600\t"},
        {"&#X43;&#0;&#x0;&#1;&#xD800;&#xFFFE;&#x110000;&#99999999999999999999;",
         "&#X43;&#0;&#x0;&#1;&#xD800;&#xFFFE;&#x110000;&#99999999999999999999;"},
        {"a & b &amp &unknown; &#; &#x; &#12 &", "a & b &amp &unknown; &#; &#x; &#12 &"},
    };
    for (const auto& [text, decoded] : texts)
        EXPECT_EQ(dwin::text::xml::decodeEscapes(text), decoded) << text;
}

TEST(InboundLinks, HostOfALink)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://www.example.com/a/b", "example.com"},
        {"https://www.Example.COM/", "example.com"},
        {"http://https://x.example", "https"}, // as a URL parser reads it
        {"www.example.com", ""}, // no web address
        {"example.com/", ""},
        {"HTTP://example.com/", "example.com"},
        {"http://WWW.example.com", "example.com"},
        {"http://example.com:8080/x", "example.com"},
        {"", ""},
        {"http://", ""},
    };
    for (const auto& [url, host] : cases)
        EXPECT_EQ(il::getHost(url), host) << url;
}

TEST(InboundLinks, HostIsLowerCasedInEveryScript)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://www.M\u00DCNCHEN.example/", "m\u00FCnchen.example"},
        {"https://\u041F\u0420\u0418\u041C\u0415\u0420.\u0420\u0424/a",
         "\u043F\u0440\u0438\u043C\u0435\u0440.\u0440\u0444"}, // Cyrillic
        {"http://\u212A.example", "k.example"}, // the Kelvin sign
        {"http://AB\xFF\xC3"
         "CD/",
         ""}, // no UTF-8: no host
    };
    for (const auto& [url, host] : cases)
        EXPECT_EQ(il::getHost(url), host) << url;
}

TEST(Conv, StrictDecimal)
{
    EXPECT_EQ(vorn::toInt32("0"), 0);
    EXPECT_EQ(vorn::toInt32("5000"), 5000);
    EXPECT_EQ(vorn::toInt32("-12"), -12);
    EXPECT_EQ(vorn::toInt32("+7"), 7);
    EXPECT_EQ(vorn::toInt32("2147483647"), 2147483647);
    EXPECT_EQ(vorn::toInt32("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "-", "+", " 1", "1 ", "1e3", "2147483648", "-2147483649",
                            "99999999999999999999", "1,234", "+-1", "0x10"})
        EXPECT_THROW(vorn::toInt32(bad), vorn::ConvException) << bad;
}

} // namespace
