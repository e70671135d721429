#include "winapi/Ole.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "winapi/Com.h"
#include "winapi/Unknown.h"

namespace winapi {

namespace {

std::atomic<long> liveBstrs{0};
std::atomic<long> liveArrays{0};

// A BSTR points just past its 32-bit byte count.
std::uint32_t* header(BSTR text)
{
    return reinterpret_cast<std::uint32_t*>(text) - 1;
}

std::size_t unitsOf(LPCOLESTR text)
{
    std::size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

ULONG elementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_UI1: return 1;
    case VT_I2: return 2;
    case VT_I4:
    case VT_UI4: return 4;
    default: return 0;
    }
}

} // namespace

bool IsEqualGUID(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
        std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

BSTR SysAllocString(LPCOLESTR text)
{
    if (text == nullptr)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(unitsOf(text)));
}

BSTR SysAllocStringLen(LPCOLESTR text, UINT length)
{
    const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
    if (bytes > 0x7FFFFFF0u)
        return nullptr;
    auto* block =
        static_cast<std::uint32_t*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
    if (block == nullptr)
        return nullptr;
    block[0] = static_cast<std::uint32_t>(bytes);
    auto* units = reinterpret_cast<OLECHAR*>(block + 1);
    if (text != nullptr)
        std::memcpy(units, text, bytes);
    else
        std::memset(units, 0, bytes);
    units[length] = 0;
    ++liveBstrs;
    return units;
}

void SysFreeString(BSTR text)
{
    if (text == nullptr)
        return;
    --liveBstrs;
    std::free(header(text));
}

UINT SysStringLen(BSTR text)
{
    return text == nullptr ? 0 : *header(text) / sizeof(OLECHAR);
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements)
{
    const ULONG size = elementSize(vt);
    if (size == 0)
        return nullptr;
    auto* array = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
    if (array == nullptr)
        return nullptr;
    array->pvData = std::calloc(elements == 0 ? 1 : elements, size);
    if (array->pvData == nullptr) {
        std::free(array);
        return nullptr;
    }
    array->cDims = 1;
    array->cbElements = size;
    array->rgsabound[0] = SAFEARRAYBOUND{elements, lowerBound};
    ++liveArrays;
    return array;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data)
{
    if (data == nullptr)
        return E_POINTER;
    *data = nullptr;
    if (array == nullptr)
        return E_INVALIDARG;
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array)
{
    if (array == nullptr)
        return E_INVALIDARG;
    if (array->cLocks == 0)
        return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array)
{
    if (array == nullptr)
        return S_OK;
    if (array->cLocks != 0)
        return DISP_E_ARRAYISLOCKED;
    std::free(array->pvData);
    std::free(array);
    --liveArrays;
    return S_OK;
}

void VariantInit(VARIANT* value)
{
    if (value != nullptr)
        std::memset(value, 0, sizeof *value);
}

HRESULT VariantClear(VARIANT* value)
{
    if (value == nullptr)
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    if ((value->vt & VT_ARRAY) != 0) {
        hr = SafeArrayDestroy(value->parray);
        if (FAILED(hr))
            return hr;
    } else if (value->vt == VT_BSTR) {
        SysFreeString(value->bstrVal);
    } else if ((value->vt == VT_UNKNOWN || value->vt == VT_DISPATCH) && value->punkVal != nullptr) {
        value->punkVal->Release();
    }
    VariantInit(value);
    return hr;
}

void* CoTaskMemAlloc(std::size_t size)
{
    return std::malloc(size == 0 ? 1 : size);
}

void CoTaskMemFree(void* block)
{
    std::free(block);
}

long LiveBstrs()
{
    return liveBstrs.load();
}
long LiveSafeArrays()
{
    return liveArrays.load();
}

} // namespace winapi
