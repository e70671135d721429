// The commands that work with the browser window, over the real engine and a loopback site.
#include "Fixture.h"
#include "lookups/FakeService.h"

#include "dwin/net/Services.h"
#include "dwin/sys/win32/ie/IE.h"
#include "qmk/MessageDialog.h"
#include "qmk/dialog/WebBrowserDialog.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/MyMenuListener.h"
#include "qmk/extends/RecordTableModel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <iostream>
#include <sstream>

namespace qmk::test {
namespace {

using dialog::WebBrowserDialog;
using extends::Command;
using extends::MyMenuListener;
using lookups_test::FakeService;

enum Tab { SharewareTab = 0, SoftwaresTab = 1, ListingTab = 4 };

class BrowserCommands : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        MessageDialog::setInterceptor(
            [](MessageDialog::Kind, const std::string& title, const std::string& text) {
                ADD_FAILURE() << title << ": " << text;
            });
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        MessageDialog::setInterceptor(nullptr);
    }
    void select(int tab, const std::string& id)
    {
        selectTab(tab);
        viewerAt(tab)->setSelection({rowOfId(tab, id)});
        QApplication::processEvents();
    }
    // The console lines of one submit test.
    std::string submitTrace(base::RecordPtr* product = nullptr)
    {
        std::ostringstream lines;
        std::streambuf* console = std::cout.rdbuf(lines.rdbuf());
        base::RecordPtr result = MyMenuListener::isSubmitProductEnabled();
        std::cout.rdbuf(console);
        if (product)
            *product = result;
        return lines.str();
    }
    // Chooses the entry of the browser window's context menu.
    void choose(Command command)
    {
        QMenu* menu = WebBrowserDialog::getInstance()->contextMenu();
        emit menu->aboutToShow();
        QAction* action = extends::Commands::find(command);
        ASSERT_TRUE(menu->actions().contains(action));
        action->setEnabled(true); // the state of the listing tab, which the test left
        action->trigger();
        QApplication::processEvents();
    }
};

TEST_F(BrowserCommands, SubmitTestTellsWhichCheckFailed)
{
    const std::string domain = dwin::net::downloadSiteDomain();
    addProduct("Tidy", "3");
    addSite("Shareware_Sites", domain);
    exec("INSERT INTO Tidy (id, pr, listed_url) VALUES ('" + domain + "', '5', 'https://" + domain +
         "/c.php');");
    addSite("Tidy", "other.example");
    openWindow();
    const std::string failed = "isSubmitProductEnabled failed: ";
    EXPECT_EQ(submitTrace(), failed + "webBrowser is null\n");
    ASSERT_NE(WebBrowserDialog::getInstance(), nullptr);
    selectTab(SoftwaresTab);
    EXPECT_EQ(submitTrace(), failed + "softName incorrect Softwares\n");
    selectTab(ListingTab);
    viewerAt(ListingTab)->getTable()->clearSelection();
    EXPECT_EQ(submitTrace(), failed + "record not selected\n");
    select(ListingTab, "other.example");
    EXPECT_EQ(submitTrace(), failed + "id incorrect other.example\n");
    select(ListingTab, domain);
    EXPECT_EQ(submitTrace(), failed + "record listed_url incorrect https://" + domain + "/c.php\n");
    emit WebBrowserDialog::getInstance()->contextMenu()->aboutToShow();
    EXPECT_FALSE(extends::Commands::find(Command::SubmitProductAction)->isEnabled());

    // a product without exe_locale is still the one to submit
    exec("UPDATE Tidy SET listed_url='https://" + domain + "/c.php[cid]152';");
    viewAt(ListingTab)->getById(domain)->set("listed_url", "https://" + domain + "/c.php[cid]152");
    base::RecordPtr product;
    EXPECT_EQ(submitTrace(&product), failed + "pad_locale or exe_locale not setted\n");
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->get("id"), "Tidy");
    emit WebBrowserDialog::getInstance()->contextMenu()->aboutToShow();
    EXPECT_TRUE(extends::Commands::find(Command::SubmitProductAction)->isEnabled());
}

