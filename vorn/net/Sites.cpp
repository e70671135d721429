#include "vorn/net/Sites.h"

#include "dwin/net/Http.h"
#include "dwin/sys/win32/Process.h"
#include "dwin/text/Unicode.h"

#include <algorithm>
#include <exception>

namespace vorn::net {

namespace {

constexpr std::size_t kReadBuffer = 16 * 1024;
constexpr unsigned kTimeoutSeconds = 5;
constexpr std::uint32_t kPageWaitMs = 50;
constexpr std::int32_t kMaxResults = 1000;

void dropPrefix(std::string_view& s, std::string_view prefix)
{
    if (s.substr(0, prefix.size()) == prefix)
        s.remove_prefix(prefix.size());
}

} // namespace

std::optional<std::string> fetchResultPage(const std::string& url)
{
    try {
        return dwin::net::Http::get(url, kReadBuffer, kTimeoutSeconds);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

int readResultPages(std::int32_t total,
                    const std::function<std::optional<std::string>(std::int32_t)>& fetchAt,
                    bool (*isUsable)(std::string_view page),
                    const std::function<void(const std::string& page)>& onPage)
{
    int pages = 0;
    const std::int32_t limit = std::min(total, kMaxResults);
    for (std::int32_t offset = 0; offset < limit; offset += kResultPageSize) {
        {
            const std::optional<std::string> page = fetchAt(offset);
            if (!page || !isUsable(*page))
                break;
            onPage(*page);
            ++pages;
        }
        if (!dwin::sys::win32::Process::wait(kPageWaitMs))
            break; // the application is quitting: no more requests
    }
    return pages;
}

std::string hostOfLink(std::string_view url)
{
    dropPrefix(url, "http://");
    dropPrefix(url, "https://");
    dropPrefix(url, "www.");
    if (!url.empty() && url.back() == '/')
        url.remove_suffix(1);
    url = url.substr(0, url.find('/'));
    return dwin::text::Unicode::toLower(url);
}

std::optional<SiteMap> shortestLinkPerHost(const std::vector<std::string>& links)
{
    if (links.empty())
        return std::nullopt;
    SiteMap sites;
    for (const std::string& link : links) {
        auto [it, added] = sites.try_emplace(hostOfLink(link), link);
        if (!added && it->second.size() > link.size())
            it->second = link;
    }
    return sites;
}

} // namespace vorn::net
