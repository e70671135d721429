#pragma once
// Client of the search engine's web search (QMK_SEARCH_URL): the result links of one search text,
// up to 1000 results, reduced to one page per site.
//
// One object serves one search; getLinks overwrites total, num and start as it goes. Requests
// are synchronous; after each result page the client waits 50 ms through
// dwin::sys::win32::Process::wait, so window events (and other commands) may run meanwhile.

#include "vorn/net/Sites.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::net::GoogleSearch {

class GoogleSearch {
public:
    explicit GoogleSearch(std::string query);

    // The search text is longer than 5 bytes.
    bool isValid() const;

    // The request for the current fields; only the search text is encoded (dwin::net::Uri).
    std::string getUrl() const;

    // One request (5-second time-out): the body ("" for a status other than 200), or no value
    // when the text is not valid or the request failed.
    std::optional<std::string> fetch() const;

    // Host to its shortest result link; no value when there are no links.
    // Throws vorn::ConvException when the result count is not a number.
    std::optional<SiteMap> getSites();

    // The result links of up to ten pages of 100; no value when the search gave none.
    // Throws vorn::ConvException when the result count is not a number.
    std::optional<std::vector<std::string>> getLinks();

    std::int32_t total = 0;
    std::string query;
    std::string start = "0";
    std::string num = "100";
    std::string hl = "en";
    std::string as_qdr = "all";
    std::string sa = "N";

private:
    // The result count of a one-result page; no value when it gives none.
    std::optional<std::int32_t> readCount();
};

// A page is usable when it holds "seconds)", the timing note of a result page.
bool isValidResult(std::string_view page);

// The host part of a URL (see vorn::net::hostOfLink).
std::string getHost(std::string_view url);

} // namespace vorn::net::GoogleSearch
