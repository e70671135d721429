#pragma once
// Implements<I>: the reference-counted base of the COM objects the program implements itself.
// Made with a count of 1 for its creator; destroyed exactly once when Release brings the count
// to 0; QueryInterface answers IID_IUnknown and I's own identifier (and IID_IDispatch only when
// I derives from IDispatch). Memory comes from the C heap; std::bad_alloc when none is left.
// Make objects with new and hand the first reference to a ComPtr (ComPtr<I>::adopt).

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "dwin/sys/win32/com/ComPtr.h"
#include "winapi/Com.h"

namespace dwin::sys::win32::com {

template <class I>
class Implements : public I {
public:
    Implements(const Implements&) = delete;
    Implements& operator=(const Implements&) = delete;

    winapi::ULONG AddRef() override
    {
        return static_cast<winapi::ULONG>(winapi::InterlockedIncrement(&refs_));
    }

    winapi::ULONG Release() override
    {
        const winapi::LONG left = winapi::InterlockedDecrement(&refs_);
        if (left != 0)
            return static_cast<winapi::ULONG>(left);
        if (!finalized_) { // a destructor that takes and drops a reference must not recurse
            finalized_ = true;
            delete this;
        }
        return 0;
    }

    winapi::HRESULT QueryInterface(winapi::REFIID riid, void** object) override
    {
        if (object == nullptr)
            return winapi::E_POINTER;
        *object = nullptr;
        I* answer = nullptr;
        if (winapi::IsEqualGUID(riid, winapi::IID_IUnknown) ||
            winapi::IsEqualGUID(riid, Iid<I>::value))
            answer = this;
        else if constexpr (std::is_base_of_v<winapi::IDispatch, I>)
            if (winapi::IsEqualGUID(riid, winapi::IID_IDispatch))
                answer = this;
        if (answer == nullptr)
            return winapi::E_NOINTERFACE;
        answer->AddRef();
        *object = answer;
        return winapi::S_OK;
    }

    // The automation operations every such object offers; none is implemented.
    virtual winapi::HRESULT GetTypeInfoCount(winapi::UINT* count)
    {
        if (count != nullptr)
            *count = 0;
        return winapi::E_NOTIMPL;
    }
    virtual winapi::HRESULT GetTypeInfo(winapi::UINT, winapi::LCID, winapi::ITypeInfo** info)
    {
        if (info != nullptr)
            *info = nullptr;
        return winapi::E_NOTIMPL;
    }
    virtual winapi::HRESULT GetIDsOfNames(winapi::REFIID, winapi::LPOLESTR*, winapi::UINT,
                                          winapi::LCID, winapi::DISPID*)
    {
        return winapi::DISP_E_UNKNOWNNAME;
    }
    virtual winapi::HRESULT Invoke(winapi::DISPID, winapi::REFIID, winapi::LCID, winapi::WORD,
                                   winapi::DISPPARAMS*, winapi::VARIANT*, winapi::EXCEPINFO*,
                                   winapi::UINT*)
    {
        return winapi::DISP_E_MEMBERNOTFOUND;
    }

    winapi::LONG refCount() const { return refs_; }

    static void* operator new(std::size_t size)
    {
        void* block = std::malloc(size);
        if (block == nullptr)
            throw std::bad_alloc();
        return block;
    }
    static void operator delete(void* block) { std::free(block); }

protected:
    Implements() = default;
    virtual ~Implements() = default;

private:
    volatile winapi::LONG refs_ = 1;
    bool finalized_ = false;
    winapi::LiveCount live_;
};

} // namespace dwin::sys::win32::com
