#include "views/jobrunner.h"

#include <QCoreApplication>
#include <QEventLoop>

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

void JobRunner::cancel()
{
    if (!busy_) {
        return;
    }
    if (inline_) {
        inlineStop_.request_stop();
    } else {
        thread_.request_stop();
    }
}

void JobRunner::waitForIdle()
{
    while (busy_) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
}

void JobRunner::report(int stage, double fraction)
{
    {
        const std::lock_guard lock(progressMutex_);
        if (stage != lastStage_) {
            // A new stage is delivered on its own, in order, never merged away.
            lastStage_ = stage;
            pendingProgress_.reset();
            QMetaObject::invokeMethod(
                this, [this, stage, fraction] { emit progressed(stage, fraction); }, Qt::QueuedConnection);
            return;
        }
        pendingProgress_ = std::pair{stage, fraction};
    }
    if (!progressPosted_.exchange(true)) {
        QMetaObject::invokeMethod(
            this, [this] { deliverProgress(); }, Qt::QueuedConnection);
    }
}

void JobRunner::deliverProgress()
{
    progressPosted_ = false;
    std::optional<std::pair<int, double>> latest;
    {
        const std::lock_guard lock(progressMutex_);
        latest.swap(pendingProgress_);
    }
    if (latest) {
        emit progressed(latest->first, latest->second);
    }
}

void JobRunner::begin()
{
    busy_ = true;
    {
        const std::lock_guard lock(progressMutex_);
        lastStage_ = -1;
        pendingProgress_.reset();
    }
    emit started();
}

void JobRunner::end()
{
    busy_ = false;
}
