// The browser getters, element lists and attributes of module Core.
#include "dwin/sys/win32/com/Core.h"
#include "dwin/core/Exception.h"
#include "winapi/Com.h"

namespace dwin::sys::win32::com {

using namespace winapi;

ComPtr<IWebBrowser2> createInternetExplorer(DWORD context)
{
    ComPtr<IWebBrowser2> browser;
    if (CoCreateInstance(CLSID_InternetExplorer, nullptr, context, IID_IWebBrowser2,
                         browser.putVoid()) != S_OK)
        browser.reset();
    return browser;
}

HWND getBrowserHwnd(IWebBrowser2* browser)
{
    if (browser == nullptr)
        return nullptr;
    SHANDLE_PTR handle = 0;
    if (browser->get_HWND(&handle) != S_OK)
        return nullptr;
    return reinterpret_cast<HWND>(handle);
}

std::optional<std::string> getBrowserLocationUrl(IWebBrowser2* browser)
{
    if (browser == nullptr)
        return std::nullopt;
    BSTR url = nullptr;
    if (browser->get_LocationURL(&url) != S_OK) {
        freeBstr(url);
        return std::nullopt;
    }
    return fromBstr(url);
}

ComPtr<IHTMLDocument3> getDocument3(IWebBrowser2* browser)
{
    if (browser == nullptr)
        return nullptr;
    ComPtr<IDispatch> document;
    if (browser->get_Document(document.put()) != S_OK)
        return nullptr;
    return document.as<IHTMLDocument3>();
}

ComPtr<IHTMLElement> queryHtmlElement(IDispatch* object)
{
    if (object == nullptr)
        return nullptr;
    return ComPtr<IDispatch>::share(object).as<IHTMLElement>();
}

std::vector<ComPtr<IHTMLElement>> getElementsByName(IWebBrowser2* browser, std::string_view name)
{
    std::vector<ComPtr<IHTMLElement>> found;
    ScopedBstr bstr;
    try {
        bstr.reset(toBstr(name));
    } catch (const dwin::core::UtfException&) {
        return found; // malformed UTF-8: no such name
    }
    ComPtr<IHTMLDocument3> document = getDocument3(browser);
    if (!document)
        return found;
    ComPtr<IHTMLElementCollection> elements;
    if (document->getElementsByName(bstr.get(), elements.put()) != S_OK || !elements)
        return found;
    LONG length = 0;
    if (elements->get_length(&length) != S_OK)
        return found;
    for (LONG i = 0; i < length; ++i) {
        ScopedVariant index(toVariant(static_cast<std::uint32_t>(i)));
        ComPtr<IDispatch> item;
        if (elements->item(index.get(), index.get(), item.put()) != S_OK || !item)
            continue;
        if (auto element = queryHtmlElement(item.get()))
            found.push_back(std::move(element));
    }
    return found;
}

bool setAttribute(IHTMLElement* element, std::string_view name,
                  const std::optional<std::string>& value, std::int32_t flags)
{
    if (element == nullptr || name.empty() || !value)
        return false;
    ScopedBstr bstr;
    VARIANT converted;
    try {
        bstr.reset(toBstr(name));
        converted = variantOfText(VT_BSTR, *value);
    } catch (const dwin::core::UtfException&) {
        return false; // malformed UTF-8: nothing is set
    }
    ScopedVariant text(converted);
    return element->setAttribute(bstr.get(), text.get(), flags) == S_OK;
}

} // namespace dwin::sys::win32::com
