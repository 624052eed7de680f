#pragma once

#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "session/session.h"
#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/commands/windowparts.h"
#include "views/sequence/sequencenavigator.h"
#include "views/shell/mainpanes.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

class CHelpDlg;
class GenomeStatusBar;
class LinkedViews;
class MapWindowHolder;
class MicrosatelliteCommands;
class QAction;
class QMenu;
class RecentFilesMenu;
class RepeatExporter;
class RepeatTreeModel;
class ResultsTree;
class SequenceView;
class SheetWindows;

// The program's main window: the results tree on the left, the status line at
// the top right and the sequence pane below it, with the menu of commands. Its
// session holds the genome, the four results of the last analysis, the
// features of the last GenBank file, the length settings and the highlighted
// copies.
//
// The window keeps the commands, the loading and the adopting of results;
// its parts are objects of their own, handed to the controllers as one set
// (WindowParts) and named for tests: the client area
// ("mainPanes") with the results tree ("tree"), its filter ("filterBox") and
// the sequence pane ("sequencePane"); the line of work ("jobStatus": status
// line, progress bar, Cancel and Esc, and the job runner); finding one's way
// in the sequence ("sequenceNavigator"); the status bar's parts
// ("genomeStatusBar"); "Open &Recent" ("recentFilesMenu"); the report sheets
// and the map window beside the window ("sheetWindows", "mapWindowHolder");
// the opening of a dropped file ("fileDropTarget"); the window's size,
// place and tree width kept from one run to the next ("windowPlace"); the
// microsatellites ("microsatelliteCommands"); the export commands
// ("repeatExporter"); the annotation, feature table and pairs table that
// lead to the sequence ("linkedViews"); the approximate search with its
// dot plot ("approximateController"); and the gapped search with its
// families and alignment window ("gappedController").
//
// Loading, indexing and the searches run as one job off the window's thread:
// the status line tells the step, and the commands that would start another
// job or show results are grayed until it ends. The window keeps painting and
// its tree keeps the previous results meanwhile. Only a job that succeeds
// replaces the genome and its results; a cancelled one, or a file that cannot
// be read, leaves them as they were.
class CTessaronDlg : public QMainWindow {
    Q_OBJECT

public:
    // Command ids of the menus; every action carries its id as data and
    // "command<id>" as its name.
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
    // Commands of the window's own beyond the first menu, by name (see
    // commandId): finding one's way in the sequence, the tree's filter, zoom,
    // recent files and help.
    enum WindowCommand : int {
        IdGoToPosition = SequenceNavigator::IdGoToPosition,
        IdNextCopy = SequenceNavigator::IdNextCopy,
        IdPreviousCopy = SequenceNavigator::IdPreviousCopy,
        IdShowFilter = commandId("showFilter"),
        IdZoomIn = SequenceNavigator::IdZoomIn,
        IdZoomOut = SequenceNavigator::IdZoomOut,
        IdZoomReset = SequenceNavigator::IdZoomReset,
        IdClearRecent = commandId("clearRecent"),
        IdAbout = commandId("about"),
        IdHowToRead = commandId("howToRead"),
        IdSequenceMap = commandId("sequenceMap"),
    };
    // Control ids of the three panes.
    enum Control : int {
        IdTree = MainPanes::IdTree,
        IdStatusLine = JobStatus::IdStatusLine,
        IdSequencePane = MainPanes::IdSequencePane
    };

    // Messages and file choosers go through `prompts` (by default the ones
    // in use when the window is made).
    explicit CTessaronDlg(QWidget* parent = nullptr, Prompts* prompts = nullptr);
    ~CTessaronDlg() override;
    CTessaronDlg(const CTessaronDlg&) = delete;
    CTessaronDlg& operator=(const CTessaronDlg&) = delete;

    // Whether a pipe (FIFO) may be read: only one the user named (on the
    // command line, in a file chooser or in a session file).
    enum class Pipes { Refused, Read };
    // Opens a file as the open commands do: as GenBank when it is detected
    // as GenBank (its LOCUS line), otherwise by its bytes as the text command
    // does. Both commands tell the format by the bytes (but plain text
    // through the GenBank command is rejected), and a file of several records
    // asks which one to open. The file is read as a job, which Cancel stops
    // (a pipe is read from its writer until that writer closes it); the
    // genome and results on screen stay until the new genome has loaded. A
    // device, a socket, and a pipe unless `pipes` allows it, are refused with
    // a message.
    void openFile(const QString& path, Pipes pipes = Pipes::Read);
    void openGenBankFile(const QString& path);
    void openTextFile(const QString& path);
    // Opens record `record` (0-based) of a file without asking which: a session reopened.
    void openRecord(const QString& path, std::size_t record);

