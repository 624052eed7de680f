#pragma once

// Runs one long job at a time off the window's thread: the job gets a stop
// token and a way to report progress; its result comes back on the runner's
// thread, through the event loop, to the function given with it. Progress
// reports are merged so that a job reporting often cannot flood the window.

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <utility>

class JobRunner : public QObject {
    Q_OBJECT

public:
    // What a job reports: a stage of the caller's choosing and a fraction 0..1.
    using Reporter = std::function<void(int stage, double fraction)>;

    explicit JobRunner(QObject* parent = nullptr);
    // Asks a running job to stop and waits for it; its result is dropped.
    ~JobRunner() override;
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Starts `work` unless a job is running (then false). With inline jobs
    // set, work and done run at once, before start returns.
    template <typename Result>
    bool start(std::function<Result(const std::stop_token&, const Reporter&)> work,
               std::function<void(Result)> done);

    [[nodiscard]] bool busy() const { return busy_; }
    // Asks the running job to stop; its done function still runs.
    void cancel();
    // Runs the event loop until no job is running.
    void waitForIdle();
    // Jobs run on the caller's thread (tests that drive the windows step by step).
    void setInlineJobs(bool runInline) { inline_ = runInline; }
    [[nodiscard]] bool inlineJobs() const { return inline_; }

signals:
    void started();
    // On the runner's thread; stages arrive in the order reported, though
    // some reports may be skipped.
    void progressed(int stage, double fraction);
    // After the done function has run.
    void finished();

private:
    void report(int stage, double fraction);
    void deliverProgress();
    void begin();
    void end();

    bool busy_ = false;
    bool inline_ = false;
    std::jthread thread_;
    std::stop_source inlineStop_;

    std::mutex progressMutex_;
    int lastStage_ = -1;
    std::optional<std::pair<int, double>> pendingProgress_;
    std::atomic<bool> progressPosted_{false};
};

template <typename Result>
bool JobRunner::start(std::function<Result(const std::stop_token&, const Reporter&)> work,
                      std::function<void(Result)> done)
{
    if (busy_) {
        return false;
    }
    begin();
    if (inline_) {
        inlineStop_ = std::stop_source();
        const Reporter reporter = [this](int stage, double fraction) { emit progressed(stage, fraction); };
        Result result = work(inlineStop_.get_token(), reporter);
        end();
        done(std::move(result));
        emit finished();
        return true;
    }
    if (thread_.joinable()) {
        thread_.join();  // the previous job has delivered its result already
    }
    thread_ =
        std::jthread([this, work = std::move(work), done = std::move(done)](std::stop_token stop) mutable {
            const Reporter reporter = [this](int stage, double fraction) { report(stage, fraction); };
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
