#include "winapi/browser/BrowserServer.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include "dwin/sys/win32/MessagePump.h"
#include "dwin/sys/win32/QtMessagePump.h"
#include "winapi/Com.h"
#include "winapi/Guids.h"
#include "winapi/browser/EngineCheck.h"
#include "winapi/browser/WebBrowser.h"

namespace winapi::browser {

namespace {

// The one factory of the browser class; it lives as long as the program.
class Factory final : public IClassFactory {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, IID_IClassFactory))
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        // The engine needs a widget application and its thread.
        auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (app == nullptr || QThread::currentThread() != app->thread())
            return E_FAIL;
        // Started where it cannot run, the engine would end the whole program.
        if (whyEngineCannotStart())
            return E_FAIL;
        auto* browser = new WebBrowser;
        const HRESULT hr = browser->QueryInterface(riid, object);
        browser->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

Factory factory;
DWORD cookie = 0;

} // namespace

void registerBrowserServer()
{
    if (!dwin::sys::win32::installedMessagePump())
        dwin::sys::win32::installQtMessagePump();
    if (cookie != 0)
        return;
    CoRegisterClassObject(CLSID_InternetExplorer, &factory,
                          CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, 0, &cookie);
}

void revokeBrowserServer()
{
    if (cookie == 0)
        return;
    CoRevokeClassObject(cookie);
    cookie = 0;
}

QWidget* browserWidget(HWND handle)
{
    return static_cast<QWidget*>(WindowOfHandle(handle));
}

} // namespace winapi::browser
