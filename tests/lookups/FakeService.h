#pragma once
// A fake outside service on 127.0.0.1, started inside the test process, plus a message pump that
// counts the waits of the code under test.

#include "dwin/sys/win32/MessagePump.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace lookups_test {

struct SeenRequest {
    std::string path;
    std::string target; // path and query as sent
    std::multimap<std::string, std::string> params; // query, or a POST's url-encoded body
    std::string method;
    std::string contentType;
    std::multimap<std::string, std::string> parts; // a multipart POST's fields: name to content
};

// Answers every GET and POST with `handler` and records what it received. While it lives, the
// environment variable `variable` points at it.
class FakeService {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    FakeService(std::string variable, Handler handler)
        : variable_(std::move(variable)), handler_(std::move(handler))
    {
        const auto serve = [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard lock(mutex_);
                SeenRequest seen{req.path,
                                 req.target,
                                 {req.params.begin(), req.params.end()},
                                 req.method,
                                 req.get_header_value("Content-Type"),
                                 {}};
                for (const auto& [name, part] : req.files)
                    seen.parts.emplace(name, part.content);
                seen_.push_back(std::move(seen));
            }
            handler_(req, res);
        };
        server_.Get(".*", serve);
        server_.Post(".*", serve);
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0)
            throw std::runtime_error("cannot bind a loopback port");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() only ends a server that is already running.
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ::setenv(variable_.c_str(), baseUrl().c_str(), 1);
        // Loopback requests never go through a proxy that the environment may name.
        ::setenv("no_proxy", "127.0.0.1,localhost", 1);
        ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    }

    ~FakeService()
    {
        ::unsetenv(variable_.c_str());
        server_.stop();
        thread_.join();
    }

    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

    std::vector<SeenRequest> requests() const
    {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::size_t requestCount() const
    {
        std::lock_guard lock(mutex_);
        return seen_.size();
    }

private:
    std::string variable_;
    Handler handler_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<SeenRequest> seen_;
};

// The value of the first parameter `key` of a request, "<absent>" when there is none.
inline std::string param(const SeenRequest& r, const std::string& key)
{
    const auto it = r.params.find(key);
    return it == r.params.end() ? "<absent>" : it->second;
}

// A pump that has no messages: it sleeps through each wait and notes, per wait, how many
// requests `service` had received by then.
class CountingPump final : public dwin::sys::win32::MessagePump {
public:
    explicit CountingPump(const FakeService* service = nullptr) : service_(service) {}

    bool pump() override { return true; }
    bool waitAndPump(std::chrono::milliseconds timeout) override
    {
        {
            std::lock_guard lock(mutex_);
            requestsAtWait_.push_back(service_ ? service_->requestCount() : 0);
        }
        std::this_thread::sleep_for(timeout);
        return true;
    }

    std::vector<std::size_t> requestsAtWait() const
    {
        std::lock_guard lock(mutex_);
        return requestsAtWait_;
    }

private:
    const FakeService* service_;
    mutable std::mutex mutex_;
    std::vector<std::size_t> requestsAtWait_;
};

// Installs a CountingPump for the life of the object.
class ScopedPump {
public:
    explicit ScopedPump(const FakeService* service = nullptr)
        : pump_(std::make_shared<CountingPump>(service))
    {
        dwin::sys::win32::installMessagePump(pump_);
    }
    ~ScopedPump() { dwin::sys::win32::installMessagePump(nullptr); }
    ScopedPump(const ScopedPump&) = delete;
    ScopedPump& operator=(const ScopedPump&) = delete;

    std::vector<std::size_t> requestsAtWait() const { return pump_->requestsAtWait(); }

private:
    std::shared_ptr<CountingPump> pump_;
};

// A port on 127.0.0.1 with nothing listening (bound, then closed): connections are refused.
inline std::string deadBaseUrl()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
}

} // namespace lookups_test
