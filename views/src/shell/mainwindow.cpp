#include "views/shell/mainwindow.h"

#include "engine/repeatkinds.h"
#include "input/filebytes.h"
#include "input/filename.h"
#include "input/readerror.h"
#include "input/records.h"
#include "views/base/joberrormessage.h"
#include "views/base/menucommand.h"
#include "views/base/qtstrings.h"
#include "views/base/regularfile.h"
#include "views/commands/approximatecontroller.h"
#include "views/commands/colourcommands.h"
#include "views/commands/gappedcontroller.h"
#include "views/commands/htmlexporter.h"
#include "views/commands/linkedviews.h"
#include "views/commands/microsatellitecommands.h"
#include "views/commands/paneprinting.h"
#include "views/commands/plastomecommands.h"
#include "views/commands/repeatexporter.h"
#include "views/commands/sessioncommands.h"
#include "views/commands/tandemcontroller.h"
#include "views/dialogs/comparedlg.h"
#include "views/dialogs/finddlg.h"
#include "views/dialogs/helpdlg.h"
#include "views/dialogs/optionsdlg.h"
#include "views/dialogs/randomdlg.h"
#include "views/dialogs/recordchooser.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultsfilterbox.h"
#include "views/results/resultstree.h"
#include "views/sequence/genomestatusbar.h"
#include "views/sequence/motifsearchwindow.h"
#include "views/sequence/sequencenavigator.h"
#include "views/sequence/sequenceview.h"
#include "views/sheets/sheetwindows.h"
#include "views/shell/filedroptarget.h"
#include "views/shell/mainpanes.h"
#include "views/shell/recentfilesmenu.h"
#include "views/shell/windowplace.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <array>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <variant>

using tessaron::Genome;
using tessaron::JobError;
using tessaron::JobResult;
using tessaron::RepeatKind;

namespace {

// The commands that show results: grayed whenever the lists are not all there.
constexpr std::array<int, 9> kResultCommands{
    CTessaronDlg::IdViewReport,    CTessaronDlg::IdViewDirect,        CTessaronDlg::IdViewInverted,
    CTessaronDlg::IdViewMirror,    CTessaronDlg::IdViewComplementary, CTessaronDlg::IdDiagram,
    CTessaronDlg::IdExportRepeats, CTessaronDlg::IdRandomControls,    CTessaronDlg::IdSequenceMap};

// The commands that would start a second job or show results a job is about
// to replace: grayed while a job runs.
constexpr std::array<int, 12> kJobConflicts{
    CTessaronDlg::IdExportRepeats,  CTessaronDlg::IdOpenGenBank,       CTessaronDlg::IdOpenText,
    CTessaronDlg::IdCompareGenomes, CTessaronDlg::IdCreateRandom,      CTessaronDlg::IdOptions,
    CTessaronDlg::IdViewReport,     CTessaronDlg::IdViewDirect,        CTessaronDlg::IdViewInverted,
    CTessaronDlg::IdViewMirror,     CTessaronDlg::IdViewComplementary, CTessaronDlg::IdRandomControls};

// Initial size, close to the window's 431 x 248 dialog units.
constexpr int kInitialWidth = 650;
constexpr int kInitialHeight = 430;

std::filesystem::path toPath(const QString& file)
{
    return std::filesystem::path(toStdString(file));
}

// "NC_012920 [mitochondrion Homo sapiens (human)] - Tessaron"
QString titledCaption(const QString& file, const Genome& genome)
{
    return QStringLiteral("%1 [%2] - %3")
        .arg(toQString(tessaron::displayName(toPath(file))), toQString(genome.title()), applicationName());
}

// A genome file read as a job: the file, or why it was not read (nothing
// at all when the job was cancelled).
struct FileRead {
    std::shared_ptr<const tessaron::InputFile> input;
    std::string error;  // the reader's words, naming the file
    bool outOfMemory = false;
};

FileRead readGenomeFile(const std::filesystem::path& file, const std::stop_token& stop)
{
    FileRead read;
    try {
        if (std::optional<std::string> bytes = tessaron::readFileBytes(file, stop)) {
            read.input = std::make_shared<const tessaron::InputFile>(
                tessaron::InputFile::fromBytes(std::move(*bytes), file));
        }
    } catch (const tessaron::ReadError& error) {
        read.error = error.what();
    } catch (const std::bad_alloc&) {
        read.outOfMemory = true;
    }
    return read;
}

}  // namespace

