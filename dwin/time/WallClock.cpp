#include "dwin/time/WallClock.h"

#include "dwin/core/Exception.h"

#include <array>
#include <cstdio>

namespace dwin::time::WallClock {
namespace {

std::tm localDate(std::time_t t)
{
    std::tm parts{};
    if (localtime_r(&t, &parts) == nullptr)
        throw dwin::core::IllegalArgumentException(
            "WallClock.today :: no local date for this time");
    return parts;
}

// The year in full: tm_year may be as large as the largest int.
long long yearOf(const std::tm& d)
{
    return static_cast<long long>(d.tm_year) + 1900;
}

} // namespace

std::string today(std::time_t t, bool compact)
{
    static constexpr std::array<const char*, 12> months = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[32];
    if (compact) {
        const std::tm d = localDate(t);
        std::snprintf(text, sizeof text, "%04lld%02d%02d", yearOf(d), d.tm_mon + 1, d.tm_mday);
    } else {
        // This form always shows the current date, whatever `t` holds.
        const std::tm d = localDate(std::time(nullptr));
        std::snprintf(text, sizeof text, "%02d %s %04lld", d.tm_mday, months.at(d.tm_mon),
                      yearOf(d));
    }
    return text;
}

} // namespace dwin::time::WallClock
