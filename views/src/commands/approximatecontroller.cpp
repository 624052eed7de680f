#include "views/commands/approximatecontroller.h"

#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/commands/sessionsearch.h"
#include "views/dialogs/approximateoptionsdlg.h"
#include "views/maps/dotplotwindow.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/results/gappedbranch.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultstree.h"
#include "views/sequence/sequencenavigator.h"
#include "views/sequence/sequenceview.h"
#include "views/sheets/sheetwindows.h"

#include <QAction>
#include <QMenu>

#include <variant>

using tessaron::RepeatKind;

ApproximateController::ApproximateController(const WindowParts& parts) : QObject(&parts.window), parts_(parts)
{
    setObjectName(QStringLiteral("approximateController"));
    connect(&parts_.tree, &ResultsTree::itemSelected, this, &ApproximateController::itemSelected);
    connect(&parts_.events, &WindowEvents::adopted, this, &ApproximateController::followSession);
    connect(&parts_.jobs, &JobStatus::busyChanged, this, [this] { updateCommands(); });
}

const std::shared_ptr<const tessaron::ApproximateAnalysis>& ApproximateController::analysis() const
{
    return parts_.session.state().approximate;
}

void ApproximateController::addCommands(QMenu* edit, QMenu* view)
{
    search_ = addMenuCommand(edit, "approximateSearch", tr("Appro&ximate search..."), false);
    connect(search_, &QAction::triggered, this, &ApproximateController::runWithDialog);
    view->addSeparator();
    dotPlotCommand_ = addMenuCommand(view, "approximateDotPlot", tr("Approximate &dot plot"), false);
    connect(dotPlotCommand_, &QAction::triggered, this, [this] { showDotPlot(); });
    report_ = addMenuCommand(view, "approximateReport", tr("View appro&ximate report"), false);
    connect(report_, &QAction::triggered, this, [this] {
        if (analysis()) {
            parts_.sheets.showApproximateReport(analysis()->counts);
        } else if (const auto& gapped = parts_.session.state().gapped) {
            parts_.sheets.showApproximateReport(gapped->counts);
        }
    });
}

void ApproximateController::updateCommands()
{
    if (search_ == nullptr) {
        return;
    }
    const bool idle = !parts_.jobs.busy();
    search_->setEnabled(idle && parts_.session.loaded() && parts_.session.genome().length() > 0);
    const bool pairs = analysis() != nullptr || parts_.session.state().gapped != nullptr;
    dotPlotCommand_->setEnabled(idle && pairs);
    report_->setEnabled(idle && pairs);
}

void ApproximateController::runWithDialog()
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    if (const auto chosen = ApproximateOptionsDlg::ask(parts_.settings.approximateSettings(),
                                                       parts_.settings.gapChoice(), &parts_.window)) {
        parts_.settings.saveApproximateSettings(chosen->settings);
        parts_.settings.saveGapChoice(chosen->gaps);
        if (chosen->gaps.gaps) {
            emit gappedSearchChosen(gappedSettings(chosen->settings, chosen->gaps), chosen->gaps.families);
        } else {
            run(chosen->settings);
        }
    }
}

void ApproximateController::run(const tessaron::ApproximateSettings& settings)
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    runSessionSearch(
        parts_, tr("Searching approximate repeats..."), parts_.session.approximateSearch(settings), [this] {
            parts_.tree.results().refresh<ApproximateBranch>(parts_.session.state());
            followSession();
            const auto& found = analysis();
            // Its branch, among the top rows of the tree.
            const RepeatTreeModel& model = parts_.tree.results();
            for (int row = 0; row < model.rowCount(); ++row) {
                if (model.itemOf<ApproximateBranch>(model.index(row, 0))) {
                    parts_.tree.expand(model.index(row, 0));
                }
            }
            std::size_t pairs = 0;
            for (const auto& kind : found->results) {
                pairs += kind.pairs.size();
            }
            parts_.jobs.show(
                found->exhaustive()
                    ? tr("%1 approximate pairs").arg(pairs)
                    : tr("%1 approximate pairs; not exhaustive: with these settings a genome this "
                         "long is searched from seeds of practical length")
                          .arg(pairs));
        });
}

