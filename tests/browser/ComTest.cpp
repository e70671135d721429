// BSTR and VARIANT conversions, the COM base class, COM set-up and the class table.
#include <gtest/gtest.h>

#include "dwin/sys/win32/com/Core.h"
#include "dwin/sys/win32/com/Init.h"
#include "winapi/Com.h"

using namespace dwin::sys::win32::com;
using namespace winapi;

namespace {

// Live BSTRs, arrays and objects are the same at the end of each test as at its start.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bstrs_ = LiveBstrs();
        arrays_ = LiveSafeArrays();
        objects_ = LiveComObjects();
    }
    void TearDown() override
    {
        EXPECT_EQ(LiveBstrs(), bstrs_);
        EXPECT_EQ(LiveSafeArrays(), arrays_);
        EXPECT_EQ(LiveComObjects(), objects_);
    }

private:
    long bstrs_ = 0, arrays_ = 0, objects_ = 0;
};

TEST_F(ComTest, EmptyTextGivesNullBstrAndBack)
{
    EXPECT_EQ(toBstr(""), nullptr);
    EXPECT_EQ(fromBstr(nullptr), std::nullopt);
}

TEST_F(ComTest, EmptyBstrGivesNoTextAndIsFreed)
{
    const long before = LiveBstrs();
    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(LiveBstrs(), before + 1);
    EXPECT_EQ(fromBstr(empty), std::nullopt);
    EXPECT_EQ(LiveBstrs(), before);
}

TEST_F(ComTest, RoundTripKeepsTextOutsideTheBasicPlane)
{
    for (std::string text :
         {"a", "Größe", "日本語", "clef \xF0\x9D\x84\x9E and \xF0\x9F\x98\x80 end"}) {
        BSTR b = toBstr(text);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(fromBstr(b), text);
    }
    BSTR pair = toBstr("\xF0\x9F\x98\x80");
    EXPECT_EQ(SysStringLen(pair), 2u); // one surrogate pair
    EXPECT_EQ(pair[0], 0xD83D);
    EXPECT_EQ(pair[1], 0xDE00);
    freeBstr(pair);
}

TEST_F(ComTest, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const long before = LiveBstrs();
    const char16_t units[] = {u'a', 0xD800, u'b', 0xDC00, 0xD83D, 0xDE00, 0xDBFF};
    BSTR b = SysAllocStringLen(units, 7);
    EXPECT_EQ(fromBstr(b),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\xF0\x9F\x98\x80\xEF\xBF\xBD");
    EXPECT_EQ(LiveBstrs(), before); // freed on that path too
}

TEST_F(ComTest, BstrCarriesItsLength)
{
    BSTR b = SysAllocStringLen(u"abc\0def", 7);
    EXPECT_EQ(SysStringLen(b), 7u);
    EXPECT_EQ(b[7], 0);
    SysFreeString(b);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    freeBstr(nullptr);
}

TEST_F(ComTest, VariantsAreZeroedWithTagAndValue)
{
    VARIANT v = variantOf(VT_I4, -7);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, -7);
    EXPECT_EQ(v.wReserved1 | v.wReserved2 | v.wReserved3, 0);
    VARIANT u = toVariant(42);
    EXPECT_EQ(u.vt, VT_UI4);
    EXPECT_EQ(u.ulVal, 42u);
    VARIANT e = variantOf(VT_EMPTY, 0);
    EXPECT_EQ(e.vt, VT_EMPTY);
    EXPECT_EQ(e.llVal, 0);
}

TEST_F(ComTest, ClearingATextVariantFreesItsBstr)
{
    const long before = LiveBstrs();
    VARIANT v = variantOfText(VT_BSTR, "value");
    EXPECT_EQ(LiveBstrs(), before + 1);
    EXPECT_EQ(fromBstr(SysAllocString(v.bstrVal)), "value");
    clearVariant(v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(LiveBstrs(), before);
}

TEST_F(ComTest, ClearingAByteArrayVariantDestroysTheArrayOnce)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = SafeArrayCreateVector(VT_UI1, 0, 3);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(v.parray, &data), S_OK);
    EXPECT_EQ(SafeArrayDestroy(v.parray), DISP_E_ARRAYISLOCKED); // still accessed
    static_cast<BYTE*>(data)[2] = 9;
    ASSERT_EQ(SafeArrayUnaccessData(v.parray), S_OK);
    EXPECT_EQ(v.parray->rgsabound[0].cElements, 3u);
    clearVariant(v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    clearVariant(v); // nothing left to destroy
}

