#include "dwin/time/WallClock.h"

#include <array>
#include <cstdio>

namespace dwin::time::WallClock {
namespace {

std::tm localDate(std::time_t t)
{
    std::tm parts{};
    localtime_r(&t, &parts);
    return parts;
}

} // namespace

std::string today(std::time_t t, bool compact)
{
    static constexpr std::array<const char*, 12> months = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[32];
    if (compact) {
        const std::tm d = localDate(t);
        std::snprintf(text, sizeof text, "%04d%02d%02d", d.tm_year + 1900, d.tm_mon + 1,
                      d.tm_mday);
    } else {
        // This form always shows the current date, whatever `t` holds.
        const std::tm d = localDate(std::time(nullptr));
        std::snprintf(text, sizeof text, "%02d %s %04d", d.tm_mday, months.at(d.tm_mon),
                      d.tm_year + 1900);
    }
    return text;
}

} // namespace dwin::time::WallClock
