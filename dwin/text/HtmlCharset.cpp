#include "dwin/text/HtmlCharset.h"

#include <algorithm>

namespace dwin::text {

namespace {

constexpr std::size_t kPrescanBytes = 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLabelChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
        c == ':';
}

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

// The value after "charset" in one tag's text: blanks, "=", blanks, an optional quote, the label.
std::optional<std::string> charsetIn(std::string_view tag)
{
    for (std::size_t at = tag.find("charset"); at != std::string_view::npos;
         at = tag.find("charset", at + 1)) {
        std::size_t i = at + 7;
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\''))
            ++i;
        const std::size_t start = i;
        while (i < tag.size() && isLabelChar(tag[i]))
            ++i;
        const bool ended = i == tag.size() || isSpace(tag[i]) || tag[i] == '"' || tag[i] == '\'' ||
            tag[i] == ';' || tag[i] == '/';
        if (i > start && ended)
            return std::string(tag.substr(start, i - start));
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> declaredCharset(std::string_view html)
{
    const std::string head = lower(html.substr(0, kPrescanBytes));
    for (std::size_t at = head.find("<meta"); at != std::string::npos;
         at = head.find("<meta", at + 5)) {
        const std::size_t after = at + 5;
        if (after >= head.size() || !(isSpace(head[after]) || head[after] == '/'))
            continue;
        const std::size_t end = head.find('>', after);
        const std::string_view tag = std::string_view(head).substr(
            after, end == std::string::npos ? std::string::npos : end - after);
        if (auto label = charsetIn(tag))
            return label;
    }
    return std::nullopt;
}

bool isUtf8Label(std::string_view label)
{
    const std::string l = lower(label);
    return l == "utf-8" || l == "utf8" || l == "unicode-1-1-utf-8";
}

} // namespace dwin::text
