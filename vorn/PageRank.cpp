#include "vorn/PageRank.h"

namespace vorn::PageRank {

namespace {

constexpr std::uint32_t kGoldenRatio = 0x9e3779b9;

std::uint32_t word(const unsigned char* k)
{
    return std::uint32_t{k[0]} | std::uint32_t{k[1]} << 8 | std::uint32_t{k[2]} << 16 |
        std::uint32_t{k[3]} << 24;
}

std::uint32_t shr(std::uint32_t x, unsigned n)
{
    return static_cast<std::uint32_t>(zeroFillShift(n, static_cast<std::int32_t>(x)));
}

bool keptInQuery(unsigned char ch)
{
    if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9'))
        return true;
    return std::string_view("!$'()*+,-./:;=@_~").find(static_cast<char>(ch)) !=
        std::string_view::npos;
}

} // namespace

bool isValidUrl(std::string_view url)
{
    return url.size() >= 5 && url.substr(0, 4) == "http";
}

std::uint32_t computeChecksum(std::string_view url)
{
    if (!isValidUrl(url))
        return 0;
    std::string text = "info:";
    text += url;
    return jenkinsHash(text);
}

std::int32_t zeroFillShift(unsigned count, std::int32_t value)
{
    if (count == 0)
        return value;
    if (count >= 32)
        return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) >> count);
}

void mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c)
{
    a -= b;
    a -= c;
    a ^= shr(c, 13);
    b -= c;
    b -= a;
    b ^= a << 8;
    c -= a;
    c -= b;
    c ^= shr(b, 13);
    a -= b;
    a -= c;
    a ^= shr(c, 12);
    b -= c;
    b -= a;
    b ^= a << 16;
    c -= a;
    c -= b;
    c ^= shr(b, 5);
    a -= b;
    a -= c;
    a ^= shr(c, 3);
    b -= c;
    b -= a;
    b ^= a << 10;
    c -= a;
    c -= b;
    c ^= shr(b, 15);
}

std::uint32_t jenkinsHash(std::string_view bytes)
{
    const auto* k = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    std::uint32_t a = kGoldenRatio;
    std::uint32_t b = kGoldenRatio;
    std::uint32_t c = kHashSeed;
    for (; left >= 12; k += 12, left -= 12) {
        a += word(k);
        b += word(k + 4);
        c += word(k + 8);
        mix(a, b, c);
    }
    c += static_cast<std::uint32_t>(bytes.size());
    // Tail bytes 8..10 go above the length in the lowest byte of c.
    for (std::size_t i = left; i-- > 0;) {
        const std::uint32_t v = k[i];
        if (i >= 8)
            c += v << (8 * (i - 7));
        else if (i >= 4)
            b += v << (8 * (i - 4));
        else
            a += v << (8 * i);
    }
    mix(a, b, c);
    return c;
}

std::string encodeQueryComponent(std::string_view url)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(url.size() * 3);
    for (const char ch : url) {
        const auto byte = static_cast<unsigned char>(ch);
        if (keptInQuery(byte)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

} // namespace vorn::PageRank
