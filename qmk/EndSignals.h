#pragma once
// The end of a session by signal: SIGTERM, SIGINT and SIGHUP call the given function in the
// event loop (the program closes its main window there, as the close box does). A session's end
// sends several at once, and they are one request: every signal until that function has run is
// folded into it, and so is one while it runs, for a second. A signal after the function has left
// the window open (it returned false), or after a second of a run that has not ended, ends the
// program at once by the signal's default action; once the user presses a key or a mouse button
// in the program after such a refusal, a signal is a new request again. The handlers only write
// a byte to a pipe, which a socket notifier reads in the UI thread.
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
    // end returns true when the program is ending, false when its window stayed open.
    explicit EndSignals(std::function<bool()> end);
    ~EndSignals() override;

protected:
    // After a refusal: the user's next press makes signals requests again.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onSignal();

    std::function<bool()> end_;
    int readEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qmk