CTessaronDlg::CTessaronDlg(QWidget* parent, Prompts* prompts)
    : QMainWindow(parent), prompts_(prompts != nullptr ? *prompts : Prompts::current())
{
    LoadSettings();
    // The result tables are Qt's own: there is nothing to register, but the
    // marker of a completed first start is kept as before.
    settings_.firstStart();

    setObjectName(QStringLiteral("CTessaronDlg"));
    setWindowTitle(applicationName());
    auto* panes = new MainPanes(IdDisabled, this);
    setCentralWidget(panes);
    panes_ = panes;
    tree_ = &panes->tree();
    model_ = &tree_->results();
    sequencePane_ = &panes->sequencePane();
    jobs_ = new JobStatus(panes->statusStrip(), this);
    // Said once, until the first command writes its own progress.
    jobs_->show(settings_.problem());
    connect(jobs_, &JobStatus::busyChanged, this, &CTessaronDlg::setBusy);
    sheets_ = new SheetWindows(this, prompts_, settings_, *jobs_, session_);
    maps_ = new MapWindowHolder(this, prompts_, settings_, *jobs_, session_);
    connect(maps_, &MapWindowHolder::warned, this, &CTessaronDlg::ShowStatus);
    connect(maps_, &MapWindowHolder::closing, this, &CTessaronDlg::ForgetDiagram);
    statusBar_ = new GenomeStatusBar(statusBar(), sequencePane_);
    navigator_ = new SequenceNavigator(*sequencePane_, session_.highlights(), *statusBar_, prompts_, this);
    events_ = new WindowEvents(this);
    parts_.emplace(WindowParts{*this, session_, settings_, prompts_, *jobs_, commands_, *tree_,
                               panes->filterBox(), *sequencePane_, *navigator_, *maps_, *sheets_, *events_});
    ssr_ = new MicrosatelliteCommands(*parts_);
    links_ = new LinkedViews(*parts_);
    exporter_ = new RepeatExporter(*parts_);
    connect(tree_, &ResultsTree::itemSelected, this, &CTessaronDlg::OnTreeSelChanged);
    // A click on the word already selected (or Enter on it) shows its first copy again.
    connect(tree_, &ResultsTree::selectedItemChosenAgain, navigator_, &SequenceNavigator::showSelectedWord);
    // A click on the map's marks of a repeat shows that word in the tree
    // and the clicked pair's first copy in the pane.
    connect(maps_, &MapWindowHolder::repeatClicked, this, [this](int pair) {
        tree_->scrollTo(tree_->currentIndex());
        navigator_->showPair(pair);
    });
    createMenus();
    commands_.collect(*menuBar());

    setWindowIcon(programIcon());
    // Windows made without a parent (the sheets, the comparison) take the
    // application's icon: the same one unless the platform gave another.
    if (QApplication::windowIcon().isNull()) {
        QApplication::setWindowIcon(programIcon());
    }
    auto* drops = new FileDropTarget(this);
    connect(jobs_, &JobStatus::busyChanged, drops, [drops](bool busy) { drops->setAccepting(!busy); });
    connect(drops, &FileDropTarget::dropped, this, [this](const QString& path) { openFile(path); });
    resize(kInitialWidth, kInitialHeight);
    new WindowPlace(*this, *panes_, settings_);  // where the window was last closed, if anywhere
}

CTessaronDlg::~CTessaronDlg()
{
    // The map window refers to the features.
    maps_->close();
    // The tree refers to the lists and the genome: empty it before they go.
    model_->clear();
}

