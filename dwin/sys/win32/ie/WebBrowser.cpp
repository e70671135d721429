#include "dwin/sys/win32/ie/WebBrowser.h"

#include <cstring>

#include "dwin/core/Exception.h"
#include "dwin/sys/win32/com/Core.h"

namespace dwin::sys::win32::ie {

using namespace winapi;
using com::ScopedVariant;

namespace {

// A VT_ARRAY|VT_UI1 VARIANT holding the bytes; no bytes give a null array.
VARIANT byteArray(std::span<const std::uint8_t> bytes)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    if (bytes.empty())
        return v;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    if (array != nullptr && SafeArrayAccessData(array, &data) == S_OK) {
        std::memcpy(data, bytes.data(), bytes.size());
        SafeArrayUnaccessData(array);
    }
    v.parray = array;
    return v;
}

} // namespace

bool navigate(IWebBrowser2* browser, std::string_view url)
{
    // One empty VARIANT for the flags, frame, body and headers: clearing it is a no-op.
    VARIANT none = com::variantOf(VT_EMPTY, 0);
    return navigateTarget(browser, url, none, none, none, none);
}

bool navigateTarget(IWebBrowser2* browser, std::string_view url, VARIANT& flags,
                    VARIANT& targetFrame, VARIANT& postData, VARIANT& headers)
{
    // Cleared one after the other in place: a VARIANT given for several arguments is left
    // empty by its first clearing, so it is freed once.
    struct ClearAll {
        VARIANT* values[4];
        ~ClearAll()
        {
            for (VARIANT* v : values)
                com::clearVariant(*v);
        }
    } clear{{&flags, &targetFrame, &postData, &headers}};
    if (browser == nullptr)
        return false;
    com::ScopedBstr bstr;
    try {
        bstr.reset(com::toBstr(url));
    } catch (const dwin::core::UtfException&) {
        return false; // malformed UTF-8: no address
    }
    return browser->Navigate(bstr.get(), &flags, &targetFrame, &postData, &headers) == S_OK;
}

bool navigatePost(IWebBrowser2* browser, std::string_view url, std::int32_t flags,
                  std::string_view targetFrame, std::span<const std::uint8_t> postData,
                  std::string_view headers)
{
    if (browser == nullptr)
        return false;
    try {
        ScopedVariant address(com::variantOfText(VT_BSTR, url));
        ScopedVariant flagValue(com::variantOf(VT_I4, flags));
        ScopedVariant target(com::variantOfText(VT_BSTR, targetFrame));
        ScopedVariant body(byteArray(postData));
        ScopedVariant extra(com::variantOfText(VT_BSTR, headers));
        return browser->Navigate2(&address.get(), &flagValue.get(), &target.get(), &body.get(),
                                  &extra.get()) == S_OK;
    } catch (const dwin::core::UtfException&) {
        return false; // malformed UTF-8; what was made is cleared on the way out
    }
}

} // namespace dwin::sys::win32::ie
