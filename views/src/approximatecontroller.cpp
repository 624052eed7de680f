#include "views/approximatecontroller.h"

#include "views/approximateoptionsdlg.h"
#include "views/dotplotwindow.h"
#include "views/jobstatus.h"
#include "views/mapwindow.h"
#include "views/mapwindowholder.h"
#include "views/menucommand.h"
#include "views/prompts.h"
#include "views/repeattreemodel.h"
#include "views/resultstree.h"
#include "views/sequencenavigator.h"
#include "views/sequenceview.h"
#include "views/settingsstore.h"
#include "views/sheetwindows.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include <variant>

using tessaron::ApproximateOutcome;
using tessaron::RepeatKind;

ApproximateController::ApproximateController(Parts parts, QWidget* window)
    : QObject(window), parts_(parts), window_(window)
{
    setObjectName(QStringLiteral("approximateController"));
    connect(&parts_.tree, &ResultsTree::itemSelected, this, &ApproximateController::itemSelected);
    // A new analysis empties the tree; once it is filled again, the pairs follow.
    connect(&parts_.tree.results(), &QAbstractItemModel::modelReset, this,
            [this] { QTimer::singleShot(0, this, &ApproximateController::followGenome); });
    connect(&parts_.jobs, &JobStatus::busyChanged, this, [this] { updateCommands(); });
    // The results of a new genome are going in: it is loaded.
    connect(&parts_.tree.results(), &QAbstractItemModel::rowsInserted, this, [this] { updateCommands(); });
}

void ApproximateController::addCommands(QMenu* edit, QMenu* view)
{
    connect(addMenuCommand(edit, IdApproximateSearch, tr("Appro&ximate search..."), false),
            &QAction::triggered, this, &ApproximateController::runWithDialog);
    view->addSeparator();
    connect(addMenuCommand(view, IdDotPlot, tr("Approximate &dot plot"), false), &QAction::triggered, this,
            [this] { showDotPlot(); });
    connect(addMenuCommand(view, IdApproximateReport, tr("View appro&ximate report"), false),
            &QAction::triggered, this, [this] {
                if (analysis_) {
                    parts_.sheets.showApproximateReport(analysis_->counts);
                }
            });
}

void ApproximateController::updateCommands()
{
    const bool idle = !parts_.jobs.busy();
    const auto enable = [this](int id, bool enabled) {
        if (auto* action = window_->findChild<QAction*>(QStringLiteral("command%1").arg(id))) {
            action->setEnabled(enabled);
        }
    };
    enable(IdApproximateSearch, idle && parts_.session.loaded() && parts_.session.genome().length() > 0);
    enable(IdDotPlot, idle && analysis_ != nullptr);
    enable(IdApproximateReport, idle && analysis_ != nullptr);
}

void ApproximateController::runWithDialog()
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    if (const auto chosen = ApproximateOptionsDlg::ask(parts_.settings.approximateSettings(), window_)) {
        parts_.settings.saveApproximateSettings(*chosen);
        run(*chosen);
    }
}

void ApproximateController::run(const tessaron::ApproximateSettings& chosen)
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    tessaron::ApproximateSettings settings = chosen;
    // Jobs run inline report their progress straight to the window: from this thread only.
    settings.threads = parts_.jobs.inlineJobs() ? 1 : 0;
    parts_.jobs.show(tr("Searching approximate repeats..."));
    parts_.jobs.run<ApproximateOutcome>(
        [genome = parts_.session.sharedGenome(), settings](
            const std::stop_token& stop, const JobRunner::Reporter<double>& report) -> ApproximateOutcome {
            return tessaron::analyseApproximately(genome, settings, tessaron::SearchControl{stop, report});
        },
        [this](const ApproximateOutcome& outcome) {
            parts_.jobs.clear();
            if (const auto* failure = std::get_if<tessaron::SearchFailure>(&outcome)) {
                if (*failure != tessaron::SearchFailure::Cancelled) {
                    parts_.prompts.message(window_, applicationName(),
                                           tr("Looks like we're out of memory..."), Prompts::Icon::None);
                }
                return;
            }
            const auto& found = std::get<std::shared_ptr<const tessaron::ApproximateAnalysis>>(outcome);
            if (found->genome != parts_.session.sharedGenome()) {
                return;  // another genome came meanwhile
            }
            adopt(found);
            std::size_t pairs = 0;
            for (const auto& result : found->results) {
                pairs += result.pairs.size();
            }
            parts_.jobs.show(
                found->exhaustive()
                    ? tr("%1 approximate pairs").arg(pairs)
                    : tr("%1 approximate pairs; not exhaustive: with these settings a genome this "
                         "long is searched from seeds of practical length")
                          .arg(pairs));
        });
}

