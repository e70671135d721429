#pragma once
// Date text for stamps such as the listing's submit date.

#include <ctime>
#include <string>

namespace dwin::time::WallClock {

// compact: the local date of `t` as "yyyyMMdd" (e.g. "20261207").
// not compact: the current local date (t is not used) as "dd MMM yyyy" with the English month
// abbreviation (e.g. "07 Dec 2026").
std::string today(std::time_t t, bool compact);

} // namespace dwin::time::WallClock
