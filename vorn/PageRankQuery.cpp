// The request side of the rank query: query URL, GET, reading the rank out of the reply.
#include "vorn/PageRank.h"

#include "dwin/net/Http.h"
#include "dwin/net/Services.h"
#include "dwin/text/Unicode.h"

namespace vorn::PageRank {

namespace {

constexpr unsigned kTimeoutSeconds = 8;
constexpr std::size_t kReadBuffer = 16 * 1024;
constexpr int kHighestRank = 10;

// The third ":"-separated field of a line, or no value when the line has at most two fields.
std::optional<std::string_view> thirdField(std::string_view line)
{
    const std::size_t first = line.find(':');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = line.find(':', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = line.substr(second + 1);
    return rest.substr(0, rest.find(':'));
}

// The third field of the first line with more than two ":"-separated fields. Lines are scanned in
// place, so a reply of many short lines or fields costs no more than the reply itself.
std::optional<std::string> rankOfReply(std::string_view body)
{
    if (body.size() < 8 || body.substr(0, 4) != "Rank")
        return std::nullopt;
    for (std::size_t from = 0; from <= body.size();) {
        const std::size_t at = body.find('\n', from);
        std::string_view line =
            body.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from);
        if (at != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (const std::optional<std::string_view> field = thirdField(line))
            return std::string(*field);
        if (at == std::string_view::npos)
            break;
        from = at + 1;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> getQueryUrl(std::string_view url)
{
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

std::optional<std::string> getRank(std::string_view url)
{
    const std::optional<std::string> query = getQueryUrl(url);
    if (!query)
        return std::nullopt;
    return rankOfReply(dwin::net::Http::get(*query, kReadBuffer, kTimeoutSeconds));
}

std::optional<std::string> rankOf(std::string_view answer)
{
    const std::string number = dwin::text::Unicode::trim(answer);
    if (number.empty())
        return std::nullopt;
    int rank = 0;
    for (const char digit : number) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        rank = rank * 10 + (digit - '0');
        if (rank > kHighestRank)
            return std::nullopt;
    }
    return std::to_string(rank);
}

} // namespace vorn::PageRank
