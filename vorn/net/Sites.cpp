#include "vorn/net/Sites.h"

#include "dwin/net/Http.h"
#include "dwin/sys/win32/Process.h"
#include "dwin/text/Unicode.h"

#include <QUrl>

#include <algorithm>
#include <exception>

namespace vorn::net {

namespace {

constexpr std::size_t kReadBuffer = 16 * 1024;
constexpr unsigned kTimeoutSeconds = 5;
constexpr std::uint32_t kPageWaitMs = 50;
constexpr std::int32_t kMaxResults = 1000;

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
    const QUrl link(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode);
    if (!link.isValid() || (link.scheme() != u"http" && link.scheme() != u"https"))
        return {};
    // The parser keeps a host in either form: both are made one here.
    std::string host =
        QUrl::fromAce(QUrl::toAce(link.host()), QUrl::IgnoreIDNWhitelist).toStdString();
    if (!host.empty() && host.back() == '.')
        host.pop_back();
    host = dwin::text::Unicode::toLower(host);
    if (host.rfind("www.", 0) == 0)
        host.erase(0, 4);
    return host;
}

std::string asciiHost(std::string_view host)
{
    const QByteArray ascii = QUrl::toAce(QString::fromUtf8(host.data(), qsizetype(host.size())));
    return ascii.isEmpty() ? std::string(host) : ascii.toStdString();
}

std::optional<SiteMap> shortestLinkPerHost(const std::vector<std::string>& links)
{
    if (links.empty())
        return std::nullopt;
    SiteMap sites;
    for (const std::string& link : links) {
        std::string host = hostOfLink(link);
        if (host.empty())
            continue;
        auto [it, added] = sites.try_emplace(std::move(host), link);
        if (!added && it->second.size() > link.size())
            it->second = link;
    }
    return sites;
}

} // namespace vorn::net
