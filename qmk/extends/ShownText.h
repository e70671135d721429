#pragma once
// The start of a long text for a place that shows one line of it (a table cell, the status
// line): such places lay out the whole text on every paint, which megabytes make take seconds.

#include <string>
#include <string_view>

namespace qmk::extends {

inline constexpr std::size_t maxShownBytes = 1024;

// The text itself when it has at most maxBytes bytes; else its first maxBytes bytes or fewer,
// cut between UTF-8 characters, and "…".
inline std::string shownStart(std::string_view text, std::size_t maxBytes = maxShownBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end)) + "\xE2\x80\xA6";
}

} // namespace qmk::extends
