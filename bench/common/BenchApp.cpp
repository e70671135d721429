#include "bench/common/BenchApp.h"

#include "dwin/sys/win32/QtMessagePump.h"
#include "dwin/sys/win32/com/Init.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/MyAction.h"
#include "qmk/config/Config.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/TableView.h"
#include "winapi/browser/BrowserServer.h"

#include <QApplication>
#include <QTabWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace bench {

int runBenchmarks(int argc, char** argv, const RunOptions& options)
{
    QTemporaryDir home;
    setenv("XDG_DATA_HOME", home.path().toLocal8Bit().constData(), 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (options.browser) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
        setenv("QTWEBENGINE_CHROMIUM_FLAGS",
               "--disable-gpu --no-sandbox --disable-background-networking", 0);
    }
    QApplication application(argc, argv);
    if (options.browser) {
        dwin::sys::win32::com::Init::initialize();
        dwin::sys::win32::installQtMessagePump();
        winapi::browser::registerBrowserServer();
    }
    if (options.actions)
        qmk::MainWindow::setCreateActions(qmk::MyAction::createActions);
    if (options.before)
        options.before();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (options.after)
        options.after();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (options.actions)
        qmk::MyAction::releaseActions();
    return 0;
}

DataFolder::DataFolder()
    : folder(dir.path().toStdString() + "/Brightfen/Quillmark"), path(folder + "/qmk.db")
{
    qmk::config::Config::setInstance(std::make_unique<qmk::config::Config>(folder, "qmk.config"));
    qmk::DB made(path); // the four fixed tables
}

OpenWindow::OpenWindow(const std::string& path)
    : db(std::make_unique<qmk::DB>(path)), window(std::make_unique<qmk::MainWindow>(db.get()))
{
    window->open();
}

OpenWindow::~OpenWindow() = default;

qmk::tab::TableView* OpenWindow::showTab(int tab)
{
    window->getTabFolder()->setCurrentIndex(tab);
    return dynamic_cast<qmk::tab::TableView*>(
        qmk::extends::TableViewer::viewerRecordsOf(window->getTabFolder()->widget(tab)));
}

} // namespace bench
