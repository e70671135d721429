#include "vorn/Texts.h"

#include "dwin/net/Services.h"
#include "vorn/Crypt.h"

#include <cstddef>
#include <string_view>

namespace vorn::Texts {
namespace {

// The whole stored array (a scrambled text may hold a zero byte).
template <std::size_t N>
std::string plain(const char (&scrambled)[N])
{
    return Crypt::unscramble(std::string_view(scrambled, N - 1));
}

template <std::size_t N>
std::string makerAddress(const char (&scrambledPath)[N])
{
    return dwin::net::serviceUrl(dwin::net::Service::Maker) + plain(scrambledPath);
}

constexpr char productNameText[] = "\xb7\x8d\x44\x9c\x8b\xb2\xc1\x50\xe7";
constexpr char aboutTitleText[] =
    "\xb7\x8d\x44\x9c\x8b\xb2\xc1\x50\xe7\x64\xaf\x64\xd3\x02\x39\xb2\x3f\x56\xb5\xe4\x7b\xf2"
    "\x60\xbf\x3c\x2d\x1c\x89\x0a\x89\xc0\x14\x1d\x1c\x33\xca\x89\x67\x46\xa5\xbe\x6b\x61\xc8"
    "\x87\x76";
constexpr char aboutMessageText[] =
    "\x67\x0d\x24\x7c\x73\xd8\x01\xb8\x17\x26\xaf\x2c\x3b\xd2\x89\x18\xa7\x66\x55\xbe\xe9\x5a"
    "\x48\x0f\x3c\x75\x14\x33\xda\xa9\x90\x1e\x1d\x66\x13\xf2\x49\x37\xd6\x87\xb4\x83\x09\x6a"
    "\x87\x5e\x04\xe3\x72\x02\x2f\xd6\x75\x9b\xc2\x91\x07\x94\xa5\x3b\xa8\x70\x1f\xfe\x3e\x23"
    "\x69\x70\xf7\x75\xbe\x40\xd0\x3f\x8e\x04\xa9\x39\x60\x34\xac\xd3\x82\x60\xaf\xdd\x3b\x8a"
    "\x48\xa5";
constexpr char makerHomePath[] = "\x44";
constexpr char firstProductText[] = "\x9f\x2d\x6c\x9c\x23\xba\xe1\xc8\x8f";
constexpr char firstProductPath[] = "\x44\x85\x04\x9c\x8b\x12\xa9\xe8\xb7\x86\xd7";
constexpr char secondProductText[] = "\x1f\xb5\x44\xcc\x4b\xaa\xb1\x60\x97";
constexpr char secondProductPath[] = "\x44\x05\x9c\xb4\xdb\x7a\xb9\xb8\x1f\x9e\xd7";
constexpr char pageVisitPath[] =
    "\x44\x95\x44\x64\xa3\x7a\x33\x40\x2f\xce\x8d\x04\xb3\x0a\x43\x38\x17\x8e\xad\xbc\x83\xf2"
    "\x98\x7f";
constexpr char excludedSourceText[] = "\x2e\xb5\x44\xc4\xab\x7a\xf9\xe8\xcf\xc4";

} // namespace

std::string productName()
{
    return plain(productNameText);
}
std::string windowTitle()
{
    return plain(productNameText);
}
std::string aboutTitle()
{
    return plain(aboutTitleText);
}
std::string aboutMessage()
{
    return plain(aboutMessageText);
}
std::string makerHomeUrl()
{
    return makerAddress(makerHomePath);
}
std::string makerHelpUrl()
{
    return makerAddress(makerHomePath);
}
std::string firstProductName()
{
    return plain(firstProductText);
}
std::string firstProductUrl()
{
    return makerAddress(firstProductPath);
}
std::string secondProductName()
{
    return plain(secondProductText);
}
std::string secondProductUrl()
{
    return makerAddress(secondProductPath);
}
std::string pageVisitUrl()
{
    return makerAddress(pageVisitPath);
}
std::string excludedSource()
{
    return plain(excludedSourceText);
}

} // namespace vorn::Texts
