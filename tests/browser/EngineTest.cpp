// The browser server over the real engine, driven through the automation layer, with a web
// server on loopback in this process.
#include <gtest/gtest.h>

#include <httplib.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEngineView>
#include <QWidget>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

#include "dwin/core/Exception.h"
#include "dwin/sys/win32/Process.h"
#include "dwin/sys/win32/ie/IE.h"
#include "dwin/sys/win32/ie/WebBrowser.h"
#include "vorn/IE.h"
#include "winapi/browser/BrowserServer.h"

using namespace dwin::sys::win32;
using namespace winapi;
using com::ComPtr;

namespace {

const char* kFormPage = R"(<html><head><title>Sign in - My Account Page</title></head><body>
<form method="post" action="/submit">
<input id="user" name="user" type="text"><input id="pass" name="pass" type="password">
<input name="color" value="red"><input name="color" value="blue">
<textarea id="notes" name="notes"></textarea>
<input type="submit" id="go" name="go" value="Send">
</form>
<p id="probe">Hello <b>there</b></p>
<button id="peek" type="button" onclick="document.title = 'peek:' + typeof globalThis.__qmkRefs">p</button>
<script>setTimeout(function () { var d = document.createElement('div'); d.id = 'late';
d.textContent = 'late'; document.body.appendChild(d); }, 400);</script>
</body></html>)";

// Asks everything a page can ask of the browser, and shows the answers in its title.
const char* kAsking = R"(<html><head><title>asking</title></head><body><script>
console.error('page error one');
alert('hello');
const answers = ['alerted', 'confirm:' + confirm('sure?'), 'prompt:' + prompt('name?', 'x')];
Promise.all([Notification.requestPermission(),
  new Promise(done => navigator.geolocation.getCurrentPosition(() => done('located'),
                                                             e => done('geolocation:' + e.code)))])
  .then(more => { document.title = answers.concat(more).join(' '); });
</script></body></html>)";

// Asks before it is left, once the user has touched it.
const char* kLeaving = R"(<html><head><title>leaving</title></head><body style="margin:0">
<div style="width:600px;height:300px"></div><script>
addEventListener('beforeunload', e => { e.preventDefault(); e.returnValue = 'stay'; });
</script></body></html>)";

const char* kThanks = "<html><head><title>Thanks</title></head><body>received</body></html>";

struct Posted {
    std::string path;
    std::string body;
    std::string contentType;
};

// A web server on 127.0.0.1 that serves the pages above and keeps every POST it gets.
class LoopbackServer {
public:
    LoopbackServer()
    {
        server_.Get("/form", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kFormPage, "text/html; charset=utf-8");
        });
        server_.Get("/titled", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(
                "<html><head><title>Welcome to My Account</title></head><body>hi</body></html>",
                "text/html");
        });
        server_.Get("/asking", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kAsking, "text/html");
        });
        server_.Get("/leaving", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(kLeaving, "text/html");
        });
        server_.Get("/links", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html><head><title>links</title></head><body style='margin:0'>"
                            "<a href='" +
                                url("/titled") +
                                "' style='display:block;width:300px;height:150px'>go</a>"
                                "</body></html>",
                            "text/html");
        });
        server_.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            res.set_content("<html><head><title>slow</title></head></html>", "text/html");
        });
        server_.Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            posts_.push_back({req.path, req.body, req.get_header_value("Content-Type")});
            res.set_content(kThanks, "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~LoopbackServer()
    {
        server_.stop();
        thread_.join();
    }
    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    QString qurl(const std::string& path) const { return QString::fromStdString(url(path)); }
    std::vector<Posted> posts()
    {
        std::lock_guard lock(mutex_);
        return posts_;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Posted> posts_;
};

// Pumps until the condition holds or the time is up.
bool eventually(const std::function<bool()>& condition, DWORD ms = 10000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (static_cast<DWORD>(GetTickCount() - start) >= ms)
            return false;
        Process::wait(20);
    }
    return true;
}

// Notes and closes every dialog window that opens (a modal one as if cancelled).
class DialogWatch {
public:
    DialogWatch()
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                seen_ += w->metaObject()->className() + std::string(" ");
                dialog->reject();
            }
        });
        timer_.start();
    }
    std::string seen() const { return seen_; }

private:
    QTimer timer_;
    std::string seen_;
};

