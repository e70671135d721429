#include "dwin/text/convert/Utf.h"

#include "dwin/core/Exception.h"

#include <cstdint>

namespace dwin::text::convert::Utf {
namespace {

using dwin::core::UtfException;

[[noreturn]] void fail(const char* what, std::size_t offset)
{
    throw UtfException(std::string(what) + " at index " + std::to_string(offset), offset);
}

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// What makes c no character, or null.
const char* codePointError(char32_t c) noexcept
{
    if (c > 0x10FFFF)
        return "code point above U+10FFFF";
    if (isSurrogate(c))
        return "surrogate code point";
    return nullptr;
}

void checkCodePoint(char32_t c, std::size_t offset)
{
    if (const char* error = codePointError(c))
        fail(error, offset);
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The UTF-8 sequence at text[start]: its character and length, or what is wrong with it and at
// which index.
struct Sequence {
    char32_t c = 0;
    std::size_t length = 0;
    const char* error = nullptr;
    std::size_t errorAt = 0;
};

Sequence sequenceAt(std::string_view text, std::size_t start) noexcept
{
    const auto lead = static_cast<unsigned char>(text[start]);
    std::size_t extra;
    char32_t c;
    if (lead < 0x80) {
        return {lead, 1};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        c = lead & 0x07;
    } else {
        return {0, 0, "invalid UTF-8 lead byte", start};
    }
    if (text.size() - start <= extra)
        return {0, 0, "incomplete UTF-8 sequence", start};
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[start + k]);
        if ((b & 0xC0) != 0x80)
            return {0, 0, "invalid UTF-8 continuation byte", start + k};
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < smallest[extra])
        return {0, 0, "overlong UTF-8 sequence", start};
    if (const char* error = codePointError(c))
        return {0, 0, error, start};
    return {c, extra + 1};
}

// Decodes the UTF-8 sequence at text[i], advancing i past it.
char32_t decodeUtf8(std::string_view text, std::size_t& i)
{
    const Sequence sequence = sequenceAt(text, i);
    if (sequence.error)
        fail(sequence.error, sequence.errorAt);
    i += sequence.length;
    return sequence.c;
}

std::string fromUtf16(const char16_t* units, std::size_t size)
{
    std::string out;
    out.reserve(size * 3);
    for (std::size_t i = 0; i < size; ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= size || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
                fail("unpaired high surrogate", i);
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            fail("unpaired low surrogate", i);
        }
        appendUtf8(out, c);
    }
    return out;
}

} // namespace

std::string toString(std::u16string_view text)
{
    return fromUtf16(text.data(), text.size());
}

std::string toString(const char16_t* zeroTerminated)
{
    if (zeroTerminated == nullptr)
        return {};
    return toString(std::u16string_view(zeroTerminated));
}

std::string toString(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size() * 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        checkCodePoint(text[i], i);
        appendUtf8(out, text[i]);
    }
    return out;
}

std::u16string toString16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = decodeUtf8(text, i);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::size_t sequenceLength(std::string_view text) noexcept
{
    return text.empty() ? 0 : sequenceAt(text, 0).length;
}

std::u32string toString32(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        out += decodeUtf8(text, i);
    return out;
}

} // namespace dwin::text::convert::Utf
