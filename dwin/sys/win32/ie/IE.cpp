#include "dwin/sys/win32/ie/IE.h"

#include "dwin/core/Exception.h"
#include "dwin/sys/win32/Process.h"
#include "winapi/Com.h"

namespace dwin::sys::win32::ie {

using namespace winapi;

bool isBrowserWindow(IWebBrowser2* browser)
{
    if (browser == nullptr)
        return false;
    HWND handle = com::getBrowserHwnd(browser);
    return handle != nullptr && IsWindow(handle);
}

ComPtr<IDispatch> getDocument(IWebBrowser2* browser, std::uint32_t timeout)
{
    if (browser == nullptr)
        return nullptr;
    // The waits pump messages: whoever owns the browser may let it go meanwhile.
    const auto keep = ComPtr<IWebBrowser2>::share(browser);
    for (std::uint32_t tries = timeout / 50; tries > 0; --tries) {
        Process::wait(50);
        ComPtr<IDispatch> document;
        if (browser->get_Document(document.put()) == S_OK)
            return document;
    }
    return nullptr;
}

ComPtr<IDispatch> stopForDocument(IWebBrowser2* browser, std::uint32_t timeout)
{
    if (browser == nullptr)
        return nullptr;
    const auto keep = ComPtr<IWebBrowser2>::share(browser);
    for (std::uint32_t tries = timeout / 50; tries > 0; --tries) {
        if (FAILED(browser->Stop()))
            return nullptr;
        ComPtr<IDispatch> document;
        if (browser->get_Document(document.put()) == S_OK)
            return document;
        if (!Process::wait(50))
            return nullptr; // the application is quitting
    }
    return nullptr;
}

bool hasDocument(IWebBrowser2* browser, std::uint32_t timeout)
{
    return static_cast<bool>(getDocument(browser, timeout));
}

DocumentWait getDocument(IWebBrowser2* browser, bool release, std::uint32_t timeout)
{
    DocumentWait wait;
    wait.document = getDocument(browser, timeout);
    wait.came = static_cast<bool>(wait.document);
    if (release)
        wait.document.reset();
    return wait;
}

ComPtr<IHTMLDocument2> getDocument2(IWebBrowser2* browser)
{
    if (browser == nullptr)
        return nullptr;
    ComPtr<IDispatch> document;
    if (browser->get_Document(document.put()) != S_OK)
        return nullptr;
    return document.as<IHTMLDocument2>();
}

ComPtr<IHTMLElement> getBody(IWebBrowser2* browser)
{
    auto document = getDocument2(browser);
    if (!document)
        return nullptr;
    ComPtr<IHTMLElement> body;
    document->get_body(body.put());
    return body;
}

std::optional<std::string> getInnerText(IHTMLElement* element)
{
    if (element == nullptr)
        return std::nullopt;
    BSTR text = nullptr;
    element->get_innerText(&text);
    return com::fromBstr(text);
}

std::optional<std::string> getTitle(IWebBrowser2* browser)
{
    auto document = getDocument2(browser);
    if (!document)
        return std::nullopt;
    BSTR title = nullptr;
    if (document->get_title(&title) != S_OK) {
        com::freeBstr(title);
        return std::nullopt;
    }
    return com::fromBstr(title);
}

ComPtr<IHTMLElement> getElementById(IHTMLDocument3* document, std::string_view id)
{
    if (document == nullptr)
        return nullptr;
    com::ScopedBstr bstr;
    try {
        bstr.reset(com::toBstr(id));
    } catch (const dwin::core::UtfException&) {
        return nullptr; // malformed UTF-8: no such id
    }
    ComPtr<IHTMLElement> element;
    document->getElementById(bstr.get(), element.put());
    return element;
}

ComPtr<IHTMLElement> getElementById(IDispatch* document, std::string_view id)
{
    auto view = ComPtr<IDispatch>::share(document).as<IHTMLDocument3>();
    return getElementById(view.get(), id);
}

ComPtr<IHTMLElement> getElementById(IWebBrowser2* browser, std::string_view id)
{
    return getElementById(com::getDocument3(browser).get(), id);
}

namespace {

template <class T>
ComPtr<IHTMLElement> findAndRelease(T* passedIn, std::string_view id, bool release)
{
    auto element = getElementById(passedIn, id);
    if (release)
        com::tryRelease(passedIn);
    return element;
}

} // namespace

ComPtr<IHTMLElement> getElementById(IHTMLDocument3* document, std::string_view id, bool release)
{
    return findAndRelease(document, id, release);
}

ComPtr<IHTMLElement> getElementById(IDispatch* document, std::string_view id, bool release)
{
    return findAndRelease(document, id, release);
}

ComPtr<IHTMLElement> getElementById(IWebBrowser2* browser, std::string_view id, bool release)
{
    return findAndRelease(browser, id, release);
}

ComPtr<IHTMLElement> waitForElementById(IWebBrowser2* browser, std::string_view id,
                                        std::uint32_t timeout, std::uint32_t interval)
{
    if (browser == nullptr || id.empty())
        return nullptr;
    const auto keep = ComPtr<IWebBrowser2>::share(browser);
    {
        auto document = getDocument(browser, 5000);
        if (!document)
            return nullptr;
        if (auto element = getElementById(document.get(), id))
            return element;
    }
    const DWORD start = GetTickCount();
    while (static_cast<DWORD>(GetTickCount() - start) < timeout) {
        if (!Process::wait(interval))
            return nullptr; // the application is quitting
        if (auto element = getElementById(browser, id))
            return element;
    }
    return nullptr;
}

bool waitForTitle(IWebBrowser2* browser, std::string_view text, std::uint32_t timeout)
{
    const auto keep = ComPtr<IWebBrowser2>::share(browser);
    const DWORD start = GetTickCount();
    while (static_cast<DWORD>(GetTickCount() - start) < timeout) {
        if (!Process::wait(50))
            return false; // the application is quitting
        auto title = getTitle(browser);
        if (title && !title->empty() && title->find(text) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace dwin::sys::win32::ie
