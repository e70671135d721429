#pragma once
// Opening a URL or file with the desktop's default handler.

#include <string>

namespace dwin::sys::win32::Shell32 {

// Runs "xdg-open <url>" detached from the program (found on $PATH) and returns at once; the
// outcome is not looked at and nothing is reported. An empty url does nothing.
void open(const std::string& url);

} // namespace dwin::sys::win32::Shell32
