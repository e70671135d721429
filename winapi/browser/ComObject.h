#pragma once
// Reference counting and automation stubs shared by the browser server's objects.

#include "winapi/Com.h"
#include "winapi/Unknown.h"

namespace winapi::browser {

// An object implementing the interfaces Is...; view() gives the interface pointer for an
// identifier, or null. Made with a count of 1; deleted when the count falls to 0.
template <class... Is>
class ComObject : public Is... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG Release() override
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = view(riid);
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    virtual void* view(REFIID riid) = 0;

private:
    volatile LONG refs_ = 1;
    LiveCount live_;
};

// The same for objects whose interfaces derive from IDispatch: type information and late
// binding are not offered.
template <class... Is>
class DispatchObject : public ComObject<Is...> {
public:
    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (count != nullptr)
            *count = 0;
        return E_NOTIMPL;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info != nullptr)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
};

} // namespace winapi::browser
