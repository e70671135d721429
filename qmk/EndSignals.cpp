#include "qmk/EndSignals.h"

#include "qmk/Report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace qmk {

namespace {

constexpr int handled[] = {SIGTERM, SIGINT, SIGHUP};

// Shared with the handler, which may run in any thread.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
              std::atomic<long long>::is_always_lock_free);
constexpr long long notRun = -1;
constexpr long long oneRequestMs = 1000; // the signals of one session's end come within it
std::atomic<int> writeEnd{-1};
std::atomic<long long> runSince{notRun}; // when the end function started, in monotonic ms
std::atomic<bool> leftOpen{false};
struct sigaction previous[std::size(handled)];

// Safe in a signal handler.
long long monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void endNow(int number)
{
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(number, &fallback, nullptr);
    raise(number);
}

void onEndSignal(int number)
{
    const long long since = runSince.load();
    if (since == notRun) {
        const int saved = errno;
        const unsigned char byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const ssize_t written = write(writeEnd.load(), &byte, 1);
        errno = saved;
        return;
    }
    if (leftOpen.load() || monotonicMs() - since >= oneRequestMs)
        endNow(number);
}

} // namespace

EndSignals::EndSignals(std::function<bool()> end) : end_(std::move(end))
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        report::trace(std::string("end signals not handled: ") + std::strerror(errno));
        return;
    }
    readEnd_ = ends[0];
    writeEnd = ends[1];
    runSince = notRun;
    leftOpen = false;
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndSignals::onSignal);
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t k = 0; k < std::size(handled); ++k)
        sigaction(handled[k], &action, &previous[k]);
}

EndSignals::~EndSignals()
{
    if (readEnd_ < 0)
        return;
    for (std::size_t k = 0; k < std::size(handled); ++k)
        sigaction(handled[k], &previous[k], nullptr);
    delete notifier_;
    close(writeEnd.exchange(-1));
    close(readEnd_);
}

void EndSignals::onSignal()
{
    runSince = monotonicMs();
    unsigned char number = 0;
    while (read(readEnd_, &number, 1) > 0) {}
    notifier_->setEnabled(false); // the signals from now on are judged in the handler
    report::trace("signal " + std::to_string(number) + " received: the window closes");
    if (end_ && !end_()) {
        leftOpen = true;
        report::trace("the window stays open: the next end signal ends the program at once");
        qApp->installEventFilter(this);
    }
}

bool EndSignals::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (leftOpen.load() && event->spontaneous() &&
        (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)) {
        qApp->removeEventFilter(this);
        // the pipe is read again before the handler writes to it
        notifier_->setEnabled(true);
        runSince = notRun;
        leftOpen = false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qmk
