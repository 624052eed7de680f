#include "views/mainwindow.h"

#include "charts/chartpanel.h"
#include "compare/controls.h"
#include "engine/repeatkinds.h"
#include "input/filename.h"
#include "input/genbankreader.h"
#include "input/readerror.h"
#include "input/textreader.h"
#include "report/reportlayout.h"
#include "session/repeatexport.h"
#include "views/comparedlg.h"
#include "views/finddlg.h"
#include "views/mapwindow.h"
#include "views/optionsdlg.h"
#include "views/prompts.h"
#include "views/qtstrings.h"
#include "views/randomcontrolsdlg.h"
#include "views/randomdlg.h"
#include "views/recordchooser.h"
#include "views/repeattreemodel.h"
#include "views/reportsheetdlg.h"
#include "views/sequenceview.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <utility>

using tessaron::Genome;
using tessaron::JobError;
using tessaron::JobProgress;
using tessaron::JobResult;
using tessaron::JobStep;
using tessaron::Repeat;
using tessaron::RepeatKind;

namespace {

const QColor kSequenceColor(0x20, 0x20, 0x50);  // 0x502020
// A 0x00BBGGRR colour of the kinds' table.
QColor colorOf(std::uint32_t bbggrr)
{
    return QColor(static_cast<int>(bbggrr & 0xFFu), static_cast<int>((bbggrr >> 8) & 0xFFu),
                  static_cast<int>((bbggrr >> 16) & 0xFFu));
}

const QColor kFirstCopyColor = colorOf(tessaron::kFirstCopyColor);

QString progressLine(RepeatKind kind)
{
    return QStringLiteral("Getting \"%1\"...").arg(toQString(tessaron::kindInfo(kind).label));
}

// The commands that show results: grayed whenever the lists are not all there.
constexpr std::array<int, 8> kResultCommands{
    CTessaronDlg::IdViewReport,    CTessaronDlg::IdViewDirect,        CTessaronDlg::IdViewInverted,
    CTessaronDlg::IdViewMirror,    CTessaronDlg::IdViewComplementary, CTessaronDlg::IdDiagram,
    CTessaronDlg::IdExportRepeats, CTessaronDlg::IdRandomControls};

// Initial size, close to the window's 431 x 248 dialog units.
constexpr int kInitialWidth = 650;
constexpr int kInitialHeight = 430;

// The pane's layout (OnSize): tree on the left, status line and sequence to its right.
constexpr int kTreeWidth = 180;
constexpr int kPaneLeft = 185;
constexpr int kStatusWidth = 185;
constexpr int kStatusHeight = 20;
// The job's progress bar and Cancel button, right of the status line.
constexpr int kProgressLeft = kPaneLeft + kStatusWidth + 5;
constexpr int kProgressWidth = 150;
constexpr int kCancelWidth = 70;

// The commands that would start a second job or show results a job is about
// to replace: grayed while a job runs.
constexpr std::array<int, 12> kJobConflicts{
    CTessaronDlg::IdExportRepeats,  CTessaronDlg::IdOpenGenBank,       CTessaronDlg::IdOpenText,
    CTessaronDlg::IdCompareGenomes, CTessaronDlg::IdCreateRandom,      CTessaronDlg::IdOptions,
    CTessaronDlg::IdViewReport,     CTessaronDlg::IdViewDirect,        CTessaronDlg::IdViewInverted,
    CTessaronDlg::IdViewMirror,     CTessaronDlg::IdViewComplementary, CTessaronDlg::IdRandomControls};

// The progress stage of the random controls, apart from the analysis's steps.
constexpr int kControlsStage = 1000;

// A job's progress as the runner carries it: the step and the kind in one number.
int stageOf(const JobProgress& progress)
{
    return static_cast<int>(progress.step) * tessaron::kRepeatKindCount + static_cast<int>(progress.kind);
}

// How far the whole job is: reading or making the sequence, indexing, then the four searches.
double overallFraction(JobStep step, RepeatKind kind, double fraction)
{
    switch (step) {
        case JobStep::Reading:
        case JobStep::Creating:
            return 0.1 * fraction;
        case JobStep::Indexing:
            return 0.1 + 0.2 * fraction;
        case JobStep::Searching:
            break;
    }
    const auto order =
        static_cast<double>(std::find(tessaron::kKindOrder.begin(), tessaron::kKindOrder.end(), kind) -
                            tessaron::kKindOrder.begin());
    return 0.3 + 0.7 * (order + fraction) / tessaron::kRepeatKindCount;
}

QFont sequenceFont()
{
    // Lucida Console where it is installed; otherwise the closest monospaced face.
    QFont font(QStringLiteral("Lucida Console"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(6.75);
    return font;
}

std::filesystem::path toPath(const QString& file)
{
    return std::filesystem::path(toStdString(file));
}

QString captionName(const QString& file)
{
    return toQString(tessaron::displayName(toPath(file)));
}

// The word on the other strand: complemented and read backwards.
std::string reverseComplement(std::string_view word)
{
    std::string reversed(word.rbegin(), word.rend());
    for (char& letter : reversed) {
        switch (letter) {
            case 'A':
                letter = 'T';
                break;
            case 'T':
                letter = 'A';
                break;
            case 'C':
                letter = 'G';
                break;
            case 'G':
                letter = 'C';
                break;
            default:
                break;
        }
    }
    return reversed;
}

// The one local file of a drag, or an empty string.
QString droppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        return {};
    }
    return urls.front().toLocalFile();
}

}  // namespace

