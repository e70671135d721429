#pragma once
// Browser automation: documents, elements, the waits for them, browser set-up and class IE.
// Ownership: every reference taken along the way is released before a call returns; results come
// in ComPtr owners. Failures (text that is not UTF-8 among them) give null, no text, an empty
// list or false; only a browser that cannot be created throws (dwin::core::IEException
// "Create IE instance failed").
// The waits pump window messages (Process::wait), so other events run while they wait; once the
// application is quitting, waitForElementById and waitForTitle give up (null, false). A wait
// holds a reference to the browser it was given, so the browser outlives it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "dwin/sys/win32/com/Core.h"
#include "dwin/sys/win32/tlb/Shdocvw.h"
#include "winapi/Browser.h"

namespace dwin::sys::win32::ie {

using com::ComPtr;

// True for a browser whose window handle is a live window.
bool isBrowserWindow(winapi::IWebBrowser2* browser);

// Waits for the document: timeout/50 tries, each after a 50 ms pumped wait, until get_Document
// gives S_OK. Null at once below 50 ms.
ComPtr<winapi::IDispatch> getDocument(winapi::IWebBrowser2* browser, std::uint32_t timeout);
// The same wait for a page that keeps loading: the browser is stopped right before each look,
// so a page that starts a new load as soon as one ends cannot keep its document away. Null at
// once when the browser refuses to stop (it has gone).
ComPtr<winapi::IDispatch> stopForDocument(winapi::IWebBrowser2* browser, std::uint32_t timeout);
// The same wait, keeping nothing: whether a document came.
bool hasDocument(winapi::IWebBrowser2* browser, std::uint32_t timeout);

// The wait with a release flag. Unset: `document` holds the document, as getDocument above.
// Set: the document is released before returning, `document` is null and the result only
// tells whether a document came.
struct DocumentWait {
    ComPtr<winapi::IDispatch> document;
    bool came = false;
    explicit operator bool() const { return came; }
};
DocumentWait getDocument(winapi::IWebBrowser2* browser, bool release, std::uint32_t timeout);

// No waiting: the current document's views, body and title.
ComPtr<winapi::IHTMLDocument2> getDocument2(winapi::IWebBrowser2* browser);
ComPtr<winapi::IHTMLElement> getBody(winapi::IWebBrowser2* browser);
std::optional<std::string> getInnerText(winapi::IHTMLElement* element);
std::optional<std::string> getTitle(winapi::IWebBrowser2* browser);

ComPtr<winapi::IHTMLElement> getElementById(winapi::IHTMLDocument3* document, std::string_view id);
ComPtr<winapi::IHTMLElement> getElementById(winapi::IDispatch* document, std::string_view id);
ComPtr<winapi::IHTMLElement> getElementById(winapi::IWebBrowser2* browser, std::string_view id);
// The same three forms with a flag: set, the reference passed in (document, document view or
// browser) is released before returning; the caller gives it up.
ComPtr<winapi::IHTMLElement> getElementById(winapi::IHTMLDocument3* document, std::string_view id,
                                            bool release);
ComPtr<winapi::IHTMLElement> getElementById(winapi::IDispatch* document, std::string_view id,
                                            bool release);
ComPtr<winapi::IHTMLElement> getElementById(winapi::IWebBrowser2* browser, std::string_view id,
                                            bool release);

// Looks once as soon as the document is there, then every interval ms until timeout ms passed.
ComPtr<winapi::IHTMLElement> waitForElementById(winapi::IWebBrowser2* browser, std::string_view id,
                                                std::uint32_t timeout, std::uint32_t interval);
// True as soon as the title contains the text (case-sensitive), false after timeout ms.
bool waitForTitle(winapi::IWebBrowser2* browser, std::string_view text, std::uint32_t timeout);

// One option of setupBrowser: "Top", "Left", "Width", "Height" take an integer; "Silent",
// "MenuBar", "ToolBar", "Visible", "Resizable", "StatusBar", "AddressBar", "FullScreen" a
// boolean; "Navigate" a URL. An unknown name, or a value of the wrong kind, ends the processing.
struct BrowserOption {
    std::string name;
    std::variant<long, bool, std::string> value;
};

// Creates the browser when none is given (throws IEException when that fails), sets the usual
// bars and shows it, then applies the options in order.
ComPtr<winapi::IWebBrowser2> setupBrowser(ComPtr<winapi::IWebBrowser2> browser,
                                          const std::vector<BrowserOption>& options = {});

// A browser of its own, told to quit when the object goes.
class IE : public tlb::Shdocvw::InternetExplorer {
public:
    // Throws dwin::core::IEException "Create IE instance failed".
    IE();
    ~IE() override;
    IE(const IE&) = delete;
    IE& operator=(const IE&) = delete;

    // Setters and navigate: false when the browser gives no S_OK or there is none.
    virtual bool navigate(std::string_view url);
    virtual bool setVisible(bool value);
    virtual bool setLeft(long value);
    virtual bool setTop(long value);
    virtual bool setWidth(long value);
    virtual bool setHeight(long value);
    virtual bool setStatusBar(bool value);
    virtual bool setToolBar(bool value);
    virtual bool setMenuBar(bool value);
    virtual bool setFullScreen(bool value);
    // With url set: navigates there, waits for the document and gives the body's text.
    virtual std::optional<std::string> getBodyText();

    ComPtr<winapi::IWebBrowser2> browser;
    std::optional<std::string> url;
};

} // namespace dwin::sys::win32::ie
