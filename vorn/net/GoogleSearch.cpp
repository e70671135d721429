#include "vorn/net/GoogleSearch.h"

#include "dwin/net/Services.h"
#include "dwin/net/Uri.h"
#include "dwin/text/scregexp.h"
#include "vorn/Conv.h"

#include <algorithm>
#include <utility>

namespace vorn::net::GoogleSearch {

namespace {

using dwin::text::scregexp::screg;

bool usable(const std::optional<std::string>& page)
{
    return page && isValidResult(*page);
}

} // namespace

GoogleSearch::GoogleSearch(std::string query) : query(std::move(query))
{
}

bool GoogleSearch::isValid() const
{
    return query.size() > 5;
}

std::string GoogleSearch::getUrl() const
{
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

std::optional<std::string> GoogleSearch::fetch() const
{
    if (!isValid())
        return std::nullopt;
    return fetchResultPage(getUrl());
}

std::optional<std::int32_t> GoogleSearch::readCount()
{
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
    return toInt32(count);
}

std::optional<std::vector<std::string>> GoogleSearch::getLinks()
{
    // A one-result page tells the count; the result pages are then read from the first again.
    const std::optional<std::int32_t> count = readCount();
    if (!count)
        return std::nullopt;
    total = *count;

    num = std::to_string(kResultPageSize);
    std::vector<std::string> links;
    const int pages = readResultPages(
        total,
        [this](std::int32_t offset) {
            start = std::to_string(offset);
            return fetch();
        },
        isValidResult,
        [&links](const std::string& page) {
            screg<"href=.([^ ]+?). target=_blank class=l"> linkMatcher;
            while (linkMatcher.find(page))
                links.push_back(linkMatcher.group(1));
        });
    if (pages == 0)
        return std::nullopt;
    return links;
}

std::optional<SiteMap> GoogleSearch::getSites()
{
    const std::optional<std::vector<std::string>> links = getLinks();
    if (!links)
        return std::nullopt;
    return shortestLinkPerHost(*links);
}

bool isValidResult(std::string_view page)
{
    return !page.empty() && page.find("seconds)") != std::string_view::npos;
}

std::string getHost(std::string_view url)
{
    return hostOfLink(url);
}

} // namespace vorn::net::GoogleSearch
