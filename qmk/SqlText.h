#pragma once
// Small text helpers for building SQL and status lines (internal to the database object).

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace qmk::sql {

// An identifier between double quotes, inner double quotes doubled: any text is a valid name.
std::string quoteId(std::string_view name);
// The texts joined by the separator.
std::string join(const std::vector<std::string>& parts, std::string_view separator);
// "?," repeated n times without the last ",".
std::string placeholders(std::size_t n);
// Equal when ASCII letters are compared without case, as SQLite compares names (other bytes exactly).
bool sameIgnoringCase(std::string_view a, std::string_view b);

// Fills the "{}" of a pattern in order with the arguments (numbers in decimal).
template <class... Args>
std::string fill(std::string_view pattern, const Args&... args)
{
    std::vector<std::string> texts;
    (
        [&] {
            std::ostringstream os;
            os << args;
            texts.push_back(os.str());
        }(),
        ...);
    std::string out;
    std::size_t next = 0, pos = 0;
    while (true) {
        auto at = pattern.find("{}", pos);
        if (at == std::string_view::npos || next == texts.size()) {
            out.append(pattern.substr(pos));
            return out;
        }
        out.append(pattern.substr(pos, at - pos));
        out.append(texts[next++]);
        pos = at + 2;
    }
}

} // namespace qmk::sql
