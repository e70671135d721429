// The browser window over the real engine, in the real main window, with the download site on
// loopback.
#include "Fixture.h"
#include "lookups/FakeService.h"

#include "dwin/net/Services.h"
#include "dwin/sys/win32/Process.h"
#include "dwin/sys/win32/com/Core.h"
#include "dwin/sys/win32/ie/IE.h"
#include "qmk/Base.h"
#include "qmk/MessageDialog.h"
#include "qmk/MyAction.h"
#include "qmk/dialog/SiteForms.h"
#include "qmk/dialog/WebBrowserDialog.h"
#include "qmk/extends/Commands.h"
#include "winapi/browser/BrowserServer.h"
#include "winapi/browser/EngineCheck.h"
#include "winsup/ScopedEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include <unistd.h>

namespace qmk::test {
namespace {

using dialog::WebBrowserDialog;
using extends::Command;
using lookups_test::FakeService;
using lookups_test::SeenRequest;
namespace com = dwin::sys::win32::com;
namespace ie = dwin::sys::win32::ie;

bool eventually(const std::function<bool()>& condition, int ms = 15000)
{
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= ms)
            return false;
        dwin::sys::win32::Process::wait(20);
    }
    return true;
}

// Answers every message box that opens with `button`, noting its title and text.
class BoxAnswer {
public:
    explicit BoxAnswer(QMessageBox::StandardButton button)
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.push_back(box->windowTitle().toStdString() + ": " + box->text().toStdString());
            box->done(button);
        });
        timer_.start();
    }
    std::vector<std::string> seen;

private:
    QTimer timer_;
};

// The requests of that method, the browser's own icon requests left out.
std::vector<SeenRequest> requestsOf(const FakeService& site, const std::string& method)
{
    std::vector<SeenRequest> found;
    for (const SeenRequest& r : site.requests())
        if (r.method == method && r.path != "/favicon.ico")
            found.push_back(r);
    return found;
}

const std::string kPad =
    "<?xml version=\"1.0\"?><XML_DIZ_INFO><Program_Info><Program_Name>Tidy Tables</Program_Name>"
    "<Program_Version>2.1</Program_Version></Program_Info><Web_Info><Application_URLs>"
    "<Application_Info_URL>https://tidy.example/info</Application_Info_URL></Application_URLs>"
    "</Web_Info></XML_DIZ_INFO>";

class BrowserDialog : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        padPath_ = dir_.path().toStdString() + "/tidy.xml";
        std::ofstream(padPath_) << kPad;
        MessageDialog::setInterceptor(
            [this](MessageDialog::Kind, const std::string& title, const std::string& text) {
                messages_.push_back(title + ": " + text);
            });
    }
    void TearDown() override
    {
        MessageDialog::setInterceptor(nullptr);
        WindowTest::TearDown();
    }
    // The download site's domain as the program knows it, and its category-152 listing address.
    std::string domain() const { return dwin::net::downloadSiteDomain(); }
    std::string listing152() const
    {
        return "https://www." + domain() + "/category.php[id][cid]152";
    }
    // A product whose listing table has the download site's row.
    void addSubmittable(const std::string& exeLocale, const std::string& user = "",
                        const std::string& pass = "")
    {
        addProduct("Tidy", "3");
        exec("UPDATE Softwares SET pad_locale='" + padPath_ + "', exe_locale='" + exeLocale +
             "' WHERE id='Tidy';");
        exec("INSERT INTO Tidy (id, pr, listed_url, username, password, g_user, g_pass, notes) "
             "VALUES ('" +
             domain() + "', '5', '" + listing152() + "', '" + user + "', '" + pass +
             "', '', '', '');");
        addSite("Tidy", "other.example");
    }
    void selectListing(const std::string& id)
    {
        selectTab(4);
        viewerAt(4)->getTable()->selectRow(rowOfId(4, id));
        QApplication::processEvents();
    }
    WebBrowserDialog* dialog()
    {
        WebBrowserDialog* d = WebBrowserDialog::getInstance();
        EXPECT_NE(d, nullptr);
        return d;
    }
    QPushButton* button(const std::string& label)
    {
        for (auto* b : dialog()->shell()->findChildren<QPushButton*>())
            if (b->text().toStdString() == label)
                return b;
        ADD_FAILURE() << "no button " << label;
        return nullptr;
    }
    // Runs a context-menu entry of the browser window, found by its text, as a click would.
    void runFromContextMenu(const QString& text)
    {
        QMenu* menu = dialog()->contextMenu();
        emit menu->aboutToShow();
        for (QAction* action : menu->actions()) {
            if (action->text() != text)
                continue;
            ASSERT_TRUE(action->isEnabled()) << text.toStdString();
            action->trigger();
            return;
        }
        ADD_FAILURE() << "no entry " << text.toStdString();
    }
    std::string location() { return WebBrowserDialog::getLocationUrl(); }
    std::string padPath_;
    std::vector<std::string> messages_;
};