void CTessaronDlg::LoadSettings()
{
    const SettingsStore::Values values = settings_.load();
    session_.setLengths(values.minimum, values.maximum);
    session_.setMethod(values.method);
    lastMotif_ = values.motif;
}

QAction* CTessaronDlg::addCommand(QMenu* menu, int id, const QString& text, bool enabled, Handler handler)
{
    QAction* action = addMenuCommand(menu, id, text, enabled);
    if (handler != nullptr) {
        connect(action, &QAction::triggered, this, handler);
    }
    return action;
}

QAction* CTessaronDlg::addCommand(QMenu* menu, std::string_view name, const QString& text, bool enabled,
                                  Handler handler)
{
    QAction* action = addMenuCommand(menu, name, text, enabled);
    if (handler != nullptr) {
        connect(action, &QAction::triggered, this, handler);
    }
    return action;
}

void CTessaronDlg::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    addCommand(file, IdOpenGenBank, tr("&Open (GenBank format)..."), true, &CTessaronDlg::OnOpenGenBank)
        ->setShortcut(QKeySequence::Open);
    addCommand(file, IdOpenText, tr("Open (&Text sequence)..."), true, &CTessaronDlg::OnOpenText);
    exporter_->addCommands(file, IdExportRepeats);
    (new HtmlExporter(*parts_))->addCommand(file, IdExportRepeats);
    recentMenu_ = new RecentFilesMenu(settings_, prompts_, IdClearRecent, this);
    file->addMenu(recentMenu_);
    // A file listed long ago may be a pipe now: only one named today is read.
    connect(recentMenu_, &RecentFilesMenu::openRequested, this,
            [this](const QString& path) { openFile(path, Pipes::Refused); });
    addCommand(file, IdCompareGenomes, tr("Com&pare genomes"), true, &CTessaronDlg::OnCompareGenomes);
    addCommand(file, IdCreateRandom, tr("&Create random sequence"), true, &CTessaronDlg::OnCreateRandom);
    file->addSeparator();
    const SessionCommands::Shell shell{
        [this](const QString& path, std::size_t record) { openRecord(path, record); },
        [this] {
            QAction* map =
                command(session_.features() ? static_cast<int>(IdDiagram) : static_cast<int>(IdSequenceMap));
            if (map != nullptr && map->isEnabled()) {
                map->trigger();
            }
        }};
    (new SessionCommands(*parts_, shell))->addCommands(file);
    addPanePrinting(file, *parts_);
    file->addSeparator();
    addCommand(file, IdExit, tr("E&xit"), true, &CTessaronDlg::OnExit)->setShortcut(Qt::CTRL | Qt::Key_Q);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    addCommand(edit, IdFindMotif, tr("&Find motif..."), false, &CTessaronDlg::OnFindMotif)
        ->setShortcut(QKeySequence::Find);
    navigator_->addFindingCommands(edit);
    links_->addFindingCommands(edit);
    (new MotifSearchWindow(session_, *sequencePane_, this))->addCommand(edit);
    edit->addSeparator();
    addCommand(edit, IdOptions, tr("Op&tions..."), true, &CTessaronDlg::OnOptions);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    addCommand(view, IdDiagram, tr("&Diagram"), false, &CTessaronDlg::OnDiagram);
    addCommand(view, "sequenceMap", tr("&Map of the sequence"), false, &CTessaronDlg::OnSequenceMap);
    view->addSeparator();
    addCommand(view, IdViewReport, tr("View Re&port"), false, &CTessaronDlg::OnViewReport);
    addCommand(view, IdRandomControls, tr("Compare with random &controls..."), false,
               &CTessaronDlg::OnRandomControls);
    QMenu* results = view->addMenu(tr("View &Results"));
    results->setObjectName(QStringLiteral("viewResultsMenu"));
    // The command of each kind, indexed by RepeatKind.
    constexpr std::array<int, tessaron::kRepeatKindCount> kViewResults{IdViewDirect, IdViewInverted,
                                                                       IdViewMirror, IdViewComplementary};
    for (const RepeatKind kind : tessaron::kKindOrder) {
        connect(addMenuCommand(results, kViewResults[static_cast<std::size_t>(kind)],
                               toQString(tessaron::kindInfo(kind).heading), false),
                &QAction::triggered, this, [this, kind] { ViewKind(kind); });
    }
    view->addSeparator();
    panes_->filterBox().addShowCommand(view, IdShowFilter);
    view->addSeparator();
    navigator_->addZoomCommands(view);
    links_->addViewCommands(view);
    view->addSeparator();
    (new ColourCommands(*sequencePane_, *navigator_, *maps_, settings_, this))->addCommand(view);

    ssr_->addCommands(edit, view, IdRandomControls);
    (new TandemController(*parts_))->addCommands(edit);
    auto* approximate = new ApproximateController(*parts_);
    approximate->addCommands(edit, view);
    new GappedController(*parts_, *approximate);
    (new PlastomeCommands(*parts_))->addCommand(view);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    addCommand(help, "howToRead", tr("&How to read the results"), true, &CTessaronDlg::OnHowToRead);
    addCommand(help, "about", tr("&About Tessaron"), true, &CTessaronDlg::OnAbout);
}

