#pragma once
// Text without the blanks (space, tab, line ends, form feed, vertical tab) at either end.

#include <string>

namespace qmk::extends {

inline std::string trim(const std::string& text)
{
    const char* blanks = " \t\r\n\f\v";
    std::size_t start = text.find_first_not_of(blanks);
    if (start == std::string::npos)
        return std::string();
    std::size_t end = text.find_last_not_of(blanks);
    return text.substr(start, end - start + 1);
}

} // namespace qmk::extends
