#pragma once
// Navigation of the browser. True when the browser accepted the request (S_OK); false, without
// a call, for no browser or text that is not UTF-8. Every BSTR and
// VARIANT made here, and the VARIANTs handed to navigateTarget, are cleared before returning.

#include <cstdint>
#include <span>
#include <string_view>

#include "winapi/Browser.h"

namespace dwin::sys::win32::ie {

bool navigate(winapi::IWebBrowser2* browser, std::string_view url);
bool navigateTarget(winapi::IWebBrowser2* browser, std::string_view url, winapi::VARIANT& flags,
                    winapi::VARIANT& targetFrame, winapi::VARIANT& postData,
                    winapi::VARIANT& headers);
// Navigate2 with a POST body (no bytes: a null array), target frame and extra headers.
bool navigatePost(winapi::IWebBrowser2* browser, std::string_view url, std::int32_t flags,
                  std::string_view targetFrame, std::span<const std::uint8_t> postData,
                  std::string_view headers);

} // namespace dwin::sys::win32::ie
