#pragma once
// The end of a session by signal: SIGTERM, SIGINT and SIGHUP call the given function in the
// event loop (the program closes its main window there, as the close box does); a second one
// while that runs ends the program at once, by the signal's default action. The handlers only
// write a byte to a pipe, which a socket notifier reads in the UI thread.
//
// One object at a time per process: it installs the handlers and restores the earlier ones when
// it goes; without a pipe (a console line says why) the signals keep their actions. UI thread
// only.
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace qmk {

class EndSignals : public QObject {
public:
    explicit EndSignals(std::function<void()> end);
    ~EndSignals() override;

private:
    void onSignal();

    std::function<void()> end_;
    int readEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qmk