// Keeps the messages Qt writes to the console meanwhile.
class ConsoleWatch {
public:
    ConsoleWatch() { previous_ = qInstallMessageHandler(&ConsoleWatch::keep); }
    ~ConsoleWatch() { qInstallMessageHandler(previous_); }
    bool saw(const QString& text) const { return lines().join('\n').contains(text); }

private:
    static QStringList& lines()
    {
        static QStringList kept;
        return kept;
    }
    static void keep(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        lines().append(message);
    }
    QtMessageHandler previous_ = nullptr;
};

QString field(const std::string& body, const QString& key)
{
    QString text = QString::fromStdString(body);
    text.replace(u'+', QStringLiteral("%20"));
    return QUrlQuery(text).queryItemValue(key, QUrl::FullyDecoded);
}

class Engine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new LoopbackServer; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        objects_ = LiveComObjects();
        bstrs_ = LiveBstrs();
        browser = com::createInternetExplorer(CLSCTX_LOCAL_SERVER);
        ASSERT_TRUE(browser);
    }
    void TearDown() override
    {
        if (browser)
            browser->Quit();
        browser.reset();
        Process::wait(50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(LiveComObjects(), objects_);
        EXPECT_EQ(LiveBstrs(), bstrs_);
    }
    // Navigates and waits for the document.
    void open(const std::string& path)
    {
        ASSERT_TRUE(ie::navigate(browser.get(), server->url(path)));
        ASSERT_TRUE(ie::hasDocument(browser.get(), 5000));
    }
    std::size_t postCount() { return server->posts().size(); }

    static LoopbackServer* server;
    ComPtr<IWebBrowser2> browser;

private:
    long objects_ = 0, bstrs_ = 0;
};

LoopbackServer* Engine::server = nullptr;

TEST_F(Engine, FillsAFormByIdAndNameAndPostsItByClick)
{
    open("/form");
    EXPECT_EQ(com::getBrowserLocationUrl(browser.get()), server->url("/form"));
    EXPECT_EQ(ie::getTitle(browser.get()), "Sign in - My Account Page");

    auto user = ie::getElementById(browser.get(), "user");
    ASSERT_TRUE(user);
    EXPECT_TRUE(com::setAttribute(user.get(), "value", std::string("alice-Ünï"), 0));
    auto pass = com::getElementsByName(browser.get(), "pass");
    ASSERT_EQ(pass.size(), 1u);
    EXPECT_TRUE(com::setAttribute(pass[0].get(), "value", std::string("s3cret&x=y"), 0));
    auto colors = com::getElementsByName(browser.get(), "color");
    ASSERT_EQ(colors.size(), 2u);
    EXPECT_TRUE(com::setAttribute(colors[1].get(), "value", std::string("green"), 0));
    auto notes = ie::getElementById(browser.get(), "notes");
    EXPECT_TRUE(com::setAttribute(notes.get(), "value", std::string("line"), 0));

    const std::size_t before = postCount();
    auto go = ie::getElementById(browser.get(), "go");
    ASSERT_TRUE(go);
    ASSERT_EQ(go->click(), S_OK);
    ASSERT_TRUE(eventually([&] { return postCount() > before; }));
    const Posted post = server->posts().back();
    EXPECT_EQ(post.path, "/submit");
    EXPECT_EQ(field(post.body, "user"), QStringLiteral("alice-Ünï"));
    EXPECT_EQ(field(post.body, "pass"), QStringLiteral("s3cret&x=y"));
    EXPECT_NE(post.body.find("color=red&color=green"), std::string::npos);
    EXPECT_EQ(field(post.body, "notes"), QStringLiteral("line"));
    EXPECT_EQ(field(post.body, "go"), QStringLiteral("Send"));

    EXPECT_TRUE(ie::waitForTitle(browser.get(), "Thanks", 10000));
    EXPECT_EQ(com::getBrowserLocationUrl(browser.get()), server->url("/submit"));
    EXPECT_EQ(ie::getInnerText(ie::getBody(browser.get()).get()), "received");
}

