#include "dwin/sys/win32/Process.h"

#include "dwin/sys/win32/MessagePump.h"

#include <mutex>
#include <thread>

namespace dwin::sys::win32 {
namespace {

std::mutex pumpMutex;
std::shared_ptr<MessagePump> currentPump;

// Used while no pump is installed: there are no messages and the application never quits.
class SleepingPump final : public MessagePump {
public:
    bool pump() override { return true; }
    bool waitAndPump(std::chrono::milliseconds timeout) override
    {
        std::this_thread::sleep_for(timeout);
        return true;
    }
};

std::shared_ptr<MessagePump> pumpInUse()
{
    if (auto pump = installedMessagePump())
        return pump;
    static const auto sleeping = std::make_shared<SleepingPump>();
    return sleeping;
}

} // namespace

void installMessagePump(std::shared_ptr<MessagePump> pump)
{
    std::lock_guard lock(pumpMutex);
    currentPump = std::move(pump);
}

std::shared_ptr<MessagePump> installedMessagePump()
{
    std::lock_guard lock(pumpMutex);
    return currentPump;
}

namespace Process {

bool wait(std::uint32_t ms)
{
    using Clock = std::chrono::steady_clock;
    // Held for the whole call, so a pump replaced meanwhile stays alive until we return.
    const std::shared_ptr<MessagePump> pump = pumpInUse();
    if (ms <= 3)
        return pump->pump();

    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return true;
        if (!pump->waitAndPump(left))
            return false;
    }
}

} // namespace Process
} // namespace dwin::sys::win32
