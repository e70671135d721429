#include "vorn/IE.h"

#include <memory>

#include "dwin/io/Stream.h"
#include "dwin/sys/win32/CodePage.h"
#include "dwin/sys/win32/ie/IE.h"
#include "dwin/text/HtmlCharset.h"
#include "winapi/Com.h"

namespace vorn::IE {

using namespace winapi;
using dwin::sys::win32::com::COMStream;

namespace {

// A BSTR freed when the holder goes, unless handed on.
struct OwnedBstr {
    BSTR text;
    ~OwnedBstr() { dwin::sys::win32::com::freeBstr(text); }
    BSTR release() { return std::exchange(text, nullptr); }
};

// A page that declares UTF-8 keeps its bytes, so the document reads (and posts) it as UTF-8;
// any other goes in the ANSI code page.
std::uint32_t streamCodePage(std::string_view html)
{
    const auto declared = dwin::text::declaredCharset(html);
    return declared && dwin::text::isUtf8Label(*declared) ? 65001 : 0;
}

} // namespace

ComPtr<IPersistMoniker> getPersistMoniker(IDispatch* document)
{
    if (document == nullptr)
        return nullptr;
    return ComPtr<IDispatch>::share(document).as<IPersistMoniker>();
}

bool loadHtml(IWebBrowser2* browser, std::string_view html, std::string_view baseUrl)
{
    ComPtr<IDispatch> document = dwin::sys::win32::ie::getDocument(browser, 5000);
    return document && loadHtml(document.get(), html, baseUrl);
}

bool loadHtml(IDispatch* document, std::string_view html, std::string_view baseUrl)
{
    if (document == nullptr)
        return false;
    OwnedBstr url{dwin::sys::win32::com::toBstr(baseUrl)};

    auto memory = std::make_shared<dwin::io::MemoryStream>();
    memory->writeString(dwin::sys::win32::CodePage::convert(html, streamCodePage(html)));
    memory->seekSet(0);
    auto stream = ComPtr<IStream>::adopt(new COMStream(memory));

    ComPtr<IPersistMoniker> persist = getPersistMoniker(document);
    if (!persist)
        return false;
    ComPtr<IBindCtx> context;
    if (CreateBindCtx(0, context.put()) != S_OK || !context)
        return false;

    auto* made = new LoadHTMLMoniker;
    auto moniker = ComPtr<IMoniker>::adopt(made);
    made->init(static_cast<COMStream*>(stream.get()), url.release());
    return persist->Load(FALSE, moniker.get(), context.get(), 0) == S_OK;
}

void LoadHTMLMoniker::init(COMStream* stream, BSTR url)
{
    if (stream != nullptr)
        stream->AddRef();
    if (stream_ != nullptr)
        stream_->Release();
    stream_ = stream;
    dwin::sys::win32::com::freeBstr(url_);
    url_ = url;
}

LoadHTMLMoniker::~LoadHTMLMoniker()
{
    dwin::sys::win32::com::freeBstr(url_);
    if (stream_ != nullptr)
        stream_->Release();
}

HRESULT LoadHTMLMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(riid, iid_) && stream_ != nullptr) {
        stream_->AddRef();
        *object = static_cast<IStream*>(stream_);
    }
    return S_OK;
}

HRESULT LoadHTMLMoniker::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name)
{
    if (name == nullptr)
        return E_POINTER;
    *name = nullptr;
    if (url_ == nullptr)
        return S_OK;
    const std::size_t units = SysStringLen(url_);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((units + 1) * sizeof(OLECHAR)));
    if (copy == nullptr)
        return E_OUTOFMEMORY;
    std::copy(url_, url_ + units, copy);
    copy[units] = 0;
    *name = copy;
    return S_OK;
}

HRESULT LoadHTMLMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID, void** object)
{
    if (object != nullptr)
        *object = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker** reduced)
{
    if (reduced != nullptr)
        *reduced = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::ComposeWith(IMoniker*, BOOL, IMoniker** composite)
{
    if (composite != nullptr)
        *composite = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::Enum(BOOL, IEnumMoniker** enumerator)
{
    if (enumerator != nullptr)
        *enumerator = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::IsEqual(IMoniker*)
{
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::Hash(DWORD* hash)
{
    if (hash != nullptr)
        *hash = 0;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::IsRunning(IBindCtx*, IMoniker*, IMoniker*)
{
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME* time)
{
    if (time != nullptr)
        *time = FILETIME{0, 0};
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::Inverse(IMoniker** inverse)
{
    if (inverse != nullptr)
        *inverse = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::CommonPrefixWith(IMoniker*, IMoniker** prefix)
{
    if (prefix != nullptr)
        *prefix = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::RelativePathTo(IMoniker*, IMoniker** relative)
{
    if (relative != nullptr)
        *relative = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG* eaten,
                                          IMoniker** result)
{
    if (eaten != nullptr)
        *eaten = 0;
    if (result != nullptr)
        *result = nullptr;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::IsSystemMoniker(DWORD* kind)
{
    if (kind != nullptr)
        *kind = MKSYS_NONE;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::IsDirty()
{
    return E_NOTIMPL;
}
HRESULT LoadHTMLMoniker::Load(IStream*)
{
    return E_NOTIMPL;
}
HRESULT LoadHTMLMoniker::Save(IStream*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::GetSizeMax(ULONGLONG* size)
{
    if (size != nullptr)
        *size = 0;
    return E_NOTIMPL;
}

HRESULT LoadHTMLMoniker::GetClassID(CLSID* classId)
{
    if (classId != nullptr)
        *classId = iid_;
    return E_NOTIMPL;
}

} // namespace vorn::IE
