#include "vorn/Crypt.h"

#include <cstdint>

namespace vorn::Crypt {
namespace {

// Each byte is mixed with a key that depends on its position, then rotated.
std::uint8_t keyAt(std::size_t i)
{
    return static_cast<std::uint8_t>(0xA7 + 29 * i + ((i * i) >> 3));
}

std::uint8_t rotl(std::uint8_t b, int n)
{
    return static_cast<std::uint8_t>((b << n) | (b >> (8 - n)));
}

std::uint8_t rotr(std::uint8_t b, int n)
{
    return static_cast<std::uint8_t>((b >> n) | (b << (8 - n)));
}

} // namespace

std::string scramble(std::string_view plain)
{
    std::string out(plain.size(), '\0');
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(plain[i]);
        out[i] = static_cast<char>(rotl(static_cast<std::uint8_t>(b ^ keyAt(i)), 3));
    }
    return out;
}

std::string unscramble(std::string_view scrambled)
{
    std::string out(scrambled.size(), '\0');
    for (std::size_t i = 0; i < scrambled.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(scrambled[i]);
        out[i] = static_cast<char>(rotr(b, 3) ^ keyAt(i));
    }
    return out;
}

} // namespace vorn::Crypt
