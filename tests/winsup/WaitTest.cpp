// The message-pumping wait over a test pump (no Qt).
#include "dwin/sys/win32/MessagePump.h"
#include "dwin/sys/win32/Process.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

using namespace dwin::sys::win32;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// A message queue in the manner of a window system: messages are functions; a quit request
// (postQuit, or quit() called from a dispatched message) makes the application quit for good.
class TestPump : public MessagePump {
public:
    void post(std::function<void()> message)
    {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(message));
        }
        arrived_.notify_all();
    }
    void postQuit()
    {
        post([this] { quit(); });
    }
    void quit() { quitting_ = true; }

    bool pump() override
    {
        ++pumps;
        if (quitting_)
            return false;
        for (;;) {
            std::function<void()> message;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty())
                    break;
                message = std::move(queue_.front());
                queue_.pop_front();
            }
            message();
            ++dispatched;
            if (quitting_)
                return false;
        }
        return true;
    }

    bool waitAndPump(milliseconds timeout) override
    {
        ++blockingWaits;
        if (quitting_)
            return false;
        {
            std::unique_lock lock(mutex_);
            arrived_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
        }
        return pump();
    }

    int pumps = 0;
    int blockingWaits = 0;
    int dispatched = 0;

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> queue_;
    bool quitting_ = false;
};

class Wait : public testing::Test {
protected:
    void SetUp() override { installMessagePump(pump); }
    void TearDown() override { installMessagePump(nullptr); }
    std::shared_ptr<TestPump> pump = std::make_shared<TestPump>();
};

TEST_F(Wait, SmallCountsOnlyDispatchWhatIsQueued)
{
    for (std::uint32_t ms = 0; ms <= 3; ++ms) {
        int ran = 0;
        pump->post([&] { ++ran; });
        pump->post([&] { ++ran; });
        EXPECT_TRUE(Process::wait(ms));
        EXPECT_EQ(ran, 2) << "count " << ms;
    }
    EXPECT_EQ(pump->blockingWaits, 0);
    EXPECT_EQ(pump->pumps, 4);
}

TEST_F(Wait, SmallCountWithEmptyQueueReturnsTrue)
{
    EXPECT_TRUE(Process::wait(0));
    EXPECT_EQ(pump->blockingWaits, 0);
}

TEST_F(Wait, TimedWaitLastsAtLeastTheCount)
{
    const auto start = Clock::now();
    EXPECT_TRUE(Process::wait(40));
    EXPECT_GE(Clock::now() - start, milliseconds(40));
    EXPECT_GE(pump->blockingWaits, 1);
}

TEST_F(Wait, MessagesArrivingDuringTheWaitAreDispatchedAndTheWaitGoesOn)
{
    int ran = 0;
    std::thread sender([&] {
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(milliseconds(5));
            pump->post([&] { ++ran; });
        }
    });
    const auto start = Clock::now();
    EXPECT_TRUE(Process::wait(80));
    EXPECT_GE(Clock::now() - start, milliseconds(80));
    sender.join();
    EXPECT_EQ(ran, 3);
    EXPECT_GE(pump->blockingWaits, 2); // woken by messages, then waited again
}

TEST_F(Wait, QuitMessageEndsTheWaitWithFalse)
{
    pump->postQuit();
    EXPECT_FALSE(Process::wait(60000));
}

TEST_F(Wait, QuitRequestedByADispatchedMessage)
{
    std::thread sender([&] {
        std::this_thread::sleep_for(milliseconds(10));
        pump->post([&] { pump->quit(); });
    });
    EXPECT_FALSE(Process::wait(60000));
    sender.join();
}

TEST_F(Wait, OnceQuittingEveryWaitIsFalseAtOnce)
{
    pump->postQuit();
    EXPECT_FALSE(Process::wait(2));
    int ran = 0;
    pump->post([&] { ++ran; });
    EXPECT_FALSE(Process::wait(0));
    EXPECT_FALSE(Process::wait(60000));
    EXPECT_EQ(ran, 0); // nothing is dispatched any more
}

TEST_F(Wait, ReentrantWaitFromADispatchedMessage)
{
    bool inner = false;
    pump->post([&] {
        pump->post([&] { inner = true; });
        EXPECT_TRUE(Process::wait(10));
    });
    EXPECT_TRUE(Process::wait(20));
    EXPECT_TRUE(inner);
}

TEST_F(Wait, PumpRemovedDuringTheWaitStaysAliveUntilTheWaitEnds)
{
    std::weak_ptr<TestPump> weak = pump;
    pump->post([&] { installMessagePump(nullptr); });
    pump.reset();
    EXPECT_TRUE(Process::wait(15));
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(installedMessagePump(), nullptr);
}

// A pump that wakes up early every time: the wait must still last the whole count.
class RestlessPump : public MessagePump {
public:
    bool pump() override { return true; }
    bool waitAndPump(milliseconds) override
    {
        ++wakes;
        std::this_thread::sleep_for(milliseconds(1));
        return true;
    }
    int wakes = 0;
};

TEST(WaitWithoutMessages, EarlyWakesDoNotShortenTheWait)
{
    auto restless = std::make_shared<RestlessPump>();
    installMessagePump(restless);
    const auto start = Clock::now();
    EXPECT_TRUE(Process::wait(30));
    EXPECT_GE(Clock::now() - start, milliseconds(30));
    EXPECT_GT(restless->wakes, 1);
    installMessagePump(nullptr);
}

TEST(WaitWithoutMessages, NoPumpInstalledSleeps)
{
    installMessagePump(nullptr);
    EXPECT_TRUE(Process::wait(0));
    const auto start = Clock::now();
    EXPECT_TRUE(Process::wait(25));
    EXPECT_GE(Clock::now() - start, milliseconds(25));
}

} // namespace
