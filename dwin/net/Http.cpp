#include "dwin/net/Http.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <string_view>

namespace dwin::net::Http {
namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const noexcept { curl_easy_cleanup(handle); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

constexpr unsigned defaultTimeoutSeconds = 30;

Easy makeEasy(const std::string& url, unsigned timeoutSeconds)
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Easy easy(initialised ? curl_easy_init() : nullptr);
    if (!easy)
        throw HttpException("HTTP GET " + url + ": cannot create a request", CURLE_FAILED_INIT, 0);
    const long seconds = timeoutSeconds == 0 ? defaultTimeoutSeconds : timeoutSeconds;
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, seconds);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, seconds);
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Mozilla/5.0 (compatible; Quillmark)");
    return easy;
}

long responseCode(CURL* h)
{
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

[[noreturn]] void failWith(const std::string& url, CURLcode code, long status)
{
    throw HttpException("HTTP GET " + url + " failed: " + curl_easy_strerror(code), code, status);
}

// The body of one GET: kept only for status 200, and only up to the cap.
struct Body {
    CURL* handle;
    std::string text;
    bool tooLarge = false;
    bool notWanted = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* body = static_cast<Body*>(user);
    const std::size_t bytes = size * count;
    if (responseCode(body->handle) != 200) {
        body->notWanted = true; // the caller gets "": stop reading
        return 0;
    }
    if (body->text.size() + bytes > maxBodyBytes) {
        body->tooLarge = true;
        return 0;
    }
    body->text.append(data, bytes);
    return bytes;
}

// Headers of one GET: the status of the final reply, and whether its headers are complete.
struct Headers {
    long status = 0;
    bool complete = false;
};

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* headers = static_cast<Headers*>(user);
    const std::size_t bytes = size * count;
    const std::string_view line(data, bytes);
    if (line.starts_with("HTTP/")) {
        const auto blank = line.find(' ');
        headers->status = 0;
        if (blank != std::string_view::npos) {
            for (std::size_t i = blank + 1; i < line.size() && i < blank + 4; ++i) {
                if (line[i] < '0' || line[i] > '9')
                    break;
                headers->status = headers->status * 10 + (line[i] - '0');
            }
        }
    } else if ((line == "\r\n" || line == "\n") && headers->status >= 200) {
        headers->complete = true;
        return 0; // stop: the body is not wanted
    }
    return bytes;
}

std::size_t discard(char*, std::size_t, std::size_t, void*)
{
    return 0;
}

} // namespace

std::string get(const std::string& url, std::size_t bufferSize, unsigned timeoutSeconds)
{
    Easy easy = makeEasy(url, timeoutSeconds);
    CURL* h = easy.get();
    Body body{h, {}};
    const long buffer = static_cast<long>(std::clamp<std::size_t>(bufferSize, 1024, 512 * 1024));
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, buffer);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBodyBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);

    const CURLcode code = curl_easy_perform(h);
    const long status = responseCode(h);
    if (body.notWanted || (code == CURLE_FILESIZE_EXCEEDED && status != 200))
        return {};
    if (body.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        throw HttpException("HTTP GET " + url + " failed: the reply body is larger than " +
                                std::to_string(maxBodyBytes) + " bytes",
                            CURLE_FILESIZE_EXCEEDED, status);
    if (code != CURLE_OK)
        failWith(url, code, status);
    if (status != 200)
        return {};
    return std::move(body.text);
}

long status(const std::string& url, unsigned timeoutSeconds)
{
    Easy easy = makeEasy(url, timeoutSeconds);
    CURL* h = easy.get();
    Headers headers;
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &headers);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, discard);

    const CURLcode code = curl_easy_perform(h);
    if (headers.complete)
        return headers.status;
    if (code != CURLE_OK)
        failWith(url, code, headers.status);
    if (headers.status == 0)
        throw HttpException("HTTP GET " + url + " failed: no status line", CURLE_WEIRD_SERVER_REPLY,
                            0);
    return headers.status;
}

} // namespace dwin::net::Http
