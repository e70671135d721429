#pragma once
// Synchronous HTTP GET over libcurl. Redirects are not followed (a redirect is a status other
// than 200). Replies are read into memory up to maxBodyBytes; a longer body fails.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace dwin::net {

// Failure of a request: connection refused or reset, time-out, malformed reply, body too
// large. curlCode() is libcurl's result code (0 when not from curl); httpStatus() the status
// received, 0 when none arrived.
class HttpException : public std::runtime_error {
public:
    HttpException(const std::string& msg, int curlCode, long httpStatus)
        : std::runtime_error(msg), curlCode_(curlCode), httpStatus_(httpStatus)
    {
    }
    int curlCode() const noexcept { return curlCode_; }
    long httpStatus() const noexcept { return httpStatus_; }

private:
    int curlCode_;
    long httpStatus_;
};

namespace Http {

// Largest body get() accepts.
inline constexpr std::size_t maxBodyBytes = 16 * 1024 * 1024;

// GET `url`: the body for status 200, "" for any other status. bufferSize is the read-buffer
// size; timeoutSeconds bounds the whole request (0 takes the default of 30).
// Throws HttpException on connection failure, time-out, malformed reply or a body over
// maxBodyBytes.
std::string get(const std::string& url, std::size_t bufferSize = 16 * 1024,
                unsigned timeoutSeconds = 30);

// GET `url` but read only the status line and headers; gives the final status code.
// Throws HttpException on connection failure, time-out or malformed reply.
long status(const std::string& url, unsigned timeoutSeconds);

} // namespace Http
} // namespace dwin::net