CTessaronDlg::CTessaronDlg(QWidget* parent, Prompts* prompts)
    : QMainWindow(parent),
      prompts_(prompts != nullptr ? *prompts : Prompts::current()),
      jobs_(std::make_unique<JobRunner>())
{
    LoadSettings();
    RegisterControls();

    setObjectName(QStringLiteral("CTessaronDlg"));
    setWindowTitle(applicationName());
    createMenus();

    client_ = new QWidget(this);
    setCentralWidget(client_);
    createPanes();

    tree_->setObjectName(QStringLiteral("tree"));
    tree_->setProperty("controlId", IdTree);
    tree_->setHeaderHidden(true);
    // Long items scroll sideways instead of being cut short; the width is
    // measured on the rows in view, so a branch of many thousand items costs
    // no more than a short one.
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->setRootIsDecorated(true);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setDragEnabled(false);
    tree_->setAcceptDrops(false);
    model_ = new RepeatTreeModel(this);
    tree_->setModel(model_);
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnTreeSelChanged(); });

    statusLine_ = new QLineEdit(rightPane_);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setProperty("controlId", IdStatusLine);
    statusLine_->setReadOnly(true);
    statusLine_->setFrame(false);
    statusLine_->setContextMenuPolicy(Qt::NoContextMenu);
    // Said once, until the first command writes its own progress.
    statusLine_->setText(settings_.problem());

    sequencePane_ = new SequenceView(rightPane_);
    sequencePane_->setObjectName(QStringLiteral("sequencePane"));
    sequencePane_->setProperty("controlId", IdSequencePane);
    sequencePane_->setFont(sequenceFont());
    sequencePane_->setTextColor(kSequenceColor);

    progressBar_ = new QProgressBar(rightPane_);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setProperty("controlId", IdProgressBar);
    progressBar_->setRange(0, 1000);
    progressBar_->setTextVisible(false);
    progressBar_->hide();
    cancelButton_ = new QPushButton(tr("Cancel"), rightPane_);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setProperty("controlId", IdCancel);
    cancelButton_->setFocusPolicy(Qt::NoFocus);
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this, &CTessaronDlg::cancelJob);
    // Esc stops a job; it is only taken while one runs.
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape_->setContext(Qt::WindowShortcut);
    escape_->setEnabled(false);
    connect(escape_, &QShortcut::activated, this, &CTessaronDlg::cancelJob);
    connect(jobs_.get(), &JobRunner::started, this, [this] { setBusy(true); });
    connect(jobs_.get(), &JobRunner::progressed, this, &CTessaronDlg::showProgress);

    client_->installEventFilter(this);
    rightPane_->installEventFilter(this);
    finishWindow();
    setAcceptDrops(true);
    resize(kInitialWidth, kInitialHeight);
}

void CTessaronDlg::createPanes()
{
    splitter_ = new QSplitter(Qt::Horizontal, client_);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setHandleWidth(kPaneLeft - kTreeWidth);
    splitter_->setChildrenCollapsible(false);

    auto* left = new QWidget(splitter_);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(createFilterBox());
    tree_ = new QTreeView(left);
    column->addWidget(tree_);

    rightPane_ = new QWidget(splitter_);
    splitter_->addWidget(left);
    splitter_->addWidget(rightPane_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { splitterMoved_ = true; });
}

