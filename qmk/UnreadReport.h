#pragma once
// Whether the user can have read the last "... not stored: ..." report. A write waits on the UI
// thread (another program's lock holds it up to the busy timeout), so a close asked meanwhile
// (close box, File > Exit, end signal) is handled by the event loop only after the write has
// failed, before anyone could see why. A report counts as unread from its write until the event
// loop has run again for readTime.
//
// Make it after the QApplication, in the UI thread; it watches that thread's event loop.
#include <QObject>

#include <chrono>
#include <cstddef>
#include <optional>

namespace qmk {

class UnreadReport : public QObject {
public:
    static constexpr std::chrono::milliseconds readTime{1000};

    explicit UnreadReport(QObject* parent = nullptr);

    // True while a write reported as not stored since this object was made can be unread.
    bool pending() const;

private:
    void onLoopAwake();

    std::size_t failures_;
    std::optional<std::chrono::steady_clock::time_point> shown_;
};

} // namespace qmk