TEST_F(BrowserCommands, PagesInTheBrowserAndItsLocationIntoTheRow)
{
    FakeService site("QMK_DOWNLOAD_SITE_URL",
                     [](const httplib::Request& req, httplib::Response& res) {
                         res.set_content("<html><head><title>Page " + req.path +
                                             "</title></head><body>hi</body></html>",
                                         "text/html");
                     });
    const std::string base = site.baseUrl();
    const std::string host = base.substr(std::string("http://").size()); // 127.0.0.1:port
    addProduct("Tidy", "3");
    addProduct("Other", "1");
    addSite("Shareware_Sites", host);
    addSite("Tidy", host);
    addSite("Other", host);
    openWindow();

    // the clicked id cell, opened in the browser window
    selectTab(SharewareTab);
    QTableView* table = viewerAt(SharewareTab)->getTable();
    QTest::mouseClick(
        table->viewport(), Qt::LeftButton, {},
        table->visualRect(table->model()->index(rowOfId(SharewareTab, host), 0)).center());
    QMenu* menu = viewAt(SharewareTab)->menuManager();
    emit menu->aboutToShow();
    QAction* openUrl = extends::Commands::find(Command::OpenURLAction);
    ASSERT_TRUE(openUrl->isEnabled());
    openUrl->trigger();
    EXPECT_EQ(status(), "navigate to http://" + host);
    WebBrowserDialog* browser = WebBrowserDialog::instance();
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(dwin::sys::win32::ie::waitForTitle(browser->browser(), "Page /", 15000));

    // a submit page reaches the catalogue and every listing table; a listing address stays in its table
    browser->openUrl(base + "/add.php");
    ASSERT_TRUE(dwin::sys::win32::ie::waitForTitle(browser->browser(), "Page /add.php", 15000));
    selectTab(SharewareTab);
    choose(Command::ListedUrlAction);
    EXPECT_EQ(status(), "listed url not setted for Shareware_Sites");
    choose(Command::SubPageAction);
    EXPECT_EQ(status(), host + " sub_page setted to " + base + "/add.php");
    EXPECT_EQ(column("SELECT sub_page FROM Shareware_Sites UNION ALL SELECT sub_page FROM Tidy "
                     "UNION ALL SELECT "
                     "sub_page FROM Other"),
              std::vector<std::string>(3, base + "/add.php"));
    selectTab(ListingTab);
    choose(Command::ListedUrlAction);
    EXPECT_EQ(status(), host + " listed_url settted to " + base + "/add.php");
    EXPECT_EQ(column("SELECT listed_url FROM Tidy UNION ALL SELECT listed_url FROM Other"),
              (std::vector<std::string>{base + "/add.php", ""}));
    selectTab(SoftwaresTab);
    choose(Command::SubPageAction);
    EXPECT_EQ(status(), "not found " + host + " in Softwares");

    // the selected row's submit page
    select(SharewareTab, host);
    emit menu->aboutToShow();
    ASSERT_TRUE(extends::Commands::find(Command::OpenSubPageAction)->isEnabled());
    browser->openUrl(base + "/elsewhere");
    ASSERT_TRUE(dwin::sys::win32::ie::waitForTitle(browser->browser(), "Page /elsewhere", 15000));
    extends::Commands::find(Command::OpenSubPageAction)->trigger();
    EXPECT_EQ(status(), "navigate to " + base + "/add.php");
    EXPECT_TRUE(dwin::sys::win32::ie::waitForTitle(browser->browser(), "Page /add.php", 15000));

    // the main window's accelerators do not act from the browser window
    browser->shell()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser->shell()));
    auto* button = browser->shell()->findChild<QPushButton*>();
    ASSERT_NE(button, nullptr);
    button->setFocus();
    for (Qt::Key key : {Qt::Key_X, Qt::Key_B, Qt::Key_G})
        QTest::keyClick(button, key, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{host});
    EXPECT_EQ(viewerAt(SharewareTab)->rowCount(), 1);
}

} // namespace
} // namespace qmk::test
