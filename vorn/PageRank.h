#pragma once
// Search-engine rank (PageRank) of one page URL through the engine's toolbar query.
//
// The query carries a checksum of the URL: the lookup2 hash of "info:" + URL, started with
// kHashSeed, which the rank endpoint recomputes. The engine's address comes from
// dwin::net::serviceUrl(Service::Search) (QMK_SEARCH_URL).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn::PageRank {

// Initial value of the hash word c; the rank endpoint expects exactly this value.
inline constexpr std::uint32_t kHashSeed = 0x51ED2705;

// True when the URL has at least 5 bytes and starts with "http" (case-sensitive).
bool isValidUrl(std::string_view url);

// 0 for an invalid URL, else jenkinsHash("info:" + url).
std::uint32_t computeChecksum(std::string_view url);

// Bob Jenkins' lookup2 hash of the bytes, with c starting at kHashSeed.
std::uint32_t jenkinsHash(std::string_view bytes);

// The lookup2 mixing step on the three hash words.
void mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c);

// value shifted right by count with zeros entering from the left (an unsigned shift of the 32-bit
// pattern); a count of 32 or more gives 0.
std::int32_t zeroFillShift(unsigned count, std::int32_t value);

// The URL as a query component: letters, digits and ! $ ' ( ) * + , - . / : ; = @ _ ~ stay,
// every other byte becomes "%" and two lower-case hex digits.
std::string encodeQueryComponent(std::string_view url);

// The rank query for the URL, or no value when its checksum is 0.
std::optional<std::string> getQueryUrl(std::string_view url);

// The rank text from the engine (one GET, 8-second time-out), or no value when the reply carries
// none. An empty text is possible (a rank line with an empty third field).
// Throws dwin::net::HttpException on connection failure, time-out or a malformed reply.
std::optional<std::string> getRank(std::string_view url);

// The rank an answer of getRank stands for, written plainly ("7" for " 07 "): a whole number
// from 0 to 10 in ASCII digits, with white space around it allowed. Any other answer (another
// text, a sign, a fraction, a number above 10) stands for no rank: no value.
std::optional<std::string> rankOf(std::string_view answer);

} // namespace vorn::PageRank