void CTessaronDlg::enableCommand(int id, bool enabled)
{
    commands_.enable(id, enabled);
}

void CTessaronDlg::ShowStatus(const QString& text)
{
    jobs_->show(text);
}

void CTessaronDlg::ClearStatus()
{
    jobs_->clear();
}

void CTessaronDlg::ShowSequence()
{
    panes_->showSequence(session_.genome().sequence());
    ClearStatus();
    statusBar_->sequenceChanged();
    navigator_->sequenceChanged();
}

void CTessaronDlg::ClearResults()
{
    session_.highlights().clear();
    enableCommand(IdNextCopy, false);
    enableCommand(IdPreviousCopy, false);
    model_->clear();
    sheets_->closeGenomeSheets();
    for (const int id : kResultCommands) {
        enableCommand(id, false);
    }
}

void CTessaronDlg::setBusy(bool busy)
{
    if (busy) {
        enabledBeforeJob_.clear();
        for (const int id : kJobConflicts) {
            enabledBeforeJob_[id] = command(id)->isEnabled();
            enableCommand(id, false);
        }
    } else {
        for (const auto& [id, enabled] : std::exchange(enabledBeforeJob_, {})) {
            enableCommand(id, enabled);
        }
    }
    recentMenu_->setEnabled(!busy);
}

void CTessaronDlg::reportJobError(const JobResult& result, const QString& file)
{
    if (const std::optional<JobErrorMessage> message = jobErrorMessage(result, file)) {
        showMessage(message->caption, message->text, message->icon);
    }
}

void CTessaronDlg::adopt(tessaron::SessionState state)
{
    maps_->close();
    ClearResults();
    session_.adopt(std::move(state));
    const auto& features = session_.features();
    model_->show(session_.state(), features ? std::make_shared<const tessaron::FeatureIndex>(
                                                  *features, session_.genome().length())
                                            : nullptr);
    enableCommand(IdFindMotif,
                  session_.loaded() && session_.suffixIndex() && !session_.suffixIndex()->empty());
    if (session_.analysed()) {
        for (const int id : kResultCommands) {
            enableCommand(id, true);
        }
        enableCommand(IdDiagram, features.has_value());
        enableCommand(IdSequenceMap, !features.has_value() && session_.genome().length() > 0);
    }
    emit events_->adopted();
}

void CTessaronDlg::load(tessaron::GenomeSource source, std::function<QString(const Genome&)> caption,
                        const QString& file)
{
    jobs_->run(session_.load(std::move(source)),
               [this, caption = std::move(caption), file](JobResult result) {
                   if (!result.state) {
                       ClearStatus();
                       reportJobError(result, file);
                       return;
                   }
                   adopt(std::move(*result.state));
                   setWindowTitle(caption(session_.genome()));
                   if (!file.isEmpty()) {
                       recentMenu_->remember(file);
                   }
                   reportJobError(result);
                   ShowSequence();
               });
}

