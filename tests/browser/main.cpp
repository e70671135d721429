// The engine tests need a widget application and its event loop as the message pump.
#include <gtest/gtest.h>

#include <QApplication>

#include "dwin/sys/win32/QtMessagePump.h"
#include "winapi/browser/BrowserServer.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    dwin::sys::win32::installQtMessagePump();
    winapi::browser::registerBrowserServer();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed views
    return result;
}
