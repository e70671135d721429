#include "winapi/Com.h"

#include <chrono>
#include <map>
#include <mutex>

#include "winapi/Guids.h"

namespace winapi {

namespace {

thread_local int apartmentDepth = 0;

struct Registration {
    CLSID clsid;
    DWORD context;
    IClassFactory* factory;
};

struct ClassTable {
    std::mutex lock;
    std::map<DWORD, Registration> entries;
    DWORD nextCookie = 1;
};

ClassTable& classTable()
{
    static ClassTable* table = new ClassTable; // outlives every static destructor
    return *table;
}

struct WindowTable {
    std::mutex lock;
    std::map<std::uintptr_t, void*> windows;
    std::uintptr_t next = 0x10000;
};

WindowTable& windowTable()
{
    static WindowTable* table = new WindowTable;
    return *table;
}

class BindCtx final : public IBindCtx {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, IID_IBindCtx))
            return E_NOINTERFACE;
        *object = static_cast<IBindCtx*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG Release() override
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

private:
    ~BindCtx() = default;
    volatile LONG refs_ = 1;
    LiveCount live_;
};

} // namespace

HRESULT CoInitialize(void*)
{
    return apartmentDepth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (apartmentDepth > 0)
        --apartmentDepth;
}

bool IsCoInitialized()
{
    return apartmentDepth > 0;
}

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD,
                              DWORD* cookie)
{
    if (cookie == nullptr)
        return E_POINTER;
    *cookie = 0;
    if (factory == nullptr)
        return E_INVALIDARG;
    void* view = nullptr;
    if (FAILED(factory->QueryInterface(IID_IClassFactory, &view)) || view == nullptr)
        return E_NOINTERFACE;
    auto& table = classTable();
    std::lock_guard guard(table.lock);
    *cookie = table.nextCookie++;
    table.entries[*cookie] = Registration{clsid, context, static_cast<IClassFactory*>(view)};
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie)
{
    IClassFactory* factory = nullptr;
    {
        auto& table = classTable();
        std::lock_guard guard(table.lock);
        auto it = table.entries.find(cookie);
        if (it == table.entries.end())
            return E_INVALIDARG;
        factory = it->second.factory;
        table.entries.erase(it);
    }
    factory->Release();
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsCoInitialized())
        return CO_E_NOTINITIALIZED;
    IClassFactory* factory = nullptr;
    {
        auto& table = classTable();
        std::lock_guard guard(table.lock);
        for (auto& [cookie, entry] : table.entries) {
            if (IsEqualGUID(entry.clsid, clsid) && (entry.context & context) != 0) {
                factory = entry.factory;
                factory->AddRef();
                break;
            }
        }
    }
    if (factory == nullptr)
        return REGDB_E_CLASSNOTREG;
    const HRESULT hr = factory->CreateInstance(outer, riid, object);
    factory->Release();
    return hr;
}

HRESULT CreateBindCtx(DWORD reserved, IBindCtx** context)
{
    if (context == nullptr)
        return E_POINTER;
    *context = nullptr;
    if (reserved != 0)
        return E_INVALIDARG;
    *context = new BindCtx;
    return S_OK;
}

LONG InterlockedIncrement(volatile LONG* value)
{
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedDecrement(volatile LONG* value)
{
    return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST);
}

DWORD GetTickCount()
{
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

HWND RegisterWindowHandle(void* window)
{
    auto& table = windowTable();
    std::lock_guard guard(table.lock);
    const std::uintptr_t handle = table.next;
    table.next += 4;
    table.windows[handle] = window;
    return reinterpret_cast<HWND>(handle);
}

void UnregisterWindowHandle(HWND handle)
{
    auto& table = windowTable();
    std::lock_guard guard(table.lock);
    table.windows.erase(reinterpret_cast<std::uintptr_t>(handle));
}

void* WindowOfHandle(HWND handle)
{
    auto& table = windowTable();
    std::lock_guard guard(table.lock);
    auto it = table.windows.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == table.windows.end() ? nullptr : it->second;
}

BOOL IsWindow(HWND handle)
{
    return WindowOfHandle(handle) != nullptr ? TRUE : FALSE;
}

std::atomic<long>& LiveCount::count()
{
    static std::atomic<long> live{0};
    return live;
}

long LiveComObjects()
{
    return LiveCount::count().load();
}

} // namespace winapi
