#pragma once
// COM helpers: BSTR and VARIANT conversions, GUID comparison, guarded release, scope guards,
// and the browser getters, element lists and attributes of the browser automation.
// Ownership: a BSTR or VARIANT returned here belongs to the caller (freeBstr, clearVariant);
// fromBstr takes the BSTR it is given. Interface pointers come back in ComPtr owners.
// Nothing here throws except toBstr and variantOfText (dwin::core::UtfException on malformed
// UTF-8); the browser functions below treat such text as a failure instead.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dwin/sys/win32/com/COMStream.h"
#include "dwin/sys/win32/com/ComPtr.h"
#include "dwin/sys/win32/com/Implements.h"
#include "winapi/Browser.h"
#include "winapi/Ole.h"

namespace dwin::sys::win32::com {

// UTF-8 to a new BSTR; the empty text gives the null BSTR.
winapi::BSTR toBstr(std::string_view text);
// The text of a BSTR, which is freed here; null or empty gives no text. An unpaired surrogate
// becomes U+FFFD.
std::optional<std::string> fromBstr(winapi::BSTR text);
void freeBstr(winapi::BSTR text);

// Zeroed VARIANTs with a tag and a value. variantOfText's BSTR belongs to the VARIANT.
winapi::VARIANT variantOf(winapi::VARTYPE tag, std::int32_t value);
winapi::VARIANT variantOfText(winapi::VARTYPE tag, std::string_view text);
winapi::VARIANT toVariant(std::uint32_t value); // VT_UI4
// VariantClear while COM is initialised; nothing before or after.
void clearVariant(winapi::VARIANT& value);

// A VARIANT cleared when the holder goes.
class ScopedVariant {
public:
    explicit ScopedVariant(winapi::VARIANT value) : value_(value) {}
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { clearVariant(value_); }
    winapi::VARIANT& get() { return value_; }

private:
    winapi::VARIANT value_;
};

// A BSTR freed when the holder goes (or when reset gives it another).
class ScopedBstr {
public:
    explicit ScopedBstr(winapi::BSTR text = nullptr) : text_(text) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { freeBstr(text_); }
    void reset(winapi::BSTR text)
    {
        freeBstr(text_);
        text_ = text;
    }
    winapi::BSTR get() const { return text_; }

private:
    winapi::BSTR text_;
};

bool guidEquals(const winapi::GUID& a, const winapi::GUID& b);

// Release of a pointer that may be null: false for null or when Release throws.
bool tryRelease(winapi::IUnknown* object);

// Runs the action, then releases the pointer (unless null), also when the action throws.
template <class Action>
void releaseAfter(winapi::IUnknown* object, Action&& action)
{
    struct Guard {
        winapi::IUnknown* p;
        ~Guard() { tryRelease(p); }
    } guard{object};
    action();
}

// Runs the action, then clears the VARIANT, also when the action throws.
template <class Action>
void clearAfter(winapi::VARIANT& value, Action&& action)
{
    struct Guard {
        winapi::VARIANT& v;
        ~Guard() { clearVariant(v); }
    } guard{value};
    action();
}

// The browser automation's getters (null, no text, 0 or an empty list when a call fails).
ComPtr<winapi::IWebBrowser2> createInternetExplorer(winapi::DWORD context);
winapi::HWND getBrowserHwnd(winapi::IWebBrowser2* browser);
std::optional<std::string> getBrowserLocationUrl(winapi::IWebBrowser2* browser);
ComPtr<winapi::IHTMLDocument3> getDocument3(winapi::IWebBrowser2* browser);
ComPtr<winapi::IHTMLElement> queryHtmlElement(winapi::IDispatch* object);
std::vector<ComPtr<winapi::IHTMLElement>> getElementsByName(winapi::IWebBrowser2* browser,
                                                            std::string_view name);
// False without calling the element for no element, an empty name or no value.
bool setAttribute(winapi::IHTMLElement* element, std::string_view name,
                  const std::optional<std::string>& value, std::int32_t flags);

} // namespace dwin::sys::win32::com
