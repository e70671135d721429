#include "dwin/text/Unicode.h"

#include "dwin/core/Exception.h"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <limits>

namespace dwin::text::Unicode {
namespace {

// ICU counts in 32-bit lengths.
std::int32_t icuLength(std::string_view utf8)
{
    if (utf8.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw core::TextException("Unicode: text of " + std::to_string(utf8.size()) +
                                  " bytes is too long");
    return static_cast<std::int32_t>(utf8.size());
}

} // namespace

std::string toLower(std::string_view utf8)
{
    std::string lower;
    lower.reserve(utf8.size());
    icu::StringByteSink<std::string> sink(&lower);
    UErrorCode status = U_ZERO_ERROR;
    // "" is the root locale: no language-specific rules (no Turkish dotless i).
    icu::CaseMap::utf8ToLower("", 0, icu::StringPiece(utf8.data(), icuLength(utf8)), sink, nullptr,
                              status);
    if (U_FAILURE(status))
        throw core::TextException(std::string("Unicode.toLower :: ") + u_errorName(status));
    return lower;
}

std::size_t length(std::string_view utf8)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const std::int32_t size = icuLength(utf8);
    std::size_t count = 0;
    for (std::int32_t i = 0; i < size; ++count)
        U8_FWD_1(bytes, i, size);
    return count;
}

bool isDecimalDigit(char32_t c)
{
    return u_isdigit(static_cast<UChar32>(c));
}

bool isWhiteSpace(char32_t c)
{
    return u_isUWhiteSpace(static_cast<UChar32>(c));
}

std::string trim(std::string_view utf8)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const std::int32_t size = icuLength(utf8);
    std::int32_t start = 0;
    while (start < size) {
        std::int32_t next = start;
        UChar32 c = 0;
        U8_NEXT(bytes, next, size, c);
        if (c < 0 || !u_isUWhiteSpace(c))
            break;
        start = next;
    }
    std::int32_t end = size;
    while (end > start) {
        std::int32_t previous = end;
        UChar32 c = 0;
        U8_PREV(bytes, start, previous, c);
        if (c < 0 || !u_isUWhiteSpace(c))
            break;
        end = previous;
    }
    return std::string(utf8.substr(std::size_t(start), std::size_t(end - start)));
}

bool isBlank(std::string_view utf8)
{
    return trim(utf8).empty();
}

} // namespace dwin::text::Unicode
