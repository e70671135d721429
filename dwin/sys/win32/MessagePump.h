#pragma once
// The event loop that Process::wait drives. The program installs Qt's (QtMessagePump.h);
// tests install their own. Without an installed pump, wait() simply sleeps.

#include <chrono>
#include <memory>

namespace dwin::sys::win32 {

class MessagePump {
public:
    virtual ~MessagePump() = default;

    // Dispatches the messages already queued, without blocking. False when the application
    // is quitting (already, or because of something dispatched); the state then stays set.
    virtual bool pump() = 0;

    // Blocks until a message arrives or `timeout` has passed, dispatching what arrives (it may
    // keep dispatching until the time-out). False at once, without blocking, when the
    // application is already quitting, and false when it starts quitting meanwhile.
    virtual bool waitAndPump(std::chrono::milliseconds timeout) = 0;
};

// Installs the pump that wait() uses (null removes it). Shared: the caller may keep a reference.
void installMessagePump(std::shared_ptr<MessagePump> pump);

// The installed pump, or null.
std::shared_ptr<MessagePump> installedMessagePump();

} // namespace dwin::sys::win32
