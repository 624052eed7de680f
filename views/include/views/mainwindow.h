#pragma once

#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "input/feature.h"
#include "session/session.h"
#include "views/jobrunner.h"
#include "views/mapwindow.h"
#include "views/prompts.h"
#include "views/settingsstore.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QShortcut;
class QSpinBox;
class QSplitter;
class QTreeView;
class CReportSheetDlg;
class RepeatTreeModel;
class SequenceView;

// The program's main window: the results tree on the left, the status line at
// the top right and the sequence pane below it, with the menu of commands. Its
// session holds the genome, the four results of the last analysis, the
// features of the last GenBank file and the length settings.
//
// Loading, indexing and the searches run as one job off the window's thread:
// the status line tells the step ("Getting \"direct repeats\"..." before each
// search), a progress bar and a Cancel button (or Esc) appear beside it, and
// the commands that would start another job or show results are grayed until
// it ends. The window keeps painting and its tree keeps the previous results
// meanwhile. Only a job that succeeds replaces the genome and its results; a
// cancelled one, or a file that cannot be read, leaves them as they were.
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
        IdExportRepeats = 32795,
        IdRandomControls = 32800,
    };
    // Commands of the window's own beyond the first menu: finding one's way
    // in the sequence, the tree's filter, zoom, recent files and help.
    enum WindowCommand : int {
        IdGoToPosition = 32850,
        IdNextCopy = 32851,
        IdPreviousCopy = 32852,
        IdShowFilter = 32853,
        IdZoomIn = 32854,
        IdZoomOut = 32855,
        IdZoomReset = 32856,
        IdClearRecent = 32857,
        IdAbout = 32858,
        IdHowToRead = 32859,
    };
    // Control ids of the three panes.
    enum Control : int { IdTree = 1000, IdStatusLine = 1002, IdSequencePane = 1005 };

    // Control ids of the job's progress bar and Cancel button.
    enum JobControls : int { IdProgressBar = 1006, IdCancel = 2 };

    // Messages and file choosers go through `prompts` (by default the ones
    // in use when the window is made).
    explicit CTessaronDlg(QWidget* parent = nullptr, Prompts* prompts = nullptr);
    ~CTessaronDlg() override;
    CTessaronDlg(const CTessaronDlg&) = delete;
    CTessaronDlg& operator=(const CTessaronDlg&) = delete;

    // Opens a file as the open commands do: as GenBank when its first
    // non-blank line begins with LOCUS, as FASTA when with '>', otherwise as
    // plain text. Both commands tell the format by the bytes (but plain text
    // through the GenBank command is rejected), and a file of several records
    // asks which one to open.
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
    // Indexes the loaded sequence again under the current lengths and runs
    // the four searches, as a job; a branch of the tree per kind once it has
    // succeeded, then the result commands are enabled. Out of memory stops it
    // with a message, keeping the branches made so far.
    void RunAnalysis();
    // Forgets the selection, empties the tree and grays the commands that
    // would show results.
    void ClearResults();

    // Whether a job is running; waitForIdle() runs the event loop until none is.
    [[nodiscard]] bool busy() const { return jobs_->busy(); }
    void waitForIdle() { jobs_->waitForIdle(); }
    // Asks the running job to stop (the Cancel button and Esc).
    void cancelJob() { jobs_->cancel(); }
    // Jobs run inside the command that starts them (tests).
    void setInlineJobs(bool runInline) { jobs_->setInlineJobs(runInline); }
    [[nodiscard]] JobRunner* jobs() const { return jobs_.get(); }

    [[nodiscard]] tessaron::Session& session() { return session_; }
    [[nodiscard]] const tessaron::Genome& genome() const { return session_.genome(); }
    [[nodiscard]] const tessaron::RepeatSnapshot* snapshot(tessaron::RepeatKind kind) const
    {
        return session_.snapshot(kind).get();
    }
    [[nodiscard]] const std::optional<tessaron::FeatureList>& features() const { return session_.features(); }
    // The selected word as a repeat (its length and pairs), null when no word is selected.
    [[nodiscard]] const tessaron::Repeat* selectedRepeat() const
    {
        return selectedRepeat_ ? &*selectedRepeat_ : nullptr;
    }
    // The pairs of the selected word, made when it was selected.
    [[nodiscard]] const std::vector<tessaron::RepeatPair>& selectedPairs() const { return selectedPairs_; }
    [[nodiscard]] int minSetting() const { return session_.minimum(); }
    [[nodiscard]] int maxSetting() const { return session_.maximum(); }
    [[nodiscard]] const QString& lastMotif() const { return lastMotif_; }
    [[nodiscard]] bool loaded() const { return session_.loaded(); }

    [[nodiscard]] QTreeView* tree() const { return tree_; }
    [[nodiscard]] RepeatTreeModel* treeModel() const { return model_; }
    [[nodiscard]] QLineEdit* statusLine() const { return statusLine_; }
    [[nodiscard]] SequenceView* sequencePane() const { return sequencePane_; }
    [[nodiscard]] QProgressBar* progressBar() const { return progressBar_; }
    [[nodiscard]] QPushButton* cancelButton() const { return cancelButton_; }
    [[nodiscard]] QSplitter* splitter() const { return splitter_; }
    // The filter box above the tree (hidden until "Filter results") and its fields.
    [[nodiscard]] QWidget* filterBox() const { return filterBox_; }
    [[nodiscard]] QSpinBox* filterMinLength() const { return filterMinLength_; }
    [[nodiscard]] QSpinBox* filterMaxLength() const { return filterMaxLength_; }
    [[nodiscard]] QSpinBox* filterMinPairs() const { return filterMinPairs_; }
    [[nodiscard]] QLineEdit* filterWord() const { return filterWord_; }
    // The status bar's parts: the position under the mouse, the selection, the genome.
    [[nodiscard]] QLabel* positionLabel() const { return positionLabel_; }
    [[nodiscard]] QLabel* selectionLabel() const { return selectionLabel_; }
    [[nodiscard]] QLabel* genomeLabel() const { return genomeLabel_; }
    // The "Open &Recent" menu; its files, newest first.
    [[nodiscard]] QMenu* recentMenu() const { return recentMenu_; }
    [[nodiscard]] QStringList recentFiles() const;
    // The starts of the highlighted copies (the selected word's or the
    // motif's), in order along the sequence.
    [[nodiscard]] const std::vector<int>& copyStarts() const { return copies_; }
    // The open map window, or null.
    [[nodiscard]] CDiagramDlg* diagram() const { return diagram_; }
    // The report sheets open beside the window, oldest first.
    [[nodiscard]] std::vector<CReportSheetDlg*> sheets() const;
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
    // Writes the repeats of the analysis as GFF3 or BED, on the job runner,
    // into a file chosen in the folder of the last export.
    void OnExportRepeats();
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
    // The analysis beside random sequences of the genome's composition,
    // analysed alike on the worker: the pairs per kind and length with the
    // controls' mean, standard deviation and z, in a report sheet.
    void OnRandomControls();
    // Compares genome files by one kind of repeat, in the comparison dialog,
    // with the window's lengths and search; the loaded genome and its results
    // stay as they are.
    void OnCompareGenomes();
    // Asks for a 1-based position and puts the caret there.
    void OnGoToPosition();
    // Brings the next (previous) highlighted copy after (before) the caret into view.
    void OnNextCopy();
    void OnPreviousCopy();
    void OnAbout();
    void OnHowToRead();

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
    // Runs a session job; `done` gets its result on this thread.
    void startJob(tessaron::Job job, std::function<void(tessaron::JobResult)> done);
    void showProgress(int stage, double fraction);
    // Grays the commands that would conflict with a job, or gives them back
    // the state they had before it.
    void setBusy(bool busy);
    // Loads a genome as a job; once it has succeeded the caption is made from
    // the new genome.
    // A file that loads is added to the recent files.
    void load(tessaron::GenomeSource source, std::function<QString(const tessaron::Genome&)> caption,
              const QString& file = QString());
    // Tells why a job gave nothing to adopt.
    void reportJobError(const tessaron::JobResult& result);
    // Takes a job's new state: the diagram closes, the tree shows the new
    // results and the commands follow them.
    void adopt(tessaron::SessionState state);
    // The listing of one kind in the report sheet, filled under "Wait...".
    void ViewKind(tessaron::RepeatKind kind);
    // Shows a sheet beside the window (not modally), its file chooser and
    // messages going through the prompts. A sheet that follows the genome
    // closes when the genome or its results are replaced.
    void showSheet(CReportSheetDlg* sheet, bool followsGenome);
    void closeGenomeSheets();
    void enableCommand(int id, bool enabled);
    // The window's own commands: the menus' additions, the filter box, the
    // status bar and the splitter (mainwindowextras.cpp).
    void addWindowCommands(QMenu* file, QMenu* edit, QMenu* view);
    // The layout: the tree (below its filter box) and the right pane in a
    // splitter, and the status bar.
    void createPanes();
    QWidget* createFilterBox();
    // The status bar, the pane's ruler and signals, the click on the
    // selected word and the window's icon, once every control exists.
    void finishWindow();
    void applyFilter();
    void layoutRightPane(int width, int height);
    // A file chosen for opening: the folder is remembered.
    QString chooseFileToOpen(const QString& firstType);
    void rememberRecent(const QString& path);
    void openRecent(const QString& path);
    void rebuildRecentMenu();
    // The copies the pane highlights, for Next and Previous copy.
    void setCopies(std::vector<int> starts, int length);
    void stepCopy(bool forward);
    // Brings the first copy of the selected word into view again.
    void showFirstCopy();
    void updateStatusBar();
    void updateSelectionLabel();
    // The pane back to the plain sequence.
    void clearHighlights();

    // Destroys the map window, if one is open.
    void closeDiagram();
    void showOutOfMemory();
    void showMessage(const QString& caption, const QString& text,
                     Prompts::Icon icon = Prompts::Icon::Warning);

    Prompts& prompts_;
    tessaron::Session session_;
    std::optional<tessaron::Repeat> selectedRepeat_;
    std::vector<tessaron::RepeatPair> selectedPairs_;
    QString lastMotif_;
    SettingsStore settings_;

    QWidget* client_ = nullptr;
    QTreeView* tree_ = nullptr;
    RepeatTreeModel* model_ = nullptr;
    QLineEdit* statusLine_ = nullptr;
    SequenceView* sequencePane_ = nullptr;
    std::map<int, QAction*> commands_;
    QPointer<CDiagramDlg> diagram_;
    QSplitter* splitter_ = nullptr;
    QWidget* rightPane_ = nullptr;
    bool splitterMoved_ = false;
    QWidget* filterBox_ = nullptr;
    QSpinBox* filterMinLength_ = nullptr;
    QSpinBox* filterMaxLength_ = nullptr;
    QSpinBox* filterMinPairs_ = nullptr;
    QLineEdit* filterWord_ = nullptr;
    QLabel* positionLabel_ = nullptr;
    QLabel* selectionLabel_ = nullptr;
    QLabel* genomeLabel_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    std::vector<int> copies_;
    int copyLength_ = 0;
    bool bothStrands_ = false;
    ComparisonViewer comparisonViewer_;
    std::vector<QPointer<CReportSheetDlg>> genomeSheets_;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QShortcut* escape_ = nullptr;
    // The commands a job grayed, with whether they were enabled before it.
    std::map<int, bool> enabledBeforeJob_;
    // Last, so that it goes first: a running job is stopped and waited for
    // while the window is still whole.
    std::unique_ptr<JobRunner> jobs_;
};
