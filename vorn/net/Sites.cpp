#include "vorn/net/Sites.h"

namespace vorn::net {

namespace {

void dropPrefix(std::string_view& s, std::string_view prefix) {
    if (s.substr(0, prefix.size()) == prefix)
        s.remove_prefix(prefix.size());
}

}  // namespace

std::string hostOfLink(std::string_view url) {
    dropPrefix(url, "http://");
    dropPrefix(url, "https://");
    dropPrefix(url, "www.");
    if (!url.empty() && url.back() == '/')
        url.remove_suffix(1);
    url = url.substr(0, url.find('/'));
    std::string host(url);
    for (char& ch : host)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return host;
}

std::optional<SiteMap> shortestLinkPerHost(const std::vector<std::string>& links) {
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

}  // namespace vorn::net
