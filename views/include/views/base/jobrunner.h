#pragma once

// Runs one long job at a time off the window's thread: the job gets a stop
// token and a reporter for its progress; its result comes back on the
// runner's thread, through the event loop, to the function given with it.
// Progress is of a type of the caller's choosing and reaches the runner's
// thread in the order reported; reports within one step are merged, so that
// a job reporting often cannot flood the window.

#include <QObject>
#include <QPointer>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <type_traits>
#include <utility>

class JobRunner : public QObject {
    Q_OBJECT

public:
    // What a job is given to report its progress with, from any thread.
    template <typename Progress>
    class Reporter {
    public:
        using Shown = std::function<void(const Progress&)>;
        Reporter(JobRunner& runner, std::shared_ptr<const Shown> shown, bool showAtOnce)
            : runner_(&runner), shown_(std::move(shown)), showAtOnce_(showAtOnce)
        {
        }
        // May be merged into the next report of the same step: only the
        // last of them is shown.
        void operator()(const Progress& progress) const { post(progress, false); }
        // The first report of a new step: shown, never merged away.
        void newStep(const Progress& progress) const { post(progress, true); }

    private:
        void post(const Progress& progress, bool stepStart) const
        {
            if (!*shown_) {
                return;
            }
            if (showAtOnce_ && runner_->onItsThread()) {
                runner_->deliverProgress();  // what helper threads reported before, first
                (*shown_)(progress);         // an inline job, on the runner's thread
            } else {
                // Another thread's: a job's own or a helper thread of an inline one.
                runner_->report(stepStart, [shown = shown_, progress] { (*shown)(progress); });
            }
        }

        JobRunner* runner_;
        std::shared_ptr<const Shown> shown_;
        bool showAtOnce_;
    };

    explicit JobRunner(QObject* parent = nullptr);
    // Asks a running job to stop and waits for it; its result is dropped.
    ~JobRunner() override;
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Starts `work` unless a job is running (then false); `shown` gets its
    // progress on this thread. With inline jobs set, work and done run at
    // once, before start returns, and progress is shown as reported.
    template <typename Result, typename Progress = double>
    bool start(
        std::type_identity_t<std::function<Result(const std::stop_token&, const Reporter<Progress>&)>> work,
        std::type_identity_t<std::function<void(Result)>> done,
        std::type_identity_t<std::function<void(const Progress&)>> shown = {});

    [[nodiscard]] bool busy() const { return busy_; }
    // Asks the running job to stop; its done function still runs.
    void cancel();
    // Runs the event loop until no job is running or `milliseconds` have
    // passed (kNoTimeLimit: as long as it takes); whether the job has ended.
    static constexpr int kNoTimeLimit = -1;
    bool waitForIdle(int milliseconds);
    // Jobs run on the caller's thread (tests that drive the windows step by
    // step). Only the runner reads this switch: a job runs the same either
    // way, and progress that a job's helper threads report is shown on the
    // runner's thread.
    void setInlineJobs(bool runInline) { inline_ = runInline; }
    // Runs its jobs inline whenever `lead` does, until setInlineJobs is called.
    void follow(const JobRunner& lead) { lead_ = &lead; }

signals:
    void started();
    // After the done function has run.
    void finished();

private:
    [[nodiscard]] bool runsInline() const;
    [[nodiscard]] bool onItsThread() const;

    struct Delivery {
        std::function<void()> show;
        bool stepStart = false;
    };
    void report(bool stepStart, std::function<void()> show);
    void deliverProgress();
    void begin();
    void end();

    bool busy_ = false;
    std::optional<bool> inline_;
    QPointer<const JobRunner> lead_;
    std::jthread thread_;
    std::stop_source inlineStop_;

    std::mutex progressMutex_;
    std::deque<Delivery> pendingProgress_;
    std::atomic<bool> progressPosted_{false};
};

template <typename Result, typename Progress>
bool JobRunner::start(
    std::type_identity_t<std::function<Result(const std::stop_token&, const Reporter<Progress>&)>> work,
    std::type_identity_t<std::function<void(Result)>> done,
    std::type_identity_t<std::function<void(const Progress&)>> shown)
{
    if (busy_) {
        return false;
    }
    begin();
    const Reporter<Progress> reporter(
        *this, std::make_shared<const std::function<void(const Progress&)>>(std::move(shown)), runsInline());
    if (runsInline()) {
        inlineStop_ = std::stop_source();
        Result result = work(inlineStop_.get_token(), reporter);
        deliverProgress();
        end();
        done(std::move(result));
        emit finished();
        return true;
    }
    if (thread_.joinable()) {
        thread_.join();  // the previous job has delivered its result already
    }
    thread_ = std::jthread(
        [this, work = std::move(work), done = std::move(done), reporter](std::stop_token stop) mutable {
            auto result = std::make_shared<Result>(work(stop, reporter));
            QMetaObject::invokeMethod(
                this,
                [this, result, done = std::move(done)] {
                    deliverProgress();
                    end();
                    done(std::move(*result));
                    emit finished();
                },
                Qt::QueuedConnection);
        });
    return true;
}
