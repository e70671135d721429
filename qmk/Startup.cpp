#include "qmk/Startup.h"

#include "dwin/sys/win32/QtMessagePump.h"
#include "dwin/sys/win32/com/Init.h"
#include "qmk/DB.h"
#include "qmk/EndSignals.h"
#include "qmk/MainWindow.h"
#include "qmk/MyAction.h"
#include "qmk/Report.h"
#include "qmk/config/Config.h"
#include "winapi/browser/BrowserServer.h"

#include <QMessageBox>
#include <QString>

#include <exception>
#include <memory>
#include <optional>

namespace qmk {

namespace {

std::unique_ptr<DB> openDatabase(const config::Config& config)
{
    try {
        return std::make_unique<DB>(config.getDatabasePath());
    } catch (const std::exception& e) {
        report::trace(std::string("open database catch ") + e.what());
        QMessageBox::critical(
            nullptr, "Quillmark",
            QString("The database %1 cannot be opened:\n%2\n\nThe program ends now.")
                .arg(QString::fromStdString(config.getDatabasePath()),
                     QString::fromUtf8(e.what())));
    }
    return nullptr;
}

// The end of a session: the main window closes as by its close box; true when it has closed. An
// edit or a write not stored keeps it open with the reason on its status line, said on the
// console too.
bool closeMainWindow()
{
    MainWindow* window = MainWindow::getInstance();
    if (!window || window->isClosed() || window->close())
        return true;
    report::trace("close refused: " + window->statusText());
    return false;
}

} // namespace

int startQuillmark()
{
    config::Config& config = config::Config::getInstance();
    dwin::sys::win32::com::Init::initialize(); // the apartment stays open until the program ends
    dwin::sys::win32::installQtMessagePump();
    winapi::browser::registerBrowserServer(); // the class the browser window creates
    if (const std::string error = config.dataFolderError(); !error.empty()) {
        report::trace(error);
        QMessageBox::critical(nullptr, "Quillmark",
                              QString::fromStdString(error + "\n\nThe program ends now."));
        return 1;
    }
    std::unique_ptr<DB> db = openDatabase(config);
    if (!db)
        return 1;
    if (db->isReadOnly()) {
        report::trace("database is read-only: " + config.getDatabasePath());
        QMessageBox::warning(
            nullptr, "Quillmark",
            QString("The database %1 is read-only.\n\nYou can look at your tables, but changes "
                    "cannot be saved.")
                .arg(QString::fromStdString(config.getDatabasePath())));
    }
    MainWindow::setCreateActions(MyAction::createActions);
    std::optional<EndSignals> endSignals; // kept until the settings are saved
    try {
        MainWindow window(db.get());
        window.open();
        if (const std::string error = config.loadError(); !error.empty())
            window.setStatus("settings not read: " + error);
        endSignals.emplace(closeMainWindow);
        window.run();
    } catch (const std::exception& e) {
        report::trace(std::string("main catch ") + e.what());
    }
    MyAction::releaseActions();
    config.save();
    return 0;
}

} // namespace qmk
