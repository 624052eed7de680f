#pragma once

// The main window's line of work: the status line at the top of the right
// pane and, while a job runs, a progress bar and a Cancel button beside it
// (Esc cancels too). The line is 185 pixels wide unless its message needs
// more: then it widens, up to the pane's width. It owns the window's job runner, so that one job runs
// at a time: a session job tells each search in the status line ("Getting
// \"direct repeats\"...") and how far the whole job is on the bar; other work
// tells the fraction it has done.

#include "session/session.h"
#include "views/base/jobrunner.h"

#include <QObject>
#include <QString>

#include <functional>
#include <stop_token>
#include <utility>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QEvent;
class QWidget;

class JobStatus : public QObject {
    Q_OBJECT

public:
    // Control ids of the status line, the progress bar and the Cancel button.
    enum Control : int { IdStatusLine = 1002, IdProgressBar = 1006, IdCancel = 2 };

    // The status line, bar and button are made at the top left of `pane`; Esc
    // is taken in `window`, which owns this.
    JobStatus(QWidget* pane, QWidget* window);

    // Puts the text into the status line and repaints it at once.
    void show(const QString& text);
    void clear() { show(QString()); }
    [[nodiscard]] QString text() const;

    // Runs a session job; `done` gets its result on this thread.
    void run(tessaron::Job job, std::function<void(tessaron::JobResult)> done);
    // Runs other work, whose progress is the fraction done.
    template <typename Result>
    void run(std::function<Result(const std::stop_token&, const JobRunner::Reporter<double>&)> work,
             std::function<void(Result)> done)
    {
        runner_.start<Result>(
            std::move(work),
            [this, done = std::move(done)](Result result) {
                ended();
                done(std::move(result));
            },
            [this](double fraction) { showFraction(fraction); });
    }

    [[nodiscard]] bool busy() const { return runner_.busy(); }
    // Asks the running job to stop (the Cancel button and Esc).
    void cancel() { runner_.cancel(); }
    // Runs the event loop until no job runs, for at most `milliseconds`
    // (JobRunner::kNoTimeLimit: as long as it takes); whether none does.
    bool waitForIdle(int milliseconds) { return runner_.waitForIdle(milliseconds); }
    // Jobs run inside the command that starts them (tests).
    void setInlineJobs(bool runInline) { runner_.setInlineJobs(runInline); }
    // The window's other runners (a sheet's exports, a map's saving, a
    // comparison) run inline whenever this one does.
    void lead(JobRunner& runner) const { runner.follow(runner_); }

signals:
    // A job has started, or has ended (before its done function runs).
    void busyChanged(bool busy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sizes the status line to its text, within the pane.
    void placeLine();
    void started();
    void ended();
    void showProgress(const tessaron::JobProgress& progress);
    void showFraction(double fraction);

    QWidget* pane_;
    QLineEdit* line_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QShortcut* escape_ = nullptr;
    JobRunner runner_;
};
