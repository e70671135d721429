#pragma once
// The program's message pump: Qt's event loop (QEventLoop and QTimer of Qt Core). The
// application counts as quitting once it is about to quit or QCoreApplication::exit (or quit)
// has been called; that state stays set.

#include "dwin/sys/win32/MessagePump.h"

namespace dwin::sys::win32 {

class QtMessagePump : public MessagePump {
public:
    // Call on the thread of the Q(Core|Gui)Application; without one the pump counts as quitting.
    QtMessagePump();
    ~QtMessagePump() override;
    QtMessagePump(const QtMessagePump&) = delete;
    QtMessagePump& operator=(const QtMessagePump&) = delete;

    bool pump() override;
    bool waitAndPump(std::chrono::milliseconds timeout) override;
    bool quitting() const noexcept;

private:
    struct State;
    std::shared_ptr<State> state_;
    bool runLoop(int timeoutMs);
};

// Creates a QtMessagePump and installs it for Process::wait. Call after creating the
// Q(Core|Gui)Application.
void installQtMessagePump();

} // namespace dwin::sys::win32
