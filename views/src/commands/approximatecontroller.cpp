#include "views/commands/approximatecontroller.h"

#include "input/filesave.h"
#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/dialogs/approximateoptionsdlg.h"
#include "views/maps/dotplotwindow.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultstree.h"
#include "views/sequence/sequencenavigator.h"
#include "views/sequence/sequenceview.h"
#include "views/sheets/sheetwindows.h"

#include <QAction>
#include <QFile>
#include <QMenu>

#include <variant>

using tessaron::RepeatKind;

ApproximateController::ApproximateController(const WindowParts& parts) : QObject(&parts.window), parts_(parts)
{
    setObjectName(QStringLiteral("approximateController"));
    connect(&parts_.tree, &ResultsTree::itemSelected, this, &ApproximateController::itemSelected);
    connect(&parts_.events, &WindowEvents::adopted, this, &ApproximateController::adopted);
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
    dotPlotCommand_->setEnabled(idle && analysis() != nullptr);
    report_->setEnabled(idle && analysis() != nullptr);
}

void ApproximateController::runWithDialog()
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    if (const auto chosen =
            ApproximateOptionsDlg::ask(parts_.settings.approximateSettings(), &parts_.window)) {
        parts_.settings.saveApproximateSettings(*chosen);
        run(*chosen);
    }
}

void ApproximateController::run(const tessaron::ApproximateSettings& settings)
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    parts_.jobs.show(tr("Searching approximate repeats..."));
    parts_.jobs.run(parts_.session.approximateSearch(settings), [this](tessaron::JobResult result) {
        parts_.jobs.clear();
        if (!result.state) {
            if (result.error != tessaron::JobError::Cancelled) {
                parts_.prompts.message(&parts_.window, applicationName(),
                                       tr("Looks like we're out of memory..."), Prompts::Icon::None);
            }
            return;
        }
        if (result.state->genome != parts_.session.sharedGenome()) {
            return;  // another genome came meanwhile
        }
        parts_.session.adopt(std::move(*result.state));
        parts_.tree.results().refresh<ApproximateBranch>(parts_.session.state());
        adopted();
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
        parts_.jobs.show(found->exhaustive()
                             ? tr("%1 approximate pairs").arg(pairs)
                             : tr("%1 approximate pairs; not exhaustive: with these settings a genome this "
                                  "long is searched from seeds of practical length")
                                   .arg(pairs));
    });
}

void ApproximateController::adopted()
{
    if (analysis() != shown_) {
        shown_ = analysis();
        if (shown_) {
            parts_.sheets.setApproximateCounts(shown_->counts);
            std::vector<tessaron::MapBand> bands;
            for (const tessaron::ApproximateResult& result : shown_->results) {
                for (const tessaron::ApproximatePair& pair : result.pairs) {
                    bands.push_back({static_cast<std::int32_t>(pair.first),
                                     static_cast<std::int32_t>(pair.second),
                                     static_cast<std::int32_t>(pair.length), pair.identity, result.kind});
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
    if (!analysis()) {
        return nullptr;
    }
    if (dotPlot_ == nullptr) {
        const std::string& title = analysis()->genome->title();
        dotPlot_ = new DotPlotWindow(analysis(), QString::fromStdString(title.empty() ? "sequence" : title),
                                     &parts_.window);
        dotPlot_->setPrompts(
            [this](QWidget* parent) {
                const QString path = parts_.settings.keepFolderOf(parts_.prompts.saveFile(
                    parent, tr("Save image"), tr("PNG image (*.png);;SVG drawing (*.svg)"),
                    parts_.settings.lastFolder()));
                // Never over the genome being shown.
                if (const auto refusal = tessaron::outputIsInput(QFile::encodeName(path).toStdString(),
                                                                 {parts_.session.state().file})) {
                    parts_.prompts.message(parent, applicationName(), QString::fromStdString(*refusal),
                                           Prompts::Icon::Warning);
                    return QString();
                }
                return path;
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
