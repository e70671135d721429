#pragma once
// What the two link-harvesting clients share: fetching and paging through result pages, the
// host of a link, and one page per host.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::net {

// Results a client asks for in one page.
inline constexpr std::int32_t kResultPageSize = 100;

// One request (16 KiB reads, 5-second time-out): the body ("" for a status other than 200), or
// no value when the request failed. Throws nothing.
std::optional<std::string> fetchResultPage(const std::string& url);

// The result pages at offsets 0, 100, 200, ... below both total and 1000, in order, each handed
// to onPage and let go before the next is read. fetchAt(offset) reads one page; reading stops
// at the first page that is missing or that isUsable refuses. After each page it waits 50 ms
// through dwin::sys::win32::Process::wait, and stops there when that wait reports the
// application quitting. Gives the number of pages handed over.
int readResultPages(std::int32_t total,
                    const std::function<std::optional<std::string>(std::int32_t)>& fetchAt,
                    bool (*isUsable)(std::string_view page),
                    const std::function<void(const std::string& page)>& onPage);

// Host (lower case, without scheme and "www.") to one page on that host.
using SiteMap = std::map<std::string, std::string>;

// The web host of a link as a URL parser takes it: for an http or https address with a host,
// that host without user name, password, port and trailing dot, in its Unicode form (an "xn--"
// label decoded), in lower case (every script), a leading "www." removed. Any other link (no
// host, another scheme, not a URL) gives the empty text.
std::string hostOfLink(std::string_view url);

// The host a site id stands for, taken as hostOfLink takes the host of a link (lower case in
// every script, "www." and a trailing dot dropped, the Unicode form of an "xn--" label), so an
// id and a harvested host name the same site exactly when their siteHost is the same. An id
// that is no bare host (a path, port, user, blank or bracket in it) gives the empty text.
std::string siteHost(std::string_view id);

// The ASCII ("xn--") form of a host; the host itself when it has none.
std::string asciiHost(std::string_view host);

// Each web host of the links with its shortest link (the first one among links of equal
// length); links without one are left out. No value when there are no links.
std::optional<SiteMap> shortestLinkPerHost(const std::vector<std::string>& links);

} // namespace vorn::net
