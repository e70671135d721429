// The program's end as a user brings it about: the main window's close box in the program's own
// event loop, with the find window and the browser window open.
#include "Fixture.h"
#include "lookups/FakeService.h"

#include "qmk/Startup.h"
#include "qmk/config/Config.h"
#include "qmk/dialog/FindDialog.h"
#include "qmk/dialog/WebBrowserDialog.h"
#include "qmk/extends/Commands.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <sqlite3.h>

namespace qmk::test {
namespace {

using extends::Command;

// What the user saw before the close box, and what was left right after it.
struct Session {
    std::string status;
    bool findShown = false;
    bool browserShown = false;
    bool findAfter = true;
    bool browserAfter = true;
    bool loopEnded = true;
};

// A miss in the find window, the clicked row opened in the browser window, then the close box.
void useAndClose(Session& session)
{
    MainWindow* window = MainWindow::getInstance();
    extends::Commands::find(Command::FindTableItemAction)->trigger();
    dialog::FindDialog& find = dialog::FindDialog::getInstance();
    QTest::keyClicks(find.field(), "zzzz");
    QTest::keyClick(find.field(), Qt::Key_Return);
    auto* table = qobject_cast<QTableView*>(window->getTabFolder()->widget(0));
    const QPoint cell = table->visualRect(table->model()->index(0, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseClick(table->viewport(), Qt::RightButton, {}, cell);
    auto* view = dynamic_cast<tab::TableView*>(extends::TableViewer::viewerRecordsOf(table));
    emit view->menuManager()->aboutToShow();
    extends::Commands::find(Command::OpenURLAction)->trigger();
    session.status = window->statusText();
    QPointer<QWidget> findShell(find.shell());
    dialog::WebBrowserDialog* browser = dialog::WebBrowserDialog::instance();
    QPointer<QWidget> browserShell = browser ? browser->shell() : nullptr;
    session.findShown = findShell->isVisible();
    session.browserShown = browserShell && browserShell->isVisible();
    window->windowHandle()->close(); // as the close box
    session.findAfter = findShell && findShell->isVisible();
    session.browserAfter = browserShell && browserShell->isVisible();
}

TEST(Closing, TheCloseBoxEndsTheProgramWithTheFindAndBrowserWindowsOpen)
{
    lookups_test::FakeService site("QMK_DOWNLOAD_SITE_URL",
                                   [](const httplib::Request&, httplib::Response& res) {
                                       res.set_content("<html><body>hi</body></html>", "text/html");
                                   });
    const std::string host = site.baseUrl().substr(std::string("http://").size());
    // The windows stand in another order in each run; the close box ends every run.
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/Brightfen/Quillmark";
        config::Config::setInstance(std::make_unique<config::Config>(folder, "qmk.config"));
        config::Config::getInstance().getPreferenceStore().setValue("last_ctabitem_index", "0");
        std::make_unique<DB>(folder + "/qmk.db").reset(); // the tables
        sqlite3* handle = nullptr;
        ASSERT_EQ(sqlite3_open((folder + "/qmk.db").c_str(), &handle), SQLITE_OK);
        const std::string insert =
            "INSERT INTO Shareware_Sites (id, pr) VALUES ('" + host + "', '1');";
        EXPECT_EQ(sqlite3_exec(handle, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(handle);

        Session session;
        QTimer::singleShot(0, [&session] { useAndClose(session); });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&session] {
            session.loopEnded = false;
            for (QWidget* window : QApplication::topLevelWidgets())
                window->hide();
            QCoreApplication::exit(1);
        });
        watchdog.start(10000);
        EXPECT_EQ(startQuillmark(), 0);
        EXPECT_EQ(session.status, "navigate to http://" + host);
        EXPECT_TRUE(session.findShown);
        EXPECT_TRUE(session.browserShown);
        EXPECT_FALSE(session.findAfter) << "the find window goes with the main window";
        EXPECT_FALSE(session.browserAfter) << "the browser window goes with the main window";
        EXPECT_TRUE(session.loopEnded) << "the program still ran after the close box";
        config::Config saved(folder, "qmk.config"); // the file as the next start reads it
        EXPECT_EQ(saved.getPreferenceStore().getString("last_ctabitem_index"), "0");
        EXPECT_TRUE(saved.getPreferenceStore().contains("last_listed_urls"));
        EXPECT_EQ(saved.getPreferenceStore().getString("last_id"), host);
    }
}

} // namespace
} // namespace qmk::test
