// HTTP GET and the connectivity check against loopback servers in this process.
#include "dwin/net/Http.h"
#include "dwin/net/Net.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace Http = dwin::net::Http;
using dwin::net::HttpException;

namespace {

constexpr std::size_t cap = Http::maxBodyBytes;

// Loopback requests never go through a proxy that the environment may name.
class NoProxy : public testing::Environment {
public:
    void SetUp() override { setenv("no_proxy", "127.0.0.1,localhost", 1); }
};
const auto* const noProxy = testing::AddGlobalTestEnvironment(new NoProxy);

// A cpp-httplib server on 127.0.0.1 with the replies the tests need.
class FakeSite {
public:
    FakeSite()
    {
        server_.Get("/", [this](const httplib::Request& req, httplib::Response& res) {
            lastMethod_ = req.method;
            res.set_content(homeBody_, "text/html");
            res.status = homeStatus_;
        });
        server_.Get("/ok", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("hello \xC3\xA4", "text/plain");
        });
        server_.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("", "text/plain");
        });
        server_.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("not here", "text/plain");
        });
        server_.Get("/redirect", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/ok");
        });
        server_.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(mutex_);
            released_.wait_for(lock, std::chrono::seconds(20), [this] { return release_; });
            res.set_content("late", "text/plain");
        });
        server_.Get("/exact", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(cap, 'x'), "application/octet-stream");
        });
        server_.Get("/over", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(cap + 1, 'x'), "application/octet-stream");
        });
        server_.Get("/endless", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/octet-stream",
                                             [this](std::size_t, httplib::DataSink& sink) {
                                                 static const std::string block(64 * 1024, 'y');
                                                 if (stopped_)
                                                     return false;
                                                 return sink.write(block.data(), block.size());
                                             });
        });
        server_.Get("/missing-endless", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content(std::string(cap + 1000, 'z'), "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FakeSite()
    {
        {
            std::lock_guard lock(mutex_);
            release_ = true;
        }
        released_.notify_all();
        stopped_ = true;
        server_.stop();
        thread_.join();
    }
    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::string base() const { return url(""); }
    void home(int status, std::string body = "home")
    {
        homeStatus_ = status;
        homeBody_ = std::move(body);
    }
    std::string lastMethod() const { return lastMethod_; }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
    std::atomic<bool> stopped_{false};
    int homeStatus_ = 200;
    std::string homeBody_ = "home";
    std::string lastMethod_;
};

// A bare TCP server: it never accepts (the connection waits in the backlog, unanswered), or
// accepts and sends fixed bytes, keeping the connection open until it is destroyed.
class RawServer {
public:
    explicit RawServer(std::optional<std::string> reply) : reply_(std::move(reply))
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(fd_, 8);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        if (reply_)
            thread_ = std::thread([this] { serve(); });
    }
    ~RawServer()
    {
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        if (thread_.joinable())
            thread_.join();
        for (int client : clients_)
            ::close(client);
    }
    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::string base() const { return url(""); }

private:
    void serve()
    {
        for (;;) {
            const int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0)
                return;
            char request[4096];
            (void)::recv(client, request, sizeof request, 0);
            (void)::send(client, reply_->data(), reply_->size(), MSG_NOSIGNAL);
            clients_.push_back(client);
        }
    }
    std::optional<std::string> reply_;
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::vector<int> clients_;
};

// A port on which nothing listens.
int closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

class HttpGet : public testing::Test {
protected:
    FakeSite site;
};

TEST_F(HttpGet, BodyOfStatus200)
{
    EXPECT_EQ(Http::get(site.url("/ok")), "hello \xC3\xA4");
    EXPECT_EQ(Http::get(site.url("/empty")), "");
}

TEST_F(HttpGet, TinyReadBufferStillReadsEverything)
{
    EXPECT_EQ(Http::get(site.url("/ok"), 1, 5), "hello \xC3\xA4");
}

TEST_F(HttpGet, OtherStatusGivesEmptyText)
{
    EXPECT_EQ(Http::get(site.url("/missing")), "");
    EXPECT_EQ(Http::get(site.url("/no-such-route")), "");
}

TEST_F(HttpGet, RedirectIsNotFollowed)
{
    EXPECT_EQ(Http::get(site.url("/redirect")), "");
    EXPECT_EQ(Http::status(site.url("/redirect"), 5), 302);
}

TEST_F(HttpGet, ServerThatNeverAnswersTimesOut)
{
    try {
        Http::get(site.url("/slow"), 16 * 1024, 1);
        FAIL() << "no exception";
    } catch (const HttpException& e) {
        EXPECT_EQ(e.curlCode(), 28); // operation timed out
        EXPECT_EQ(e.httpStatus(), 0);
    }
}

