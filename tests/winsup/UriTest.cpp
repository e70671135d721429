// Query-value encoding.
#include "dwin/core/Exception.h"
#include "dwin/net/Uri.h"

#include <gtest/gtest.h>

namespace Uri = dwin::net::Uri;

namespace {

TEST(Uri, Examples)
{
    EXPECT_EQ(Uri::encode("ab cd"), "ab+cd");
    EXPECT_EQ(Uri::encode("+ "), "++");
    EXPECT_EQ(Uri::encode("%_"), "%25%5F");
    EXPECT_EQ(Uri::encode("\xC3\xA9"), "%C3%A9");
    EXPECT_EQ(Uri::encode(""), "");
    EXPECT_EQ(Uri::encode("a#b\"c"), "a%23b%22c");
    EXPECT_EQ(Uri::encode("q=1&x?y"), "q=1&x?y");
}

TEST(Uri, EveryByteOnce)
{
    const std::string keptSet =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz;/?:@&=+$,-.!~*'()";
    ASSERT_EQ(keptSet.size(), 80u);
    for (int b = 0; b < 256; ++b) {
        const std::string in(1, static_cast<char>(b));
        const std::string out = Uri::encode(in);
        if (b == ' ') {
            EXPECT_EQ(out, "+");
        } else if (keptSet.find(static_cast<char>(b)) != std::string::npos) {
            EXPECT_EQ(out, in) << "byte " << b;
        } else {
            char expected[4];
            std::snprintf(expected, sizeof expected, "%%%02X", b);
            EXPECT_EQ(out, expected) << "byte " << b;
        }
    }
}

TEST(Uri, AllBytesInOneText)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string out = Uri::encode(all);
    // 80 kept bytes and the blank stay one character; the other 175 take three.
    EXPECT_EQ(out.size(), 81u + 175u * 3u);
    EXPECT_EQ(out.substr(0, 6), "%00%01");
    EXPECT_EQ(out.substr(out.size() - 3), "%FF");
}

TEST(Uri, Utf8CodePageMatchesDefault)
{
    EXPECT_EQ(Uri::encode("caf\xC3\xA9 bar", 65001), "caf%C3%A9+bar");
}

TEST(Uri, OtherCodePageEncodesItsBytes)
{
    EXPECT_EQ(Uri::encode("caf\xC3\xA9 bar", 1252), "caf%E9+bar");
}

TEST(Uri, FailingConversionIsNotCaught)
{
    EXPECT_THROW(Uri::encode("abc", 99999), dwin::core::IllegalArgumentException);
}

} // namespace