TEST_F(Engine, LoadHtmlShowsTheTextAtTheBaseAddressAndPostsThere)
{
    open("/titled");
    const std::string base = server->url("/upload/author.submit.php");
    const std::string html =
        "<html><head><title>Upload</title></head><body><p id='label'>Größe – ok</p>"
        "<form method='post' action='post.php?step=2'><input name='cid' id='cid' value='7'>"
        "<input name='category' id='category'><input type='submit' id='send' value='Send'>"
        "</form></body></html>";
    browser->Stop();
    EXPECT_TRUE(vorn::IE::loadHtml(browser.get(), html, base));
    ASSERT_TRUE(ie::waitForTitle(browser.get(), "Upload", 10000));
    EXPECT_EQ(com::getBrowserLocationUrl(browser.get()), base);
    auto label = ie::getElementById(browser.get(), "label");
    EXPECT_EQ(ie::getInnerText(label.get()), "Größe – ok"); // read back from Windows-1252

    auto category = ie::getElementById(browser.get(), "category");
    EXPECT_TRUE(com::setAttribute(category.get(), "value", std::string("Tools & Utilities"), 0));
    const std::size_t before = postCount();
    auto send = ie::waitForElementById(browser.get(), "send", 1000, 100);
    ASSERT_TRUE(send);
    ASSERT_EQ(send->click(), S_OK);
    ASSERT_TRUE(eventually([&] { return postCount() > before; }));
    const Posted post = server->posts().back();
    EXPECT_EQ(post.path, "/upload/post.php");
    EXPECT_EQ(field(post.body, "cid"), QStringLiteral("7"));
    EXPECT_EQ(field(post.body, "category"), QStringLiteral("Tools & Utilities"));
}

TEST_F(Engine, LoadHtmlRefusesTextTooBigForTheEngineAndKeepsThePage)
{
    open("/titled");
    const std::string huge = "<html><body>" + std::string(3 * 1024 * 1024, 'x') + "</body></html>";
    EXPECT_FALSE(vorn::IE::loadHtml(browser.get(), huge, server->url("/big")));
    EXPECT_TRUE(ie::hasDocument(browser.get(), 1000));
    EXPECT_EQ(ie::getTitle(browser.get()), "Welcome to My Account");
    EXPECT_EQ(com::getBrowserLocationUrl(browser.get()), server->url("/titled"));
}

TEST_F(Engine, WaitForTitleIsCaseSensitiveAndEndsAtTheTimeout)
{
    open("/titled");
    EXPECT_TRUE(ie::waitForTitle(browser.get(), "My Account", 5000));
    const DWORD start = GetTickCount();
    EXPECT_FALSE(ie::waitForTitle(browser.get(), "my account", 400));
    EXPECT_GE(static_cast<DWORD>(GetTickCount() - start), 400u);
}

TEST_F(Engine, WaitForElementFindsALateElementAndGivesUpOnAMissingOne)
{
    open("/form");
    auto late = ie::waitForElementById(browser.get(), "late", 10000, 50);
    ASSERT_TRUE(late);
    EXPECT_EQ(ie::getInnerText(late.get()), "late");
    EXPECT_FALSE(ie::waitForElementById(browser.get(), "never", 0, 50));
    EXPECT_TRUE(ie::waitForElementById(browser.get(), "probe", 0, 50));
    EXPECT_EQ(ie::getInnerText(ie::getElementById(browser.get(), "probe").get()), "Hello there");
}

TEST_F(Engine, NamesWithoutElementsGiveEmptyLists)
{
    open("/form");
    EXPECT_TRUE(com::getElementsByName(browser.get(), "nothing").empty());
    EXPECT_FALSE(ie::getElementById(browser.get(), "nothing"));
}

TEST_F(Engine, HelpersAreInvisibleToThePageScripts)
{
    open("/form");
    ASSERT_TRUE(ie::getElementById(browser.get(), "user")); // fills our list of elements
    auto peek = ie::getElementById(browser.get(), "peek");
    ASSERT_EQ(peek->click(), S_OK);
    EXPECT_TRUE(ie::waitForTitle(browser.get(), "peek:undefined", 5000));
}