CTessaronDlg::~CTessaronDlg()
{
    // The map window refers to the features.
    closeDiagram();
    // The tree refers to the lists and the genome: empty it before they go.
    model_->clear();
}

void CTessaronDlg::LoadSettings()
{
    const SettingsStore::Values values = settings_.load();
    session_.setLengths(values.minimum, values.maximum);
    session_.setComplete(values.complete);
    lastMotif_ = values.motif;
}

void CTessaronDlg::RegisterControls()
{
    // The result tables are Qt's own: there is nothing to register, but the
    // marker of a completed first start is kept as before.
    settings_.firstStart();
}

QAction* CTessaronDlg::addCommand(QMenu* menu, int id, const QString& text, bool enabled)
{
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    action->setEnabled(enabled);
    commands_[id] = action;
    return action;
}

void CTessaronDlg::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    connect(addCommand(file, IdOpenGenBank, tr("&Open (GenBank format)..."), true), &QAction::triggered, this,
            &CTessaronDlg::OnOpenGenBank);
    connect(addCommand(file, IdOpenText, tr("Open (&Text sequence)..."), true), &QAction::triggered, this,
            &CTessaronDlg::OnOpenText);
    connect(addCommand(file, IdExportRepeats, tr("&Export repeats..."), false), &QAction::triggered, this,
            &CTessaronDlg::OnExportRepeats);
    connect(addCommand(file, IdCompareGenomes, tr("Com&pare genomes"), true), &QAction::triggered, this,
            &CTessaronDlg::OnCompareGenomes);
    connect(addCommand(file, IdCreateRandom, tr("&Create random sequence"), true), &QAction::triggered, this,
            &CTessaronDlg::OnCreateRandom);
    file->addSeparator();
    connect(addCommand(file, IdExit, tr("E&xit"), true), &QAction::triggered, this, &CTessaronDlg::OnExit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    connect(addCommand(edit, IdFindMotif, tr("&Find motif..."), false), &QAction::triggered, this,
            &CTessaronDlg::OnFindMotif);
    edit->addSeparator();
    connect(addCommand(edit, IdOptions, tr("Op&tions..."), true), &QAction::triggered, this,
            &CTessaronDlg::OnOptions);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    connect(addCommand(view, IdDiagram, tr("&Diagram"), false), &QAction::triggered, this,
            &CTessaronDlg::OnDiagram);
    view->addSeparator();
    connect(addCommand(view, IdViewReport, tr("View Re&port"), false), &QAction::triggered, this,
            &CTessaronDlg::OnViewReport);
    connect(addCommand(view, IdRandomControls, tr("Compare with random &controls..."), false),
            &QAction::triggered, this, &CTessaronDlg::OnRandomControls);
    QMenu* results = view->addMenu(tr("View &Results"));
    results->setObjectName(QStringLiteral("viewResultsMenu"));
    for (const RepeatKind kind : tessaron::kKindOrder) {
        const tessaron::KindInfo& info = tessaron::kindInfo(kind);
        connect(addCommand(results, info.viewCommand, toQString(info.heading), false), &QAction::triggered,
                this, [this, kind] { ViewKind(kind); });
    }
    addWindowCommands(file, edit, view);
}

QAction* CTessaronDlg::command(int id) const
{
    const auto found = commands_.find(id);
    return found == commands_.end() ? nullptr : found->second;
}

void CTessaronDlg::enableCommand(int id, bool enabled)
{
    if (QAction* action = command(id)) {
        action->setEnabled(enabled);
    }
}

bool CTessaronDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        OnSize(size.width(), size.height());
    } else if (watched == rightPane_ && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        layoutRightPane(size.width(), size.height());
    }
    return QMainWindow::eventFilter(watched, event);
}

void CTessaronDlg::OnSize(int cx, int cy)
{
    // The tree keeps its width and the pane takes the rest, until the user
    // moves the splitter.
    splitter_->setGeometry(0, 0, cx, cy);
    if (!splitterMoved_) {
        splitter_->setSizes({kTreeWidth, std::max(0, cx - kPaneLeft)});
    }
}

void CTessaronDlg::layoutRightPane(int width, int height)
{
    // The right pane starts where the described layout puts the pane.
    constexpr int left = kPaneLeft;
    sequencePane_->setGeometry(0, kStatusHeight, std::max(0, width), std::max(0, height - kStatusHeight));
    statusLine_->setGeometry(0, 0, kStatusWidth, kStatusHeight);
    progressBar_->setGeometry(kProgressLeft - left, 2, kProgressWidth, kStatusHeight - 4);
    cancelButton_->setGeometry(kProgressLeft - left + kProgressWidth + 5, 0, kCancelWidth, kStatusHeight);
}

