#pragma once
// Client of the inbound-links web service (QMK_INBOUND_URL): the pages that link to one URL,
// up to 1000 results, reduced to one page per linking site.
//
// One object serves one request sequence; getLinks overwrites total, results and start as it
// goes. Requests are synchronous; between result pages the client waits 50 ms through
// dwin::sys::win32::Process::wait, so window events (and other commands) may run meanwhile.

#include "vorn/net/Sites.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::net::InboundLinks {

// The service's application id.
inline constexpr std::string_view appid =
    "u8jzPde0IgxLd6GncfBAepfJBd0Kh8oOOL8dKLzdocJ2isAjIhKtJ0RlgLKOm_--";

class InboundLinks {
public:
    explicit InboundLinks(std::string query);

    // appid is set and the query is longer than 5 bytes and starts with "http:".
    bool isValid() const;

    // The request for the current fields; nothing is encoded.
    std::string getUrl() const;

    // One request (5-second time-out): the body ("" for a status other than 200), or no value
    // when the query is not valid or the request failed.
    std::optional<std::string> fetch() const;

    // Host to its shortest linking page; no value when there are no links.
    // Throws vorn::ConvException when the reported total is not a number.
    std::optional<SiteMap> getSites();

    // Every result URL of up to ten pages of 100, its XML references decoded (dwin::text::xml::decodeEscapes);
    // no value when the service gave none.
    // Throws vorn::ConvException when the reported total is not a number.
    std::optional<std::vector<std::string>> getLinks();

    std::int32_t total = 0;
    std::string query;
    std::string results = "100";
    std::string start = "1";
    std::string entire_site;
    std::string omit_inlinks;
    std::string output = "xml";
    std::string callback;

private:
    // The total of a one-result page; no value when it gives none.
    std::optional<std::int32_t> readTotal();
};

// A reply is usable when it holds both "totalResultsAvailable" and "<Url>".
bool isValidResult(std::string_view page);

// The host part of a URL (see vorn::net::hostOfLink).
std::string getHost(std::string_view url);

} // namespace vorn::net::InboundLinks
