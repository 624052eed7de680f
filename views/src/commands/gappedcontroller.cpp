#include "views/commands/gappedcontroller.h"

#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/commands/approximatecontroller.h"
#include "views/commands/sessionsearch.h"
#include "views/maps/dotplotwindow.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/results/alignmentview.h"
#include "views/results/familiesbranch.h"
#include "views/results/gappedbranch.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultstree.h"
#include "views/sequence/sequencenavigator.h"
#include "views/sequence/sequenceview.h"

using tessaron::RepeatKind;

GappedController::GappedController(const WindowParts& parts, ApproximateController& approximate)
    : QObject(&parts.window), parts_(parts), approximate_(approximate)
{
    setObjectName(QStringLiteral("gappedController"));
    connect(&parts_.tree, &ResultsTree::itemSelected, this, &GappedController::itemSelected);
    connect(&approximate_, &ApproximateController::gappedSearchChosen, this, &GappedController::run);
    // After the window's own adoptions (the tree shows them already) and the
    // approximate search's, which replace these pairs.
    connect(&approximate_, &ApproximateController::pairsReplaced, this, &GappedController::pairsReplaced);
}

const std::shared_ptr<const tessaron::GappedAnalysis>& GappedController::analysis() const
{
    return parts_.session.state().gapped;
}

void GappedController::run(const tessaron::GappedSettings& settings, bool families)
{
    if (!parts_.session.loaded() || parts_.jobs.busy()) {
        return;
    }
    runSessionSearch(
        parts_, tr("Searching gapped repeats..."), parts_.session.gappedSearch(settings, families),
        [this] {
            RepeatTreeModel& model = parts_.tree.results();
            model.refresh<ApproximateBranch>(parts_.session.state());
            approximate_.followSession();  // and through it pairsReplaced
            parts_.tree.expand(model.indexOf<GappedBranch>(model.branch<GappedBranch>().topItem()));
            std::size_t pairs = 0;
            for (const tessaron::GappedResult& kind : analysis()->results) {
                pairs += kind.pairs.size();
            }
            parts_.jobs.show(
                analysis()->families
                    ? tr("%1 gapped pairs in %2 families").arg(pairs).arg(analysis()->families->size())
                    : tr("%1 gapped pairs").arg(pairs));
        },
        [](tessaron::JobError error) {
            return error == tessaron::JobError::TooManyPairs ? tr("The gapped search found more pairs than "
                                                                  "can be kept: raise the minimum length or "
                                                                  "the identity.")
                                                             : QString();
        });
}

void GappedController::pairsReplaced()
{
    RepeatTreeModel& model = parts_.tree.results();
    if (model.branch<GappedBranch>().analysis() != analysis().get()) {
        model.refresh<GappedBranch>(parts_.session.state());
        model.refresh<FamiliesBranch>(parts_.session.state());
    }
    if (alignment_ != nullptr) {
        alignment_->close();
    }
}

void GappedController::itemSelected(const QModelIndex& index)
{
    const RepeatTreeModel& model = parts_.tree.results();
    if (!analysis()) {
        return;
    }
    if (const auto item = model.itemOf<GappedBranch>(index)) {
        if (const auto pair = model.branch<GappedBranch>().pairAt(*item)) {
            selectPair(pair->first, pair->second);
        }
    } else if (const auto copy = model.itemOf<FamiliesBranch>(index)) {
        if (const auto family = model.branch<FamiliesBranch>().familyAt(*copy)) {
            selectFamily(*family);
        }
    }
}

void GappedController::selectPair(RepeatKind kind, std::size_t index)
{
    const tessaron::GappedPair& pair = analysis()->of(kind).pairs[index];
    const tessaron::Genome& genome = *analysis()->genome;
    tessaron::Highlights& highlights = parts_.session.highlights();
    highlights.selectGappedPair(kind, pair, tessaron::alignedColumns(genome, kind, pair));
    approximate_.showSelectedPair(kind, index, pair.first, pair.length);
    if (alignment_ == nullptr) {
        alignment_ = new AlignmentView(&parts_.window);
        alignment_->setAttribute(Qt::WA_DeleteOnClose);
        alignment_->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    alignment_->showPair(genome, kind, pair);
    alignment_->show();
}

void GappedController::selectFamily(std::size_t index)
{
    const tessaron::RepeatFamily& family = (*analysis()->families)[index];
    tessaron::Highlights& highlights = parts_.session.highlights();
    highlights.selectFamily(family);
    parts_.navigator.paint();
    if (!family.copies.empty()) {
        const tessaron::FamilyCopy& representative = family.copies[family.representative];
        parts_.pane.setCaret(static_cast<int>(representative.start));
        parts_.pane.ensureVisible(static_cast<int>(representative.start),
                                  static_cast<int>(representative.length));
        parts_.pane.viewport()->repaint();
        CDiagramDlg* map = parts_.maps.open();
        if (map != nullptr && highlights.selectedPairs().empty()) {
            map->ShowRepeat(nullptr, {});
        } else if (map != nullptr) {
            const bool direct = !family.kinds[static_cast<std::size_t>(RepeatKind::Inverted)] &&
                                !family.kinds[static_cast<std::size_t>(RepeatKind::Mirror)] &&
                                !family.kinds[static_cast<std::size_t>(RepeatKind::Complementary)];
            const tessaron::Repeat repeat{!direct, static_cast<std::int32_t>(representative.length),
                                          static_cast<std::int32_t>(highlights.selectedPairs().size()), 0};
            map->ShowRepeat(&repeat, highlights.selectedPairs(),
                            direct ? RepeatKind::Direct : RepeatKind::Inverted);
        }
    }
}
