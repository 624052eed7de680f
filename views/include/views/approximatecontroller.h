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
// shows the pairs per kind and length class beside the summary. The results
// follow the genome: a new sequence forgets them.

#include "session/approximateanalysis.h"
#include "session/session.h"
#include "views/dotplotwindow.h"

#include <QModelIndex>
#include <QObject>
#include <QPointer>

#include <memory>

class JobStatus;
class MapWindowHolder;
class Prompts;
class QMenu;
class ResultsTree;
class SequenceNavigator;
class SequenceView;
class SettingsStore;
class SheetWindows;

class ApproximateController : public QObject {
    Q_OBJECT

public:
    // Command ids; every action carries its id as data and "command<id>" as its name.
    enum Command : int { IdApproximateSearch = 32880, IdDotPlot = 32881, IdApproximateReport = 32882 };

    // The parts of the main window it works with; all outlive it.
    struct Parts {
        tessaron::Session& session;
        JobStatus& jobs;
        ResultsTree& tree;
        SequenceView& pane;
        SequenceNavigator& navigator;
        MapWindowHolder& maps;
        SheetWindows& sheets;
        SettingsStore& settings;
        Prompts& prompts;
    };

    ApproximateController(Parts parts, QWidget* window);

    // Adds the search command to `edit` and the viewing commands to `view`.
    void addCommands(QMenu* edit, QMenu* view);
    // Runs the search with these settings as a job (the command asks for them first).
    void run(const tessaron::ApproximateSettings& settings);
    void runWithDialog();
    // The search's pairs of the loaded genome; null before a search.
    [[nodiscard]] const std::shared_ptr<const tessaron::ApproximateAnalysis>& analysis() const
    {
        return analysis_;
    }
    // The dot plot, made and shown unless it is open; null without pairs.
    DotPlotWindow* showDotPlot();
    [[nodiscard]] DotPlotWindow* dotPlot() const { return dotPlot_; }

private:
    void itemSelected(const QModelIndex& item);
    void selectPair(tessaron::RepeatKind kind, std::size_t pair);
    void adopt(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis);
    // After the tree was emptied: the pairs go back into it while the genome
    // is the same sequence, else they are forgotten.
    void followGenome();
    void updateCommands();

    Parts parts_;
    QWidget* window_;
    std::shared_ptr<const tessaron::ApproximateAnalysis> analysis_;
    QPointer<DotPlotWindow> dotPlot_;
};
