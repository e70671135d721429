// The page-visit request: one GET of the maker's page-visit address.
#include "FakeService.h"
#include "dwin/net/Http.h"
#include "vorn/Soft.h"
#include "vorn/Texts.h"

#include <gtest/gtest.h>

namespace {

TEST(VisitPage, SendsOneRequestToTheMakersAddress)
{
    lookups_test::FakeService maker("QMK_MAKER_URL",
                                    [](const httplib::Request&, httplib::Response& res) {
                                        res.set_content("<html>thanks</html>", "text/html");
                                    });
    ASSERT_EQ(vorn::Texts::pageVisitUrl().rfind(maker.baseUrl() + "/", 0), 0u);
    vorn::Soft::visitPage();
    const auto seen = maker.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(maker.baseUrl() + seen[0].target, vorn::Texts::pageVisitUrl());
}

TEST(VisitPage, ReplyIsNotLookedAt)
{
    lookups_test::FakeService maker(
        "QMK_MAKER_URL", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    EXPECT_NO_THROW(vorn::Soft::visitPage());
    EXPECT_EQ(maker.requestCount(), 1u);
}

TEST(VisitPage, FailureReachesTheCaller)
{
    const std::string dead = lookups_test::deadBaseUrl();
    ::setenv("QMK_MAKER_URL", dead.c_str(), 1);
    EXPECT_THROW(vorn::Soft::visitPage(), dwin::net::HttpException);
    ::unsetenv("QMK_MAKER_URL");
}

} // namespace
