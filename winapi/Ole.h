#pragma once
// Automation values: BSTR strings, VARIANT values, SAFEARRAY vectors and the task allocator.
// Whoever makes a BSTR frees it with SysFreeString; a VARIANT owns its BSTR, array or interface
// and gives it up in VariantClear; a SAFEARRAY goes with SafeArrayDestroy.

#include <cstddef>

#include "winapi/Types.h"

namespace winapi {

struct IUnknown;
struct IDispatch;

// BSTR: UTF-16 text after a 32-bit byte count, ending with a zero unit.
BSTR SysAllocString(LPCOLESTR text); // null text gives null
BSTR SysAllocStringLen(LPCOLESTR text, UINT length); // text may be null: zero-filled
void SysFreeString(BSTR text); // null is allowed
UINT SysStringLen(BSTR text); // units, 0 for null

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};

struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};

// One-dimensional array of VT_UI1, VT_I2, VT_I4 or VT_UI4 elements, zero-filled; null on failure.
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
HRESULT SafeArrayDestroy(SAFEARRAY* array); // DISP_E_ARRAYISLOCKED while accessed

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        ULONG ulVal;
        BYTE bVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        SAFEARRAY* parray;
        IUnknown* punkVal;
        IDispatch* pdispVal;
    };
};
using VARIANTARG = VARIANT;

void VariantInit(VARIANT* value); // VT_EMPTY, all zero
HRESULT VariantClear(VARIANT* value); // frees what the value owns, leaves VT_EMPTY

// Task allocator: blocks handed across interfaces (display names).
void* CoTaskMemAlloc(std::size_t size);
void CoTaskMemFree(void* block);

} // namespace winapi
