#include "vorn/net/InboundLinks.h"

#include "dwin/net/Services.h"
#include "dwin/text/scregexp.h"
#include "vorn/Conv.h"
#include "dwin/text/XmlText.h"

#include <utility>

namespace vorn::net::InboundLinks {

namespace {

using dwin::text::scregexp::screg;

bool usable(const std::optional<std::string>& page)
{
    return page && isValidResult(*page);
}

} // namespace

InboundLinks::InboundLinks(std::string query) : query(std::move(query))
{
}

bool InboundLinks::isValid() const
{
    return !appid.empty() && query.size() > 5 && query.compare(0, 5, "http:") == 0;
}

std::string InboundLinks::getUrl() const
{
    std::string url = dwin::net::serviceUrl(dwin::net::Service::Inbound);
    url += "/SiteExplorerService/V1/inlinkData";
    url += "?appid=" + std::string(appid);
    url += "&query=" + query;
    url += "&results=" + results;
    url += "&start=" + start;
    url += "&entire_site=" + entire_site;
    url += "&omit_inlinks=" + omit_inlinks;
    url += "&output=" + output;
    url += "&callback=" + callback;
    return url;
}

std::optional<std::string> InboundLinks::fetch() const
{
    if (!isValid())
        return std::nullopt;
    return fetchResultPage(getUrl());
}

std::optional<std::int32_t> InboundLinks::readTotal()
{
    results = "1";
    start = "1";
    const std::optional<std::string> first = fetch();
    if (!usable(first))
        return std::nullopt;
    screg<"totalResultsAvailable=\"([^\"]+)\""> totalMatcher;
    if (!totalMatcher.find(*first))
        return std::nullopt;
    return toInt32(totalMatcher.group(1));
}

std::optional<std::vector<std::string>> InboundLinks::getLinks()
{
    // A one-result page tells the total; the result pages are then read from the first again.
    const std::optional<std::int32_t> reported = readTotal();
    if (!reported)
        return std::nullopt;
    total = *reported;

    results = std::to_string(kResultPageSize);
    std::vector<std::string> links;
    // The service counts results from 1.
    const int pages = readResultPages(
        total,
        [this](std::int32_t offset) {
            start = std::to_string(offset + 1);
            return fetch();
        },
        isValidResult,
        [&links](const std::string& page) {
            screg<"<Url>(.+?)</Url>"> urlMatcher;
            while (urlMatcher.find(page))
                links.push_back(dwin::text::xml::decodeEscapes(urlMatcher.group(1)));
        });
    if (pages == 0)
        return std::nullopt;
    return links;
}

std::optional<SiteMap> InboundLinks::getSites()
{
    const std::optional<std::vector<std::string>> links = getLinks();
    if (!links)
        return std::nullopt;
    return shortestLinkPerHost(*links);
}

bool isValidResult(std::string_view page)
{
    return !page.empty() && page.find("totalResultsAvailable") != std::string_view::npos &&
        page.find("<Url>") != std::string_view::npos;
}

std::string getHost(std::string_view url)
{
    return hostOfLink(url);
}

} // namespace vorn::net::InboundLinks