TEST_F(BrowserDialog, ToolWindowWithButtonsBrowserAndContextMenu)
{
    FakeService site("QMK_DOWNLOAD_SITE_URL", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><head><title>Front</title></head><body>hi</body></html>",
                        "text/html");
    });
    openWindow();
    WebBrowserDialog* d = dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(WebBrowserDialog::getInstance(), d);
    QWidget* shell = d->shell();
    EXPECT_EQ(shell->parentWidget(), window_.get());
    EXPECT_TRUE(shell->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(shell->windowTitle(), "Web Browser");
    EXPECT_EQ(shell->size(), QSize(800, 600));
    EXPECT_FALSE(shell->isVisible()); // made, not opened

    // Fifteen buttons in one row, with their tool tips.
    const auto buttons = shell->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 15);
    std::string labels;
    for (QPushButton* b : buttons) {
        labels += b->text().toStdString() + " ";
        EXPECT_EQ(b->y(), buttons.front()->y());
    }
    EXPECT_EQ(
        labels,
        "&XML &Screen &Name &ID &Download &Email I&nfo &Desc 250 D&esc 2000 I&con &Order &Keywords "
        "&Company &pad_locale &exe_locale ");
    EXPECT_EQ(button("&Desc 250")->toolTip(), "copy Char_Desc_250 to Clipboard");

    // The category table made with it: its sections, and no group above its count on the site.
    std::map<std::string, int> sections, groups;
    for (const auto& [key, value] : WebBrowserDialog::categories()) {
        ++sections[key.substr(0, key.find('|'))];
        ++groups[value.substr(0, value.find(" | "))];
    }
    EXPECT_EQ(sections,
              (std::map<std::string, int>{
                  {"20", 176}, {"21", 27}, {"22", 74}, {"23", 179}, {"24", 176}, {"25", 176}}));
    const std::map<std::string, int> onSite = {{"Utilities/Drivers/System Files", 161},
                                               {"Programming", 100},
                                               {"Internet", 89},
                                               {"Business", 67},
                                               {"Education", 57},
                                               {"MIS", 56},
                                               {"Gaming", 54},
                                               {"Multimedia", 52},
                                               {"Graphics", 51},
                                               {"Major Applications", 48},
                                               {"Desktop Publishing", 42},
                                               {"Music/Audio", 26},
                                               {"Personal Interest", 25},
                                               {"MISC", 24},
                                               {"Finance", 23},
                                               {"Family", 17},
                                               {"Religious Software", 13},
                                               {"Web Development", 12},
                                               {"Reference", 8},
                                               {"Screen Savers", 5},
                                               {"Specific Business and Industries", 3}};
    for (const auto& [group, count] : groups) {
        ASSERT_TRUE(onSite.count(group)) << group;
        EXPECT_LE(count, onSite.at(group)) << group;
    }

    // The browser's own window sits in the dialog, under the buttons, at its fixed size.
    QWidget* frame = winapi::browser::browserWidget(com::getBrowserHwnd(d->browser()));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->window(), shell);
    EXPECT_EQ(frame->size(), QSize(785, 530));

    // The shared commands in the context menu, enabled afresh when it opens.
    emit d->contextMenu()->aboutToShow();
    std::string entries;
    for (QAction* a : d->contextMenu()->actions()) {
        entries += a->isSeparator() ? std::string("|") : a->text().toStdString();
        entries += " ";
    }
    using extends::Command;
    auto text = [](Command command) {
        return extends::Commands::find(command)->text().toStdString() + " ";
    };
    EXPECT_EQ(entries,
              text(Command::TodayAction) + text(Command::VersionAction) + "| " +
                  text(Command::SubmitProductAction) + "| " + text(Command::CopyUsernameAction) +
                  text(Command::CopyPasswordAction) + "| " + text(Command::CopyLocationURLAction) +
                  "| " + text(Command::SubPageAction) + text(Command::ListedUrlAction));
    EXPECT_FALSE(extends::Commands::find(extends::Command::SubmitProductAction)->isEnabled());

    // Opening an address shows and navigates; closing hides; the same browser shows again.
    d->openUrl(site.baseUrl() + "/front");
    EXPECT_TRUE(shell->isVisible());
    EXPECT_GT(frame->mapTo(shell, QPoint(0, 0)).y(), buttons.front()->geometry().bottom());
    // Each label readable in full: the row fits the dialog without the buttons overlapping.
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* b = buttons[i];
        EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text().remove('&')) + 4)
            << b->text().toStdString();
        if (i > 0) {
            EXPECT_GT(b->x(), buttons[i - 1]->geometry().right()) << b->text().toStdString();
        }
    }
    EXPECT_LE(buttons.back()->geometry().right(), shell->width());
    ASSERT_TRUE(ie::waitForTitle(d->browser(), "Front", 15000));
    EXPECT_EQ(location(), site.baseUrl() + "/front");
    shell->close();
    EXPECT_FALSE(shell->isVisible());
    EXPECT_EQ(WebBrowserDialog::getInstance(), d);
    d->openUrl(dialog::logOnPageUrlWithSiteId()); // only shown
    EXPECT_TRUE(shell->isVisible());
    dwin::sys::win32::Process::wait(300);
    EXPECT_EQ(location(), site.baseUrl() + "/front");
    EXPECT_EQ(requestsOf(site, "GET").size(), 1u);

    runFromContextMenu(extends::Commands::find(extends::Command::CopyLocationURLAction)->text());
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), site.baseUrl() + "/front");
    EXPECT_EQ(status(), "copied to clipboard : " + site.baseUrl() + "/front");

    // The main window's close ends the browser; the dialog goes with the window.
    winapi::IWebBrowser2* browser = d->browser();
    browser->AddRef();
    closeWindow();
    EXPECT_EQ(d->browser(), nullptr);
    EXPECT_FALSE(ie::isBrowserWindow(browser));
    browser->Release();
    window_.reset();
    EXPECT_EQ(WebBrowserDialog::instance(), nullptr);
    EXPECT_EQ(WebBrowserDialog::getLocationUrl(), "");
}