void ApproximateController::adopt(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis)
{
    analysis_ = std::move(analysis);
    parts_.tree.results().setApproximate(analysis_);
    if (analysis_) {
        parts_.tree.expand(parts_.tree.results().index(parts_.tree.results().rowCount() - 1, 0));
        parts_.sheets.setApproximateCounts(analysis_->counts);
        std::vector<tessaron::MapBand> bands;
        for (const tessaron::ApproximateResult& result : analysis_->results) {
            for (const tessaron::ApproximatePair& pair : result.pairs) {
                bands.push_back({static_cast<std::int32_t>(pair.first),
                                 static_cast<std::int32_t>(pair.second),
                                 static_cast<std::int32_t>(pair.length), pair.identity});
            }
        }
        parts_.maps.setBands(std::move(bands));
    } else {
        parts_.sheets.setApproximateCounts(std::nullopt);
        parts_.maps.setBands({});
    }
    if (dotPlot_ != nullptr) {
        dotPlot_->close();
    }
    updateCommands();
}

void ApproximateController::followGenome()
{
    if (!analysis_ || parts_.tree.results().approximate() != nullptr) {
        updateCommands();
        return;
    }
    const auto& genome = parts_.session.sharedGenome();
    if (genome == analysis_->genome ||
        (parts_.session.loaded() && genome->sequence() == analysis_->genome->sequence())) {
        parts_.tree.results().setApproximate(analysis_);
        updateCommands();
        return;
    }
    adopt(nullptr);
}

void ApproximateController::itemSelected(const QModelIndex& item)
{
    const auto chosen = parts_.tree.results().approximatePairAt(item);
    if (!chosen || !analysis_) {
        return;
    }
    selectPair(chosen->first, chosen->second);
}

void ApproximateController::selectPair(RepeatKind kind, std::size_t index)
{
    const tessaron::ApproximatePair& pair = analysis_->of(kind).pairs[index];
    const tessaron::Genome& genome = *analysis_->genome;
    tessaron::Highlights& highlights = parts_.session.highlights();
    highlights.selectApproximatePair(kind, pair, tessaron::mismatchedLetters(genome, kind, pair));
    parts_.navigator.paint();
    const auto first = static_cast<int>(pair.first);
    parts_.pane.setCaret(first);
    parts_.pane.ensureVisible(first, static_cast<int>(pair.length));
    parts_.pane.viewport()->repaint();
    if (CDiagramDlg* map = parts_.maps.open()) {
        const tessaron::Repeat repeat{kind != RepeatKind::Direct, static_cast<std::int32_t>(pair.length), 1,
                                      0};
        map->ShowRepeat(&repeat, highlights.selectedPairs(), kind);
    }
    if (dotPlot_ != nullptr) {
        dotPlot_->select(DotPlotWindow::PairRef{kind, index});
    }
}

DotPlotWindow* ApproximateController::showDotPlot()
{
    if (!analysis_) {
        return nullptr;
    }
    if (dotPlot_ == nullptr) {
        const std::string& title = analysis_->genome->title();
        dotPlot_ =
            new DotPlotWindow(analysis_, QString::fromStdString(title.empty() ? "sequence" : title), window_);
        dotPlot_->setPrompts(
            [this](QWidget* parent) {
                return parts_.settings.keepFolderOf(parts_.prompts.saveFile(
                    parent, tr("Save image"), tr("PNG image (*.png);;SVG drawing (*.svg)"),
                    parts_.settings.lastFolder()));
            },
            [this](QWidget* parent, const QString& text) {
                parts_.prompts.message(parent, applicationName(), text, Prompts::Icon::Warning);
            });
        connect(dotPlot_, &DotPlotWindow::pairClicked, this, [this](RepeatKind kind, std::size_t pair) {
            const QModelIndex item = parts_.tree.results().approximatePairIndex(kind, pair);
            if (item.isValid()) {
                parts_.tree.scrollTo(item);
                parts_.tree.setCurrentIndex(item);
            }
        });
    }
    dotPlot_->show();
    dotPlot_->raise();
    return dotPlot_;
}
