#pragma once
// The base interfaces: IUnknown, IDispatch, class factories, streams, monikers, bind contexts.
// Every interface pointer handed out carries one reference that its receiver releases.

#include "winapi/Ole.h"
#include "winapi/Types.h"

namespace winapi {

struct ITypeInfo;
struct DISPPARAMS;
struct EXCEPINFO;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

struct ISequentialStream : IUnknown {
    virtual HRESULT Read(void* buffer, ULONG count, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG count, ULONG* written) = 0;

protected:
    ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
    virtual HRESULT Seek(LONGLONG move, DWORD origin, ULONGLONG* newPosition) = 0;
    virtual HRESULT SetSize(ULONGLONG newSize) = 0;
    virtual HRESULT CopyTo(IStream* target, ULONGLONG count, ULONGLONG* read,
                           ULONGLONG* written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(ULONGLONG offset, ULONGLONG count, DWORD lockType) = 0;
    virtual HRESULT UnlockRegion(ULONGLONG offset, ULONGLONG count, DWORD lockType) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
    virtual HRESULT Clone(IStream** copy) = 0;

protected:
    ~IStream() = default;
};

// A bind context carries nothing the program looks at; it is passed through to monikers.
struct IBindCtx : IUnknown {
protected:
    ~IBindCtx() = default;
};

struct IEnumMoniker;

struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* classId) = 0;

protected:
    ~IPersist() = default;
};

struct IPersistStream : IPersist {
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;
    virtual HRESULT GetSizeMax(ULONGLONG* size) = 0;

protected:
    ~IPersistStream() = default;
};

struct IMoniker : IPersistStream {
    virtual HRESULT BindToObject(IBindCtx* context, IMoniker* left, REFIID riid, void** object) = 0;
    virtual HRESULT BindToStorage(IBindCtx* context, IMoniker* left, REFIID riid,
                                  void** object) = 0;
    virtual HRESULT Reduce(IBindCtx* context, DWORD howFar, IMoniker** left,
                           IMoniker** reduced) = 0;
    virtual HRESULT ComposeWith(IMoniker* right, BOOL onlyIfNotGeneric, IMoniker** composite) = 0;
    virtual HRESULT Enum(BOOL forward, IEnumMoniker** enumerator) = 0;
    virtual HRESULT IsEqual(IMoniker* other) = 0;
    virtual HRESULT Hash(DWORD* hash) = 0;
    virtual HRESULT IsRunning(IBindCtx* context, IMoniker* left, IMoniker* newlyRunning) = 0;
    virtual HRESULT GetTimeOfLastChange(IBindCtx* context, IMoniker* left, FILETIME* time) = 0;
    virtual HRESULT Inverse(IMoniker** inverse) = 0;
    virtual HRESULT CommonPrefixWith(IMoniker* other, IMoniker** prefix) = 0;
    virtual HRESULT RelativePathTo(IMoniker* other, IMoniker** relative) = 0;
    virtual HRESULT GetDisplayName(IBindCtx* context, IMoniker* left, LPOLESTR* name) = 0;
    virtual HRESULT ParseDisplayName(IBindCtx* context, IMoniker* left, LPOLESTR displayName,
                                     ULONG* eaten, IMoniker** result) = 0;
    virtual HRESULT IsSystemMoniker(DWORD* kind) = 0;

protected:
    ~IMoniker() = default;
};

struct IPersistMoniker : IUnknown {
    virtual HRESULT GetClassID(CLSID* classId) = 0;
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(BOOL fullyAvailable, IMoniker* name, IBindCtx* context, DWORD mode) = 0;
    virtual HRESULT Save(IMoniker* name, IBindCtx* context, BOOL remember) = 0;
    virtual HRESULT SaveCompleted(IMoniker* name, IBindCtx* context) = 0;
    virtual HRESULT GetCurMoniker(IMoniker** name) = 0;

protected:
    ~IPersistMoniker() = default;
};

} // namespace winapi
