#include "qmk/SqlText.h"

namespace qmk::sql {

std::string quoteId(std::string_view name)
{
    std::string out;
    out.reserve(name.size() + 2);
    out += '"';
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string join(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out += separator;
        out += parts[i];
    }
    return out;
}

std::string placeholders(std::size_t n)
{
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        out += i ? ",?" : "?";
    return out;
}

} // namespace qmk::sql
