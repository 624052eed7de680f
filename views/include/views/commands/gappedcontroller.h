#pragma once

// The main window's gapped search: the approximate dialog's "Insertions and
// deletions" runs it on the loaded genome as a job (the status line shows
// its progress, Cancel stops it). Its pairs fill the results tree's "Gapped
// repeats" branch and, when the copies were grouped, the "Families" branch.
// A selected pair shows both copies in the sequence pane with the letters
// that do not line up equal marked (unequal columns and the letters of the
// gap runs), opens the alignment window with the two copies aligned, and
// marks the pair on the map and in the dot plot, where gapped pairs run
// along their alignment paths. A selected family (or one of its copies)
// highlights every copy of the family in the pane and on the map. The map's
// bands, the dot plot and the approximate report come from the approximate
// search's controller, which shows whichever pairs the session holds.

#include "session/gappedanalysis.h"
#include "views/commands/windowparts.h"
#include "views/results/alignmentview.h"

#include <QModelIndex>
#include <QObject>
#include <QPointer>

#include <cstddef>
#include <memory>

class ApproximateController;

class GappedController : public QObject {
    Q_OBJECT

public:
    GappedController(const WindowParts& parts, ApproximateController& approximate);

    // Runs the gapped search with these settings (and the families when
    // asked) as a job; its pairs replace any approximate ones.
    void run(const tessaron::GappedSettings& settings, bool families);
    // The search's pairs of the loaded genome; null before a search.
    [[nodiscard]] const std::shared_ptr<const tessaron::GappedAnalysis>& analysis() const;
    // The alignment window, null until a pair is selected.
    [[nodiscard]] AlignmentView* alignment() const { return alignment_; }

private:
    void itemSelected(const QModelIndex& item);
    void selectPair(tessaron::RepeatKind kind, std::size_t pair);
    void selectFamily(std::size_t family);
    // The session's pairs were replaced: the tree's branches follow, the
    // alignment of other pairs closes.
    void pairsReplaced();

    WindowParts parts_;
    ApproximateController& approximate_;
    QPointer<AlignmentView> alignment_;
};
