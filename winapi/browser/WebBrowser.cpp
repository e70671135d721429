#include "winapi/browser/WebBrowser.h"

#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "winapi/browser/Document.h"
#include "winapi/browser/EnginePage.h"
#include "winapi/browser/StatusLine.h"

namespace winapi::browser {

namespace {

bool isEmpty(const VARIANT* v)
{
    return v == nullptr || v->vt == VT_EMPTY || v->vt == VT_NULL;
}

// Bytes of a VT_ARRAY|VT_UI1 POST body; nothing for an empty argument or a null array.
std::optional<QByteArray> postBody(VARIANT* v)
{
    if (isEmpty(v) || v->vt != (VT_ARRAY | VT_UI1) || v->parray == nullptr)
        return std::nullopt;
    void* data = nullptr;
    if (SafeArrayAccessData(v->parray, &data) != S_OK)
        return std::nullopt;
    QByteArray bytes(static_cast<const char*>(data),
                     static_cast<qsizetype>(v->parray->rgsabound[0].cElements));
    SafeArrayUnaccessData(v->parray);
    return bytes;
}

// "Name: value" lines, separated by CR LF.
void addHeaders(QWebEngineHttpRequest& request, VARIANT* v)
{
    if (isEmpty(v) || v->vt != VT_BSTR)
        return;
    const QStringList lines =
        toQString(v->bstrVal).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            continue;
        request.setHeader(line.left(colon).trimmed().toLatin1(),
                          line.mid(colon + 1).trimmed().toUtf8());
    }
}

} // namespace

WebBrowser::WebBrowser() : page_(Page::create())
{
}

WebBrowser::~WebBrowser()
{
    page_->close();
}

void* WebBrowser::view(REFIID riid)
{
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
        IsEqualGUID(riid, IID_IWebBrowser2))
        return static_cast<IWebBrowser2*>(this);
    return nullptr;
}

HRESULT WebBrowser::load(const QString& address, VARIANT* postData, VARIANT* headers)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    const QUrl url = QUrl::fromUserInput(address);
    if (address.trimmed().isEmpty() || !url.isValid())
        return E_INVALIDARG;
    QWebEngineHttpRequest request(url);
    if (auto body = postBody(postData)) {
        request.setMethod(QWebEngineHttpRequest::Post);
        request.setPostData(*body);
    }
    addHeaders(request, headers);
    page_->expectNewDocument();
    page_->view()->page()->load(request);
    return S_OK;
}

HRESULT WebBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT* postData, VARIANT* headers)
{
    return load(toQString(url), postData, headers);
}

HRESULT WebBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT* postData, VARIANT* headers)
{
    if (url == nullptr || url->vt != VT_BSTR)
        return E_INVALIDARG;
    return load(toQString(url->bstrVal), postData, headers);
}

HRESULT WebBrowser::Stop()
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    page_->view()->page()->triggerAction(QWebEnginePage::Stop);
    page_->finishedByStop();
    return S_OK;
}

HRESULT WebBrowser::Quit()
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    page_->close();
    return S_OK;
}

HRESULT WebBrowser::get_Document(IDispatch** document)
{
    if (document == nullptr)
        return E_POINTER;
    *document = nullptr;
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    if (!page_->documentReady())
        return E_PENDING;
    *document = static_cast<IHTMLDocument2*>(new Document(page_));
    return S_OK;
}

HRESULT WebBrowser::get_LocationURL(BSTR* url)
{
    if (url == nullptr)
        return E_POINTER;
    *url = nullptr;
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    *url = toBstr(page_->view()->url().toString());
    return S_OK;
}

HRESULT WebBrowser::get_HWND(SHANDLE_PTR* handle)
{
    if (handle == nullptr)
        return E_POINTER;
    *handle = 0;
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    *handle = reinterpret_cast<SHANDLE_PTR>(page_->handle());
    return S_OK;
}

HRESULT WebBrowser::put_Visible(VARIANT_BOOL value)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    page_->window()->setVisible(value != VARIANT_FALSE);
    return S_OK;
}

HRESULT WebBrowser::put_Left(LONG value)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    page_->window()->move(value, page_->window()->y());
    return S_OK;
}

HRESULT WebBrowser::put_Top(LONG value)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    page_->window()->move(page_->window()->x(), value);
    return S_OK;
}

HRESULT WebBrowser::put_Width(LONG value)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    if (value < 0)
        return E_INVALIDARG;
    page_->window()->resize(value, page_->window()->height());
    return S_OK;
}

HRESULT WebBrowser::put_Height(LONG value)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    if (value < 0)
        return E_INVALIDARG;
    page_->window()->resize(page_->window()->width(), value);
    return S_OK;
}

HRESULT WebBrowser::put_FullScreen(VARIANT_BOOL value)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    QWidget* w = page_->window();
    w->setWindowState(value != VARIANT_FALSE ? (w->windowState() | Qt::WindowFullScreen)
                                             : (w->windowState() & ~Qt::WindowFullScreen));
    return S_OK;
}

namespace {
HRESULT keep(bool alive, bool& field, bool value)
{
    if (!alive)
        return RPC_E_DISCONNECTED;
    field = value;
    return S_OK;
}
} // namespace

HRESULT WebBrowser::put_StatusBar(VARIANT_BOOL v)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    page_->statusLine()->setVisible(v != VARIANT_FALSE);
    return S_OK;
}
HRESULT WebBrowser::put_ToolBar(int v)
{
    return keep(page_->alive(), toolBar_, v != 0);
}
HRESULT WebBrowser::put_MenuBar(VARIANT_BOOL v)
{
    return keep(page_->alive(), menuBar_, v != VARIANT_FALSE);
}
HRESULT WebBrowser::put_Silent(VARIANT_BOOL v)
{
    if (!page_->alive())
        return RPC_E_DISCONNECTED;
    page_->enginePage()->setSilent(v != VARIANT_FALSE);
    return S_OK;
}
HRESULT WebBrowser::put_Resizable(VARIANT_BOOL v)
{
    return keep(page_->alive(), resizable_, v != VARIANT_FALSE);
}
HRESULT WebBrowser::put_AddressBar(VARIANT_BOOL v)
{
    return keep(page_->alive(), addressBar_, v != VARIANT_FALSE);
}

} // namespace winapi::browser
