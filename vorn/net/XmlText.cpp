#include "vorn/net/XmlText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

namespace vorn::net {

namespace {

constexpr std::array<std::pair<std::string_view, char>, 5> kEntities = {
    {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}}};

constexpr std::uint32_t kLastCodePoint = 0x10FFFF;

bool isXmlChar(std::uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
        (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= kLastCodePoint);
}

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

int digitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The character of a reference that starts after "&#" (ref) and its length through ";"; no
// value when it is malformed or names a character XML does not allow. Reads only its digits.
std::optional<std::uint32_t> characterReference(std::string_view ref, std::size_t& length)
{
    const bool hex = !ref.empty() && ref[0] == 'x';
    std::size_t at = hex ? 1 : 0;
    const std::size_t first = at;
    std::uint32_t code = 0;
    for (int digit = 0; at < ref.size() && (digit = digitValue(ref[at], hex)) >= 0; ++at)
        if (code <= kLastCodePoint) // past it the value stays out of range
            code = code * (hex ? 16 : 10) + std::uint32_t(digit);
    if (at == first || at == ref.size() || ref[at] != ';' || !isXmlChar(code))
        return std::nullopt;
    length = at + 1;
    return code;
}

// Appends the character of the reference that starts after an "&" (rest) and gives its length
// through ";"; 0, appending nothing, when rest starts no reference this decodes.
std::size_t decodeReference(std::string_view rest, std::string& out)
{
    if (!rest.empty() && rest[0] == '#') {
        std::size_t length = 0;
        const std::optional<std::uint32_t> code = characterReference(rest.substr(1), length);
        if (!code)
            return 0;
        appendUtf8(out, *code);
        return 1 + length;
    }
    for (const auto& [name, character] : kEntities)
        if (rest.substr(0, name.size()) == name) {
            out += character;
            return name.size();
        }
    return 0;
}

} // namespace

std::string decodeXmlText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t amp = text.find('&', at);
        out.append(text.substr(at, amp - at));
        if (amp == std::string_view::npos)
            break;
        const std::size_t length = decodeReference(text.substr(amp + 1), out);
        if (length == 0)
            out += '&'; // kept as written
        at = amp + 1 + length;
    }
    return out;
}

} // namespace vorn::net
