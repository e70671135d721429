#include "dwin/text/XmlText.h"

#include "dwin/core/Exception.h"
#include "dwin/sys/win32/CodePage.h"
#include "dwin/text/HtmlCharset.h"
#include "dwin/text/convert/Utf.h"

#include <algorithm>
#include <optional>

namespace dwin::text::xml {

namespace {

namespace CodePage = dwin::sys::win32::CodePage;
using dwin::core::TextException;
using dwin::core::UtfException;
using namespace std::string_view_literals;

[[noreturn]] void fail(const std::string& reason)
{
    throw TextException(reason);
}

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The name an XML declaration may give an encoding: a letter, then letters, digits and "._-".
bool isEncodingName(std::string_view name)
{
    auto nameChar = [](char c) {
        return isLetter(c) || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
    };
    return !name.empty() && isLetter(name[0]) && std::all_of(name.begin(), name.end(), nameChar);
}

// The bytes in the charset iconv knows by that name; shown is the name a reason gives. UTF-8 is
// read with its stray bytes as Windows-1252, as editors and older generators leave them.
std::string decodeAs(std::string_view bytes, const std::string& charset, const std::string& shown)
{
    try {
        if (charset == "UTF-8")
            return CodePage::utf8OrWindows1252ToUtf8(bytes);
        return CodePage::charsetToUtf8(bytes, charset);
    } catch (const UtfException& e) {
        fail("not valid " + shown + ": " + e.msg());
    } catch (const dwin::core::IllegalArgumentException&) {
        fail("encoding " + shown + " not supported");
    }
}

struct Mark {
    std::string_view bytes;
    const char* charset;
    bool isByteOrderMark; // left out of the text; "<?" is not
};

// The encoding a byte-order mark, or the first characters "<?" in UTF-16, give.
std::optional<Mark> markedEncoding(std::string_view bytes)
{
    static const Mark marks[] = {
        {"\xEF\xBB\xBF"sv, "UTF-8", true},    {"\xFF\xFE\0\0"sv, "UTF-32LE", true},
        {"\0\0\xFE\xFF"sv, "UTF-32BE", true}, {"\xFF\xFE"sv, "UTF-16LE", true},
        {"\xFE\xFF"sv, "UTF-16BE", true},     {"<\0?\0"sv, "UTF-16LE", false},
        {"\0<\0?"sv, "UTF-16BE", false}};
    for (const Mark& mark : marks)
        if (bytes.substr(0, mark.bytes.size()) == mark.bytes)
            return mark;
    return std::nullopt;
}

// "<?xml ... ?>" at the start of the bytes, or the empty text.
std::string_view declarationOf(std::string_view bytes)
{
    if (bytes.substr(0, 5) != "<?xml" || bytes.size() < 6 || !isSpace(bytes[5]))
        return {};
    const std::size_t end = bytes.find("?>");
    return end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 2);
}

// The value of the declaration's encoding="...", or no value.
std::optional<std::string> declaredEncoding(std::string_view declaration)
{
    for (std::size_t at = declaration.find("encoding"); at != std::string_view::npos;
         at = declaration.find("encoding", at + 1)) {
        if (!isSpace(declaration[at - 1]))
            continue;
        std::size_t i = at + 8;
        while (i < declaration.size() && isSpace(declaration[i]))
            ++i;
        if (i >= declaration.size() || declaration[i] != '=')
            continue;
        ++i;
        while (i < declaration.size() && isSpace(declaration[i]))
            ++i;
        if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
            continue;
        const std::size_t close = declaration.find(declaration[i], i + 1);
        if (close != std::string_view::npos)
            return std::string(declaration.substr(i + 1, close - i - 1));
    }
    return std::nullopt;
}

std::string decodeDeclared(std::string_view bytes, const std::string& name)
{
    if (isUtf8Label(name))
        return decodeAs(bytes, "UTF-8", name);
    const std::string label = lower(name);
    for (const char* latin : {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1",
                              "iso_8859-1", "latin1", "l1", "us-ascii", "ascii"})
        if (label == latin)
            return CodePage::windows1252ToUtf8(bytes);
    if (!isEncodingName(name))
        fail("encoding " + name + " not supported");
    return decodeAs(bytes, name, name);
}

// The character a reference names ("amp", "#233", "#xE9"), when it is one XML allows.
std::optional<char32_t> referenced(std::string_view name)
{
    static const std::pair<std::string_view, char32_t> predefined[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, c] : predefined)
        if (name == entity)
            return c;
    if (name.size() < 2 || name[0] != '#')
        return std::nullopt;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty())
        return std::nullopt;
    char32_t c = 0;
    for (char d : digits) {
        const int v = d >= '0' && d <= '9' ? d - '0'
            : hex && d >= 'a' && d <= 'f'  ? d - 'a' + 10
            : hex && d >= 'A' && d <= 'F'  ? d - 'A' + 10
                                           : -1;
        if (v < 0 || c > 0x10FFFF)
            return std::nullopt;
        c = c * (hex ? 16 : 10) + char32_t(v);
    }
    const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
        (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
    return allowed ? std::optional<char32_t>(c) : std::nullopt;
}

} // namespace

std::string decodeDocument(std::string_view bytes)
{
    if (const std::optional<Mark> mark = markedEncoding(bytes)) {
        // decoded with the mark, so that a reason counts the bytes of the file
        std::string text = decodeAs(bytes, mark->charset, mark->charset);
        return mark->isByteOrderMark ? text.substr(3) : text; // U+FEFF in UTF-8
    }
    const std::string_view declaration = declarationOf(bytes);
    if (const std::optional<std::string> name = declaredEncoding(declaration)) {
        std::string text = decodeDeclared(bytes, *name);
        if (text.compare(0, declaration.size(), declaration) != 0)
            fail("not written in its declared encoding " + *name);
        return text;
    }
    return CodePage::utf8OrWindows1252ToUtf8(bytes);
}

std::string decodeEscapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (;;) {
        const std::size_t amp = text.find('&');
        out.append(text.substr(0, amp));
        if (amp == std::string_view::npos)
            return out;
        // the longest reference of a character XML allows is "&#1114111;"; leading zeros aside
        const std::size_t semi = text.substr(amp, 16).find(';');
        const std::optional<char32_t> c = semi == std::string_view::npos
            ? std::nullopt
            : referenced(text.substr(amp + 1, semi - 1));
        if (c)
            out += convert::Utf::toString(std::u32string_view(&*c, 1));
        else
            out += '&';
        text.remove_prefix(c ? amp + semi + 1 : amp + 1);
    }
}

std::string decodeContent(std::string_view text)
{
    static constexpr std::string_view open = "<![CDATA[", close = "]]>";
    std::string out;
    for (;;) {
        const std::size_t start = text.find(open);
        const std::size_t end =
            start == std::string_view::npos ? start : text.find(close, start + open.size());
        if (end == std::string_view::npos)
            return out + decodeEscapes(text);
        out += decodeEscapes(text.substr(0, start));
        out.append(text.substr(start + open.size(), end - start - open.size()));
        text.remove_prefix(end + close.size());
    }
}

} // namespace dwin::text::xml