void CTessaronDlg::RunAnalysis()
{
    if (!session_.loaded()) {
        return;
    }
    jobs_->run(session_.reanalysis(), [this](JobResult result) {
        if (!result.state) {
            ClearStatus();
            reportJobError(result);
            return;
        }
        adopt(std::move(*result.state));
        reportJobError(result);
        // The progress lines were for the analysis, which has ended.
        ClearStatus();
    });
}

void CTessaronDlg::OnTreeSelChanged(const QModelIndex& item)
{
    ClearStatus();
    // The pairs of the word are made now, once, for the pane and the map.
    tessaron::Highlights& highlights = session_.highlights();
    const std::optional<tessaron::Repeat> repeat = model_->describedRepeatAt(item);
    if (repeat) {
        highlights.selectWord(model_->kindAt(item), *repeat, model_->pairsAt(item));
    } else {
        ssr_->select(item);  // a microsatellite, or nothing
    }
    paintHighlights();
    if (repeat || highlights.selectedMicrosatellite() != nullptr) {
        navigator_->showFirstCopy();
    } else {
        sequencePane_->setCaret(0);
    }
    sequencePane_->viewport()->repaint();
    if (CDiagramDlg* map = maps_->open()) {
        map->ShowRepeat(highlights.selectedRepeat(), highlights.selectedPairs(), model_->kindAt(item));
    }
}

void CTessaronDlg::paintHighlights()
{
    // The pane already holds the sequence (every load ends by showing it), so
    // only the highlights go: nothing here grows with the genome.
    if (sequencePane_->textLength() != session_.genome().length()) {
        ShowSequence();
    }
    navigator_->paint();
}

void CTessaronDlg::OnDiagram()
{
    const auto& features = session_.features();
    if (!features) {
        showMessage(applicationName(), tr("There is no loaded genome!"), Prompts::Icon::None);
        return;
    }
    const tessaron::Highlights& highlights = session_.highlights();
    maps_->show(*features, session_.genome())
        .ShowRepeat(highlights.selectedRepeat(), highlights.selectedPairs(),
                    model_->kindAt(tree_->currentIndex()));
}

void CTessaronDlg::OnSequenceMap()
{
    const Genome& genome = session_.genome();
    if (genome.length() == 0) {
        showMessage(applicationName(), tr("There is no loaded genome!"), Prompts::Icon::None);
        return;
    }
    // The features of a GenBank genome ("&Diagram"), else the whole sequence alone.
    const tessaron::FeatureList ring{{0, genome.length() - 1, "sequence", tessaron::kColorSequence}};
    const tessaron::Highlights& highlights = session_.highlights();
    maps_->show(session_.features().value_or(ring), genome)
        .ShowRepeat(highlights.selectedRepeat(), highlights.selectedPairs(),
                    model_->kindAt(tree_->currentIndex()));
}

void CTessaronDlg::ForgetDiagram()
{
    maps_->forget();
}

void CTessaronDlg::showMessage(const QString& caption, const QString& text, Prompts::Icon icon)
{
    prompts_.message(this, caption, text, icon);
}

void CTessaronDlg::showOutOfMemory()
{
    showMessage(outOfMemoryMessage().caption, outOfMemoryMessage().text, Prompts::Icon::None);
}

QString CTessaronDlg::chooseFileToOpen(const QString& firstType)
{
    return settings_.keepFolderOf(
        prompts_.openFile(this, tr("Open"), filetypes::sequenceFiles(firstType), settings_.lastFolder()));
}

bool CTessaronDlg::refusedAsNoFile(const QString& path, Pipes pipes)
{
    if (const std::optional<QString> refusal = notARegularFile(path, pipes == Pipes::Read)) {
        showMessage(applicationName(), *refusal, Prompts::Icon::Warning);
        return true;
    }
    return false;
}

