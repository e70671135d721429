#include "dwin/sys/win32/QtMessagePump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace dwin::sys::win32 {

struct QtMessagePump::State {
    bool quitting = false;
    QMetaObject::Connection aboutToQuit;
};

QtMessagePump::QtMessagePump() : state_(std::make_shared<State>())
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        state_->quitting = true;
        return;
    }
    std::weak_ptr<State> weak = state_;
    state_->aboutToQuit = QObject::connect(app, &QCoreApplication::aboutToQuit, app, [weak] {
        if (auto state = weak.lock())
            state->quitting = true;
    });
}

QtMessagePump::~QtMessagePump()
{
    QObject::disconnect(state_->aboutToQuit);
}

bool QtMessagePump::quitting() const noexcept
{
    return state_->quitting || QCoreApplication::instance() == nullptr ||
        QCoreApplication::closingDown();
}

bool QtMessagePump::pump()
{
    // A zero time-out fires once the queued events have been dispatched.
    return runLoop(0);
}

bool QtMessagePump::waitAndPump(std::chrono::milliseconds timeout)
{
    const auto ms = std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, INT_MAX);
    return runLoop(static_cast<int>(ms));
}

// Runs a nested event loop until the timer fires. The loop can also end because the
// application exits (QCoreApplication::exit ends every running loop, and a loop started after
// it returns at once), or is about to quit: then the timer has not fired, and we are quitting.
bool QtMessagePump::runLoop(int timeoutMs)
{
    if (quitting()) {
        state_->quitting = true;
        return false;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    bool fired = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&fired, &loop] {
        fired = true;
        loop.quit();
    });
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &loop,
                     &QEventLoop::quit);
    timer.start(timeoutMs);
    loop.exec();
    timer.stop();
    if (!fired || quitting())
        state_->quitting = true;
    return !state_->quitting;
}

void installQtMessagePump()
{
    installMessagePump(std::make_shared<QtMessagePump>());
}

} // namespace dwin::sys::win32
