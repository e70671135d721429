#pragma once
// Loading HTML text into the browser's document as if it came from a given address: the text
// goes into a stream (in the ANSI code page, Windows-1252, unless the text declares UTF-8 in a
// <meta> tag: then it stays UTF-8 and the page reads and posts as UTF-8) and reaches the
// document through a moniker whose display name is that address, so relative links and form
// actions resolve against it.

#include <string>
#include <string_view>

#include "dwin/sys/win32/com/Core.h"
#include "winapi/Browser.h"

namespace vorn::IE {

using dwin::sys::win32::com::ComPtr;

// Waits up to 5 s for the document, then loads the HTML under baseUrl. True when the document
// accepted the load. Everything made here is released before returning; the document keeps
// what it still needs. A failed code-page conversion throws
// dwin::core::IllegalArgumentException.
bool loadHtml(winapi::IWebBrowser2* browser, std::string_view html, std::string_view baseUrl);
// The same into a document the caller already holds, without the wait.
bool loadHtml(winapi::IDispatch* document, std::string_view html, std::string_view baseUrl);

// The document's IPersistMoniker view; null for no document or when it is refused.
ComPtr<winapi::IPersistMoniker> getPersistMoniker(winapi::IDispatch* document);

// A moniker over a stream: its display name is the URL, its storage the stream. Made with a
// count of 1 for its creator; it owns the URL and one reference to the stream from init on.
class LoadHTMLMoniker final : public dwin::sys::win32::com::Implements<winapi::IMoniker> {
public:
    LoadHTMLMoniker() = default;
    // Takes the URL BSTR (freed when the moniker goes) and a reference to the stream.
    void init(dwin::sys::win32::com::COMStream* stream, winapi::BSTR url);

    winapi::HRESULT BindToStorage(winapi::IBindCtx* context, winapi::IMoniker* left,
                                  winapi::REFIID riid, void** object) override;
    winapi::HRESULT GetDisplayName(winapi::IBindCtx* context, winapi::IMoniker* left,
                                   winapi::LPOLESTR* name) override;
    winapi::HRESULT BindToObject(winapi::IBindCtx*, winapi::IMoniker*, winapi::REFIID,
                                 void** object) override;
    winapi::HRESULT Reduce(winapi::IBindCtx*, winapi::DWORD, winapi::IMoniker** left,
                           winapi::IMoniker** reduced) override;
    winapi::HRESULT ComposeWith(winapi::IMoniker*, winapi::BOOL,
                                winapi::IMoniker** composite) override;
    winapi::HRESULT Enum(winapi::BOOL, winapi::IEnumMoniker** enumerator) override;
    winapi::HRESULT IsEqual(winapi::IMoniker*) override;
    winapi::HRESULT Hash(winapi::DWORD* hash) override;
    winapi::HRESULT IsRunning(winapi::IBindCtx*, winapi::IMoniker*, winapi::IMoniker*) override;
    winapi::HRESULT GetTimeOfLastChange(winapi::IBindCtx*, winapi::IMoniker*,
                                        winapi::FILETIME* time) override;
    winapi::HRESULT Inverse(winapi::IMoniker** inverse) override;
    winapi::HRESULT CommonPrefixWith(winapi::IMoniker*, winapi::IMoniker** prefix) override;
    winapi::HRESULT RelativePathTo(winapi::IMoniker*, winapi::IMoniker** relative) override;
    winapi::HRESULT ParseDisplayName(winapi::IBindCtx*, winapi::IMoniker*, winapi::LPOLESTR,
                                     winapi::ULONG* eaten, winapi::IMoniker** result) override;
    winapi::HRESULT IsSystemMoniker(winapi::DWORD* kind) override;
    winapi::HRESULT IsDirty() override;
    winapi::HRESULT Load(winapi::IStream*) override;
    winapi::HRESULT Save(winapi::IStream*, winapi::BOOL) override;
    winapi::HRESULT GetSizeMax(winapi::ULONGLONG* size) override;
    winapi::HRESULT GetClassID(winapi::CLSID* classId) override;

private:
    ~LoadHTMLMoniker() override;
    winapi::BSTR url_ = nullptr;
    dwin::sys::win32::com::COMStream* stream_ = nullptr;
    winapi::IID iid_ = winapi::IID_IStream;
};

} // namespace vorn::IE
