#include "vorn/Soft.h"

#include "dwin/net/Http.h"
#include "vorn/Texts.h"

namespace vorn::Soft {

namespace {
constexpr std::size_t kReadBuffer = 16 * 1024;
constexpr unsigned kTimeoutSeconds = 3;
} // namespace

void visitPage()
{
    dwin::net::Http::get(Texts::pageVisitUrl(), kReadBuffer, kTimeoutSeconds);
}

} // namespace vorn::Soft