TEST_F(BrowserDialog, PadButtonsCopyTheCurrentProductsFields)
{
    openWindow();
    button("&Name")->click(); // no product yet
    EXPECT_EQ(status(), "Please Crate a Software record first");
    window_.reset();

    addSubmittable("");
    openWindow();
    QApplication::clipboard()->setText("before");
    button("&Name")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), "Tidy Tables");
    EXPECT_EQ(status(), "copied to clipboard : Tidy Tables");
    EXPECT_EQ(dialog()->shell()->windowTitle(), "Tidy");
    button("I&nfo")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), "https://tidy.example/info");
    QApplication::clipboard()->setText("before");
    button("&Keywords")->click(); // not in the file
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(status(), "");
    std::filesystem::resize_file(padPath_, 4 * 1024 * 1024 + 1); // a file too large is named
    button("&Name")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(status(),
              "pad file " + padPath_ +
                  " not read: too large (4194305 bytes, at most "
                  "4194304)");
    std::filesystem::resize_file(padPath_, kPad.size());

    // the text as the file's encoding and escapes give it
    std::ofstream(padPath_, std::ios::trunc)
        << "<?xml version=\"1.0\" encoding=\"windows-1252\"?><Company_Name>Caf\xE9 Soft"
           "</Company_Name><Program_Name>Tidy &amp; &#x201C;Neat&#8221;</Program_Name>";
    button("&Company")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Caf\xC3\xA9 Soft"));
    button("&Name")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Tidy & \u201CNeat\u201D"));
    std::ofstream(padPath_, std::ios::trunc)
        << "<?xml version=\"1.0\" encoding=\"x-unknown\"?><Company_Name>X</Company_Name>";
    button("&Company")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Tidy & \u201CNeat\u201D"));
    EXPECT_EQ(status(), "pad file " + padPath_ + " not read: encoding x-unknown not supported");
    // declared UTF-8 but for a byte an ANSI editor left; a value on lines of its own
    std::ofstream(padPath_, std::ios::trunc)
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Company_Name>\r\n  Caf\xC3\xA9 Soft\xAE"
           "\r\n</Company_Name>";
    button("&Company")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Caf\xC3\xA9 Soft\xC2\xAE"));
    EXPECT_EQ(status(), "copied to clipboard : Caf\xC3\xA9 Soft\xC2\xAE");
    QApplication::clipboard()->setText("before");

    selectListing("other.example"); // not the download site's row: nothing at all
    button("&pad_locale")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    selectListing(domain());
    button("&pad_locale")->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), padPath_);
    button("&exe_locale")->click(); // empty: a box titled with the product
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), padPath_);
    EXPECT_EQ(messages_, std::vector<std::string>{"Tidy: exe_locale not setted"});
}

