#include "qmk/UnreadReport.h"

#include "qmk/Report.h"

#include <QAbstractEventDispatcher>

namespace qmk {

UnreadReport::UnreadReport(QObject* parent) : QObject(parent), failures_(report::notStoredCount())
{
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance())
        connect(loop, &QAbstractEventDispatcher::awake, this, &UnreadReport::onLoopAwake);
}

bool UnreadReport::pending() const
{
    return report::notStoredCount() != failures_ ||
        (shown_ && std::chrono::steady_clock::now() - *shown_ < readTime);
}

void UnreadReport::onLoopAwake()
{
    // The loop runs again after the writes that failed: their report is on the screen now.
    const std::size_t failures = report::notStoredCount();
    if (failures == failures_)
        return;
    failures_ = failures;
    shown_ = std::chrono::steady_clock::now();
}

} // namespace qmk
