#include "views/base/jobrunner.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

JobRunner::JobRunner(QObject* parent) : QObject(parent)
{
}

JobRunner::~JobRunner()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

bool JobRunner::runsInline() const
{
    if (inline_) {
        return *inline_;
    }
    return lead_ != nullptr && lead_->runsInline();
}

bool JobRunner::onItsThread() const
{
    return QThread::currentThread() == thread();
}

void JobRunner::cancel()
{
    if (!busy_) {
        return;
    }
    if (runsInline()) {
        inlineStop_.request_stop();
    } else {
        thread_.request_stop();
    }
}

bool JobRunner::waitForIdle(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                                   : QDeadlineTimer(milliseconds));
    while (busy_ && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return !busy_;
}

void JobRunner::report(bool stepStart, std::function<void()> show)
{
    {
        const std::lock_guard lock(progressMutex_);
        // A report within a step replaces the one before it, unless that
        // one began its step: every step is shown, in order.
        if (!stepStart && !pendingProgress_.empty() && !pendingProgress_.back().stepStart) {
            pendingProgress_.back().show = std::move(show);
        } else {
            pendingProgress_.push_back({std::move(show), stepStart});
        }
    }
    if (!progressPosted_.exchange(true)) {
        QMetaObject::invokeMethod(
            this, [this] { deliverProgress(); }, Qt::QueuedConnection);
    }
}

void JobRunner::deliverProgress()
{
    progressPosted_ = false;
    std::deque<Delivery> due;
    {
        const std::lock_guard lock(progressMutex_);
        due.swap(pendingProgress_);
    }
    for (const Delivery& delivery : due) {
        delivery.show();
    }
}

void JobRunner::begin()
{
    busy_ = true;
    {
        const std::lock_guard lock(progressMutex_);
        pendingProgress_.clear();
    }
    emit started();
}

void JobRunner::end()
{
    busy_ = false;
}
