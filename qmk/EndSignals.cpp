#include "qmk/EndSignals.h"

#include "qmk/Report.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace qmk {

namespace {

constexpr int handled[] = {SIGTERM, SIGINT, SIGHUP};

// Shared with the handler, which may run in any thread.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
std::atomic<int> writeEnd{-1};
std::atomic<bool> received{false};
struct sigaction previous[std::size(handled)];

void onEndSignal(int number)
{
    if (received.exchange(true)) {
        // Still closing after the first one: the default action ends the program now.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(number, &fallback, nullptr);
        raise(number);
        return;
    }
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = write(writeEnd.load(), &byte, 1);
    errno = saved;
}

} // namespace

EndSignals::EndSignals(std::function<void()> end) : end_(std::move(end))
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        report::trace(std::string("end signals not handled: ") + std::strerror(errno));
        return;
    }
    readEnd_ = ends[0];
    writeEnd = ends[1];
    received = false;
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
    unsigned char number = 0;
    while (read(readEnd_, &number, 1) > 0) {}
    notifier_->setEnabled(false); // a second signal ends the program in the handler
    report::trace("signal " + std::to_string(number) + " received: the window closes");
    if (end_)
        end_();
}

} // namespace qmk
