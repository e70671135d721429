#pragma once
// What the two link-harvesting clients share: the host of a link, and one page per host.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::net {

// Host (lower case, without scheme and "www.") to one page on that host.
using SiteMap = std::map<std::string, std::string>;

// The host part of a link: a leading "http://", then "https://", then "www." removed (each
// case-sensitive), one trailing "/" removed, the text before the first "/", in lower case.
std::string hostOfLink(std::string_view url);

// Each host of the links with its shortest link (the first one among links of equal length);
// no value when there are no links.
std::optional<SiteMap> shortestLinkPerHost(const std::vector<std::string>& links);

}  // namespace vorn::net
