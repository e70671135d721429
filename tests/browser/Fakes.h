#pragma once
// Fakes of the browser interfaces for tests that run without the engine.

#include <functional>
#include <string>
#include <vector>

#include "winapi/Browser.h"
#include "winapi/Com.h"

namespace fakes {

using namespace winapi;

// Counts references; deletes itself at 0 like the real objects.
template <class... Is>
class Counted : public Is... {
public:
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override
    {
        const ULONG left = --refs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        *object = view(riid);
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG refs = 1;

protected:
    virtual ~Counted() = default;
    virtual void* view(REFIID riid) = 0;
    LiveCount live_;
};

#define FAKE_DISPATCH                                                                              \
    HRESULT GetTypeInfoCount(UINT*) override                                                       \
    {                                                                                              \
        return E_NOTIMPL;                                                                          \
    }                                                                                              \
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override                                          \
    {                                                                                              \
        return E_NOTIMPL;                                                                          \
    }                                                                                              \
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override                         \
    {                                                                                              \
        return E_NOTIMPL;                                                                          \
    }                                                                                              \
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override  \
    {                                                                                              \
        return E_NOTIMPL;                                                                          \
    }

// A browser that records the calls made to it; get_Document answers through `document`.
class Browser final : public Counted<IWebBrowser2> {
public:
    FAKE_DISPATCH
    std::vector<std::string> calls;
    int documentCalls = 0;
    std::function<HRESULT(IDispatch**)> document = [](IDispatch** d) {
        *d = nullptr;
        return E_PENDING;
    };

    HRESULT Navigate(BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override
    {
        return log("Navigate");
    }
    HRESULT Navigate2(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override
    {
        return log("Navigate2");
    }
    HRESULT Stop() override { return log("Stop"); }
    HRESULT Quit() override { return log("Quit"); }
    HRESULT get_Document(IDispatch** d) override
    {
        ++documentCalls;
        return document(d);
    }
    HRESULT get_LocationURL(BSTR* url) override
    {
        *url = nullptr;
        return E_FAIL;
    }
    HRESULT get_HWND(SHANDLE_PTR* h) override
    {
        *h = 0;
        return E_FAIL;
    }
    HRESULT put_Visible(VARIANT_BOOL v) override { return log("Visible=" + std::to_string(v)); }
    HRESULT put_Left(LONG v) override { return log("Left=" + std::to_string(v)); }
    HRESULT put_Top(LONG v) override { return log("Top=" + std::to_string(v)); }
    HRESULT put_Width(LONG v) override { return log("Width=" + std::to_string(v)); }
    HRESULT put_Height(LONG v) override { return log("Height=" + std::to_string(v)); }
    HRESULT put_StatusBar(VARIANT_BOOL v) override { return log("StatusBar=" + std::to_string(v)); }
    HRESULT put_ToolBar(int v) override { return log("ToolBar=" + std::to_string(v)); }
    HRESULT put_MenuBar(VARIANT_BOOL v) override { return log("MenuBar=" + std::to_string(v)); }
    HRESULT put_FullScreen(VARIANT_BOOL v) override
    {
        return log("FullScreen=" + std::to_string(v));
    }
    HRESULT put_Silent(VARIANT_BOOL v) override { return log("Silent=" + std::to_string(v)); }
    HRESULT put_Resizable(VARIANT_BOOL v) override { return log("Resizable=" + std::to_string(v)); }
    HRESULT put_AddressBar(VARIANT_BOOL v) override
    {
        return log("AddressBar=" + std::to_string(v));
    }

private:
    void* view(REFIID riid) override
    {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
            IsEqualGUID(riid, IID_IWebBrowser2))
            return static_cast<IWebBrowser2*>(this);
        return nullptr;
    }
    HRESULT log(std::string call)
    {
        calls.push_back(std::move(call));
        return S_OK;
    }
};

// A document that takes loads through IPersistMoniker and keeps what it read.
class Document final : public Counted<IDispatch, IPersistMoniker> {
public:
    FAKE_DISPATCH
    bool persist = true; // offers IPersistMoniker
    int loads = 0;
    std::u16string displayName;
    std::string bytes;
    ULONGLONG statSize = ~0ull;
    HRESULT answer = S_OK;

