#pragma once
// COM calls of the stand-in: apartment set-up, the class table behind CoCreateInstance, bind
// contexts, interlocked counts, the tick count and the window table behind IsWindow.
// None of these throw; failures come back as HRESULTs, null or false.

#include <atomic>
#include <cstddef>

#include "winapi/Unknown.h"

namespace winapi {

// Apartment of the calling thread. The first CoInitialize gives S_OK, later ones S_FALSE; each
// successful call is balanced by one CoUninitialize.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
bool IsCoInitialized(); // on the calling thread

// The class table. A server registers a factory for its class; CoCreateInstance asks it for an
// object. Without CoInitialize: CO_E_NOTINITIALIZED; unknown class or context: REGDB_E_CLASSNOTREG.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD flags,
                              DWORD* cookie);
HRESULT CoRevokeClassObject(DWORD cookie);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                         void** object);

// A bind context with a reference count of 1 for the caller; reserved must be 0.
HRESULT CreateBindCtx(DWORD reserved, IBindCtx** context);

LONG InterlockedIncrement(volatile LONG* value);
LONG InterlockedDecrement(volatile LONG* value);

// Milliseconds since the process started, wrapping after 2^32.
DWORD GetTickCount();

// Window table: a window registers itself for a handle and withdraws it when it goes.
HWND RegisterWindowHandle(void* window);
void UnregisterWindowHandle(HWND handle);
void* WindowOfHandle(HWND handle); // null for a handle that is not a live window
BOOL IsWindow(HWND handle);

// Live objects of the stand-in and of the program's own COM objects, for leak checks in tests.
class LiveCount {
public:
    LiveCount() { ++count(); }
    LiveCount(const LiveCount&) : LiveCount() {}
    LiveCount& operator=(const LiveCount&) { return *this; }
    ~LiveCount() { --count(); }
    static std::atomic<long>& count();
};
long LiveComObjects(); // objects holding a LiveCount
long LiveBstrs(); // BSTRs not yet freed
long LiveSafeArrays(); // arrays not yet destroyed

} // namespace winapi
