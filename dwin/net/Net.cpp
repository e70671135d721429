#include "dwin/net/Net.h"

#include "dwin/net/Http.h"
#include "dwin/net/Services.h"

namespace dwin::net::Net {

bool isOnline(std::uint32_t timeoutSeconds)
{
    try {
        return Http::status(serviceUrl(Service::Search) + "/", timeoutSeconds) == 200;
    } catch (...) {
        return false;
    }
}

} // namespace dwin::net::Net
