#include "winapi/browser/Document.h"

#include <QWebEnginePage>
#include <QWebEngineView>

#include "dwin/text/HtmlCharset.h"
#include "winapi/browser/Element.h"

namespace winapi::browser {

namespace {

// The engine shows content handed over in memory up to this size.
constexpr qsizetype kMaxContent = 2 * 1024 * 1024 - 4096;

// The whole rest of a stream; nothing when a read fails or the content is too big.
std::optional<QByteArray> readAll(IStream* stream)
{
    QByteArray bytes;
    STATSTG stat{};
    if (stream->Stat(&stat, 0) == S_OK) {
        if (stat.cbSize > static_cast<ULONGLONG>(kMaxContent))
            return std::nullopt;
        bytes.reserve(static_cast<qsizetype>(stat.cbSize));
    }
    stream->Seek(0, STREAM_SEEK_SET, nullptr); // the whole stream, wherever it was left
    char block[16 * 1024];
    for (;;) {
        ULONG got = 0;
        if (FAILED(stream->Read(block, sizeof block, &got)))
            return std::nullopt;
        if (got == 0)
            return bytes;
        if (bytes.size() + got > kMaxContent)
            return std::nullopt;
        bytes.append(block, got);
    }
}

// A page that declares UTF-8 is read as UTF-8, as it would be when fetched from its site; any
// other is read as Windows-1252, the code page loadHtml writes it in.
QString contentType(const QByteArray& bytes)
{
    const auto declared =
        dwin::text::declaredCharset(std::string_view(bytes.constData(), bytes.size()));
    return declared && dwin::text::isUtf8Label(*declared)
        ? QStringLiteral("text/html;charset=utf-8")
        : QStringLiteral("text/html;charset=windows-1252");
}

} // namespace

Document::Document(std::shared_ptr<Page> page)
    : page_(std::move(page)), generation_(page_->generation())
{
}

void* Document::view(REFIID riid)
{
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
        IsEqualGUID(riid, IID_IHTMLDocument2))
        return static_cast<IHTMLDocument2*>(this);
    if (IsEqualGUID(riid, IID_IHTMLDocument3))
        return static_cast<IHTMLDocument3*>(this);
    if (IsEqualGUID(riid, IID_IPersistMoniker))
        return static_cast<IPersistMoniker*>(this);
    return nullptr;
}

HRESULT Document::get_body(IHTMLElement** body)
{
    if (body == nullptr)
        return E_POINTER;
    *body = nullptr;
    auto index = page_->run(QStringLiteral("return ref(document.body);"), {}, generation_);
    if (!index)
        return E_FAIL;
    if (index->toInt() >= 0)
        *body = new Element(page_, generation_, index->toInt());
    return S_OK;
}

HRESULT Document::get_title(BSTR* title)
{
    if (title == nullptr)
        return E_POINTER;
    *title = nullptr;
    auto text = page_->run(QStringLiteral("return document.title;"), {}, generation_);
    if (!text)
        return E_FAIL;
    *title = toBstr(text->toString());
    return S_OK;
}

HRESULT Document::getElementById(BSTR id, IHTMLElement** element)
{
    if (element == nullptr)
        return E_POINTER;
    *element = nullptr;
    auto index = page_->run(QStringLiteral("return ref(document.getElementById(A[0]));"),
                            QJsonArray{toQString(id)}, generation_);
    if (!index)
        return E_FAIL;
    if (index->toInt() >= 0)
        *element = new Element(page_, generation_, index->toInt());
    return S_OK;
}

HRESULT Document::getElementsByName(BSTR name, IHTMLElementCollection** elements)
{
    if (elements == nullptr)
        return E_POINTER;
    *elements = nullptr;
    auto list =
        page_->run(QStringLiteral("return Array.from(document.getElementsByName(A[0]), ref);"),
                   QJsonArray{toQString(name)}, generation_);
    if (!list)
        return E_FAIL;
    std::vector<int> indices;
    for (const QVariant& i : list->toList())
        indices.push_back(i.toInt());
    *elements = new ElementCollection(page_, generation_, std::move(indices));
    return S_OK;
}

HRESULT Document::Load(BOOL, IMoniker* name, IBindCtx* context, DWORD)
{
    if (name == nullptr)
        return E_INVALIDARG;
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    QString address;
    std::optional<QByteArray> bytes;
    try {
        LPOLESTR display = nullptr;
        if (FAILED(name->GetDisplayName(context, nullptr, &display)))
            return E_FAIL;
        if (display != nullptr) {
            address = QString::fromUtf16(display);
            CoTaskMemFree(display);
        }
        IStream* stream = nullptr;
        if (name->BindToStorage(context, nullptr, IID_IStream, reinterpret_cast<void**>(&stream)) !=
                S_OK ||
            stream == nullptr)
            return E_FAIL;
        struct Release {
            IStream* s;
            ~Release() { s->Release(); }
        } guard{stream};
        bytes = readAll(stream);
    } catch (...) {
        return E_FAIL; // the moniker or its stream threw
    }
    if (!bytes || !page_->alive())
        return E_FAIL;
    page_->expectNewDocument();
    page_->view()->page()->setContent(*bytes, contentType(*bytes), QUrl(address));
    return S_OK;
}

HRESULT Document::GetClassID(CLSID* classId)
{
    if (classId == nullptr)
        return E_POINTER;
    *classId = GUID_NULL;
    return E_NOTIMPL;
}

HRESULT Document::IsDirty()
{
    return S_FALSE;
}
HRESULT Document::Save(IMoniker*, IBindCtx*, BOOL)
{
    return E_NOTIMPL;
}
HRESULT Document::SaveCompleted(IMoniker*, IBindCtx*)
{
    return E_NOTIMPL;
}

HRESULT Document::GetCurMoniker(IMoniker** name)
{
    if (name != nullptr)
        *name = nullptr;
    return E_NOTIMPL;
}

} // namespace winapi::browser
