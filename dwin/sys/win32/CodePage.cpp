#include "dwin/sys/win32/CodePage.h"

#include "dwin/core/Exception.h"
#include "dwin/text/convert/Utf.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace dwin::sys::win32::CodePage {
namespace {

using dwin::core::IllegalArgumentException;

[[noreturn]] void fail(const std::string& reason)
{
    throw IllegalArgumentException("CodePage.convert :: " + reason);
}

// One iconv conversion descriptor, closed once.
class Iconv {
public:
    Iconv(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str()))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            fail("unsupported code page (" + from + " to " + to + "): " + std::strerror(errno));
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts all of `in`; returns false (with errno) when a sequence cannot be converted,
    // leaving `in` at that sequence and `out` holding what was converted before it.
    bool run(std::string_view& in, std::string& out)
    {
        char buffer[4096];
        for (;;) {
            char* src = const_cast<char*>(in.data());
            std::size_t srcLeft = in.size();
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, srcLeft ? &src : nullptr, &srcLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (rc != static_cast<std::size_t>(-1)) {
                if (srcLeft == 0 && in.empty() && dst == buffer)
                    return true; // the closing call wrote nothing more
                continue;
            }
            if (err == E2BIG)
                continue;
            errno = err;
            return false;
        }
    }

private:
    iconv_t cd_;
};

// Length in bytes of the UTF-8 sequence led by `lead` (the text is valid UTF-8).
std::size_t sequenceLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

} // namespace

std::string iconvName(std::uint32_t codePage)
{
    switch (codePage) {
    case 0:
    case 3: return "CP1252";
    case 1: return "CP437";
    case 2: return "MACINTOSH";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 20127: return "US-ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    case 65000: return "UTF-7";
    case 65001: return "UTF-8";
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

std::u16string toUtf16z(std::string_view utf8)
{
    return dwin::text::convert::Utf::toString16(utf8);
}

std::string convert(std::string_view utf8, std::uint32_t codePage)
{
    if (utf8.empty())
        return {};
    try {
        dwin::text::convert::Utf::toString16(utf8); // validates the input
    } catch (const dwin::core::UtfException& e) {
        fail(e.msg());
    }
    Iconv cd(iconvName(codePage), "UTF-8");
    std::string out;
    std::string_view in = utf8;
    while (!cd.run(in, out)) {
        if (errno != EILSEQ || in.empty())
            fail(std::strerror(errno));
        // A character the page cannot hold: the page's default character instead.
        out += '?';
        in.remove_prefix(std::min(in.size(), sequenceLength(static_cast<unsigned char>(in[0]))));
    }
    return out;
}

std::string toUtf8(std::string_view bytes, std::uint32_t codePage)
{
    if (bytes.empty())
        return {};
    Iconv cd("UTF-8", iconvName(codePage));
    std::string out;
    std::string_view in = bytes;
    if (!cd.run(in, out))
        fail(std::strerror(errno));
    return out;
}

std::string charsetToUtf8(std::string_view bytes, const std::string& charset)
{
    Iconv cd("UTF-8", charset);
    std::string out;
    std::string_view in = bytes;
    if (!cd.run(in, out)) {
        const std::size_t at = bytes.size() - in.size();
        throw dwin::core::UtfException(
            "invalid or incomplete character at byte " + std::to_string(at), at);
    }
    return out;
}

std::string windows1252ToUtf8(std::string_view bytes)
{
    Iconv cd("UTF-8", "CP1252");
    std::string out;
    std::string_view in = bytes;
    while (!cd.run(in, out)) {
        if (errno != EILSEQ || in.empty())
            fail(std::strerror(errno));
        // one of the undefined bytes: the C1 control character U+0080..U+009F of its number
        out += '\xC2';
        out += in[0];
        in.remove_prefix(1);
    }
    return out;
}

std::string utf8OrWindows1252ToUtf8(std::string_view bytes)
{
    // the characters of the bytes 0x80 to 0xFF, read once
    static const std::array<std::string, 128> upper = [] {
        std::array<std::string, 128> table;
        for (std::size_t b = 0; b < table.size(); ++b)
            table[b] = windows1252ToUtf8(std::string(1, static_cast<char>(0x80 + b)));
        return table;
    }();
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = dwin::text::convert::Utf::sequenceLength(bytes);
        if (length == 0) {
            out += upper[static_cast<unsigned char>(bytes[0]) - 0x80];
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

} // namespace dwin::sys::win32::CodePage
