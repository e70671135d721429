// Browser set-up and class IE.
#include "dwin/core/Exception.h"
#include "dwin/sys/win32/ie/IE.h"
#include "dwin/sys/win32/ie/WebBrowser.h"

namespace dwin::sys::win32::ie {

using namespace winapi;

namespace {

VARIANT_BOOL vb(bool value)
{
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

ComPtr<IWebBrowser2> createOrThrow()
{
    auto browser = com::createInternetExplorer(CLSCTX_LOCAL_SERVER);
    if (!browser)
        throw dwin::core::IEException("Create IE instance failed");
    return browser;
}

// Applies one option; false for an unknown name or a value of the wrong kind.
bool apply(IWebBrowser2* b, const BrowserOption& option)
{
    const std::string& n = option.name;
    if (const long* i = std::get_if<long>(&option.value)) {
        const LONG v = static_cast<LONG>(*i);
        if (n == "Top")
            return b->put_Top(v), true;
        if (n == "Left")
            return b->put_Left(v), true;
        if (n == "Width")
            return b->put_Width(v), true;
        if (n == "Height")
            return b->put_Height(v), true;
        return false;
    }
    if (const bool* f = std::get_if<bool>(&option.value)) {
        if (n == "Silent")
            return b->put_Silent(vb(*f)), true;
        if (n == "MenuBar")
            return b->put_MenuBar(vb(*f)), true;
        if (n == "ToolBar")
            return b->put_ToolBar(*f ? 1 : 0), true;
        if (n == "Visible")
            return b->put_Visible(vb(*f)), true;
        if (n == "Resizable")
            return b->put_Resizable(vb(*f)), true;
        if (n == "StatusBar")
            return b->put_StatusBar(vb(*f)), true;
        if (n == "AddressBar")
            return b->put_AddressBar(vb(*f)), true;
        if (n == "FullScreen")
            return b->put_FullScreen(vb(*f)), true;
        return false;
    }
    if (n == "Navigate")
        return navigate(b, std::get<std::string>(option.value)), true;
    return false;
}

} // namespace

ComPtr<IWebBrowser2> setupBrowser(ComPtr<IWebBrowser2> browser,
                                  const std::vector<BrowserOption>& options)
{
    if (!browser)
        browser = createOrThrow();
    IWebBrowser2* b = browser.get();
    b->put_Resizable(VARIANT_TRUE);
    b->put_AddressBar(VARIANT_TRUE);
    b->put_ToolBar(1);
    b->put_MenuBar(VARIANT_FALSE);
    b->put_StatusBar(VARIANT_TRUE);
    b->put_Visible(VARIANT_TRUE);
    for (const auto& option : options)
        if (!apply(b, option))
            break;
    return browser;
}

IE::IE() : browser(createOrThrow())
{
}

IE::~IE()
{
    if (browser) {
        try {
            browser->Quit();
        } catch (...) {
        }
    }
}

bool IE::navigate(std::string_view address)
{
    return ie::navigate(browser.get(), address);
}
bool IE::setVisible(bool value)
{
    return browser && browser->put_Visible(vb(value)) == S_OK;
}
bool IE::setLeft(long value)
{
    return browser && browser->put_Left(static_cast<LONG>(value)) == S_OK;
}
bool IE::setTop(long value)
{
    return browser && browser->put_Top(static_cast<LONG>(value)) == S_OK;
}
bool IE::setWidth(long value)
{
    return browser && browser->put_Width(static_cast<LONG>(value)) == S_OK;
}
bool IE::setHeight(long value)
{
    return browser && browser->put_Height(static_cast<LONG>(value)) == S_OK;
}
bool IE::setStatusBar(bool value)
{
    return browser && browser->put_StatusBar(vb(value)) == S_OK;
}
bool IE::setToolBar(bool value)
{
    return browser && browser->put_ToolBar(value ? 1 : 0) == S_OK;
}
bool IE::setMenuBar(bool value)
{
    return browser && browser->put_MenuBar(vb(value)) == S_OK;
}
bool IE::setFullScreen(bool value)
{
    return browser && browser->put_FullScreen(vb(value)) == S_OK;
}

std::optional<std::string> IE::getBodyText()
{
    if (!browser || !url)
        return std::nullopt;
    ie::navigate(browser.get(), *url);
    hasDocument(browser.get(), 5000);
    return getInnerText(getBody(browser.get()).get());
}

} // namespace dwin::sys::win32::ie