TEST_F(BrowserDialog, SubmitLoadsTheUploadFormThatPostsToTheSite)
{
    FakeService site("QMK_DOWNLOAD_SITE_URL", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><head><title>Received</title></head><body>ok</body></html>",
                        "text/html");
    });
    addSubmittable("");
    openWindow();
    selectListing(domain());
    WebBrowserDialog* d = dialog();
    testing::internal::CaptureStdout();
    runFromContextMenu(extends::Commands::find(extends::Command::SubmitProductAction)->text());
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("not got exe_locale for Tidy\n"), std::string::npos) << console;
    EXPECT_EQ(location(), ""); // nothing shown

    exec("UPDATE Softwares SET exe_locale='/opt/tidy/setup.exe' WHERE id='Tidy';");
    window_.reset();
    openWindow();
    selectListing(domain());
    d = dialog();
    d->show();
    runFromContextMenu(extends::Commands::find(extends::Command::SubmitProductAction)->text());
    ASSERT_TRUE(ie::waitForTitle(d->browser(), "Free downloads", 15000));
    EXPECT_EQ(location(), dialog::uploadPageUrl());
    auto categories = com::getElementsByName(d->browser(), "category_id");
    ASSERT_EQ(categories.size(), 1u);
    EXPECT_EQ(ie::getInnerText(categories[0].get()), "Internet | HTML Tools");

    auto send = com::getElementsByName(d->browser(), "submit");
    ASSERT_EQ(send.size(), 1u);
    send[0]->click();
    ASSERT_TRUE(eventually([&] { return !requestsOf(site, "POST").empty(); }));
    const SeenRequest post = requestsOf(site, "POST").front();
    EXPECT_EQ(post.method, "POST");
    EXPECT_EQ(post.path, "/author.submit_software.upload.php[SiteID]" + domain()) << post.target;
    EXPECT_EQ(post.contentType.rfind("multipart/form-data", 0), 0u) << post.contentType;
    auto part = [&](const std::string& name) {
        auto it = post.parts.find(name);
        return it == post.parts.end() ? std::string("<absent>") : it->second;
    };
    EXPECT_EQ(part("category_id"), "152");
    EXPECT_EQ(part("minimum_os_id"), "24");
    EXPECT_EQ(part("action"), "POST");
    EXPECT_EQ(part("MAX_FILE_SIZE"), "134217728");
    EXPECT_EQ(post.parts.count("pad_file"), 1u);
    EXPECT_EQ(post.parts.count("program_file"), 1u);

    // A category the table does not know is still offered, under its number.
    viewAt(4)->getById(domain())->set("listed_url",
                                      "https://www." + domain() + "/category.php[id][cid]999");
    runFromContextMenu(extends::Commands::find(extends::Command::SubmitProductAction)->text());
    ASSERT_TRUE(eventually([&] {
        auto options = com::getElementsByName(d->browser(), "category_id");
        return options.size() == 1 && ie::getInnerText(options[0].get()) == "999";
    }));
}

TEST_F(BrowserDialog, SubmitStopsAPageThatKeepsNavigating)
{
    std::atomic<bool> released{false};
    FakeService site("QMK_DOWNLOAD_SITE_URL",
                     [&released](const httplib::Request& req, httplib::Response& res) {
                         while (req.path == "/never" && !released) // a page that never answers
                             std::this_thread::sleep_for(std::chrono::milliseconds(10));
                         res.set_content("<script>setInterval(() => location.href = '/never', "
                                         "20);</script>",
                                         "text/html");
                     });
    const struct Release {
        std::atomic<bool>& flag;
        ~Release() { flag = true; }
    } release{released};
    addSubmittable("/opt/tidy/setup.exe");
    openWindow();
    selectListing(domain());
    WebBrowserDialog* d = dialog();
    d->openUrl(site.baseUrl() + "/moving");
    ASSERT_TRUE(eventually([&] { return requestsOf(site, "GET").size() >= 3; }));
    const QString submit = extends::Commands::find(extends::Command::SubmitProductAction)->text();
    runFromContextMenu(submit);
    EXPECT_EQ(status(), "");
    EXPECT_EQ(location(), dialog::uploadPageUrl());
    EXPECT_NE(ie::getTitle(d->browser()).value_or("").find("Free downloads"), std::string::npos);

    d->browser()->Quit(); // the engine has gone
    runFromContextMenu(submit);
    EXPECT_EQ(status(), "upload form not shown: the browser has closed");
}

