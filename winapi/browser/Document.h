#pragma once
// A document of the browser: IHTMLDocument2, IHTMLDocument3 and IPersistMoniker. It answers
// while the page still shows it; once the browser has moved on its calls fail.

#include <memory>

#include "winapi/Browser.h"
#include "winapi/browser/ComObject.h"
#include "winapi/browser/Page.h"

namespace winapi::browser {

class Document final : public DispatchObject<IHTMLDocument2, IHTMLDocument3, IPersistMoniker> {
public:
    explicit Document(std::shared_ptr<Page> page);

    HRESULT get_body(IHTMLElement** body) override;
    HRESULT get_title(BSTR* title) override;
    HRESULT getElementById(BSTR id, IHTMLElement** element) override;
    HRESULT getElementsByName(BSTR name, IHTMLElementCollection** elements) override;

    // Shows the bytes of the moniker's storage as the document at its display name.
    HRESULT Load(BOOL fullyAvailable, IMoniker* name, IBindCtx* context, DWORD mode) override;
    HRESULT GetClassID(CLSID* classId) override;
    HRESULT IsDirty() override;
    HRESULT Save(IMoniker* name, IBindCtx* context, BOOL remember) override;
    HRESULT SaveCompleted(IMoniker* name, IBindCtx* context) override;
    HRESULT GetCurMoniker(IMoniker** name) override;

protected:
    void* view(REFIID riid) override;

private:
    ~Document() override = default;
    std::shared_ptr<Page> page_;
    std::uint64_t generation_;
};

} // namespace winapi::browser
