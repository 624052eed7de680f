#pragma once

// The main window's microsatellites and the repeat section of a genome
// paper: "&Microsatellites..." in the Edit menu (their settings, kept between
// runs; the loaded genome's are found again at once, as a job), "Repeat
// &summary" in the View menu (the section of the loaded genome, made as a job
// and shown as a sheet with its figure), the results tree's "Microsatellites"
// branch, the selection of one in the sequence pane's highlights, their ring
// on the map and the comparison's "Microsatellites" item.

#include "charts/barfigure.h"
#include "compare/genomecomparison.h"
#include "report/reportlayout.h"
#include "views/base/menucommand.h"

#include <QObject>
#include <QPointer>

class CCompareDlg;
class CDiagramDlg;
class CRepeatSummaryDlg;
class JobStatus;
class MapWindowHolder;
class Prompts;
class QAction;
class QMenu;
class QModelIndex;
class QWidget;
class ResultsTree;
struct WindowParts;
class SettingsStore;
class SheetWindows;

namespace tessaron {
class Session;
}  // namespace tessaron

class MicrosatelliteCommands : public QObject {
    Q_OBJECT

public:
    // Its commands, by name (see commandId).
    enum Command : int {
        IdMicrosatelliteOptions = commandId("microsatelliteOptions"),
        IdRepeatSummary = commandId("repeatSummary")
    };

    // Reads the settings into the session; the sheets are windows of the window.
    explicit MicrosatelliteCommands(const WindowParts& parts);

    // "&Microsatellites..." at the end of `edit`, "Repeat &summary" in `view`
    // after the command `after` (at its end when there is none).
    void addCommands(QMenu* edit, QMenu* view, int after);
    // The microsatellite of a tree item becomes the highlighted one; any
    // other item clears the highlights.
    void select(const QModelIndex& item);
    // Offers "Microsatellites" to a comparison, shown in a sheet with its chart.
    void offerTo(CCompareDlg& dialog);

    // The summary sheet shown last, while it is open.
    [[nodiscard]] CRepeatSummaryDlg* summary() const;

public slots:
    void chooseSettings();
    void showRepeatSummary();

private:
    // The session took a job's new state: a summary of the genome before closes.
    void adopted();
    void showOnMap(CDiagramDlg& map) const;
    void updateCommands();
    CRepeatSummaryDlg* showSheet(const tessaron::SheetLayout& layout, tessaron::BarFigure figure);

    tessaron::Session& session_;
    ResultsTree& tree_;
    JobStatus& jobs_;
    MapWindowHolder& maps_;
    SettingsStore& settings_;
    Prompts& prompts_;
    SheetWindows& sheets_;
    QWidget* window_;
    QAction* summaryAction_ = nullptr;
    QAction* settingsAction_ = nullptr;
    QPointer<CRepeatSummaryDlg> summary_;
};