void CTessaronDlg::openFile(const QString& path, Pipes pipes)
{
    readAndOpen(path, Opening::ByContent, std::nullopt, pipes);
}

void CTessaronDlg::openRecord(const QString& path, std::size_t record)
{
    readAndOpen(path, Opening::ByContent, record, Pipes::Read);
}

void CTessaronDlg::OnOpenGenBank()
{
    const QString path = chooseFileToOpen(filetypes::genBank());
    if (!path.isEmpty()) {
        openGenBankFile(path);
    }
}

void CTessaronDlg::openGenBankFile(const QString& path)
{
    readAndOpen(path, Opening::GenBank, std::nullopt, Pipes::Read);
}

void CTessaronDlg::OnOpenText()
{
    const QString path = chooseFileToOpen(filetypes::text());
    if (!path.isEmpty()) {
        openTextFile(path);
    }
}

void CTessaronDlg::openTextFile(const QString& path)
{
    readAndOpen(path, Opening::Text, std::nullopt, Pipes::Read);
}

void CTessaronDlg::readAndOpen(const QString& path, Opening how, std::optional<std::size_t> record,
                               Pipes pipes)
{
    if (jobs_->busy() || refusedAsNoFile(path, pipes)) {
        return;
    }
    ShowStatus(tr("Reading %1...").arg(toQString(tessaron::displayName(toPath(path)))));
    jobs_->run<FileRead>(
        [file = toPath(path)](const std::stop_token& stop, const JobRunner::Reporter<double>&) {
            return readGenomeFile(file, stop);
        },
        [this, path, how, record](FileRead read) {
            ClearStatus();
            if (read.outOfMemory) {
                showOutOfMemory();
            } else if (!read.error.empty()) {
                // Told as the load would tell it.
                reportJobError(
                    JobResult{std::nullopt,
                              how == Opening::GenBank ? JobError::NotGenBank : JobError::ReadFailed,
                              std::move(read.error)},
                    path);
            } else if (read.input) {
                openRead(path, how, record, std::move(read.input));
            }
        });
}

void CTessaronDlg::openRead(const QString& path, Opening how, std::optional<std::size_t> record,
                            std::shared_ptr<const tessaron::InputFile> input)
{
    if (how == Opening::ByContent) {
        how = input->format() == tessaron::RecordFormat::GenBank ? Opening::GenBank : Opening::Text;
    }
    const std::optional<RecordChoice> choice = chooseRecord(prompts_, this, std::move(input), record);
    if (!choice) {
        return;
    }
    if (how == Opening::GenBank) {
        load(
            tessaron::GenBankSource{toPath(path), choice->record, choice->input},
            [path](const Genome& loaded) { return titledCaption(path, loaded); }, path);
        return;
    }
    const auto caption = [this, path](const Genome& loaded) {
        // A GenBank or FASTA file read through this command is captioned with its title.
        if (session_.state().format != tessaron::RecordFormat::Text) {
            return titledCaption(path, loaded);
        }
        return QStringLiteral("%1 - %2").arg(toQString(tessaron::displayName(toPath(path))),
                                             applicationName());
    };
    load(tessaron::TextSource{toPath(path), choice->record, choice->input}, caption, path);
}

void CTessaronDlg::OnCreateRandom()
{
    CRandomDlg::Counts loaded{};
    if (session_.loaded()) {
        for (std::size_t k = 0; k < loaded.size(); ++k) {
            loaded[k] =
                session_.suffixIndex() ? session_.suffixIndex()->baseCount(tessaron::kAlphabet[k]) : 0;
        }
    }
    const std::optional<CRandomDlg::Counts> chosen = CRandomDlg::ask(loaded, prompts_, this);
    if (!chosen) {
        return;
    }
    ShowStatus(tr("Creating sequence..."));
    const CRandomDlg::Counts counts = *chosen;
    jobs_->run(session_.load(tessaron::RandomSource{counts, std::nullopt}), [this, counts](JobResult result) {
        if (!result.state) {
            ClearStatus();
            if (result.error == JobError::RandomRefused) {
                showMessage(applicationName(),
                            CRandomDlg::refusal(counts[0] + counts[1] + counts[2] + counts[3]));
            }
            reportJobError(result);
            return;
        }
        adopt(std::move(*result.state));
        reportJobError(result);
        ShowSequence();
        setWindowTitle(CRandomDlg::caption(counts));
    });
}