void ApproximateController::followSession()
{
    const auto& gapped = parts_.session.state().gapped;
    if (analysis() != shown_ || gapped != shownGapped_) {
        shown_ = analysis();
        shownGapped_ = gapped;
        std::vector<tessaron::MapBand> bands;
        if (shown_) {
            parts_.sheets.setApproximateCounts(shown_->counts);
            for (const tessaron::ApproximateResult& result : shown_->results) {
                for (const tessaron::ApproximatePair& pair : result.pairs) {
                    bands.push_back({static_cast<std::int32_t>(pair.first),
                                     static_cast<std::int32_t>(pair.second),
                                     static_cast<std::int32_t>(pair.length), pair.identity, result.kind});
                }
            }
        } else if (shownGapped_) {
            parts_.sheets.setApproximateCounts(shownGapped_->counts);
            // A band has one length: the shorter copy's.
            for (const tessaron::GappedResult& result : shownGapped_->results) {
                for (const tessaron::GappedPair& pair : result.pairs) {
                    bands.push_back(
                        {static_cast<std::int32_t>(pair.first), static_cast<std::int32_t>(pair.second),
                         static_cast<std::int32_t>(pair.shorterLength()), pair.identity, result.kind});
                }
            }
        } else {
            parts_.sheets.setApproximateCounts(std::nullopt);
        }
        parts_.maps.setBands(std::move(bands));
        if (dotPlot_ != nullptr) {
            dotPlot_->close();
        }
        emit pairsReplaced();
    }
    updateCommands();
}

void ApproximateController::itemSelected(const QModelIndex& item)
{
    const auto chosen = parts_.tree.results().approximatePairAt(item);
    if (!chosen || !analysis()) {
        return;
    }
    selectPair(chosen->first, chosen->second);
}

void ApproximateController::selectPair(RepeatKind kind, std::size_t index)
{
    const tessaron::ApproximatePair& pair = analysis()->of(kind).pairs[index];
    const tessaron::Genome& genome = *analysis()->genome;
    tessaron::Highlights& highlights = parts_.session.highlights();
    highlights.selectApproximatePair(kind, pair, tessaron::mismatchedLetters(genome, kind, pair));
    showSelectedPair(kind, index, pair.first, pair.length);
}

void ApproximateController::showSelectedPair(RepeatKind kind, std::size_t index, std::int64_t first,
                                             std::int64_t length)
{
    parts_.navigator.paint();
    parts_.pane.setCaret(static_cast<int>(first));
    parts_.pane.ensureVisible(static_cast<int>(first), static_cast<int>(length));
    parts_.pane.viewport()->repaint();
    if (CDiagramDlg* map = parts_.maps.open()) {
        const tessaron::Repeat repeat{kind != RepeatKind::Direct, static_cast<std::int32_t>(length), 1, 0};
        map->ShowRepeat(&repeat, parts_.session.highlights().selectedPairs(), kind);
    }
    if (dotPlot_ != nullptr) {
        dotPlot_->select(DotPlotWindow::PairRef{kind, index});
    }
}

DotPlotWindow* ApproximateController::showDotPlot()
{
    const auto& gapped = parts_.session.state().gapped;
    if (!analysis() && !gapped) {
        return nullptr;
    }
    if (dotPlot_ == nullptr) {
        const tessaron::Genome& genome = analysis() ? *analysis()->genome : *gapped->genome;
        const QString title = QString::fromStdString(genome.title().empty() ? "sequence" : genome.title());
        dotPlot_ = analysis() ? new DotPlotWindow(*analysis(), title, &parts_.window)
                              : new DotPlotWindow(genome.length(),
                                                  tessaron::dotPlotSegments(genome.length(), gapped->results),
                                                  title, &parts_.window);
        dotPlot_->setPrompts(
            [this](QWidget* parent) {
                return parts_.sheets.chooseSaveFile(parent, tr("Save image"),
                                                    tr("PNG image (*.png);;SVG drawing (*.svg)"));
            },
            [this](QWidget* parent, const QString& text) {
                parts_.prompts.message(parent, applicationName(), text, Prompts::Icon::Warning);
            });
        connect(dotPlot_, &DotPlotWindow::pairClicked, this, [this](RepeatKind kind, std::size_t pair) {
            RepeatTreeModel& model = parts_.tree.results();
            QModelIndex item = model.approximatePairIndex(kind, pair);
            if (!item.isValid()) {
                item = model.indexOf<GappedBranch>(model.branch<GappedBranch>().pairItem(kind, pair));
            }
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
