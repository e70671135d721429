#pragma once
// Environment strings the Windows way.

#include <string>
#include <string_view>

namespace dwin::sys::win32::Wrapper {

// Replaces every "%NAME%" whose variable is set with its value; references to unset variables
// and lone "%" stay as they are (as ExpandEnvironmentStrings does).
std::string expandEnvironmentStrings(std::string_view text);

} // namespace dwin::sys::win32::Wrapper