std::unique_ptr<QMenu> CTessaronDlg::contextMenuAt(const QPoint& globalPosition)
{
    const QRect treeArea(tree_->mapToGlobal(QPoint(0, 0)), tree_->size());
    if (!treeArea.contains(globalPosition)) {
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(this);
    QAction* item = menu->addAction(tr("(disabled)"));
    item->setData(IdDisabled);
    item->setObjectName(QStringLiteral("command%1").arg(IdDisabled));
    item->setEnabled(false);
    return menu;
}

void CTessaronDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (const std::unique_ptr<QMenu> menu = contextMenuAt(event->globalPos())) {
        menu->exec(event->globalPos());
    }
    event->accept();
}

void CTessaronDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (!busy() && !droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CTessaronDlg::dropEvent(QDropEvent* event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty() || busy()) {
        return;
    }
    event->acceptProposedAction();
    // Opened once the drop has ended, so that the source of the drag is not
    // kept waiting for the analysis.
    QTimer::singleShot(0, this, [this, file] { openFile(file); });
}

void CTessaronDlg::ShowStatus(const QString& text)
{
    statusLine_->setText(text);
    statusLine_->repaint();
}

void CTessaronDlg::ClearStatus()
{
    ShowStatus(QString());
}

void CTessaronDlg::OnViewReport()
{
    if (!session_.analysed()) {
        return;  // no completed analysis: the command is grayed
    }
    auto* sheet = new CReportSheetDlg(this);
    sheet->SetReportContent(session_.state().analysis);
    showSheet(sheet, true);
}

void CTessaronDlg::OnViewDirect()
{
    ViewKind(RepeatKind::Direct);
}

void CTessaronDlg::OnViewInverted()
{
    ViewKind(RepeatKind::Inverted);
}

void CTessaronDlg::OnViewMirror()
{
    ViewKind(RepeatKind::Mirror);
}

void CTessaronDlg::OnViewComplementary()
{
    ViewKind(RepeatKind::Complementary);
}

void CTessaronDlg::ViewKind(RepeatKind kind)
{
    const std::shared_ptr<const tessaron::RepeatSnapshot>& listed = session_.snapshot(kind);
    if (!listed || busy()) {
        return;
    }
    auto* sheet = new CReportSheetDlg(this);
    ShowStatus(tr("Wait..."));
    // The rows are made as they come into view: only their places are laid out now.
    sheet->SetKindContent(listed);
    sheet->Fill();
    ClearStatus();
    showSheet(sheet, true);
}

void CTessaronDlg::showSheet(CReportSheetDlg* sheet, bool followsGenome)
{
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    const auto chooseFile = [this](QWidget* parent, const QString& caption, const QString& filter) {
        const QString path = prompts_.saveFile(parent, caption, filter, settings_.lastFolder());
        if (!path.isEmpty()) {
            settings_.saveLastFolder(QFileInfo(path).absolutePath());
        }
        return path;
    };
    const auto reportError = [this](QWidget* parent, const QString& text) {
        prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
    };
    sheet->sheet()->setFileChooser(chooseFile);
    sheet->sheet()->setErrorReporter(reportError);
    sheet->chart()->setFileChooser(chooseFile);
    sheet->chart()->setErrorReporter(reportError);
    sheet->sheet()->setInlineExport(jobs_->inlineJobs());
    if (followsGenome) {
        std::erase_if(genomeSheets_, [](const QPointer<CReportSheetDlg>& open) { return open.isNull(); });
        genomeSheets_.emplace_back(sheet);
    }
    if (!sheet->showSheet()) {
        sheet->deleteLater();
    }
}

void CTessaronDlg::closeGenomeSheets()
{
    for (const QPointer<CReportSheetDlg>& sheet : std::exchange(genomeSheets_, {})) {
        if (sheet) {
            sheet->close();
        }
    }
}

std::vector<CReportSheetDlg*> CTessaronDlg::sheets() const
{
    std::vector<CReportSheetDlg*> open;
    for (CReportSheetDlg* sheet : findChildren<CReportSheetDlg*>(Qt::FindDirectChildrenOnly)) {
        if (sheet->isVisible()) {
            open.push_back(sheet);
        }
    }
    return open;
}

