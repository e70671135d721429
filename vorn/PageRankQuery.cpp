// The request side of the rank query: query URL, GET, reading the rank out of the reply.
#include "vorn/PageRank.h"

#include "dwin/net/Http.h"
#include "dwin/net/Services.h"

#include <vector>

namespace vorn::PageRank {

namespace {

constexpr unsigned kTimeoutSeconds = 8;
constexpr std::size_t kReadBuffer = 16 * 1024;

std::vector<std::string_view> splitAt(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(sep, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

// The third field of the first line with more than two ":"-separated fields.
std::optional<std::string> rankOfReply(std::string_view body) {
    if (body.size() < 8 || body.substr(0, 4) != "Rank")
        return std::nullopt;
    const std::vector<std::string_view> lines = splitAt(body, '\n');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (i + 1 < lines.size() && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find(':') == std::string_view::npos)
            continue;
        const std::vector<std::string_view> fields = splitAt(line, ':');
        if (fields.size() > 2)
            return std::string(fields[2]);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> getQueryUrl(std::string_view url) {
    const std::uint32_t checksum = computeChecksum(url);
    if (checksum == 0)
        return std::nullopt;
    std::string query = dwin::net::serviceUrl(dwin::net::Service::Search);
    query += "/search?client=navclient-auto&ch=6";
    query += std::to_string(static_cast<std::int32_t>(checksum));
    query += "&ie=UTF-8&oe=UTF-8&features=Rank";
    query += "&q=info:";
    query += encodeQueryComponent(url);
    return query;
}

std::optional<std::string> getRank(std::string_view url) {
    const std::optional<std::string> query = getQueryUrl(url);
    if (!query)
        return std::nullopt;
    return rankOfReply(dwin::net::Http::get(*query, kReadBuffer, kTimeoutSeconds));
}

}  // namespace vorn::PageRank
