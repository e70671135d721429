// The rank query against a fake search engine that checks the checksum as the real endpoint does.
#include "FakeService.h"
#include "Lookup2Reference.h"
#include "dwin/net/Http.h"
#include "vorn/PageRank.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace pr = vorn::PageRank;
using lookups_test::FakeService;
using lookups_test::param;

namespace {

// Answers with the configured reply when ch matches the URL in q, with 403 otherwise.
class RankService {
public:
    RankService()
        : service_("QMK_SEARCH_URL", [this](const httplib::Request& req, httplib::Response& res) {
              const std::string q = req.get_param_value("q");
              const std::uint32_t sum = lookups_test::referenceLookup2(q, pr::kHashSeed);
              if (q.rfind("info:", 0) != 0 ||
                  req.get_param_value("ch") !=
                      "6" + std::to_string(static_cast<std::int32_t>(sum))) {
                  res.status = 403;
                  res.set_content("Rank_1:1:9", "text/plain");
                  return;
              }
              std::lock_guard lock(mutex_);
              res.status = status_;
              res.set_content(reply_, "text/plain");
          })
    {
    }

    void answer(std::string reply, int status = 200)
    {
        std::lock_guard lock(mutex_);
        reply_ = std::move(reply);
        status_ = status;
    }
    FakeService& service() { return service_; }

private:
    std::mutex mutex_;
    std::string reply_;
    int status_ = 200;
    FakeService service_;
};

TEST(RankQuery, QueryUrlLayout)
{
    RankService rank;
    const std::string url = "http://www.example.com/a b?c&d#e%f";
    const auto sum = static_cast<std::int32_t>(pr::computeChecksum(url));
    EXPECT_EQ(
        pr::getQueryUrl(url),
        rank.service().baseUrl() + "/search?client=navclient-auto&ch=6" + std::to_string(sum) +
            "&ie=UTF-8&oe=UTF-8&features=Rank&q=info:http://www.example.com/a%20b%3fc%26d%23e%25f");
    EXPECT_EQ(pr::getQueryUrl("http"), std::nullopt);
    EXPECT_EQ(pr::getQueryUrl("ftp://x.com"), std::nullopt);
}

TEST(RankQuery, ChecksumWithBit31IsWrittenNegative)
{
    RankService rank;
    std::string url;
    for (int i = 0; url.empty(); ++i) {
        const std::string candidate = "http://site" + std::to_string(i) + ".example/";
        if (pr::computeChecksum(candidate) >= 0x80000000u)
            url = candidate;
    }
    const std::string query = *pr::getQueryUrl(url);
    const std::int64_t asSigned = std::int64_t{pr::computeChecksum(url)} - (std::int64_t{1} << 32);
    EXPECT_NE(query.find("&ch=6" + std::to_string(asSigned) + "&"), std::string::npos) << query;
    EXPECT_NE(query.find("&ch=6-"), std::string::npos);
    // The endpoint accepts it.
    rank.answer("Rank_1:1:3\n");
    EXPECT_EQ(pr::getRank(url), "3");
}

TEST(RankQuery, InvalidUrlMakesNoRequest)
{
    RankService rank;
    rank.answer("Rank_1:1:4\n");
    EXPECT_EQ(pr::getRank("http"), std::nullopt);
    EXPECT_EQ(pr::getRank("https"), "4"); // five bytes starting with "http" are enough
    EXPECT_EQ(pr::getRank("Http://www.example.com"), std::nullopt);
    EXPECT_EQ(pr::getRank(""), std::nullopt);
    EXPECT_EQ(rank.service().requestCount(), 1u);
}

struct ReplyCase {
    const char* reply;
    std::optional<std::string> rank;
};

TEST(RankQuery, ReadsTheRankFromEveryReplyShape)
{
    RankService rank;
    const ReplyCase cases[] = {
        {"Rank_1:1:4\n", "4"},
        {"Rank_1:1:0\n", "0"}, // rank 0 is a rank
        {"Rank_1:1:\n", ""}, // empty third field
        {"Rank_1:1:10", "10"}, // no line feed at all
        {"Rank_1:1:5\r\n", "5"}, // carriage return before the line feed dropped
        {"Rank_1:2\nRank_1:1:7\n", "7"}, // first line has two fields only
        {"Rank_1\nRank_1:1:6:9\n", "6"}, // line without ":" skipped; later fields ignored
        {"Rank:1:3", "3"}, // eight bytes
        {"Rank:1:", std::nullopt}, // seven bytes
        {"Rank_1 :x\n\n", std::nullopt}, // no line of three fields
        {"rank_1:1:4\n", std::nullopt}, // "Rank" is case-sensitive
        {"<html><body>Rank_1:1:4</body></html>", std::nullopt},
        {"", std::nullopt},
        {"Rank_1: 1 : 2 \n", " 2 "}, // fields are not trimmed
    };
    for (const ReplyCase& c : cases) {
        rank.answer(c.reply);
        EXPECT_EQ(pr::getRank("http://www.example.com"), c.rank) << "reply: " << c.reply;
    }
    EXPECT_EQ(rank.service().requestCount(), std::size(cases));
}

TEST(RankQuery, StatusOtherThan200IsNoRank)
{
    RankService rank;
    rank.answer("Rank_1:1:4\n", 404);
    EXPECT_EQ(pr::getRank("http://www.example.com"), std::nullopt);
    rank.answer("Rank_1:1:4\n", 302);
    EXPECT_EQ(pr::getRank("http://www.example.com"), std::nullopt);
}

TEST(RankQuery, SendsTheUrlItWasGiven)
{
    RankService rank;
    rank.answer("Rank_1:1:2\n");
    ASSERT_EQ(pr::getRank("http://www.example.com/"), "2");
    const auto seen = rank.service().requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, "/search");
    EXPECT_EQ(param(seen[0], "client"), "navclient-auto");
    EXPECT_EQ(param(seen[0], "features"), "Rank");
    EXPECT_EQ(param(seen[0], "q"), "info:http://www.example.com/");
}

TEST(RankQuery, TransportFailureReachesTheCaller)
{
    const std::string dead = lookups_test::deadBaseUrl();
    ::setenv("QMK_SEARCH_URL", dead.c_str(), 1);
    EXPECT_THROW(pr::getRank("http://www.example.com"), dwin::net::HttpException);
    ::unsetenv("QMK_SEARCH_URL");
}

} // namespace
