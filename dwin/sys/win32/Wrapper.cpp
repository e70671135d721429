#include "dwin/sys/win32/Wrapper.h"

#include <cstdlib>

namespace dwin::sys::win32::Wrapper {

std::string expandEnvironmentStrings(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('%', i);
        if (open == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        const std::size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(open));
            break;
        }
        const std::string name(text.substr(open + 1, close - open - 1));
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value != nullptr) {
            out += value;
            i = close + 1;
        } else {
            // Not a variable: keep the first "%" and look again from the second one.
            out.append(text.substr(open, close - open));
            i = close;
        }
    }
    return out;
}

} // namespace dwin::sys::win32::Wrapper
