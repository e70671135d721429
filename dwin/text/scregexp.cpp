#include "dwin/text/scregexp.h"

namespace dwin::text::scregexp {

std::string groupSlice(std::size_t n, std::span<const grouprec> captures, std::string_view input)
{
    if (n >= captures.size())
        return {};
    const grouprec& g = captures[n];
    if (g.end == elements::kUnset || g.start > g.end || g.end > input.size())
        return {};
    return std::string(input.substr(g.start, g.end - g.start));
}

} // namespace dwin::text::scregexp
