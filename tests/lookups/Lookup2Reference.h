#pragma once
// A second, plain lookup2 (as Bob Jenkins published it, on unsigned 32-bit words) to check the
// program's hash against, and the checksum the fake rank service expects.

#include <cstdint>
#include <string_view>

namespace lookups_test {

#define LOOKUP2_MIX(a, b, c)                                                                       \
    {                                                                                              \
        a -= b;                                                                                    \
        a -= c;                                                                                    \
        a ^= (c >> 13);                                                                            \
        b -= c;                                                                                    \
        b -= a;                                                                                    \
        b ^= (a << 8);                                                                             \
        c -= a;                                                                                    \
        c -= b;                                                                                    \
        c ^= (b >> 13);                                                                            \
        a -= b;                                                                                    \
        a -= c;                                                                                    \
        a ^= (c >> 12);                                                                            \
        b -= c;                                                                                    \
        b -= a;                                                                                    \
        b ^= (a << 16);                                                                            \
        c -= a;                                                                                    \
        c -= b;                                                                                    \
        c ^= (b >> 5);                                                                             \
        a -= b;                                                                                    \
        a -= c;                                                                                    \
        a ^= (c >> 3);                                                                             \
        b -= c;                                                                                    \
        b -= a;                                                                                    \
        b ^= (a << 10);                                                                            \
        c -= a;                                                                                    \
        c -= b;                                                                                    \
        c ^= (b >> 15);                                                                            \
    }

inline std::uint32_t referenceLookup2(std::string_view text, std::uint32_t initval)
{
    using ub4 = std::uint32_t;
    const auto* k = reinterpret_cast<const unsigned char*>(text.data());
    const ub4 length = static_cast<ub4>(text.size());
    ub4 len = length;
    ub4 a = 0x9e3779b9, b = 0x9e3779b9, c = initval;
    while (len >= 12) {
        a += (k[0] + ((ub4)k[1] << 8) + ((ub4)k[2] << 16) + ((ub4)k[3] << 24));
        b += (k[4] + ((ub4)k[5] << 8) + ((ub4)k[6] << 16) + ((ub4)k[7] << 24));
        c += (k[8] + ((ub4)k[9] << 8) + ((ub4)k[10] << 16) + ((ub4)k[11] << 24));
        LOOKUP2_MIX(a, b, c);
        k += 12;
        len -= 12;
    }
    c += length;
    switch (len) {
    case 11: c += ((ub4)k[10] << 24); [[fallthrough]];
    case 10: c += ((ub4)k[9] << 16); [[fallthrough]];
    case 9: c += ((ub4)k[8] << 8); [[fallthrough]];
    case 8: b += ((ub4)k[7] << 24); [[fallthrough]];
    case 7: b += ((ub4)k[6] << 16); [[fallthrough]];
    case 6: b += ((ub4)k[5] << 8); [[fallthrough]];
    case 5: b += k[4]; [[fallthrough]];
    case 4: a += ((ub4)k[3] << 24); [[fallthrough]];
    case 3: a += ((ub4)k[2] << 16); [[fallthrough]];
    case 2: a += ((ub4)k[1] << 8); [[fallthrough]];
    case 1: a += k[0]; [[fallthrough]];
    default: break;
    }
    LOOKUP2_MIX(a, b, c);
    return c;
}

#undef LOOKUP2_MIX

} // namespace lookups_test
