#pragma once
// The browser automation interfaces: the browser, its HTML document and elements.
// An object of the browser server (winapi/browser/BrowserServer.h) implements them over a web
// engine; CoCreateInstance(CLSID_InternetExplorer, ..., IID_IWebBrowser2) makes one.
// Out pointers are set before any failure is given; interface pointers and BSTRs given out
// belong to the caller.

#include "winapi/Guids.h"
#include "winapi/Unknown.h"

namespace winapi {

struct IHTMLElement;
struct IHTMLElementCollection;

struct IWebBrowser2 : IDispatch {
    // Flags, target frame, POST data (VT_ARRAY|VT_UI1) and headers may be null or VT_EMPTY.
    virtual HRESULT Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                             VARIANT* headers) = 0;
    virtual HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                              VARIANT* headers) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Quit() = 0;
    // S_OK with the document once the page has loaded; a failure while it is still loading.
    virtual HRESULT get_Document(IDispatch** document) = 0;
    virtual HRESULT get_LocationURL(BSTR* url) = 0;
    virtual HRESULT get_HWND(SHANDLE_PTR* handle) = 0;
    virtual HRESULT put_Visible(VARIANT_BOOL value) = 0;
    virtual HRESULT put_Left(LONG value) = 0;
    virtual HRESULT put_Top(LONG value) = 0;
    virtual HRESULT put_Width(LONG value) = 0;
    virtual HRESULT put_Height(LONG value) = 0;
    virtual HRESULT put_StatusBar(VARIANT_BOOL value) = 0;
    virtual HRESULT put_ToolBar(int value) = 0;
    virtual HRESULT put_MenuBar(VARIANT_BOOL value) = 0;
    virtual HRESULT put_FullScreen(VARIANT_BOOL value) = 0;
    virtual HRESULT put_Silent(VARIANT_BOOL value) = 0;
    virtual HRESULT put_Resizable(VARIANT_BOOL value) = 0;
    virtual HRESULT put_AddressBar(VARIANT_BOOL value) = 0;

protected:
    ~IWebBrowser2() = default;
};

struct IHTMLDocument2 : IDispatch {
    virtual HRESULT get_body(IHTMLElement** body) = 0;
    virtual HRESULT get_title(BSTR* title) = 0;

protected:
    ~IHTMLDocument2() = default;
};

struct IHTMLDocument3 : IDispatch {
    virtual HRESULT getElementById(BSTR id, IHTMLElement** element) = 0;
    virtual HRESULT getElementsByName(BSTR name, IHTMLElementCollection** elements) = 0;

protected:
    ~IHTMLDocument3() = default;
};

struct IHTMLElement : IDispatch {
    virtual HRESULT setAttribute(BSTR name, VARIANT value, LONG flags) = 0;
    virtual HRESULT getAttribute(BSTR name, LONG flags, VARIANT* value) = 0;
    virtual HRESULT get_innerText(BSTR* text) = 0;
    virtual HRESULT click() = 0;

protected:
    ~IHTMLElement() = default;
};

struct IHTMLElementCollection : IDispatch {
    virtual HRESULT get_length(LONG* length) = 0;
    // The item at the index in `index` (VT_I4 or VT_UI4), or when `index` is empty the first
    // whose id or name is the text in `name`; S_OK with null when there is none.
    virtual HRESULT item(VARIANT name, VARIANT index, IDispatch** element) = 0;

protected:
    ~IHTMLElementCollection() = default;
};

} // namespace winapi