TEST_F(HttpGet, BodyOfExactlyTheCapIsRead)
{
    EXPECT_EQ(Http::get(site.url("/exact")).size(), cap);
}

TEST_F(HttpGet, BodyOverTheCapFailsClearly)
{
    try {
        Http::get(site.url("/over"));
        FAIL() << "no exception";
    } catch (const HttpException& e) {
        EXPECT_NE(std::string(e.what()).find("larger than 16777216 bytes"), std::string::npos)
            << e.what();
        EXPECT_EQ(e.httpStatus(), 200);
    }
}

TEST_F(HttpGet, EndlessBodyWithoutLengthFailsClearly)
{
    try {
        Http::get(site.url("/endless"));
        FAIL() << "no exception";
    } catch (const HttpException& e) {
        EXPECT_NE(std::string(e.what()).find("larger than"), std::string::npos) << e.what();
    }
}

TEST_F(HttpGet, HugeBodyOfAnotherStatusIsNotRead)
{
    EXPECT_EQ(Http::get(site.url("/missing-endless")), "");
}

TEST(HttpFailures, RefusedPort)
{
    try {
        Http::get("http://127.0.0.1:" + std::to_string(closedPort()) + "/", 16 * 1024, 5);
        FAIL() << "no exception";
    } catch (const HttpException& e) {
        EXPECT_EQ(e.curlCode(), 7); // could not connect
    }
}

TEST(HttpFailures, UnansweredConnectionTimesOut)
{
    RawServer silent(std::nullopt);
    EXPECT_THROW(Http::get(silent.url("/"), 16 * 1024, 1), HttpException);
}

TEST(HttpFailures, MalformedReply)
{
    RawServer garbage(std::string("this is not HTTP at all\r\n\r\n"));
    EXPECT_THROW(Http::get(garbage.url("/"), 16 * 1024, 2), HttpException);
}

TEST(HttpFailures, TruncatedBody)
{
    RawServer shortBody(std::string("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc"));
    EXPECT_THROW(Http::get(shortBody.url("/"), 16 * 1024, 1), HttpException);
}

TEST(HttpFailures, OnlyHttpSchemesAreFetched)
{
    EXPECT_THROW(Http::get("file:///etc/hostname"), HttpException);
    EXPECT_THROW(Http::get("not a url"), HttpException);
}

TEST(HttpStatus, ReadsOnlyTheHeaders)
{
    // The body is announced but never sent: the status still comes back at once.
    RawServer headersOnly(std::string("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n"));
    EXPECT_EQ(Http::status(headersOnly.url("/"), 30), 200);
    EXPECT_THROW(Http::get(headersOnly.url("/"), 16 * 1024, 1), HttpException);
}

TEST(HttpStatus, InterimReplyIsSkipped)
{
    RawServer interim(std::string("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 404 Not Found\r\n"
                                  "Content-Length: 0\r\n\r\n"));
    EXPECT_EQ(Http::status(interim.url("/"), 5), 404);
}

// Points the search engine at a test server for one scope.
class SearchAt {
public:
    explicit SearchAt(const std::string& base) { setenv("QMK_SEARCH_URL", base.c_str(), 1); }
    ~SearchAt() { unsetenv("QMK_SEARCH_URL"); }
};

TEST(IsOnline, HomePageWith200)
{
    FakeSite site;
    SearchAt search(site.base());
    EXPECT_TRUE(dwin::net::Net::isOnline(5));
    EXPECT_EQ(site.lastMethod(), "GET");
}

TEST(IsOnline, OtherStatusIsFalse)
{
    FakeSite site;
    SearchAt search(site.base());
    site.home(404);
    EXPECT_FALSE(dwin::net::Net::isOnline(5));
    site.home(301);
    EXPECT_FALSE(dwin::net::Net::isOnline(5));
    site.home(500);
    EXPECT_FALSE(dwin::net::Net::isOnline(5));
}

TEST(IsOnline, HugeHomePageIsNotRead)
{
    FakeSite site;
    SearchAt search(site.base());
    site.home(200, std::string(cap + 1, 'h'));
    EXPECT_TRUE(dwin::net::Net::isOnline(5));
}

TEST(IsOnline, RefusedIsFalse)
{
    SearchAt search("http://127.0.0.1:" + std::to_string(closedPort()));
    EXPECT_FALSE(dwin::net::Net::isOnline(5));
}

TEST(IsOnline, NoAnswerWithinTheTimeoutIsFalse)
{
    RawServer silent(std::nullopt);
    SearchAt search(silent.base());
    EXPECT_FALSE(dwin::net::Net::isOnline(1));
}

TEST(IsOnline, MalformedReplyIsFalse)
{
    RawServer garbage(std::string("SMTP ready\r\n"));
    SearchAt search(garbage.base());
    EXPECT_FALSE(dwin::net::Net::isOnline(2));
}

} // namespace
