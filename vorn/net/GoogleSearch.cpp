#include "vorn/net/GoogleSearch.h"

#include "dwin/net/Http.h"
#include "dwin/net/Services.h"
#include "dwin/net/Uri.h"
#include "dwin/sys/win32/Process.h"
#include "dwin/text/scregexp.h"
#include "vorn/Conv.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace vorn::net::GoogleSearch {

namespace {

constexpr std::size_t kReadBuffer = 16 * 1024;
constexpr unsigned kTimeoutSeconds = 5;
constexpr std::uint32_t kPageWaitMs = 50;
constexpr std::int32_t kPageSize = 100;
constexpr std::int32_t kMaxResults = 1000;

using dwin::text::scregexp::screg;

bool usable(const std::optional<std::string>& page) {
    return page && isValidResult(*page);
}

}  // namespace

GoogleSearch::GoogleSearch(std::string query) : query(std::move(query)) {}

bool GoogleSearch::isValid() const {
    return query.size() > 5;
}

std::string GoogleSearch::getUrl() const {
    std::string url = dwin::net::serviceUrl(dwin::net::Service::Search);
    url += "/search";
    url += "?q=" + dwin::net::Uri::encode(query);
    url += "&num=" + num;
    url += "&hl=" + hl;
    url += "&as_qdr=" + as_qdr;
    url += "&start=" + start;
    url += "&sa=" + sa;
    return url;
}

std::optional<std::string> GoogleSearch::fetch() const {
    if (!isValid())
        return std::nullopt;
    try {
        return dwin::net::Http::get(getUrl(), kReadBuffer, kTimeoutSeconds);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::string>> GoogleSearch::getLinks() {
    // A one-result page tells the count; the result pages are then read from the first again.
    num = "1";
    start = "0";
    const std::optional<std::string> first = fetch();
    if (!usable(first))
        return std::nullopt;
    screg<"of (?:about )<b>([\\d,]+)</b> for"> countMatcher;
    if (!countMatcher.find(*first))
        return std::nullopt;
    std::string count = countMatcher.group(1);
    count.erase(std::remove(count.begin(), count.end(), ','), count.end());
    total = toInt32(count);

    num = std::to_string(kPageSize);
    std::string pages;
    const std::int32_t limit = std::min(total, kMaxResults);
    for (std::int32_t i = 0; i < limit; i += kPageSize) {
        start = std::to_string(i);
        const std::optional<std::string> page = fetch();
        if (!usable(page))
            break;
        pages += *page;
        dwin::sys::win32::Process::wait(kPageWaitMs);
    }
    if (!isValidResult(pages))
        return std::nullopt;

    std::vector<std::string> links;
    screg<"href=.([^ ]+?). target=_blank class=l"> linkMatcher;
    while (linkMatcher.find(pages))
        links.push_back(linkMatcher.group(1));
    return links;
}

std::optional<SiteMap> GoogleSearch::getSites() {
    const std::optional<std::vector<std::string>> links = getLinks();
    if (!links)
        return std::nullopt;
    return shortestLinkPerHost(*links);
}

bool isValidResult(std::string_view page) {
    return !page.empty() && page.find("seconds)") != std::string_view::npos;
}

std::string getHost(std::string_view url) {
    return hostOfLink(url);
}

}  // namespace vorn::net::GoogleSearch