TEST_F(BrowserDialog, LogOnSendsTheCredentialsAndOffersTheUpload)
{
    FakeService site("QMK_DOWNLOAD_SITE_URL",
                     [](const httplib::Request& req, httplib::Response& res) {
                         const bool account = req.method == "POST";
                         res.set_content(std::string("<html><head><title>") +
                                             (account ? "Author - My Account" : "Upload") +
                                             "</title></head><body>ok</body></html>",
                                         "text/html");
                     });
    addSubmittable("/opt/tidy/setup.exe", "jürgen@example.org", "pässword");
    openWindow();
    selectListing(domain());
    WebBrowserDialog* d = dialog();
    d->show();
    d->logOn("https://elsewhere.example/account.logon.php"); // not the site: nothing
    dwin::sys::win32::Process::wait(200);
    EXPECT_EQ(location(), ""); // nothing shown

    BoxAnswer answer(QMessageBox::No);
    d->logOn(dialog::logOnPageUrl());
    ASSERT_EQ(requestsOf(site, "POST").size(), 1u);
    const SeenRequest post = requestsOf(site, "POST").front();
    EXPECT_EQ(post.path, "/account.logon.php[SiteID]" + domain()) << post.target;
    EXPECT_EQ(lookups_test::param(post, "email"), "jürgen@example.org"); // the form declares UTF-8
    EXPECT_EQ(lookups_test::param(post, "password"), "pässword");
    EXPECT_EQ(answer.seen, std::vector<std::string>{"Tidy: Do you want to submit now"});
    // Answered no: the site's own upload page.
    ASSERT_TRUE(ie::waitForTitle(d->browser(), "Upload", 15000));
    ASSERT_EQ(requestsOf(site, "GET").size(), 1u);
    EXPECT_EQ(requestsOf(site, "GET").front().path, "/author.submit_software.upload.php");

    // Without credentials the form is loaded and the flow stops.
    exec("UPDATE Tidy SET username='', password='' WHERE id='" + domain() + "';");
    window_.reset();
    openWindow();
    selectListing(domain());
    d = dialog();
    testing::internal::CaptureStdout();
    d->logOn(dialog::logOnPageUrl());
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("simtel username or password not setted\n"), std::string::npos)
        << console;
    ASSERT_TRUE(ie::waitForTitle(d->browser(), "Log On", 15000));
    EXPECT_EQ(location(), dialog::logOnPageUrlWithSiteId());
}

TEST_F(BrowserDialog, ABlankPageIsNoLocation)
{
    addProduct("Tidy", "3");
    addSite("Tidy", "other.example");
    openWindow();
    selectListing("other.example");
    WebBrowserDialog* d = dialog();
    d->show();
    QApplication::clipboard()->setText("before");
    const auto tryCommands = [&] {
        for (Command command :
             {Command::CopyLocationURLAction, Command::ListedUrlAction, Command::SubPageAction}) {
            runFromContextMenu(extends::Commands::find(command)->text());
            EXPECT_EQ(status(), "not got location URL");
        }
        EXPECT_EQ(QApplication::clipboard()->text(), "before");
        EXPECT_EQ(column("SELECT listed_url || sub_page FROM Tidy"), std::vector<std::string>{""});
    };
    tryCommands(); // nothing shown yet
    d->navigate("about:blank");
    ASSERT_TRUE(eventually([&] {
        return com::getBrowserLocationUrl(d->browser()) == "about:blank" &&
            ie::hasDocument(d->browser(), 100);
    }));
    tryCommands();
}

