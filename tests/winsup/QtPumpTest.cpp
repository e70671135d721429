// The Qt event-loop pump behind Process::wait. The QtQuit tests end the application's event
// loop for good, so each runs in a process of its own (see CMakeLists.txt).
#include "dwin/sys/win32/Process.h"
#include "dwin/sys/win32/QtMessagePump.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

using namespace dwin::sys::win32;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

TEST(QtPump, IsInstalled)
{
    EXPECT_NE(std::dynamic_pointer_cast<QtMessagePump>(installedMessagePump()), nullptr);
}

TEST(QtPump, SmallCountDispatchesPostedEvents)
{
    int ran = 0;
    QMetaObject::invokeMethod(
        qApp, [&ran] { ++ran; }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        qApp, [&ran] { ++ran; }, Qt::QueuedConnection);
    EXPECT_TRUE(Process::wait(0));
    EXPECT_EQ(ran, 2);
}

TEST(QtPump, SmallCountDoesNotWaitForTimers)
{
    bool fired = false;
    QTimer::singleShot(10000, qApp, [&fired] { fired = true; });
    const auto start = Clock::now();
    for (std::uint32_t ms = 0; ms <= 3; ++ms)
        EXPECT_TRUE(Process::wait(ms));
    EXPECT_LT(Clock::now() - start, milliseconds(5000));
    EXPECT_FALSE(fired);
}

TEST(QtPump, TimedWaitRunsTimersAndLastsAtLeastTheCount)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(5);
    const auto start = Clock::now();
    EXPECT_TRUE(Process::wait(60));
    EXPECT_GE(Clock::now() - start, milliseconds(60));
    EXPECT_GE(ticks, 2);
}

TEST(QtPump, NestedWaitsBothComplete)
{
    bool innerDone = false;
    QTimer::singleShot(5, qApp, [&innerDone] { innerDone = Process::wait(50); });
    const auto start = Clock::now();
    EXPECT_TRUE(Process::wait(20));
    EXPECT_TRUE(innerDone);
    EXPECT_GE(Clock::now() - start, milliseconds(20));
}

TEST(QtQuit, ExitDuringWait)
{
    QTimer::singleShot(20, qApp, [] { QCoreApplication::exit(0); });
    EXPECT_FALSE(Process::wait(60000));
    // Quitting stays set: no more dispatching, no more waiting.
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    EXPECT_FALSE(Process::wait(0));
    EXPECT_FALSE(Process::wait(60000));
    EXPECT_FALSE(ran);
}

TEST(QtQuit, QuitDuringWait)
{
    QTimer::singleShot(20, qApp, [] { QCoreApplication::quit(); });
    EXPECT_FALSE(Process::wait(60000));
    EXPECT_FALSE(Process::wait(60000));
}

TEST(QtQuit, ExitBeforeWait)
{
    QCoreApplication::exit(0);
    EXPECT_FALSE(Process::wait(0));
    EXPECT_FALSE(Process::wait(60000));
}

TEST(QtQuit, ExitDuringNestedWait)
{
    bool inner = true;
    QTimer::singleShot(5, qApp, [&inner] {
        QTimer::singleShot(10, qApp, [] { QCoreApplication::exit(3); });
        inner = Process::wait(60000);
    });
    EXPECT_FALSE(Process::wait(60000));
    EXPECT_FALSE(inner);
}

} // namespace