void CTessaronDlg::OnRandomControls()
{
    if (!session_.analysed() || busy()) {
        return;
    }
    const std::optional<CControlsDlg::Choice> chosen = CControlsDlg::ask(this);
    if (!chosen) {
        return;
    }
    tessaron::ControlSettings settings;
    settings.replicates = chosen->replicates;
    settings.seed = chosen->seed;
    settings.complete = session_.complete();
    // Jobs run inline report their progress straight to the window: from
    // this thread only.
    settings.threads = jobs_->inlineJobs() ? 1 : 0;
    using Outcome = std::variant<tessaron::ControlReport, tessaron::SearchFailure>;
    ShowStatus(tr("Analysing %1 random sequences...").arg(settings.replicates));
    jobs_->start<Outcome>(
        [genome = session_.sharedGenome(), settings](const std::stop_token& stop,
                                                     const JobRunner::Reporter& report) {
            return tessaron::runControls(genome, settings,
                                         tessaron::SearchControl{stop, [&report](double fraction) {
                                                                     report(kControlsStage, fraction);
                                                                 }});
        },
        [this](Outcome outcome) {
            setBusy(false);
            ClearStatus();
            if (const auto* failure = std::get_if<tessaron::SearchFailure>(&outcome)) {
                if (*failure != tessaron::SearchFailure::Cancelled) {
                    showOutOfMemory();
                }
                return;
            }
            auto* sheet = new CReportSheetDlg(this);
            sheet->SetControlsContent(std::get<tessaron::ControlReport>(outcome));
            showSheet(sheet, true);
            sheet->chartAction()->setChecked(true);
        });
}

void CTessaronDlg::ShowSequence()
{
    sequencePane_->setFont(sequenceFont());
    sequencePane_->setTextColor(kSequenceColor);
    sequencePane_->setSequence(genome().sequence());
    sequencePane_->show();
    ClearStatus();
    updateStatusBar();
}

void CTessaronDlg::clearHighlights()
{
    // The pane already holds the sequence (every load ends by showing it), so
    // only the highlights go: nothing here grows with the genome.
    if (sequencePane_->textLength() != genome().length()) {
        ShowSequence();
    } else {
        sequencePane_->clearHighlights();
    }
}

void CTessaronDlg::FillKindBranch(RepeatKind kind)
{
    model_->appendKind(session_.snapshot(kind));
}

void CTessaronDlg::ClearResults()
{
    selectedRepeat_.reset();
    selectedPairs_.clear();
    setCopies({}, 0);
    model_->clear();
    closeGenomeSheets();
    for (const int id : kResultCommands) {
        enableCommand(id, false);
    }
}

void CTessaronDlg::startJob(tessaron::Job job, std::function<void(JobResult)> done)
{
    jobs_->start<JobResult>(
        [job = std::move(job)](const std::stop_token& stop, const JobRunner::Reporter& report) {
            return job(tessaron::JobControl{stop, [&report](const JobProgress& progress) {
                                                report(stageOf(progress), progress.fraction);
                                            }});
        },
        [this, done = std::move(done)](JobResult result) {
            setBusy(false);
            done(std::move(result));
        });
}

void CTessaronDlg::showProgress(int stage, double fraction)
{
    if (stage == kControlsStage) {
        progressBar_->setValue(static_cast<int>(1000.0 * fraction));
        return;
    }
    const auto step = static_cast<JobStep>(stage / tessaron::kRepeatKindCount);
    const auto kind = static_cast<RepeatKind>(stage % tessaron::kRepeatKindCount);
    if (step == JobStep::Searching) {
        if (statusLine_->text() != progressLine(kind)) {
            ShowStatus(progressLine(kind));
        }
    } else if (step == JobStep::Creating && statusLine_->text().isEmpty()) {
        ShowStatus(tr("Creating sequence..."));
    }
    progressBar_->setValue(static_cast<int>(1000.0 * overallFraction(step, kind, fraction)));
}

void CTessaronDlg::setBusy(bool busy)
{
    if (busy) {
        enabledBeforeJob_.clear();
        for (const int id : kJobConflicts) {
            if (QAction* action = command(id)) {
                enabledBeforeJob_[id] = action->isEnabled();
                action->setEnabled(false);
            }
        }
        recentMenu_->setEnabled(false);
        progressBar_->setValue(0);
        progressBar_->show();
        cancelButton_->show();
        escape_->setEnabled(true);
        return;
    }
    for (const auto& [id, enabled] : enabledBeforeJob_) {
        enableCommand(id, enabled);
    }
    enabledBeforeJob_.clear();
    recentMenu_->setEnabled(true);
    progressBar_->hide();
    cancelButton_->hide();
    escape_->setEnabled(false);
}

