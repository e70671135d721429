#pragma once
// The browser object: IWebBrowser2 over the window of a Page. The status bar is the window's
// status line; silent is its page's (EnginePage).

#include <memory>

#include "winapi/Browser.h"
#include "winapi/browser/ComObject.h"
#include "winapi/browser/Page.h"

namespace winapi::browser {

class WebBrowser final : public DispatchObject<IWebBrowser2> {
public:
    WebBrowser();

    HRESULT Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                     VARIANT* headers) override;
    HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                      VARIANT* headers) override;
    HRESULT Stop() override;
    HRESULT Quit() override;
    HRESULT get_Document(IDispatch** document) override;
    HRESULT get_LocationURL(BSTR* url) override;
    HRESULT get_HWND(SHANDLE_PTR* handle) override;
    HRESULT put_Visible(VARIANT_BOOL value) override;
    HRESULT put_Left(LONG value) override;
    HRESULT put_Top(LONG value) override;
    HRESULT put_Width(LONG value) override;
    HRESULT put_Height(LONG value) override;
    HRESULT put_StatusBar(VARIANT_BOOL value) override;
    HRESULT put_ToolBar(int value) override;
    HRESULT put_MenuBar(VARIANT_BOOL value) override;
    HRESULT put_FullScreen(VARIANT_BOOL value) override;
    HRESULT put_Silent(VARIANT_BOOL value) override;
    HRESULT put_Resizable(VARIANT_BOOL value) override;
    HRESULT put_AddressBar(VARIANT_BOOL value) override;

protected:
    void* view(REFIID riid) override;

private:
    ~WebBrowser() override;
    HRESULT load(const QString& url, VARIANT* postData, VARIANT* headers);

    std::shared_ptr<Page> page_;
    // Bars and modes the window does not have; kept as set.
    bool toolBar_ = true, menuBar_ = true, addressBar_ = true, resizable_ = true;
};

} // namespace winapi::browser
