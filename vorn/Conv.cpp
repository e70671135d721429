#include "vorn/Conv.h"

#include <limits>

namespace vorn {

std::int32_t toInt32(std::string_view text)
{
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                        : std::int64_t{std::numeric_limits<std::int32_t>::max()};
    std::int64_t value = 0;
    bool ok = !digits.empty();
    for (const char ch : digits) {
        if (ch < '0' || ch > '9' || (value = value * 10 + (ch - '0')) > limit) {
            ok = false;
            break;
        }
    }
    if (!ok)
        throw ConvException("Could not convert `" + std::string(text) +
                            "` from type string to type int");
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace vorn
