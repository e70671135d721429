#include "dwin/net/Services.h"

#include <cstdlib>

namespace dwin::net {
namespace {

const char* defaultUrl(Service service)
{
    switch (service) {
    case Service::Search: return "http://www.google.com";
    case Service::Inbound: return "http://search.yahooapis.com";
    case Service::DownloadSite: return "https://www.sharewareshelf.example";
    case Service::Maker: return "https://www.brightfen.example";
    }
    return "";
}

} // namespace

const char* serviceVariable(Service service)
{
    switch (service) {
    case Service::Search: return "QMK_SEARCH_URL";
    case Service::Inbound: return "QMK_INBOUND_URL";
    case Service::DownloadSite: return "QMK_DOWNLOAD_SITE_URL";
    case Service::Maker: return "QMK_MAKER_URL";
    }
    return "";
}

std::string serviceUrl(Service service)
{
    const char* value = std::getenv(serviceVariable(service));
    std::string url = value != nullptr && *value != '\0' ? value : defaultUrl(service);
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

std::string downloadSiteDomain()
{
    return "sharewareshelf.example";
}

} // namespace dwin::net
