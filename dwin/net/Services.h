#pragma once
// Base addresses of the outside services (scheme, host, optional port, no trailing slash).
// Each can be overridden by an environment variable, read on every call.

#include <string>

namespace dwin::net {

enum class Service {
    Search, // QMK_SEARCH_URL: search engine (home page, rank query, web search)
    Inbound, // QMK_INBOUND_URL: inbound-links web service
    DownloadSite, // QMK_DOWNLOAD_SITE_URL: the supported download site
    Maker, // QMK_MAKER_URL: the maker's web site and the page-visit request
};

// The variable's value with any trailing slashes removed, else the compiled-in default.
std::string serviceUrl(Service service);

// The name of the variable that overrides `service`.
const char* serviceVariable(Service service);

// The supported download site's domain (compiled in; not overridden by the variable).
std::string downloadSiteDomain();

} // namespace dwin::net
