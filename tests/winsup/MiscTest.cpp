// Date text, exception classes, service addresses and the scrambled texts.
#include "dwin/core/Exception.h"
#include "dwin/net/Services.h"
#include "dwin/time/WallClock.h"
#include "vorn/Crypt.h"
#include "vorn/Texts.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <regex>

namespace WallClock = dwin::time::WallClock;
using namespace dwin::core;

namespace {

TEST(WallClock, CompactIsEightDigitsOfTheGivenTime)
{
    ScopedEnv tz("TZ", "UTC0");
    EXPECT_EQ(WallClock::today(0, true), "19700101");
    EXPECT_EQ(WallClock::today(1700000000, true), "20231114");
}

TEST(WallClock, FarTimesGiveTheirYearOrAClearError)
{
    ScopedEnv tz("TZ", "UTC0");
    // The last second of the largest year the C library can hold.
    EXPECT_EQ(WallClock::today(std::time_t{67768036191676799LL}, true), "21474855471231");
    EXPECT_THROW(WallClock::today(std::time_t{67768036191676800LL}, true),
                 IllegalArgumentException);
    EXPECT_THROW(WallClock::today(std::numeric_limits<std::time_t>::max(), true),
                 IllegalArgumentException);
    EXPECT_THROW(WallClock::today(std::numeric_limits<std::time_t>::min(), true),
                 IllegalArgumentException);
}

TEST(WallClock, CompactFollowsLocalTime)
{
    ScopedEnv tz("TZ", "JST-9");
    EXPECT_EQ(WallClock::today(1700000000, true), "20231115");
}

TEST(WallClock, LongFormIsTodayInEnglish)
{
    const std::string text = WallClock::today(0, false);
    EXPECT_TRUE(std::regex_match(
        text, std::regex("[0-3][0-9] (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-9]{4}")))
        << text;
    // The time argument is not used by this form: it always shows the current date.
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char expected[32];
    std::strftime(expected, sizeof expected, "%d %b %Y", &parts);
    EXPECT_EQ(text, expected);
    EXPECT_NE(text.substr(text.size() - 4), "1970");
}

TEST(Exceptions, HierarchyAndMessages)
{
    try {
        throw IEException("Create IE instance failed");
    } catch (const COMException& e) {
        EXPECT_STREQ(e.what(), "Create IE instance failed");
        EXPECT_EQ(e.msg(), "Create IE instance failed");
        EXPECT_EQ(e.getErrorCode(), 0);
    }
    EXPECT_THROW(throw MailException("m"), Exception);
    EXPECT_THROW(throw InvalidCastException("c"), std::exception);
    EXPECT_THROW(throw ArgumentNullException("n"), IllegalArgumentException);
    EXPECT_THROW(throw ArgumentOutOfRangeException("r"), IllegalArgumentException);
    EXPECT_THROW(throw FormatException("f"), TextException);
    EXPECT_THROW(throw NullReferenceException("n"), TextException);
    EXPECT_THROW(throw UnauthorizedAccessException("u"), TextException);
    EXPECT_THROW(throw NotImplementedException("n"), TextException);
    EXPECT_EQ(InvalidOperationException().msg(), "");
    EXPECT_EQ(COMException("x", -2147467259).getErrorCode(), -2147467259);
}

TEST(Exceptions, ChainedCause)
{
    const Exception outer("outer", std::make_exception_ptr(TextException("inner")));
    ASSERT_TRUE(outer.next());
    try {
        std::rethrow_exception(outer.next());
    } catch (const TextException& e) {
        EXPECT_EQ(e.msg(), "inner");
    }
}

TEST(Services, DefaultsAndOverrides)
{
    using dwin::net::Service;
    ScopedEnv unset("QMK_SEARCH_URL", nullptr);
    const std::string fallback = dwin::net::serviceUrl(Service::Search);
    EXPECT_TRUE(fallback.starts_with("http")) << fallback;
    EXPECT_NE(fallback.back(), '/');
    {
        ScopedEnv set("QMK_SEARCH_URL", "http://127.0.0.1:8080//");
        EXPECT_EQ(dwin::net::serviceUrl(Service::Search), "http://127.0.0.1:8080");
    }
    EXPECT_EQ(dwin::net::serviceUrl(Service::Search), fallback);
    EXPECT_STREQ(dwin::net::serviceVariable(Service::Maker), "QMK_MAKER_URL");
    EXPECT_STREQ(dwin::net::serviceVariable(Service::DownloadSite), "QMK_DOWNLOAD_SITE_URL");
    EXPECT_STREQ(dwin::net::serviceVariable(Service::Inbound), "QMK_INBOUND_URL");
    EXPECT_FALSE(dwin::net::downloadSiteDomain().empty());
}

TEST(Crypt, RoundTripOfEveryByteAtEveryPosition)
{
    std::string all;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
    const std::string scrambled = vorn::Crypt::scramble(all);
    ASSERT_EQ(scrambled.size(), all.size());
    EXPECT_NE(scrambled, all);
    EXPECT_EQ(vorn::Crypt::unscramble(scrambled), all);
}

TEST(Crypt, ScrambledTextDoesNotShowThePlainText)
{
    const std::string scrambled = vorn::Crypt::scramble("Quillmark");
    EXPECT_EQ(scrambled.find("Quill"), std::string::npos);
    EXPECT_EQ(vorn::Crypt::unscramble(""), "");
}

TEST(Texts, PlainTexts)
{
    EXPECT_EQ(vorn::Texts::productName(), "Quillmark");
    EXPECT_EQ(vorn::Texts::windowTitle(), "Quillmark");
    EXPECT_TRUE(vorn::Texts::aboutTitle().starts_with("Quillmark"));
    EXPECT_NE(vorn::Texts::aboutMessage().find("Brightfen"), std::string::npos);
    EXPECT_EQ(vorn::Texts::excludedSource(), "brightfen.");
    EXPECT_FALSE(vorn::Texts::firstProductName().empty());
    EXPECT_NE(vorn::Texts::firstProductName(), vorn::Texts::secondProductName());
}

TEST(Texts, MakerAddressesFollowTheMakerService)
{
    ScopedEnv maker("QMK_MAKER_URL", "http://127.0.0.1:4321");
    EXPECT_EQ(vorn::Texts::makerHomeUrl(), "http://127.0.0.1:4321/");
    EXPECT_EQ(vorn::Texts::makerHelpUrl(), vorn::Texts::makerHomeUrl());
    EXPECT_EQ(vorn::Texts::pageVisitUrl(), "http://127.0.0.1:4321/visit?product=quillmark");
    EXPECT_EQ(vorn::Texts::firstProductUrl(), "http://127.0.0.1:4321/tallyleaf/");
    EXPECT_EQ(vorn::Texts::secondProductUrl(), "http://127.0.0.1:4321/driftnote/");
}

} // namespace