TEST_F(ComTest, ScopedVariantClearsOnEveryPath)
{
    const long before = LiveBstrs();
    try {
        ScopedVariant v(variantOfText(VT_BSTR, "x"));
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(LiveBstrs(), before);
    VARIANT w = variantOfText(VT_BSTR, "y");
    EXPECT_THROW(clearAfter(w, [] { throw 2; }), int);
    EXPECT_EQ(LiveBstrs(), before);
}

TEST_F(ComTest, ClearVariantDoesNothingOutsideTheComSpan)
{
    ASSERT_TRUE(Init::isInitialized()); // opened before main
    Init::initialize(); // a second time does nothing
    EXPECT_TRUE(IsCoInitialized());
    VARIANT v = variantOfText(VT_BSTR, "kept");
    Init::uninitialize();
    EXPECT_FALSE(Init::isInitialized());
    EXPECT_FALSE(IsCoInitialized());
    clearVariant(v);
    EXPECT_EQ(v.vt, VT_BSTR); // left alone
    Init::uninitialize(); // without initialize: nothing
    Init::initialize();
    EXPECT_TRUE(IsCoInitialized());
    clearVariant(v);
    EXPECT_EQ(v.vt, VT_EMPTY);
}

TEST_F(ComTest, GuidsCompareAllBytes)
{
    GUID a = IID_IStream;
    EXPECT_TRUE(guidEquals(a, IID_IStream));
    a.Data4[7] ^= 1;
    EXPECT_FALSE(guidEquals(a, IID_IStream));
    EXPECT_FALSE(guidEquals(IID_IUnknown, IID_IDispatch));
    EXPECT_EQ(IID_IPersistMoniker.Data1, 0x79EAC9C9u);
    EXPECT_EQ(CLSID_InternetExplorer.Data1, 0x0002DF01u);
}

// A stream object whose destructor counts its runs and may take a reference while going.
struct Probe final : Implements<IStream> {
    explicit Probe(int& destroyed, bool touchOnDestroy = false)
        : destroyed_(destroyed), touch_(touchOnDestroy)
    {
    }
    ~Probe() override
    {
        ++destroyed_;
        if (touch_) {
            AddRef();
            Release();
        }
    }
    HRESULT Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT Seek(LONGLONG, DWORD, ULONGLONG*) override { return E_NOTIMPL; }
    HRESULT SetSize(ULONGLONG) override { return E_NOTIMPL; }
    HRESULT CopyTo(IStream*, ULONGLONG, ULONGLONG*, ULONGLONG*) override { return E_NOTIMPL; }
    HRESULT Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT Revert() override { return E_NOTIMPL; }
    HRESULT LockRegion(ULONGLONG, ULONGLONG, DWORD) override { return E_NOTIMPL; }
    HRESULT UnlockRegion(ULONGLONG, ULONGLONG, DWORD) override { return E_NOTIMPL; }
    HRESULT Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT Clone(IStream**) override { return E_NOTIMPL; }
    int& destroyed_;
    bool touch_;
};

TEST_F(ComTest, ObjectStartsWithOneReferenceAndGoesExactlyOnceAtZero)
{
    int destroyed = 0;
    auto* p = new Probe(destroyed);
    EXPECT_EQ(p->refCount(), 1);
    EXPECT_EQ(p->AddRef(), 2u);
    EXPECT_EQ(p->Release(), 1u);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(p->Release(), 0u);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ComTest, DestructorTakingAReferenceDoesNotDestroyTwice)
{
    int destroyed = 0;
    (new Probe(destroyed, true))->Release();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ComTest, QueryInterfaceAnswersUnknownAndItsOwnInterfaceOnly)
{
    int destroyed = 0;
    auto* p = new Probe(destroyed);
    void* unknown = nullptr;
    void* own = nullptr;
    ASSERT_EQ(p->QueryInterface(IID_IUnknown, &unknown), S_OK);
    ASSERT_EQ(p->QueryInterface(IID_IStream, &own), S_OK);
    EXPECT_EQ(unknown, own);
    EXPECT_EQ(p->refCount(), 3);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(p->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(p->QueryInterface(IID_IMoniker, &other), E_NOINTERFACE);
    EXPECT_EQ(p->refCount(), 3);
    UINT count = 9;
    EXPECT_EQ(p->GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(p->GetIDsOfNames(IID_IUnknown, nullptr, 0, 0, nullptr), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(p->Invoke(0, IID_IUnknown, 0, 0, nullptr, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_TRUE(tryRelease(static_cast<IUnknown*>(unknown)));
    EXPECT_TRUE(tryRelease(static_cast<IUnknown*>(own)));
    EXPECT_TRUE(tryRelease(p));
    EXPECT_FALSE(tryRelease(nullptr));
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ComTest, ComPtrReleasesOnceAndViewsThroughQueryInterface)
{
    int destroyed = 0;
    {
        auto stream = ComPtr<IStream>::adopt(new Probe(destroyed));
        ComPtr<IStream> copy = stream;
        EXPECT_EQ(static_cast<Probe*>(stream.get())->refCount(), 2);
        EXPECT_TRUE(stream.as<IUnknown>());
        EXPECT_FALSE(stream.as<IDispatch>());
        ComPtr<IStream> moved = std::move(copy);
        EXPECT_FALSE(copy);
    }
    EXPECT_EQ(destroyed, 1);
    int released = 0;
    releaseAfter(new Probe(released), [] {});
    EXPECT_EQ(released, 1);
}

TEST_F(ComTest, BindContextsAreCountedObjects)
{
    IBindCtx* context = nullptr;
    EXPECT_EQ(CreateBindCtx(1, &context), E_INVALIDARG);
    EXPECT_EQ(context, nullptr);
    ASSERT_EQ(CreateBindCtx(0, &context), S_OK);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->Release(), 0u);
}

TEST_F(ComTest, UnregisteredBrowserClassGivesNoBrowser)
{
    EXPECT_FALSE(createInternetExplorer(CLSCTX_LOCAL_SERVER));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_InternetExplorer, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IWebBrowser2, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ComTest, TickCountAdvances)
{
    const DWORD a = GetTickCount();
    const DWORD b = GetTickCount();
    EXPECT_LE(a, b);
    volatile LONG n = 5;
    EXPECT_EQ(InterlockedIncrement(&n), 6);
    EXPECT_EQ(InterlockedDecrement(&n), 5);
    EXPECT_FALSE(IsWindow(nullptr));
}

} // namespace
