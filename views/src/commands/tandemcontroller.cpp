#include "views/commands/tandemcontroller.h"

#include "session/session.h"
#include "session/tandemalignment.h"
#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/commands/sessionsearch.h"
#include "views/dialogs/tandemoptionsdlg.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultstree.h"
#include "views/results/tandembranch.h"
#include "views/sequence/sequencenavigator.h"
#include "views/sequence/sequenceview.h"
#include "views/sequence/tandemalignmentview.h"

#include <QAction>
#include <QMenu>

TandemController::TandemController(const WindowParts& parts) : QObject(&parts.window), parts_(parts)
{
    setObjectName(QStringLiteral("tandemController"));
    connect(&parts_.tree, &ResultsTree::itemSelected, this, &TandemController::itemSelected);
    connect(&parts_.events, &WindowEvents::adopted, this, &TandemController::adopted);
    connect(&parts_.jobs, &JobStatus::busyChanged, this, [this] { updateCommand(); });
    connect(&parts_.maps, &MapWindowHolder::opened, this, [this](CDiagramDlg* map) { showOnMap(*map); });
    connect(&parts_.maps, &MapWindowHolder::tandemArrayClicked, this, &TandemController::arrayClicked);
}

const std::shared_ptr<const tessaron::TandemAnalysis>& TandemController::analysis() const
{
    return parts_.session.state().tandem;
}

TandemAlignmentView* TandemController::alignmentView() const
{
    return alignment_;
}

void TandemController::addCommands(QMenu* edit)
{
    search_ = addMenuCommand(edit, "tandemSearch", tr("Tan&dem repeats..."), false);
    connect(search_, &QAction::triggered, this, &TandemController::runWithDialog);
    updateCommand();
}

void TandemController::updateCommand()
{
    if (search_ != nullptr) {
        search_->setEnabled(!parts_.jobs.busy() && parts_.session.loaded() &&
                            parts_.session.genome().length() > 0);
    }
}

void TandemController::runWithDialog()
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    if (const auto chosen =
            TandemOptionsDlg::ask(parts_.settings.tandemSettings(), parts_.prompts, &parts_.window)) {
        parts_.settings.saveTandemSettings(*chosen);
        run(*chosen);
    }
}

void TandemController::run(const tessaron::TandemSettings& settings)
{
    if (!parts_.session.loaded() || parts_.jobs.busy() || settings.validate()) {
        return;
    }
    runSessionSearch(parts_, tr("Finding tandem repeats..."), parts_.session.tandemSearch(settings), [this] {
        parts_.tree.results().refresh<TandemBranch>(parts_.session.state());
        adopted();
        const RepeatTreeModel& model = parts_.tree.results();
        const QModelIndex branch = model.indexOf<TandemBranch>(model.branch<TandemBranch>().branchItem());
        if (branch.isValid()) {
            parts_.tree.expand(branch);
        }
        parts_.jobs.show(tr("%1 tandem arrays").arg(analysis()->arrays.size()));
    });
}

void TandemController::adopted()
{
    if (analysis() != shown_) {
        shown_ = analysis();
        selected_.reset();
        if (CDiagramDlg* map = parts_.maps.open()) {
            showOnMap(*map);
        }
        if (alignment_ != nullptr) {
            alignment_->clearArray();
        }
    }
    updateCommand();
}

void TandemController::showOnMap(CDiagramDlg& map) const
{
    map.showTandemArrays(shown_ ? &shown_->arrays : nullptr);
    map.selectTandemArray(selected_);
}

void TandemController::arrayClicked(int index)
{
    const RepeatTreeModel& model = parts_.tree.results();
    const TandemBranch& branch = model.branch<TandemBranch>();
    if (index < 0 || !shown_ || branch.analysis() != shown_.get()) {
        return;
    }
    const auto item = branch.arrayItem(static_cast<std::size_t>(index));
    if (!item) {
        return;
    }
    const QModelIndex row = model.indexOf<TandemBranch>(*item);
    if (row == parts_.tree.currentIndex()) {
        parts_.navigator.showFirstCopy();  // selected already: its first copy again
    } else {
        parts_.tree.setCurrentIndex(row);
    }
    parts_.tree.scrollTo(row);
}

void TandemController::itemSelected(const QModelIndex& item)
{
    const RepeatTreeModel& model = parts_.tree.results();
    const TandemBranch& branch = model.branch<TandemBranch>();
    const auto within = model.itemOf<TandemBranch>(item);
    const tessaron::TandemRepeat* array = within ? branch.arrayAt(*within) : nullptr;
    if (array == nullptr || !shown_ || branch.analysis() != shown_.get()) {
        if (selected_) {
            selected_.reset();
            if (CDiagramDlg* map = parts_.maps.open()) {
                map->selectTandemArray(std::nullopt);
            }
            if (alignment_ != nullptr) {
                alignment_->clearArray();
            }
        }
        return;
    }
    selected_ = static_cast<std::size_t>(array - shown_->arrays.data());
    const tessaron::Genome& genome = *shown_->genome;
    parts_.session.highlights().selectTandemArray(*array, genome.length());
    parts_.navigator.paint();
    parts_.navigator.showFirstCopy();
    parts_.pane.viewport()->repaint();
    if (CDiagramDlg* map = parts_.maps.open()) {
        map->selectTandemArray(selected_);
    }
    if (alignment_ == nullptr) {
        alignment_ = new TandemAlignmentView(&parts_.window);
        alignment_->setAttribute(Qt::WA_DeleteOnClose);
    }
    alignment_->showArray(*array, tessaron::arrayLetters(genome.sequence(), *array));
    alignment_->show();
}
