#pragma once

// The main window's approximate search: "Appro&ximate search..." in the Edit
// menu asks for its settings and runs it on the loaded genome as a job (the
// status line shows its progress, Cancel stops it); "Approximate &dot plot"
// and "View appro&ximate report" in the View menu show its pairs. The pairs
// fill the results tree's "Approximate repeats" branch; selecting one
// highlights both copies in the sequence pane with the mismatched letters
// marked (Next and Previous copy step between them), marks it on the map,
// where every pair is drawn as a band coloured by identity, and in the dot
// plot, whose clicked segments select their pair in the tree. "View Report"
// shows the pairs per kind and length class beside the summary. The pairs are
// the session's (SessionState::approximate): they follow the genome. When
// the dialog asks for insertions and deletions the search is the gapped one
// (see GappedController); the map's bands, the dot plot and the report then
// show the gapped pairs (SessionState::gapped), whichever the session holds.

#include "engine/gappedsearch.h"
#include "session/approximateanalysis.h"
#include "session/session.h"
#include "views/base/menucommand.h"
#include "views/commands/windowparts.h"
#include "views/maps/dotplotwindow.h"

#include <QModelIndex>
#include <QObject>
#include <QPointer>

#include <cstddef>
#include <cstdint>
#include <memory>

class QAction;
class QMenu;

class ApproximateController : public QObject {
    Q_OBJECT

public:
    // Its commands, by name (see commandId).
    enum Command : int {
        IdApproximateSearch = commandId("approximateSearch"),
        IdDotPlot = commandId("approximateDotPlot"),
        IdApproximateReport = commandId("approximateReport")
    };

    explicit ApproximateController(const WindowParts& parts);

    // Adds the search command to `edit` and the viewing commands to `view`.
    void addCommands(QMenu* edit, QMenu* view);
    // Runs the search with these settings as a job (the command asks for them first).
    void run(const tessaron::ApproximateSettings& settings);
    void runWithDialog();
    // The search's pairs of the loaded genome; null before a search.
    [[nodiscard]] const std::shared_ptr<const tessaron::ApproximateAnalysis>& analysis() const;
    // The dot plot, made and shown unless it is open; null without pairs.
    DotPlotWindow* showDotPlot();
    [[nodiscard]] DotPlotWindow* dotPlot() const { return dotPlot_; }
    // Shows the pair just highlighted in the session: the caret at its first
    // copy, the map's chords and the dot plot's mark.
    void showSelectedPair(tessaron::RepeatKind kind, std::size_t index, std::int64_t first,
                          std::int64_t length);
    // The session took a new state: the map's bands, the report's counts and
    // the commands follow its pairs (approximate or gapped); a dot plot of
    // other pairs closes.
    void followSession();

signals:
    // The dialog asked for the gapped search with these settings.
    void gappedSearchChosen(const tessaron::GappedSettings& settings, bool families);
    // The session's approximate or gapped pairs were replaced (followSession).
    void pairsReplaced();

private:
    void itemSelected(const QModelIndex& item);
    void selectPair(tessaron::RepeatKind kind, std::size_t pair);
    void updateCommands();

    WindowParts parts_;
    QAction* search_ = nullptr;
    QAction* dotPlotCommand_ = nullptr;
    QAction* report_ = nullptr;
    // The pairs the map, the sheets and the dot plot show.
    std::shared_ptr<const tessaron::ApproximateAnalysis> shown_;
    std::shared_ptr<const tessaron::GappedAnalysis> shownGapped_;
    QPointer<DotPlotWindow> dotPlot_;
};
