#pragma once

// The report sheets the main window opens beside itself, without blocking
// it: the summary of an analysis, the listing of one kind, the analysis
// beside its random controls and a comparison of genomes. Their file choosers
// start in the folder of the last file chosen, and their messages go through
// the prompts; each can print its table or write it as a PDF. The sheets that show the genome's results name
// it in their titles with its search ("Direct Repeats - NC_012920 (lengths 8 to 30, trie)") and close when
// the genome or its results are replaced; a comparison stays.

#include "compare/controls.h"
#include "compare/genomecomparison.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchmethod.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "engine/approximatesearch.h"

#include <memory>
#include <optional>
#include <vector>

class CReportSheetDlg;
class JobStatus;
class Prompts;
class SettingsStore;
class QWidget;

namespace tessaron {
struct Analysis;
class Session;
}  // namespace tessaron

class SheetWindows : public QObject {
    Q_OBJECT

public:
    // The sheets are windows of `window`, and show the genome of `session`;
    // they export on the window's thread when `jobs` runs its jobs inline,
    // and the random controls run as a job of `jobs`.
    SheetWindows(QWidget* window, Prompts& prompts, SettingsStore& settings, JobStatus& jobs,
                 const tessaron::Session& session);

    // The summary of an analysis; with approximate counts set, their sheet
    // (pairs per kind and length class, its chart shown) beside it.
    void showReport(const tessaron::Analysis& analysis);
    void setApproximateCounts(std::optional<tessaron::ApproximateClassCounts> counts)
    {
        approximateCounts_ = counts;
    }
    void showApproximateReport(const tessaron::ApproximateClassCounts& counts);
    // The rows are made as they come into view: only their places are laid out now.
    void showListing(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot);
    // Opens with its chart shown.
    void showControls(const tessaron::ControlReport& report);
    // Asks how many random sequences to make, compares the analysed genome
    // with them (searched by `method`) as a job, and shows the result.
    void runControls(tessaron::SearchMethod method);
    void showComparison(const tessaron::GenomeComparison& comparison);
    // Closes the sheets that show the genome's results.
    void closeGenomeSheets();
    // Asks where to save a file, the chooser starting in the last folder (at
    // `name` there when given); keeps the folder chosen, and refuses the
    // genome's own file with a warning. Empty when cancelled or refused.
    QString chooseSaveFile(QWidget* parent, const QString& caption, const QString& filter,
                           const QString& name = {});

private:
    void show(CReportSheetDlg* sheet, bool followsGenome);
    // "Print..." and "Export PDF..." in the table's pop-up menu.
    void addPrinting(CReportSheetDlg* sheet);

    QWidget* window_;
    Prompts& prompts_;
    SettingsStore& settings_;
    JobStatus& jobs_;
    const tessaron::Session& session_;
    std::vector<QPointer<CReportSheetDlg>> genomeSheets_;
    std::optional<tessaron::ApproximateClassCounts> approximateCounts_;
};
