#pragma once
// Waiting while the user interface stays alive.

#include <cstdint>

namespace dwin::sys::win32::Process {

// Waits `ms` milliseconds while dispatching window messages through the installed pump
// (MessagePump.h). A count of 3 or less only dispatches what is queued, without blocking.
// True when the time has passed (or the queue was dispatched); false, at once, when the
// application is quitting. Handlers dispatched here may run other commands (re-entrance).
bool wait(std::uint32_t ms);

} // namespace dwin::sys::win32::Process