    HRESULT Load(BOOL, IMoniker* name, IBindCtx* context, DWORD) override
    {
        ++loads;
        LPOLESTR display = nullptr;
        name->GetDisplayName(context, nullptr, &display);
        if (display != nullptr)
            displayName = display;
        CoTaskMemFree(display);
        IStream* stream = nullptr;
        name->BindToStorage(context, nullptr, IID_IStream, reinterpret_cast<void**>(&stream));
        if (stream != nullptr) {
            STATSTG stat;
            stream->Stat(&stat, 0);
            statSize = stat.cbSize;
            char block[7];
            ULONG got = 0;
            while (stream->Read(block, sizeof block, &got) == S_OK && got != 0)
                bytes.append(block, got);
            stream->Release();
        }
        return answer;
    }
    HRESULT GetClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT IsDirty() override { return E_NOTIMPL; }
    HRESULT Save(IMoniker*, IBindCtx*, BOOL) override { return E_NOTIMPL; }
    HRESULT SaveCompleted(IMoniker*, IBindCtx*) override { return E_NOTIMPL; }
    HRESULT GetCurMoniker(IMoniker**) override { return E_NOTIMPL; }

private:
    void* view(REFIID riid) override
    {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch))
            return static_cast<IDispatch*>(this);
        if (persist && IsEqualGUID(riid, IID_IPersistMoniker))
            return static_cast<IPersistMoniker*>(this);
        return nullptr;
    }
};

// An element that counts the calls made to it.
class Element final : public Counted<IHTMLElement> {
public:
    FAKE_DISPATCH
    int calls = 0;
    std::u16string lastName, lastValue;
    HRESULT setAttribute(BSTR name, VARIANT value, LONG) override
    {
        ++calls;
        lastName = name ? name : u"";
        lastValue = value.bstrVal ? value.bstrVal : u"";
        return S_OK;
    }
    HRESULT getAttribute(BSTR, LONG, VARIANT*) override { return ++calls, E_NOTIMPL; }
    HRESULT get_innerText(BSTR* t) override
    {
        *t = nullptr;
        return ++calls, E_NOTIMPL;
    }
    HRESULT click() override { return ++calls, S_OK; }

private:
    void* view(REFIID riid) override
    {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
            IsEqualGUID(riid, IID_IHTMLElement))
            return static_cast<IHTMLElement*>(this);
        return nullptr;
    }
};

// A plain automation object that is no element.
class Plain final : public Counted<IDispatch> {
public:
    FAKE_DISPATCH

private:
    void* view(REFIID riid) override
    {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch))
            return static_cast<IDispatch*>(this);
        return nullptr;
    }
};

// A list whose items are given objects; records the index arguments it was asked for.
class Collection final : public Counted<IHTMLElementCollection> {
public:
    FAKE_DISPATCH
    std::vector<IDispatch*> items; // one reference each, released with the list
    std::vector<std::pair<VARTYPE, ULONG>> asked;
    ~Collection() override
    {
        for (IDispatch* item : items)
            if (item != nullptr)
                item->Release();
    }
    HRESULT get_length(LONG* length) override
    {
        *length = static_cast<LONG>(items.size());
        return S_OK;
    }
    HRESULT item(VARIANT name, VARIANT index, IDispatch** element) override
    {
        asked.emplace_back(name.vt, index.ulVal);
        *element = items.at(name.ulVal);
        if (*element == nullptr)
            return E_FAIL;
        (*element)->AddRef();
        return S_OK;
    }

private:
    void* view(REFIID riid) override
    {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
            IsEqualGUID(riid, IID_IHTMLElementCollection))
            return static_cast<IHTMLElementCollection*>(this);
        return nullptr;
    }
};

// A document that answers getElementsByName with a given list.
class Document3 final : public Counted<IHTMLDocument3> {
public:
    FAKE_DISPATCH
    Collection* list = nullptr;
    IHTMLElement* byId = nullptr; // what getElementById gives, for any id
    HRESULT getElementById(BSTR, IHTMLElement** element) override
    {
        *element = byId;
        if (byId != nullptr)
            byId->AddRef();
        return S_OK;
    }
    HRESULT getElementsByName(BSTR, IHTMLElementCollection** elements) override
    {
        *elements = list;
        if (list != nullptr)
            list->AddRef();
        return S_OK;
    }

private:
    void* view(REFIID riid) override
    {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch))
            return static_cast<IDispatch*>(this);
        if (IsEqualGUID(riid, IID_IHTMLDocument3))
            return static_cast<IHTMLDocument3*>(this);
        return nullptr;
    }
};

} // namespace fakes
