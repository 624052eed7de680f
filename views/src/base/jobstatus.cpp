#include "views/base/jobstatus.h"

#include "engine/repeatkinds.h"
#include "views/base/qtstrings.h"

#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <optional>

using tessaron::JobProgress;
using tessaron::JobStep;
using tessaron::RepeatKind;

namespace {

// Places in the pane: the status line, then the bar and the button beside it.
constexpr int kStatusWidth = 185;
constexpr int kStatusHeight = 20;
// Room beside the text within a line without a frame.
constexpr int kLineMargins = 8;
constexpr int kProgressLeft = kStatusWidth + 5;
constexpr int kProgressWidth = 150;
constexpr int kCancelWidth = 70;
constexpr int kBarSteps = 1000;

QString progressLine(RepeatKind kind)
{
    return QStringLiteral("Getting \"%1\"...").arg(toQString(tessaron::kindInfo(kind).label));
}

// How far the whole job is: reading or making the sequence, indexing, then
// the four searches; a search apart from the analysis is a job of its own.
double overallFraction(const JobProgress& progress)
{
    switch (progress.step) {
        case JobStep::Reading:
        case JobStep::Creating:
            return 0.1 * progress.fraction;
        case JobStep::Indexing:
            return 0.1 + 0.2 * progress.fraction;
        case JobStep::SearchingApart:
            return progress.fraction;
        case JobStep::Searching:
            break;
    }
    const auto order = static_cast<double>(
        std::find(tessaron::kKindOrder.begin(), tessaron::kKindOrder.end(), progress.kind) -
        tessaron::kKindOrder.begin());
    return 0.3 + 0.7 * (order + progress.fraction) / tessaron::kRepeatKindCount;
}

}  // namespace

JobStatus::JobStatus(QWidget* pane, QWidget* window) : QObject(window), pane_(pane)
{
    setObjectName(QStringLiteral("jobStatus"));
    line_ = new QLineEdit(pane);
    line_->setObjectName(QStringLiteral("statusLine"));
    line_->setProperty("controlId", IdStatusLine);
    line_->setReadOnly(true);
    line_->setFrame(false);
    line_->setContextMenuPolicy(Qt::NoContextMenu);
    // Clicked into to select its text, but no stop of Tab: often empty, it shows no place to type.
    line_->setFocusPolicy(Qt::ClickFocus);
    line_->setGeometry(0, 0, kStatusWidth, kStatusHeight);

    bar_ = new QProgressBar(pane);
    bar_->setObjectName(QStringLiteral("progressBar"));
    bar_->setProperty("controlId", IdProgressBar);
    bar_->setRange(0, kBarSteps);
    bar_->setTextVisible(false);
    bar_->setGeometry(kProgressLeft, 2, kProgressWidth, kStatusHeight - 4);
    bar_->hide();
    cancelButton_ = new QPushButton(tr("Cancel"), pane);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setProperty("controlId", IdCancel);
    cancelButton_->setFocusPolicy(Qt::NoFocus);
    cancelButton_->setGeometry(kProgressLeft + kProgressWidth + 5, 0, kCancelWidth, kStatusHeight);
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this, &JobStatus::cancel);
    // Esc stops a job; it is only taken while one runs.
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape_->setContext(Qt::WindowShortcut);
    escape_->setEnabled(false);
    connect(escape_, &QShortcut::activated, this, &JobStatus::cancel);
    connect(&runner_, &JobRunner::started, this, &JobStatus::started);
    pane->installEventFilter(this);
}

void JobStatus::show(const QString& text)
{
    line_->setText(text);
    placeLine();
    line_->repaint();
}

bool JobStatus::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pane_ && event->type() == QEvent::Resize) {
        placeLine();
    }
    return QObject::eventFilter(watched, event);
}

void JobStatus::placeLine()
{
    // The line's box, until a message needs more: then as wide as the
    // message, up to the pane's width (up to the bar while a job runs). A
    // message wider still shows its beginning, and the whole of it as the
    // line's tip.
    const QString text = line_->text();
    const int needed = line_->fontMetrics().horizontalAdvance(text) + kLineMargins;
    const int room = bar_->isVisible() ? kStatusWidth : std::max(kStatusWidth, pane_->width());
    line_->resize(std::clamp(needed, kStatusWidth, room), kStatusHeight);
    line_->setCursorPosition(0);
    line_->setToolTip(needed > line_->width() ? text : QString());
}

QString JobStatus::text() const
{
    return line_->text();
}

void JobStatus::run(tessaron::Job job, std::function<void(tessaron::JobResult)> done)
{
    runner_.start<tessaron::JobResult, JobProgress>(
        [job = std::move(job)](const std::stop_token& stop, const JobRunner::Reporter<JobProgress>& report) {
            // A new step or a new search begins a step of the runner's own.
            std::optional<std::pair<JobStep, RepeatKind>> step;
            return job(tessaron::JobControl{stop, [&](const JobProgress& progress) {
                                                const std::pair reached{progress.step, progress.kind};
                                                if (step == reached) {
                                                    report(progress);
                                                } else {
                                                    step = reached;
                                                    report.newStep(progress);
                                                }
                                            }});
        },
        [this, done = std::move(done)](tessaron::JobResult result) {
            ended();
            done(std::move(result));
        },
        [this](const JobProgress& progress) { showProgress(progress); });
}

void JobStatus::started()
{
    bar_->setValue(0);
    bar_->show();
    placeLine();
    cancelButton_->show();
    escape_->setEnabled(true);
    emit busyChanged(true);
}

void JobStatus::ended()
{
    bar_->hide();
    cancelButton_->hide();
    escape_->setEnabled(false);
    placeLine();
    emit busyChanged(false);
}

void JobStatus::showProgress(const JobProgress& progress)
{
    if (progress.step == JobStep::Searching) {
        if (text() != progressLine(progress.kind)) {
            show(progressLine(progress.kind));
        }
    } else if (progress.step == JobStep::Creating && text().isEmpty()) {
        show(tr("Creating sequence..."));
    }
    showFraction(overallFraction(progress));
}

void JobStatus::showFraction(double fraction)
{
    bar_->setValue(static_cast<int>(kBarSteps * fraction));
}