void CTessaronDlg::reportJobError(const JobResult& result)
{
    if (!result.error) {
        return;
    }
    switch (*result.error) {
        case JobError::Cancelled:
            break;
        case JobError::NotGenBank:
            showMessage(tr("Error!"), tr("The file doesn't seem to be in GenBank format!"));
            break;
        case JobError::ReadFailed:
            showMessage(applicationName(), toQString(result.message));
            break;
        case JobError::RandomRefused:
            // Told by the command, which knows the composition asked for.
            break;
        case JobError::OutOfMemory:
            showOutOfMemory();
            break;
        case JobError::TooManyPairs:
            showMessage(applicationName(),
                        tr("The complete search found more repeats than can be kept: raise the minimum "
                           "length, or turn the complete search off in Options."),
                        Prompts::Icon::None);
            break;
    }
}

void CTessaronDlg::adopt(tessaron::SessionState state)
{
    closeDiagram();
    ClearResults();
    session_.adopt(std::move(state));
    if (features()) {
        model_->setFeatures(std::make_shared<const tessaron::FeatureIndex>(*features(), genome().length()));
    }
    for (const RepeatKind kind : tessaron::kKindOrder) {
        if (!session_.snapshot(kind)) {
            break;  // the kinds after one that ran out of memory were not searched
        }
        FillKindBranch(kind);
    }
    enableCommand(IdFindMotif, loaded() && genome().isIndexed());
    if (session_.analysed()) {
        for (const int id : kResultCommands) {
            enableCommand(id, true);
        }
        enableCommand(IdDiagram, features().has_value());
    }
}

void CTessaronDlg::load(tessaron::GenomeSource source, std::function<QString(const Genome&)> caption,
                        const QString& file)
{
    startJob(session_.load(std::move(source)), [this, caption = std::move(caption), file](JobResult result) {
        if (!result.state) {
            ClearStatus();
            reportJobError(result);
            return;
        }
        adopt(std::move(*result.state));
        setWindowTitle(caption(genome()));
        if (!file.isEmpty()) {
            rememberRecent(file);
        }
        reportJobError(result);
        ShowSequence();
    });
}