TEST_F(Engine, NavigatePostSendsBodyAndHeaders)
{
    open("/titled");
    const std::size_t before = postCount();
    const std::string body = "a=1&b=%C3%BC";
    ASSERT_TRUE(ie::navigatePost(browser.get(), server->url("/echo"), 0, "",
                                 {reinterpret_cast<const std::uint8_t*>(body.data()), body.size()},
                                 "Content-Type: application/x-www-form-urlencoded\r\n"));
    ASSERT_TRUE(eventually([&] { return postCount() > before; }));
    const Posted post = server->posts().back();
    EXPECT_EQ(post.path, "/echo");
    EXPECT_EQ(post.body, body);
    EXPECT_EQ(post.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(LiveSafeArrays(), 0);
}

TEST_F(Engine, OldDocumentStopsAnsweringAfterNavigation)
{
    open("/form");
    auto old = ie::getDocument(browser.get(), 5000);
    ASSERT_TRUE(ie::getElementById(old.get(), "user"));
    open("/titled");
    EXPECT_FALSE(ie::getElementById(old.get(), "user"));
    EXPECT_EQ(ie::getTitle(browser.get()), "Welcome to My Account");
}

TEST_F(Engine, WindowClosedByTheUserIsNoLongerABrowserWindow)
{
    EXPECT_TRUE(ie::isBrowserWindow(browser.get()));
    QWidget* window = browser::browserWidget(com::getBrowserHwnd(browser.get()));
    ASSERT_NE(window, nullptr);
    ie::setupBrowser(browser, {{"Width", 640L}, {"Height", 400L}});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(640, 400));
    window->close();
    Process::wait(50);
    EXPECT_FALSE(ie::isBrowserWindow(browser.get()));
    EXPECT_FALSE(ie::hasDocument(browser.get(), 100));
    EXPECT_FALSE(ie::navigate(browser.get(), server->url("/form")));
}