    // The menu action of a command id; null for an unknown id.
    [[nodiscard]] QAction* command(int id) const { return commands_.find(id); }

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

    // What the window works on.
    [[nodiscard]] tessaron::Session& session() { return session_; }
    [[nodiscard]] const tessaron::Session& session() const { return session_; }
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
    void OnViewDirect() { ViewKind(tessaron::RepeatKind::Direct); }
    void OnViewInverted() { ViewKind(tessaron::RepeatKind::Inverted); }
    void OnViewMirror() { ViewKind(tessaron::RepeatKind::Mirror); }
    void OnViewComplementary() { ViewKind(tessaron::RepeatKind::Complementary); }
    // The analysis beside random sequences of the genome's composition,
    // analysed alike on the worker: the pairs per kind and length with the
    // controls' mean, standard deviation and z, in a report sheet.
    void OnRandomControls();
    // Compares genome files by one kind of repeat, in the comparison dialog,
    // with the window's lengths and search; the loaded genome and its results
    // stay as they are.
    void OnCompareGenomes();
    void OnAbout();
    void OnHowToRead();
    // The map of a genome without features (FASTA, text, random): the plain
    // ring and its scale, in the map window.
    void OnSequenceMap();

private:
    void LoadSettings();
    void createMenus();
    // Adds a command to `menu` that `handler` (if any) carries out.
    using Handler = void (CTessaronDlg::*)();
    QAction* addCommand(QMenu* menu, int id, const QString& text, bool enabled, Handler handler);
    QAction* addCommand(QMenu* menu, std::string_view name, const QString& text, bool enabled,
                        Handler handler);
    void enableCommand(int id, bool enabled);
    void OnTreeSelChanged(const QModelIndex& item);
    // Grays the commands that would conflict with a job, or gives them back
    // the state they had before it.
    void setBusy(bool busy);
    // Loads a genome as a job; once it has succeeded the caption is made from
    // the new genome, and a file is added to the recent files.
    void load(tessaron::GenomeSource source, std::function<QString(const tessaron::Genome&)> caption,
              const QString& file = QString());
    // Tells why a job gave nothing to adopt (the job read `file`, if any).
    void reportJobError(const tessaron::JobResult& result, const QString& file = QString());
    // Takes a job's new state: the diagram closes, the tree shows the new
    // results and the commands follow them.
    void adopt(tessaron::SessionState state);
    // The listing of one kind in the report sheet, filled under "Wait...".
    void ViewKind(tessaron::RepeatKind kind);
    // A file chosen for opening: the folder is remembered.
    QString chooseFileToOpen(const QString& firstType);
    // Paints the session's highlighted copies in the pane.
    void paintHighlights();
    void showOutOfMemory();
    // How a file is opened: by its bytes (openFile) or through a command.
    enum class Opening { ByContent, GenBank, Text };
    // Reads the file as a job, then opens the record chosen from it.
    void readAndOpen(const QString& path, Opening how, std::optional<std::size_t> record, Pipes pipes);
    void openRead(const QString& path, Opening how, std::optional<std::size_t> record,
                  std::shared_ptr<const tessaron::InputFile> input);
    // Refuses, with a message, a path that is there but neither a regular
    // file nor a pipe `pipes` allows (a device may never end): true when refused.
    bool refusedAsNoFile(const QString& path, Pipes pipes);
    void showMessage(const QString& caption, const QString& text,
                     Prompts::Icon icon = Prompts::Icon::Warning);

    Prompts& prompts_;
    SettingsStore settings_;
    QString lastMotif_;
    tessaron::Session session_;
    MainPanes* panes_ = nullptr;
    ResultsTree* tree_ = nullptr;
    RepeatTreeModel* model_ = nullptr;
    SequenceView* sequencePane_ = nullptr;
    JobStatus* jobs_ = nullptr;
    GenomeStatusBar* statusBar_ = nullptr;
    RecentFilesMenu* recentMenu_ = nullptr;
    SheetWindows* sheets_ = nullptr;
    SequenceNavigator* navigator_ = nullptr;
    MapWindowHolder* maps_ = nullptr;
    MicrosatelliteCommands* ssr_ = nullptr;  // the microsatellites (simple sequence repeats)
    RepeatExporter* exporter_ = nullptr;
    LinkedViews* links_ = nullptr;
    CommandSet commands_;
    WindowEvents* events_ = nullptr;
    // The parts every controller is handed; made once the parts are.
    std::optional<WindowParts> parts_;
    QPointer<CHelpDlg> help_;
    ComparisonViewer comparisonViewer_;
    // The commands a job grayed, with whether they were enabled before it.
    std::map<int, bool> enabledBeforeJob_;
};
