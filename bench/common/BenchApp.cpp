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
#include <sqlite3.h>

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

std::string catalogueSiteId(int i)
{
    return "site" + std::to_string(i * 7919 % 1000003) + ".example.com";
}

void insertCatalogueSites(sqlite3* handle, int count)
{
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        handle,
        "INSERT INTO Shareware_Sites VALUES (?, ?, 'not', 'pad', 'title', '[Enter page]', '0', "
        "'[Engter Global Username', '[Enter Global Password]', ?);",
        -1, &insert, nullptr);
    for (int i = 0; i < count; ++i) {
        const std::string id = catalogueSiteId(i), pr = std::to_string(i % 11 - 1);
        const std::string notes = "notes of " + id;
        sqlite3_bind_text(insert, 1, id.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, pr.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, notes.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

} // namespace bench
