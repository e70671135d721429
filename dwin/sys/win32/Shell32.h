#pragma once
// Opening a URL or file with the desktop's default handler.

#include <string>

namespace dwin::sys::win32::Shell32 {

// Runs "xdg-open <url>" (found on $PATH) in the background, in a session of its own, and
// returns at once; the outcome is not looked at and nothing is reported. An empty url does
// nothing; one beginning with "-" is handed over as "./<url>", never as an option.
void open(const std::string& url);

} // namespace dwin::sys::win32::Shell32
