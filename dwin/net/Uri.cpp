#include "dwin/net/Uri.h"

#include "dwin/sys/win32/CodePage.h"

namespace dwin::net::Uri {
namespace {

constexpr std::string_view kept =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz;/?:@&=+$,-.!~*'()";
constexpr std::string_view hexDigits = "0123456789ABCDEF";

std::string encodeBytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == ' ') {
            out += '+';
        } else if (kept.find(ch) != std::string_view::npos) {
            out += ch;
        } else {
            out += '%';
            out += hexDigits[b >> 4];
            out += hexDigits[b & 0x0F];
        }
    }
    return out;
}

} // namespace

std::string encode(std::string_view text)
{
    return encodeBytes(text);
}

std::string encode(std::string_view text, std::uint32_t codePage)
{
    if (codePage == 65001)
        return encodeBytes(text);
    return encodeBytes(dwin::sys::win32::CodePage::convert(text, codePage));
}

} // namespace dwin::net::Uri
