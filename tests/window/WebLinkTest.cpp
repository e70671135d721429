// Opening a maker's page: the browser is asked, then one page-visit request goes out.
#include "qmk/config/Config.h"
#include "vorn/Texts.h"

#include <httplib.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace qmk::config {
namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(WebLink, OpeningAMakerPageSendsOnePageVisit)
{
    httplib::Server server;
    std::atomic<int> visits{0};
    server.Get(R"(/.*)", [&](const httplib::Request&, httplib::Response& response) {
        ++visits;
        response.set_content("ok", "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    {
        ScopedEnv maker("QMK_MAKER_URL", "http://127.0.0.1:" + std::to_string(port));
        ScopedEnv browser("BROWSER", "true"); // the desktop's browser is not started in a test
        ScopedEnv path("PATH", "/nonexistent"); // nor is xdg-open
        QTemporaryDir dir;
        Config config(dir.path().toStdString(), "qmk.config");
        config.openHomePage("HomeAction");
        EXPECT_EQ(visits.load(), 1);
        server.stop();
        thread.join();
        config.openHelpPage("HelpAction"); // no service: the failure is only logged
    }
}

} // namespace
} // namespace qmk::config