void CTessaronDlg::RunAnalysis()
{
    if (!loaded()) {
        return;
    }
    startJob(session_.reanalysis(), [this](JobResult result) {
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

void CTessaronDlg::OnTreeSelChanged()
{
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    const QModelIndex item = selected.isEmpty() ? QModelIndex() : selected.front();

    ClearStatus();
    // The pairs of the word are made now, once, for the pane and the map.
    selectedRepeat_ = model_->describedRepeatAt(item);
    selectedPairs_ = model_->pairsAt(item);

    clearHighlights();
    if (selectedRepeat_) {
        const QColor secondColor = colorOf(tessaron::kindInfo(model_->kindAt(item)).secondCopyColor);
        std::vector<int> starts;
        starts.reserve(2 * selectedPairs_.size());
        for (const tessaron::RepeatPair& pair : selectedPairs_) {
            sequencePane_->addHighlight(pair.first, selectedRepeat_->length, kFirstCopyColor);
            sequencePane_->addHighlight(pair.second, selectedRepeat_->length, secondColor);
            starts.push_back(pair.first);
            starts.push_back(pair.second);
        }
        setCopies(std::move(starts), selectedRepeat_->length);
        showFirstCopy();
    } else {
        setCopies({}, 0);
        sequencePane_->setCaret(0);
    }
    sequencePane_->viewport()->repaint();
    if (diagram_ != nullptr) {
        diagram_->ShowRepeat(selectedRepeat(), selectedPairs_, model_->kindAt(item));
    }
}

void CTessaronDlg::OnDiagram()
{
    if (!features()) {
        showMessage(applicationName(), tr("There is no loaded genome!"), Prompts::Icon::None);
        return;
    }
    if (diagram_ == nullptr) {
        diagram_ = new CDiagramDlg(this, *features(), genome());
        diagram_->setPrompts(
            [this](QWidget* parent) {
                const QString path =
                    prompts_.saveFile(parent, tr("Save image"), tr("PNG image (*.png);;SVG drawing (*.svg)"),
                                      settings_.lastFolder());
                if (!path.isEmpty()) {
                    settings_.saveLastFolder(QFileInfo(path).absolutePath());
                }
                return path;
            },
            [this](QWidget* parent, const QString& text) {
                prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
            });
        connect(diagram_, &CDiagramDlg::closing, this, &CTessaronDlg::ForgetDiagram);
        // A click on the map's marks of a repeat shows that word in the tree
        // and the clicked pair's first copy in the pane.
        connect(diagram_, &CDiagramDlg::repeatClicked, this, [this](int pair) {
            tree_->scrollTo(tree_->currentIndex());
            if (pair >= 0 && static_cast<std::size_t>(pair) < selectedPairs_.size()) {
                sequencePane_->setCaret(selectedPairs_[static_cast<std::size_t>(pair)].first);
            }
        });
        diagram_->setInlineSaving(jobs_->inlineJobs());
        diagram_->show();
        if (!diagram_->lengthWarning().isEmpty()) {
            ShowStatus(diagram_->lengthWarning());
        }
    } else {
        diagram_->raise();
        diagram_->activateWindow();
    }
    diagram_->ShowRepeat(selectedRepeat(), selectedPairs_, model_->kindAt(tree_->currentIndex()));
}

void CTessaronDlg::ForgetDiagram()
{
    diagram_ = nullptr;
}

void CTessaronDlg::closeDiagram()
{
    delete diagram_.data();
    diagram_ = nullptr;
}

void CTessaronDlg::showMessage(const QString& caption, const QString& text, Prompts::Icon icon)
{
    prompts_.message(this, caption, text, icon);
}

void CTessaronDlg::showOutOfMemory()
{
    showMessage(applicationName(), tr("Looks like we're out of memory..."), Prompts::Icon::None);
}

void CTessaronDlg::openFile(const QString& path)
{
    if (tessaron::looksLikeGenBank(toPath(path))) {
        openGenBankFile(path);
    } else {
        openTextFile(path);
    }
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
    const std::optional<RecordChoice> choice = chooseRecord(prompts_, this, toPath(path));
    if (!choice) {
        return;
    }
    load(
        tessaron::GenBankSource{toPath(path), choice->record, choice->input},
        [path](const Genome& loaded) {
            return QStringLiteral("%1 [%2] - %3")
                .arg(captionName(path), toQString(loaded.title()), applicationName());
        },
        path);
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
    const std::optional<RecordChoice> choice = chooseRecord(prompts_, this, toPath(path));
    if (!choice) {
        return;
    }
    load(
        tessaron::TextSource{toPath(path), choice->record, choice->input},
        [this, path](const Genome& loaded) {
            // A GenBank or FASTA file read through this command is captioned with its title.
            if (session_.state().format != tessaron::RecordFormat::Text) {
                return QStringLiteral("%1 [%2] - %3")
                    .arg(captionName(path), toQString(loaded.title()), applicationName());
            }
            return QStringLiteral("%1 - %2").arg(captionName(path), applicationName());
        },
        path);
}

void CTessaronDlg::OnExportRepeats()
{
    if (!session_.analysed() || busy()) {
        return;
    }
    const QString path = prompts_.saveFileIn(
        this, tr("Export repeats"), tr("GFF3 (*.gff3 *.gff);;BED (*.bed)"), settings_.exportFolder());
    if (path.isEmpty()) {
        return;
    }
    settings_.saveExportFolder(QFileInfo(path).absolutePath());
    ShowStatus(tr("Exporting repeats..."));
    jobs_->start<std::string>(
        [state = session_.state(), file = toPath(path)](const std::stop_token&, const JobRunner::Reporter&) {
            return tessaron::exportRepeats(file, state);
        },
        [this](const std::string& problem) {
            setBusy(false);
            ClearStatus();
            if (!problem.empty()) {
                showMessage(applicationName(), toQString(problem));
            }
        });
}

void CTessaronDlg::OnCreateRandom()
{
    std::array<std::int64_t, 4> counts{};
    if (loaded()) {
        for (std::size_t k = 0; k < counts.size(); ++k) {
            counts[k] = genome().baseCount(tessaron::kAlphabet[k]);
        }
    }
    const std::optional<CRandomDlg::Counts> chosen = CRandomDlg::ask(counts, prompts_, this);
    if (!chosen) {
        return;
    }
    counts = *chosen;
    ShowStatus(tr("Creating sequence..."));
    const std::int64_t total = counts[0] + counts[1] + counts[2] + counts[3];
    const QString caption = QStringLiteral("Random [%1 bp; A: %2, T: %3, C: %4, G: %5]")
                                .arg(total)
                                .arg(counts[0])
                                .arg(counts[1])
                                .arg(counts[2])
                                .arg(counts[3]);
    startJob(session_.load(tessaron::RandomSource{counts, std::nullopt}), [this, total,
                                                                           caption](JobResult result) {
        if (!result.state) {
            ClearStatus();
            if (result.error == JobError::RandomRefused) {
                showMessage(
                    applicationName(),
                    tr("A random sequence of %1 bases cannot be made: the total may not exceed %2 bases, "
                       "and the memory for it must be available.")
                        .arg(total)
                        .arg(std::numeric_limits<std::int32_t>::max()));
            } else {
                reportJobError(result);
            }
            return;
        }
        adopt(std::move(*result.state));
        reportJobError(result);
        ShowSequence();
        setWindowTitle(caption);
    });
}

void CTessaronDlg::OnExit()
{
    close();
}

void CTessaronDlg::OnFindMotif()
{
    if (!loaded()) {
        return;
    }
    bool bothStrands = settings_.bothStrands();
    const std::optional<QString> motifChosen = CFindDlg::ask(lastMotif_, &bothStrands, prompts_, this);
    if (!motifChosen) {
        return;
    }
    lastMotif_ = *motifChosen;
    if (lastMotif_.isEmpty()) {
        return;
    }
    settings_.saveMotif(lastMotif_);
    settings_.saveBothStrands(bothStrands);
    ClearStatus();
    clearHighlights();

    const std::string motif = toStdString(lastMotif_);
    const int length = static_cast<int>(motif.size());
    std::vector<int> copies;
    const tessaron::PositionList starts = genome().findWord(motif);
    for (const tessaron::PositionLink start : starts) {
        sequencePane_->addHighlight(start, length, kFirstCopyColor);
        copies.push_back(start);
    }
    // The other strand: the motif's reverse complement read on this one, in
    // the colour of second copies. A motif that is its own reverse
    // complement has been found already.
    std::size_t reverseFound = 0;
    const std::string reverse = reverseComplement(motif);
    if (bothStrands && reverse != motif) {
        const tessaron::PositionList reverseStarts = genome().findWord(reverse);
        const QColor secondColor = colorOf(tessaron::kindInfo(RepeatKind::Inverted).secondCopyColor);
        for (const tessaron::PositionLink start : reverseStarts) {
            sequencePane_->addHighlight(start, length, secondColor);
            copies.push_back(start);
        }
        reverseFound = reverseStarts.size();
    }
    setCopies(std::move(copies), length);
    if (!starts.empty() && !bothStrands) {
        ShowStatus(tr("found %1 occurrences").arg(starts.size()));
    } else if (!starts.empty() || reverseFound != 0) {
        ShowStatus(tr("found %1 occurrences, %2 on the other strand").arg(starts.size()).arg(reverseFound));
    } else {
        showMessage(applicationName(), tr("Motif not found in the sequence!"), Prompts::Icon::None);
    }
    sequencePane_->setCaret(1);
    sequencePane_->viewport()->repaint();
}

void CTessaronDlg::OnOptions()
{
    const std::optional<OptionsResult> chosen =
        COptionsDlg::ask(OptionsResult{minSetting(), maxSetting(), session_.complete()}, prompts_, this);
    if (!chosen) {
        return;
    }
    settings_.saveLengths(chosen->minimum, chosen->maximum);
    settings_.saveComplete(chosen->complete);
    session_.setLengths(chosen->minimum, chosen->maximum);
    session_.setComplete(chosen->complete);
    RunAnalysis();
}

void CTessaronDlg::OnCompareGenomes()
{
    // The files are read into genomes of the run's own: the loaded genome,
    // its results and the map stay as they are.
    CCompareDlg dialog(minSetting(), maxSetting(), prompts_, this);
    dialog.setComplete(session_.complete());
    dialog.setSheetViewer([this](const tessaron::GenomeComparison& comparison) {
        if (comparisonViewer_) {
            comparisonViewer_(comparison);
            return;
        }
        auto* sheet = new CReportSheetDlg(this);
        sheet->SetCompareContent(comparison);
        showSheet(sheet, false);
    });
    dialog.setInlineJobs(jobs_->inlineJobs());
    dialog.exec();
}
