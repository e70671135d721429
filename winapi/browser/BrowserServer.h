#pragma once
// The browser server: an object implementing IWebBrowser2 over a QWebEngineView, its documents
// (IHTMLDocument2, IHTMLDocument3, IPersistMoniker) and elements. It lives in the program's
// process; CoCreateInstance(CLSID_InternetExplorer, ...) makes one once registered.
// Needs a QApplication; every call comes from its thread. No browser is made where the engine
// cannot start (whyEngineCannotStart, EngineCheck.h): CoCreateInstance fails there.

class QWidget;

#include "winapi/Types.h"

namespace winapi::browser {

// Registers the browser class with the class table (once; later calls do nothing) and installs
// the Qt message pump for the waits when none is installed. Call after creating the QApplication.
void registerBrowserServer();
// Withdraws the class: CoCreateInstance of it fails until registered again.
void revokeBrowserServer();

// The browser's window for its handle (get_HWND), to place it in a dialog; null once the window
// has gone (closed by the user or told to Quit).
QWidget* browserWidget(HWND handle);

} // namespace winapi::browser