TEST_F(Engine, StatusBarShowsTheLinkUnderThePointerAndTheLoadState)
{
    ie::setupBrowser(browser, {{"Width", 640L}, {"Height", 400L}}); // status bar on
    QWidget* window = browser::browserWidget(com::getBrowserHwnd(browser.get()));
    ASSERT_NE(window, nullptr);
    auto* line = window->findChild<QStatusBar*>();
    auto* view = window->findChild<QWebEngineView*>();
    ASSERT_TRUE(line && view);
    EXPECT_TRUE(line->isVisible());
    EXPECT_GT(line->y(), view->geometry().bottom()); // under the page
    const auto shown = [line] {
        return line->currentMessage().isEmpty() ? line->findChild<QLabel*>()->text()
                                                : line->currentMessage();
    };

    ASSERT_TRUE(ie::navigate(browser.get(), server->url("/slow")));
    EXPECT_TRUE(eventually([&] { return shown().startsWith("Opening " + server->qurl("/slow")); }))
        << shown().toStdString();
    EXPECT_TRUE(eventually([&] { return shown() == "Done"; })) << shown().toStdString();

    open("/links");
    ASSERT_TRUE(eventually([&] { return shown() == "Done"; }));
    QTest::mouseMove(view->focusProxy(), QPoint(100, 60));
    EXPECT_TRUE(eventually([&] { return shown() == server->qurl("/titled"); }))
        << shown().toStdString();
    QTest::mouseMove(view->focusProxy(), QPoint(500, 300));
    EXPECT_TRUE(eventually([&] { return shown() == "Done"; })) << shown().toStdString();

    ASSERT_TRUE(ie::navigate(browser.get(), "http://127.0.0.1:1/nothing"));
    EXPECT_TRUE(eventually([&] {
        return shown().startsWith("Could not open http://127.0.0.1:1/");
    })) << shown().toStdString();

    EXPECT_EQ(browser->put_StatusBar(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(line->isVisible());
}

TEST_F(Engine, SilentBrowserOpensNoDialogOfItsOwn)
{
    ie::setupBrowser(browser, {{"Silent", true}});
    DialogWatch watch;
    ConsoleWatch console;
    ASSERT_TRUE(ie::navigate(browser.get(), server->url("/asking")));
    ASSERT_TRUE(ie::waitForTitle(browser.get(), "alerted", 10000)) << watch.seen();
    EXPECT_EQ(ie::getTitle(browser.get()),
              "alerted confirm:false prompt:null denied geolocation:1");
    EXPECT_FALSE(console.saw("page error one"));

    // A page that asks before it is left lets the browser go on.
    open("/leaving");
    QWidget* window = browser::browserWidget(com::getBrowserHwnd(browser.get()));
    QTest::mouseClick(window->findChild<QWebEngineView*>()->focusProxy(), Qt::LeftButton, {},
                      QPoint(50, 50));
    Process::wait(200);
    open("/titled");
    EXPECT_TRUE(ie::waitForTitle(browser.get(), "Welcome", 10000));
    EXPECT_EQ(watch.seen(), "");

    // Not silent, the engine's own boxes come.
    EXPECT_EQ(browser->put_Silent(VARIANT_FALSE), S_OK);
    ASSERT_TRUE(ie::navigate(browser.get(), server->url("/asking")));
    EXPECT_TRUE(eventually([&] { return watch.seen() == "QMessageBox QMessageBox QInputDialog "; }))
        << watch.seen();
    EXPECT_TRUE(console.saw("page error one"));
}

TEST_F(Engine, DeadAddressStillEndsTheDocumentWait)
{
    ASSERT_TRUE(ie::navigate(browser.get(), "http://127.0.0.1:1/nothing"));
    EXPECT_TRUE(ie::hasDocument(browser.get(), 5000));
    EXPECT_FALSE(ie::getElementById(browser.get(), "user"));
    EXPECT_FALSE(ie::navigate(browser.get(), "")); // no address: refused, no wait started
    EXPECT_TRUE(ie::hasDocument(browser.get(), 100));
}

TEST_F(Engine, QuitEndsTheWindow)
{
    const HWND handle = com::getBrowserHwnd(browser.get());
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_EQ(browser->Quit(), S_OK);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(ie::isBrowserWindow(browser.get()));
}

TEST_F(Engine, WithoutTheServerClassCreationFails)
{
    browser::revokeBrowserServer();
    EXPECT_FALSE(com::createInternetExplorer(CLSCTX_LOCAL_SERVER));
    EXPECT_THROW(ie::setupBrowser(nullptr), dwin::core::IEException);
    browser::registerBrowserServer();
    auto second = com::createInternetExplorer(CLSCTX_LOCAL_SERVER);
    ASSERT_TRUE(second);
    second->Quit();
}

TEST_F(Engine, IEObjectReadsTheBodyOfItsAddress)
{
    ie::IE ie;
    EXPECT_EQ(ie.getBodyText(), std::nullopt); // no address yet
    ie.url = server->url("/titled");
    EXPECT_EQ(ie.getBodyText(), "hi");
    EXPECT_TRUE(ie.setWidth(300));
    EXPECT_TRUE(ie.setVisible(false));
}

} // namespace

TEST_F(Engine, LoadHtmlPostsInTheEncodingThePageDeclares)
{
    // The same stored form with and without a UTF-8 declaration; the bytes posted are checked raw.
    const auto postFrom = [&](const std::string& head) -> std::string {
        open("/titled");
        browser->Stop();
        const std::string html = "<html><head>" + head +
            "<title>Log on</title></head><body><p id='label'>Größe</p>"
            "<form method='post' action='logon.php'><input name='user' id='user'>"
            "<input name='pass' id='pass' type='password'>"
            "<input type='submit' id='send' value='Send'></form></body></html>";
        if (!vorn::IE::loadHtml(browser.get(), html, server->url("/account/logon.php")))
            return "load failed";
        if (!ie::waitForTitle(browser.get(), "Log on", 10000))
            return "no title";
        EXPECT_EQ(ie::getInnerText(ie::getElementById(browser.get(), "label").get()), "Größe");
        auto user = ie::getElementById(browser.get(), "user");
        auto pass = ie::getElementById(browser.get(), "pass");
        if (!user || !pass)
            return "no fields";
        EXPECT_TRUE(com::setAttribute(user.get(), "value", std::string("jürgen"), 0));
        EXPECT_TRUE(com::setAttribute(pass.get(), "value", std::string("zażółć€"), 0));
        const std::size_t before = postCount();
        auto send = ie::getElementById(browser.get(), "send");
        if (!send || send->click() != S_OK)
            return "no click";
        if (!eventually([&] { return postCount() > before; }))
            return "nothing posted";
        const Posted post = server->posts().back();
        EXPECT_EQ(post.path, "/account/logon.php");
        return post.body;
    };
    EXPECT_EQ(postFrom("<meta charset=\"utf-8\">"),
              "user=j%C3%BCrgen&pass=za%C5%BC%C3%B3%C5%82%C4%87%E2%82%AC");
    EXPECT_EQ(postFrom("<META http-equiv='Content-Type' content='text/html; charset=UTF-8'>"),
              "user=j%C3%BCrgen&pass=za%C5%BC%C3%B3%C5%82%C4%87%E2%82%AC");
    // Declaring nothing keeps the Windows-1252 reading: characters outside it become references.
    EXPECT_EQ(postFrom(""), "user=j%FCrgen&pass=za%26%23380%3B%F3%26%23322%3B%26%23263%3B%80");
}
