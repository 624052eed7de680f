#pragma once

#include "views/prompts.h"
#include "views/settingsstore.h"
#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "input/feature.h"
#include "views/diagramdlg.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QLineEdit;
class QMenu;
class QTreeView;
class CReportSheetDlg;
class RepeatTreeModel;
class SequenceView;

// The program's main window: the results tree on the left, the status line at
// the top right and the sequence pane below it, with the menu of commands. It
// owns the one genome that every load refills, the four result lists of the
// last analysis, the feature list of the last GenBank file and the settings.
//
// Every command runs to its end before it returns; long steps force their
// progress line onto the screen. A load or a change of the lengths first
// releases the results: the tree is emptied and the commands that show
// results are grayed until the next analysis completes. A file that cannot be
// read leaves the previous sequence in place.
class CTessaronDlg : public QMainWindow {
    Q_OBJECT

public:
    // Command ids of the menus; every action carries its id as data.
    enum Command : int {
        IdOpenGenBank = 32771,
        IdExit = 32772,
        IdViewReport = 32773,
        IdViewDirect = 32776,
        IdViewInverted = 32777,
        IdViewMirror = 32778,
        IdViewComplementary = 32779,
        IdDiagram = 32781,
        IdOptions = 32782,
        IdCreateRandom = 32786,
        IdDisabled = 32788,
        IdCompareGenomes = 32789,
        IdFindMotif = 32790,
        IdOpenText = 32791,
    };
    // Control ids of the three panes.
    enum Control : int { IdTree = 1000, IdStatusLine = 1002, IdSequencePane = 1005 };

    explicit CTessaronDlg(QWidget* parent = nullptr);
    ~CTessaronDlg() override;
    CTessaronDlg(const CTessaronDlg&) = delete;
    CTessaronDlg& operator=(const CTessaronDlg&) = delete;

    // Opens a file as the open commands do: as GenBank when its first
    // non-blank line begins with LOCUS, otherwise as plain text.
    void openFile(const QString& path);
    void openGenBankFile(const QString& path);
    void openTextFile(const QString& path);

    // The menu action of a command id; null for an unknown id.
    [[nodiscard]] QAction* command(int id) const;
    // The tree's pop-up menu for a point in global coordinates: the one grayed
    // "(disabled)" item inside the tree, null elsewhere.
    [[nodiscard]] std::unique_ptr<QMenu> contextMenuAt(const QPoint& globalPosition);

    void ShowStatus(const QString& text);
    void ClearStatus();
    // Puts the whole sequence into the pane (removing every highlight) and
    // empties the status line.
    void ShowSequence();
    // The four searches, one kind after the other, each with its progress
    // line and its branch of the tree; then the result commands are enabled.
    // The genome must be indexed. Out of memory stops it with a message,
    // keeping the branches made so far.
    void RunAnalysis();
    // Forgets the selection, empties the tree, releases the result lists and
    // grays the commands that would show them.
    void ClearResults();

    [[nodiscard]] tessaron::Genome& genome() { return genome_; }
    [[nodiscard]] const tessaron::Genome& genome() const { return genome_; }
    [[nodiscard]] const tessaron::RepeatList* list(tessaron::RepeatKind kind) const
    {
        return lists_[static_cast<std::size_t>(kind)].get();
    }
    [[nodiscard]] const std::optional<tessaron::FeatureList>& features() const { return features_; }
    [[nodiscard]] const tessaron::Repeat* selectedRepeat() const { return selectedRepeat_; }
    [[nodiscard]] int minSetting() const { return minSetting_; }
    [[nodiscard]] int maxSetting() const { return maxSetting_; }
    [[nodiscard]] const QString& lastMotif() const { return lastMotif_; }
    [[nodiscard]] bool loaded() const { return loaded_; }

    [[nodiscard]] QTreeView* tree() const { return tree_; }
    [[nodiscard]] RepeatTreeModel* treeModel() const { return model_; }
    [[nodiscard]] QLineEdit* statusLine() const { return statusLine_; }
    [[nodiscard]] SequenceView* sequencePane() const { return sequencePane_; }
    // The open map window, or null.
    [[nodiscard]] CDiagramDlg* diagram() const { return diagram_; }
    // Called by the map window as the user closes it: the next "&Diagram"
    // makes a new one.
    void ForgetDiagram();

    // What shows a finished genome comparison: the report sheet unless
    // another viewer is installed (tests install their own).
    using ComparisonViewer = std::function<void(const tessaron::GenomeComparison&)>;
    void setComparisonViewer(ComparisonViewer viewer) { comparisonViewer_ = std::move(viewer); }

public slots:
    void OnOpenGenBank();
    void OnOpenText();
    void OnCreateRandom();
    void OnExit();
    void OnFindMotif();
    void OnOptions();
    void OnDiagram();
    // The report sheet: the summary of the four lists, or the listing of one kind.
    void OnViewReport();
    void OnViewDirect();
    void OnViewInverted();
    void OnViewMirror();
    void OnViewComplementary();
    // Compares GenBank files by one kind of repeat. The files are read into
    // this window's genome, so the window is emptied first and stays empty
    // (caption "Tessaron", no results, no sequence) until the next load.
    void OnCompareGenomes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void LoadSettings();
    void RegisterControls();
    void createMenus();
    QAction* addCommand(QMenu* menu, int id, const QString& text, bool enabled);
    void OnSize(int cx, int cy);
    void OnTreeSelChanged();
    void FillKindBranch(tessaron::RepeatKind kind);
    // The listing of one kind in the report sheet, filled under "Wait...".
    void ViewKind(tessaron::RepeatKind kind);
    // Runs a filled-in sheet modally, its file chooser and messages going
    // through the prompts.
    void runSheet(CReportSheetDlg& sheet);
    void enableCommand(int id, bool enabled);
    // The pane back to the plain sequence.
    void clearHighlights();

    // What a load does before it reads: the results and the features go.
    void releaseForLoad();
    // Destroys the map window, if one is open.
    void closeDiagram();
    // An empty genome that keeps the title and the pair limit of the current
    // one: loads fill it and take it only when they succeed.
    [[nodiscard]] tessaron::Genome freshGenome() const;
    // After a successful load: index, analysis and the sequence on screen.
    void analyseLoadedGenome();
    // buildIndex, with the out-of-memory message when it fails.
    bool indexGenome();
    void showOutOfMemory();
    void showMessage(const QString& caption, const QString& text,
                     Prompts::Icon icon = Prompts::Icon::Warning);

    tessaron::Genome genome_;
    std::array<std::unique_ptr<tessaron::RepeatList>, tessaron::kRepeatKindCount> lists_;
    const tessaron::Repeat* selectedRepeat_ = nullptr;
    std::optional<tessaron::FeatureList> features_;
    int minSetting_ = 8;
    int maxSetting_ = 30;
    QString lastMotif_;
    bool loaded_ = false;
    SettingsStore settings_;

    QWidget* client_ = nullptr;
    QTreeView* tree_ = nullptr;
    RepeatTreeModel* model_ = nullptr;
    QLineEdit* statusLine_ = nullptr;
    SequenceView* sequencePane_ = nullptr;
    std::map<int, QAction*> commands_;
    QPointer<CDiagramDlg> diagram_;
    ComparisonViewer comparisonViewer_;
};
