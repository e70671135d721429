// Window tests: one QApplication (offscreen) for the whole run, a data folder of our own.
// Built with QMK_TEST_BROWSER, the run also has COM and the browser engine.
#include "dwin/sys/win32/QtMessagePump.h"
#include "qmk/MainWindow.h"
#include "qmk/MyAction.h"
#ifdef QMK_TEST_BROWSER
#include "dwin/sys/win32/com/Init.h"
#include "winapi/browser/BrowserServer.h"
#endif

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    QTemporaryDir data;
    if (!data.isValid())
        return 2;
    setenv("XDG_DATA_HOME", data.path().toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    dwin::sys::win32::installQtMessagePump();
#ifdef QMK_TEST_BROWSER
    dwin::sys::win32::com::Init::initialize();
    winapi::browser::registerBrowserServer();
#endif
    qmk::MainWindow::setCreateActions(qmk::MyAction::createActions);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    qmk::MyAction::releaseActions();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed windows
    return result;
}
