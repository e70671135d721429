#pragma once
// Connectivity check against the search engine's home page.

#include <cstdint>

namespace dwin::net::Net {

// True when the search engine's home page (serviceUrl(Service::Search) + "/") answers a GET
// with status 200 within timeoutSeconds; reads the status line and headers only.
// Never throws: every failure, and every other status, gives false.
bool isOnline(std::uint32_t timeoutSeconds);

} // namespace dwin::net::Net
