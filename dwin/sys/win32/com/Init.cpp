#include "dwin/sys/win32/com/Init.h"

#include <atomic>
#include <mutex>

#include "winapi/Com.h"

namespace dwin::sys::win32::com::Init {

namespace {

std::atomic<bool> initialized{false};

std::mutex& initLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex& uninitLock()
{
    static std::mutex lock;
    return lock;
}

// Opens COM before main and closes it after main. Anything that uses COM references
// isInitialized(), which keeps this object in the program.
struct ModuleLifetime {
    ModuleLifetime() { initialize(); }
    ~ModuleLifetime() { uninitialize(); }
} lifetime;

} // namespace

void initialize()
{
    std::lock_guard guard(initLock());
    if (initialized)
        return;
    initialized = true;
    winapi::CoInitialize(nullptr); // a failure is not reported; we carry on as initialised
}

void uninitialize()
{
    std::lock_guard guard(uninitLock());
    if (!initialized)
        return;
    initialized = false;
    winapi::CoUninitialize();
}

bool isInitialized()
{
    return initialized;
}

} // namespace dwin::sys::win32::com::Init
