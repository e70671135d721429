#include "dwin/sys/win32/com/Core.h"

#include "dwin/core/Exception.h"
#include "dwin/sys/win32/CodePage.h"
#include "dwin/sys/win32/com/Init.h"
#include "dwin/text/convert/Utf.h"
#include "winapi/Com.h"

namespace dwin::sys::win32::com {

using namespace winapi;

namespace {

// Pages may hold unpaired surrogates (a script can make any title or text); each becomes U+FFFD.
std::u16string withoutLoneSurrogates(std::u16string_view text)
{
    std::u16string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const bool high = out[i] >= 0xD800 && out[i] <= 0xDBFF;
        const bool low = out[i] >= 0xDC00 && out[i] <= 0xDFFF;
        if (high && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF)
            ++i; // a pair
        else if (high || low)
            out[i] = 0xFFFD;
    }
    return out;
}

} // namespace

BSTR toBstr(std::string_view text)
{
    if (text.empty())
        return nullptr;
    const std::u16string wide = CodePage::toUtf16z(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::optional<std::string> fromBstr(BSTR text)
{
    if (text == nullptr)
        return std::nullopt;
    struct Free {
        BSTR p;
        ~Free() { SysFreeString(p); }
    } guard{text};
    const UINT length = SysStringLen(text);
    if (length == 0)
        return std::nullopt;
    const std::u16string_view units(text, length);
    try {
        return dwin::text::convert::Utf::toString(units);
    } catch (const dwin::core::UtfException&) {
        return dwin::text::convert::Utf::toString(withoutLoneSurrogates(units));
    }
}

void freeBstr(BSTR text)
{
    if (text != nullptr)
        SysFreeString(text);
}

VARIANT variantOf(VARTYPE tag, std::int32_t value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = tag;
    v.lVal = value;
    return v;
}

VARIANT variantOfText(VARTYPE tag, std::string_view text)
{
    VARIANT v;
    VariantInit(&v);
    v.bstrVal = toBstr(text);
    v.vt = tag;
    return v;
}

VARIANT toVariant(std::uint32_t value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_UI4;
    v.ulVal = value;
    return v;
}

void clearVariant(VARIANT& value)
{
    if (Init::isInitialized())
        VariantClear(&value);
}

bool guidEquals(const GUID& a, const GUID& b)
{
    return IsEqualGUID(a, b);
}

bool tryRelease(IUnknown* object)
{
    if (object == nullptr)
        return false;
    try {
        object->Release();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace dwin::sys::win32::com
