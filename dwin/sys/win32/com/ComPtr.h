#pragma once
// ComPtr<T>: the owner of one COM reference, released exactly once in its destructor.

#include <cstddef>
#include <utility>

#include "winapi/Browser.h"
#include "winapi/Guids.h"
#include "winapi/Unknown.h"

namespace dwin::sys::win32::com {

// The identifier of an interface type, for QueryInterface through ComPtr::as.
template <class T>
struct Iid;
template <>
struct Iid<winapi::IUnknown> {
    static constexpr const winapi::IID& value = winapi::IID_IUnknown;
};
template <>
struct Iid<winapi::IDispatch> {
    static constexpr const winapi::IID& value = winapi::IID_IDispatch;
};
template <>
struct Iid<winapi::IStream> {
    static constexpr const winapi::IID& value = winapi::IID_IStream;
};
template <>
struct Iid<winapi::IMoniker> {
    static constexpr const winapi::IID& value = winapi::IID_IMoniker;
};
template <>
struct Iid<winapi::IBindCtx> {
    static constexpr const winapi::IID& value = winapi::IID_IBindCtx;
};
template <>
struct Iid<winapi::IPersistMoniker> {
    static constexpr const winapi::IID& value = winapi::IID_IPersistMoniker;
};
template <>
struct Iid<winapi::IWebBrowser2> {
    static constexpr const winapi::IID& value = winapi::IID_IWebBrowser2;
};
template <>
struct Iid<winapi::IHTMLDocument2> {
    static constexpr const winapi::IID& value = winapi::IID_IHTMLDocument2;
};
template <>
struct Iid<winapi::IHTMLDocument3> {
    static constexpr const winapi::IID& value = winapi::IID_IHTMLDocument3;
};
template <>
struct Iid<winapi::IHTMLElement> {
    static constexpr const winapi::IID& value = winapi::IID_IHTMLElement;
};
template <>
struct Iid<winapi::IHTMLElementCollection> {
    static constexpr const winapi::IID& value = winapi::IID_IHTMLElementCollection;
};

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes over a reference the caller already holds.
    static ComPtr adopt(T* p) noexcept
    {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    // Adds a reference of its own.
    static ComPtr share(T* p) noexcept
    {
        if (p != nullptr)
            p->AddRef();
        return adopt(p);
    }
    ComPtr(const ComPtr& other) noexcept : p_(other.p_)
    {
        if (p_ != nullptr)
            p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // Gives up the reference without releasing it.
    T* detach() noexcept { return std::exchange(p_, nullptr); }
    void reset() noexcept;
    // Releases what is held and gives the slot for an out argument.
    T** put() noexcept
    {
        reset();
        return &p_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    // The object's U view, or null when it is refused.
    template <class U>
    ComPtr<U> as() const noexcept
    {
        ComPtr<U> view;
        if (p_ != nullptr && p_->QueryInterface(Iid<U>::value, view.putVoid()) != winapi::S_OK)
            view.reset();
        return view;
    }

private:
    T* p_ = nullptr;
};

template <class T>
void ComPtr<T>::reset() noexcept
{
    T* p = std::exchange(p_, nullptr);
    if (p == nullptr)
        return;
    try {
        p->Release();
    } catch (...) {
    }
}

} // namespace dwin::sys::win32::com