void CTessaronDlg::OnExit()
{
    close();
}

void CTessaronDlg::OnFindMotif()
{
    if (!session_.loaded() || !session_.suffixIndex()) {
        return;
    }
    bool bothStrands = settings_.bothStrands();
    const std::optional<QString> chosen = CFindDlg::ask(lastMotif_, &bothStrands, prompts_, this);
    if (!chosen) {
        return;
    }
    lastMotif_ = *chosen;  // an empty motif is forgotten, but not stored
    if (lastMotif_.isEmpty()) {
        return;
    }
    settings_.saveMotif(lastMotif_);
    settings_.saveBothStrands(bothStrands);
    ClearStatus();
    const tessaron::Highlights::MotifCounts found =
        session_.highlights().findMotif(*session_.suffixIndex(), toStdString(*chosen), bothStrands);
    paintHighlights();
    if (found.forward != 0 && !bothStrands) {
        ShowStatus(tr("found %1 occurrences").arg(found.forward));
    } else if (found.forward != 0 || found.reverse != 0) {
        ShowStatus(tr("found %1 occurrences, %2 on the other strand").arg(found.forward).arg(found.reverse));
    } else {
        showMessage(applicationName(), tr("Motif not found in the sequence!"), Prompts::Icon::None);
    }
    sequencePane_->setCaret(1);
    sequencePane_->viewport()->repaint();
}

void CTessaronDlg::OnOptions()
{
    const std::optional<OptionsResult> chosen = COptionsDlg::ask(
        OptionsResult{session_.minimum(), session_.maximum(), session_.method()}, prompts_, this);
    if (!chosen) {
        return;
    }
    settings_.saveLengths(chosen->minimum, chosen->maximum);
    settings_.saveMethod(chosen->method);
    session_.setLengths(chosen->minimum, chosen->maximum);
    session_.setMethod(chosen->method);
    RunAnalysis();
}

void CTessaronDlg::OnCompareGenomes()
{
    // The files are read into genomes of the run's own: the loaded genome,
    // its results and the map stay as they are.
    CCompareDlg dialog(session_.minimum(), session_.maximum(), prompts_, this);
    dialog.setMethod(session_.method());
    dialog.setSheetViewer([this](const tessaron::GenomeComparison& comparison) {
        if (comparisonViewer_) {
            comparisonViewer_(comparison);
        } else {
            sheets_->showComparison(comparison);
        }
    });
    jobs_->lead(dialog.runner());
    ssr_->offerTo(dialog);
    dialog.exec();
}

void CTessaronDlg::OnViewReport()
{
    if (session_.analysed()) {  // else no completed analysis: the command is grayed
        sheets_->showReport(session_.state().analysis);
    }
}

void CTessaronDlg::ViewKind(RepeatKind kind)
{
    if (!session_.snapshot(kind) || jobs_->busy()) {
        return;
    }
    ShowStatus(tr("Wait..."));
    sheets_->showListing(session_.snapshot(kind));
    ClearStatus();
}

void CTessaronDlg::OnRandomControls()
{
    if (session_.analysed() && !jobs_->busy()) {
        sheets_->runControls(session_.method());
    }
}

void CTessaronDlg::OnAbout()
{
    prompts_.message(this, tr("About Tessaron"), aboutText(), Prompts::Icon::Information);
}

void CTessaronDlg::OnHowToRead()
{
    // One page, left open beside the results while they are read.
    if (help_ == nullptr) {
        help_ = new CHelpDlg(this);
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    help_->show();
    help_->raise();
}