TEST_F(BrowserDialog, OpensOverTheTablesOnTheMainWindowsScreen)
{
    const auto screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2) << "run with QT_QPA_PLATFORM=offscreen:configfile=TwoScreens.json";
    openWindow();
    QScreen* right = screens[1];
    const QRect room = right->availableGeometry();
    window_->setWindowState(Qt::WindowNoState);
    window_->setGeometry(room.adjusted(100, 80, -200, -150));
    QApplication::processEvents();
    ASSERT_EQ(window_->screen(), right);

    WebBrowserDialog* d = dialog();
    d->show();
    QWidget* shell = d->shell();
    const QRect opened = shell->frameGeometry();
    EXPECT_EQ(opened.topLeft(), window_->getTabFolder()->mapToGlobal(QPoint(0, 0)));
    EXPECT_EQ(shell->screen(), right);
    for (QWidget* bar :
         std::initializer_list<QWidget*>{window_->menuBar(), window_->findChild<QToolBar*>()}) {
        const QRect barArea(bar->mapToGlobal(QPoint(0, 0)), bar->size());
        EXPECT_FALSE(opened.intersects(barArea)) << bar->metaObject()->className();
    }

    // Near the screen's corner the whole window still opens on that screen.
    window_.reset();
    openWindow();
    window_->setWindowState(Qt::WindowNoState);
    window_->setGeometry(QRect(room.bottomRight() - QPoint(500, 400), QSize(450, 350)));
    QApplication::processEvents();
    dialog()->show();
    const QRect corner = dialog()->shell()->frameGeometry();
    EXPECT_TRUE(room.contains(corner)) << corner.x() << "," << corner.y();
}

TEST_F(BrowserDialog, WithoutTheEngineTheUserIsToldOnceAndCommandsDoNothing)
{
    winapi::browser::revokeBrowserServer();
    addSubmittable("/opt/tidy/setup.exe");
    openWindow();
    EXPECT_EQ(WebBrowserDialog::getInstance(), nullptr);
    EXPECT_EQ(WebBrowserDialog::getInstance(), nullptr);
    extends::Commands::run(extends::Command::SubmitProductAction);
    EXPECT_EQ(status().rfind("Web Browser not available", 0), 0u) << status();
    extends::Commands::run(extends::Command::CopyLocationURLAction);
    EXPECT_EQ(status(), "not got location URL");
    ASSERT_EQ(messages_.size(), 1u); // told once
    EXPECT_EQ(messages_[0].rfind("Web Browser: The web browser could not be started.", 0), 0u);
    closeWindow(); // nothing to dispose
    winapi::browser::registerBrowserServer();
}

TEST_F(BrowserDialog, AsRootWithTheSandboxOnTheEngineIsNotStartedAndTheCommandsSaySo)
{
    using winapi::browser::whyEngineCannotStart;
    const QStringList program{"quillmark"};
    ScopedEnv noFlags("QTWEBENGINE_CHROMIUM_FLAGS", nullptr);
    {
        ScopedEnv sandboxOn("QTWEBENGINE_DISABLE_SANDBOX", nullptr);
        EXPECT_FALSE(whyEngineCannotStart(false, program));
        EXPECT_TRUE(whyEngineCannotStart(true, program));
        EXPECT_TRUE(whyEngineCannotStart(true, {"quillmark", "--no-sandbox"})); // not the engine's
        EXPECT_FALSE(whyEngineCannotStart(true, {"quillmark", "--webEngineArgs", "-no-sandbox"}));
        {
            ScopedEnv flags("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
            EXPECT_TRUE(
                whyEngineCannotStart(true, {"quillmark", "--webEngineArgs", "--no-sandbox"}));
        }
        ScopedEnv flags("QTWEBENGINE_CHROMIUM_FLAGS", " --disable-gpu\t--no-sandbox=1");
        EXPECT_FALSE(whyEngineCannotStart(true, program));
    }
    {
        ScopedEnv sandboxOff("QTWEBENGINE_DISABLE_SANDBOX", "");
        EXPECT_FALSE(whyEngineCannotStart(true, program));
    }

    // this process as root: the command says why, the engine is not started, the program goes on
    if (::geteuid() != 0)
        return;
    ScopedEnv sandboxOn("QTWEBENGINE_DISABLE_SANDBOX", nullptr);
    addSite("Shareware_Sites", "a.com");
    openWindow();
    clickRow(0, 0);
    extends::Commands::run(Command::OpenURLAction);
    EXPECT_EQ(status(), "Web Browser not available: " + *whyEngineCannotStart(true, program));
    EXPECT_EQ(WebBrowserDialog::instance(), nullptr);
    EXPECT_FALSE(com::createInternetExplorer(winapi::CLSCTX_LOCAL_SERVER));
    EXPECT_TRUE(window_->isVisible());
}

} // namespace
} // namespace qmk::test
