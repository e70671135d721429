// Checksum of the rank query: lookup2 against an independent implementation, URL rules, encoding.
#include "Lookup2Reference.h"
#include "vorn/PageRank.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace pr = vorn::PageRank;
using lookups_test::referenceLookup2;

namespace {

std::string bytesOfLength(std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>(0x30 + (i * 37) % 200); // high bytes included
    return s;
}

TEST(Lookup2, MatchesReferenceAtBlockBoundaries)
{
    for (std::size_t n : {0u, 1u, 4u, 5u, 7u, 8u, 9u, 11u, 12u, 13u, 23u, 24u, 25u, 36u, 100u}) {
        const std::string s = bytesOfLength(n);
        EXPECT_EQ(pr::jenkinsHash(s), referenceLookup2(s, pr::kHashSeed)) << "length " << n;
    }
}

TEST(Lookup2, EveryTailByteCounts)
{
    // Changing any single byte of an 11-byte tail (after one block) changes the hash.
    const std::string base = bytesOfLength(23);
    const std::uint32_t h = pr::jenkinsHash(base);
    for (std::size_t i = 0; i < base.size(); ++i) {
        std::string s = base;
        s[i] = static_cast<char>(s[i] ^ 0x80);
        EXPECT_NE(pr::jenkinsHash(s), h) << "byte " << i;
        EXPECT_EQ(pr::jenkinsHash(s), referenceLookup2(s, pr::kHashSeed)) << "byte " << i;
    }
}

TEST(Lookup2, MixAgreesWithOneReferenceRound)
{
    // Twelve zero bytes: one block of zero words, so the reference's state after one mix is known.
    std::uint32_t a = 0x9e3779b9, b = 0x9e3779b9, c = pr::kHashSeed;
    pr::mix(a, b, c);
    c += 12;
    pr::mix(a, b, c);
    EXPECT_EQ(c, referenceLookup2(std::string(12, '\0'), pr::kHashSeed));
}

TEST(Lookup2, ZeroFillShiftIsAnUnsignedShift)
{
    for (std::int32_t x : {0, 1, -1, 0x7FFFFFFF, INT32_MIN, -123456789, 987654321}) {
        for (unsigned n : {0u, 1u, 3u, 5u, 12u, 13u, 15u, 31u}) {
            EXPECT_EQ(static_cast<std::uint32_t>(pr::zeroFillShift(n, x)),
                      static_cast<std::uint32_t>(x) >> n)
                << x << " >>> " << n;
        }
        EXPECT_EQ(pr::zeroFillShift(32, x), 0);
    }
    EXPECT_EQ(pr::zeroFillShift(1, -2), 0x7FFFFFFF);
    EXPECT_EQ(pr::zeroFillShift(31, -1), 1);
}

TEST(Checksum, ValidUrls)
{
    EXPECT_TRUE(pr::isValidUrl("http:"));
    EXPECT_TRUE(pr::isValidUrl("https://a"));
    EXPECT_FALSE(pr::isValidUrl("http"));
    EXPECT_FALSE(pr::isValidUrl(""));
    EXPECT_FALSE(pr::isValidUrl("HTTP://a.com"));
    EXPECT_FALSE(pr::isValidUrl("ftp://a.com"));
    EXPECT_EQ(pr::computeChecksum("http"), 0u);
    EXPECT_EQ(pr::computeChecksum("ftp://a.com"), 0u);
}

TEST(Checksum, HashesInfoPrefixAndUrl)
{
    // "info:" + 7 bytes = one block exactly, no tail.
    EXPECT_EQ(pr::computeChecksum("http://"), referenceLookup2("info:http://", pr::kHashSeed));
    EXPECT_EQ(pr::computeChecksum("http:"), referenceLookup2("info:http:", pr::kHashSeed));
    const std::string url = "http://www.example.com/";
    EXPECT_EQ(pr::computeChecksum(url), referenceLookup2("info:" + url, pr::kHashSeed));
    EXPECT_NE(pr::computeChecksum(url), pr::computeChecksum("http://www.example.com"));
}

TEST(QueryEncoding, KeepsUrlCharactersAndEscapesTheRest)
{
    EXPECT_EQ(pr::encodeQueryComponent("http://a.b/c-d_e.f~g!$'()*+,;=@"),
              "http://a.b/c-d_e.f~g!$'()*+,;=@");
    EXPECT_EQ(pr::encodeQueryComponent("a b?c&d#e%f"), "a%20b%3fc%26d%23e%25f");
    EXPECT_EQ(pr::encodeQueryComponent("\xC3\xA9\"<>\n"), "%c3%a9%22%3c%3e%0a");
    EXPECT_EQ(pr::encodeQueryComponent(""), "");
}

} // namespace
