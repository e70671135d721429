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

// A lower-case ASCII host that the URL parser gives back as it is: letters, digits, dots and
// hyphens, no "www." in front, no trailing dot, no "xn--" label, and a last label that starts
// with a letter (so it is no IPv4 address). Most ids are of this kind and skip the parser.
bool isPlainHost(std::string_view id)
{
    if (id.empty() || id.back() == '.' || id.rfind("www.", 0) == 0 ||
        id.find("xn--") != std::string_view::npos)
        return false;
    for (const char c : id)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
            return false;
    const std::size_t dot = id.rfind('.');
    const char first = id[dot == std::string_view::npos ? 0 : dot + 1];
    return first >= 'a' && first <= 'z';
}

// Bytes that make an id more than a host once it is written after "http://".
bool hasNonHostByte(std::string_view id)
{
    for (const char c : id)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f ||
            std::string_view("/?#@:\\[]%").find(c) != std::string_view::npos)
            return true;
    return false;
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

std::string siteHost(std::string_view id)
{
    if (isPlainHost(id))
        return std::string(id);
    if (id.empty() || hasNonHostByte(id))
        return {};
    std::string link = "http://";
    link += id;
    link += '/';
    return hostOfLink(link);
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
