#include "views/tessarondlg.h"

#include "views/comparedlg.h"
#include "views/finddlg.h"
#include "views/optionsdlg.h"
#include "views/prompts.h"
#include "views/qtstrings.h"
#include "views/randomdlg.h"
#include "views/repeattreemodel.h"
#include "views/sequenceview.h"
#include "engine/repeatkinds.h"
#include "input/filename.h"
#include "input/genbankreader.h"
#include "input/readerror.h"
#include "input/textreader.h"
#include "views/diagramdlg.h"
#include "report/reportlayout.h"
#include "views/reportsheetdlg.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QResizeEvent>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <utility>

using tessaron::Genome;
using tessaron::Repeat;
using tessaron::RepeatKind;
using tessaron::RepeatList;

namespace {

const QColor kSequenceColor(0x20, 0x20, 0x50);    // 0x502020
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
constexpr std::array<int, 6> kResultCommands{CTessaronDlg::IdViewReport,        CTessaronDlg::IdViewDirect,
                                             CTessaronDlg::IdViewInverted,      CTessaronDlg::IdViewMirror,
                                             CTessaronDlg::IdViewComplementary, CTessaronDlg::IdDiagram};

// Initial size, close to the window's 431 x 248 dialog units.
constexpr int kInitialWidth = 650;
constexpr int kInitialHeight = 430;

// The pane's layout (OnSize): tree on the left, status line and sequence to its right.
constexpr int kTreeWidth = 180;
constexpr int kPaneLeft = 185;
constexpr int kStatusWidth = 185;
constexpr int kStatusHeight = 20;

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

CTessaronDlg::CTessaronDlg(QWidget* parent) : QMainWindow(parent)
{
    LoadSettings();
    RegisterControls();

    setObjectName(QStringLiteral("CTessaronDlg"));
    setWindowTitle(applicationName());
    createMenus();

    client_ = new QWidget(this);
    setCentralWidget(client_);

    tree_ = new QTreeView(client_);
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
    model_ = new RepeatTreeModel(genome_, this);
    tree_->setModel(model_);
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnTreeSelChanged(); });

    statusLine_ = new QLineEdit(client_);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setProperty("controlId", IdStatusLine);
    statusLine_->setReadOnly(true);
    statusLine_->setFrame(false);
    statusLine_->setContextMenuPolicy(Qt::NoContextMenu);
    // Said once, until the first command writes its own progress.
    statusLine_->setText(settings_.problem());

    sequencePane_ = new SequenceView(client_);
    sequencePane_->setObjectName(QStringLiteral("sequencePane"));
    sequencePane_->setProperty("controlId", IdSequencePane);
    sequencePane_->setFont(sequenceFont());
    sequencePane_->setTextColor(kSequenceColor);

    client_->installEventFilter(this);
    setAcceptDrops(true);
    resize(kInitialWidth, kInitialHeight);
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
    minSetting_ = values.minimum;
    maxSetting_ = values.maximum;
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
    QMenu* results = view->addMenu(tr("View &Results"));
    results->setObjectName(QStringLiteral("viewResultsMenu"));
    for (const RepeatKind kind : tessaron::kKindOrder) {
        const tessaron::KindInfo& info = tessaron::kindInfo(kind);
        connect(addCommand(results, info.viewCommand, toQString(info.heading), false), &QAction::triggered, this,
                [this, kind] { ViewKind(kind); });
    }
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
    }
    return QMainWindow::eventFilter(watched, event);
}

void CTessaronDlg::OnSize(int cx, int cy)
{
    tree_->setGeometry(0, 0, kTreeWidth, cy);
    sequencePane_->setGeometry(kPaneLeft, kStatusHeight, std::max(0, cx - kPaneLeft),
                               std::max(0, cy - kStatusHeight));
    statusLine_->setGeometry(kPaneLeft, 0, kStatusWidth, kStatusHeight);
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
    if (!droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CTessaronDlg::dropEvent(QDropEvent* event)
{
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) {
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
    const RepeatList* direct = list(RepeatKind::Direct);
    const RepeatList* inverted = list(RepeatKind::Inverted);
    const RepeatList* mirror = list(RepeatKind::Mirror);
    const RepeatList* complementary = list(RepeatKind::Complementary);
    if (direct == nullptr || inverted == nullptr || mirror == nullptr || complementary == nullptr) {
        return;  // no completed analysis: the command is grayed
    }
    CReportSheetDlg sheet;
    sheet.SetReportContent(genome_, *direct, *inverted, *mirror, *complementary);
    runSheet(sheet);
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
    const RepeatList* listed = list(kind);
    if (listed == nullptr) {
        return;
    }
    CReportSheetDlg sheet;
    ShowStatus(tr("Wait..."));
    sheet.SetKindContent(*listed, kind, genome_);
    // A long listing takes a while: it is written now, under "Wait...".
    sheet.Fill();
    ClearStatus();
    runSheet(sheet);
}

void CTessaronDlg::runSheet(CReportSheetDlg& sheet)
{
    sheet.sheet()->setFileChooser([](QWidget* parent, const QString& caption, const QString& filter) {
        return Prompts::current().saveFile(parent, caption, filter);
    });
    sheet.sheet()->setErrorReporter([](QWidget* parent, const QString& text) {
        Prompts::current().message(parent, applicationName(), text, Prompts::Icon::Warning);
    });
    sheet.exec();
}

void CTessaronDlg::ShowSequence()
{
    sequencePane_->setFont(sequenceFont());
    sequencePane_->setTextColor(kSequenceColor);
    sequencePane_->setSequence(genome_.sequence());
    sequencePane_->show();
    ClearStatus();
}

void CTessaronDlg::clearHighlights()
{
    // The pane already holds the sequence (every load ends by showing it), so
    // only the highlights go: nothing here grows with the genome.
    if (sequencePane_->textLength() != genome_.length()) {
        ShowSequence();
    } else {
        sequencePane_->clearHighlights();
    }
}

void CTessaronDlg::FillKindBranch(RepeatKind kind)
{
    model_->appendKind(*lists_[static_cast<std::size_t>(kind)]);
}

void CTessaronDlg::ClearResults()
{
    selectedRepeat_ = nullptr;
    model_->clear();
    for (std::unique_ptr<RepeatList>& list : lists_) {
        list.reset();
    }
    for (const int id : kResultCommands) {
        enableCommand(id, false);
    }
}

void CTessaronDlg::RunAnalysis()
{
    ClearResults();
    for (int k = 0; k < tessaron::kRepeatKindCount; ++k) {
        const auto kind = static_cast<RepeatKind>(k);
        ShowStatus(progressLine(kind));
        std::unique_ptr<RepeatList> found;
        try {
            found = kind == RepeatKind::Direct ? genome_.findDirectRepeats() : genome_.findRepeats(kind);
        } catch (const std::bad_alloc&) {
            found.reset();
        }
        if (!found) {
            showOutOfMemory();
            ClearStatus();
            return;
        }
        lists_[static_cast<std::size_t>(k)] = std::move(found);
        FillKindBranch(kind);
    }
    for (const int id : kResultCommands) {
        enableCommand(id, true);
    }
    enableCommand(IdFindMotif, true);
    enableCommand(IdDiagram, features_.has_value());
}

void CTessaronDlg::OnTreeSelChanged()
{
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    const QModelIndex item = selected.isEmpty() ? QModelIndex() : selected.front();
    const Repeat* repeat = model_->repeatAt(item);
    const RepeatList* list = model_->listAt(item);

    ClearStatus();
    selectedRepeat_ = repeat;

    clearHighlights();
    if (repeat != nullptr && list != nullptr) {
        const QColor secondColor = colorOf(tessaron::kindInfo(model_->kindAt(item)).secondCopyColor);
        for (const tessaron::RepeatPair& pair : list->pairs(*repeat)) {
            sequencePane_->addHighlight(pair.first, repeat->length, kFirstCopyColor);
            sequencePane_->addHighlight(pair.second, repeat->length, secondColor);
        }
        const auto pairs = list->pairs(*repeat);
        sequencePane_->setCaret(pairs.empty() ? 0 : pairs.front().first);
    } else {
        sequencePane_->setCaret(0);
    }
    sequencePane_->viewport()->repaint();
    if (diagram_ != nullptr) {
        diagram_->ShowRepeat(repeat, repeat != nullptr && list != nullptr ? list->pairs(*repeat)
                                                                          : std::span<const tessaron::RepeatPair>());
    }
}

void CTessaronDlg::OnDiagram()
{
    if (!features_) {
        showMessage(applicationName(), tr("There is no loaded genome!"), Prompts::Icon::None);
        return;
    }
    if (diagram_ == nullptr) {
        diagram_ = new CDiagramDlg(this, *features_);
        diagram_->setPrompts(
            [](QWidget* parent) {
                return Prompts::current().saveFile(parent, tr("Save image"),
                                                   tr("PNG image (*.png);;SVG drawing (*.svg)"));
            },
            [](QWidget* parent, const QString& text) {
                Prompts::current().message(parent, applicationName(), text, Prompts::Icon::Warning);
            });
        connect(diagram_, &CDiagramDlg::closing, this, &CTessaronDlg::ForgetDiagram);
        diagram_->show();
    } else {
        diagram_->raise();
        diagram_->activateWindow();
    }
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    const RepeatList* list = selected.isEmpty() ? nullptr : model_->listAt(selected.front());
    diagram_->ShowRepeat(selectedRepeat_, selectedRepeat_ != nullptr && list != nullptr
                                              ? list->pairs(*selectedRepeat_)
                                              : std::span<const tessaron::RepeatPair>());
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
    Prompts::current().message(this, caption, text, icon);
}

void CTessaronDlg::showOutOfMemory()
{
    showMessage(applicationName(), tr("Looks like we're out of memory..."), Prompts::Icon::None);
}

Genome CTessaronDlg::freshGenome() const
{
    Genome fresh;
    fresh.setTitle(genome_.title());
    fresh.setPairLimit(genome_.pairLimit());
    return fresh;
}

void CTessaronDlg::releaseForLoad()
{
    closeDiagram();
    ClearResults();
    features_.reset();
}

bool CTessaronDlg::indexGenome()
{
    bool built = false;
    try {
        built = genome_.buildIndex();
    } catch (const std::bad_alloc&) {
        built = false;
    }
    if (!built) {
        showOutOfMemory();
        ClearStatus();
    }
    return built;
}

void CTessaronDlg::analyseLoadedGenome()
{
    const bool indexed = indexGenome();
    loaded_ = true;
    if (indexed) {
        RunAnalysis();
    }
    ShowSequence();
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
    const QString path = Prompts::current().openFile(this, tr("Open"));
    if (!path.isEmpty()) {
        openGenBankFile(path);
    }
}

void CTessaronDlg::openGenBankFile(const QString& path)
{
    releaseForLoad();
    // Read into a genome of its own: a rejected file leaves the sequence on
    // screen in place.
    Genome fresh = freshGenome();
    std::optional<tessaron::FeatureList> read;
    try {
        read = tessaron::readGenBank(toPath(path), fresh, minSetting_, maxSetting_);
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
        return;
    }
    if (!read) {
        showMessage(tr("Error!"), tr("The file doesn't seem to be in GenBank format!"));
        return;
    }
    genome_.swap(fresh);
    features_ = std::move(read);
    setWindowTitle(
        QStringLiteral("%1 [%2] - %3").arg(captionName(path), toQString(genome_.title()), applicationName()));
    analyseLoadedGenome();
}

void CTessaronDlg::OnOpenText()
{
    const QString path = Prompts::current().openFile(this, tr("Open"));
    if (!path.isEmpty()) {
        openTextFile(path);
    }
}

void CTessaronDlg::openTextFile(const QString& path)
{
    releaseForLoad();
    Genome fresh = freshGenome();
    try {
        tessaron::readText(toPath(path), fresh, minSetting_, maxSetting_);
    } catch (const tessaron::ReadError& error) {
        showMessage(applicationName(), toQString(error.what()));
        return;
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
        return;
    }
    genome_.swap(fresh);
    setWindowTitle(QStringLiteral("%1 - %2").arg(captionName(path), applicationName()));
    analyseLoadedGenome();
}

void CTessaronDlg::OnCreateRandom()
{
    std::array<std::int64_t, 4> counts{};
    if (loaded_) {
        for (std::size_t k = 0; k < counts.size(); ++k) {
            counts[k] = genome_.baseCount(tessaron::kAlphabet[k]);
        }
    }
    CRandomDlg dialog(counts, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    releaseForLoad();
    ShowStatus(tr("Creating sequence..."));
    const std::int64_t total = counts[0] + counts[1] + counts[2] + counts[3];
    Genome fresh = freshGenome();
    bool made = false;
    try {
        made = fresh.makeRandom(counts[0], counts[1], counts[2], counts[3], minSetting_, maxSetting_);
    } catch (const std::bad_alloc&) {
        made = false;
    }
    if (!made) {
        ClearStatus();
        showMessage(applicationName(),
                    tr("A random sequence of %1 bases cannot be made: the total may not exceed %2 bases, "
                       "and the memory for it must be available.")
                        .arg(total)
                        .arg(std::numeric_limits<std::int32_t>::max()));
        return;
    }
    genome_.swap(fresh);
    analyseLoadedGenome();
    setWindowTitle(QStringLiteral("Random [%1 bp; A: %2, T: %3, C: %4, G: %5]")
                       .arg(total)
                       .arg(counts[0])
                       .arg(counts[1])
                       .arg(counts[2])
                       .arg(counts[3]));
}

void CTessaronDlg::OnExit()
{
    close();
}

void CTessaronDlg::OnFindMotif()
{
    if (!loaded_) {
        return;
    }
    CFindDlg dialog(lastMotif_, this);
    if (dialog.exec() != QDialog::Accepted || lastMotif_.isEmpty()) {
        return;
    }
    settings_.saveMotif(lastMotif_);
    ClearStatus();
    clearHighlights();

    const std::string motif = toStdString(lastMotif_);
    const tessaron::PositionList starts = genome_.findWord(motif);
    for (const tessaron::PositionLink start : starts) {
        sequencePane_->addHighlight(start, static_cast<int>(motif.size()), kFirstCopyColor);
    }
    if (!starts.empty()) {
        ShowStatus(tr("found %1 occurrences").arg(starts.size()));
    } else {
        showMessage(applicationName(), tr("Motif not found in the sequence!"), Prompts::Icon::None);
    }
    sequencePane_->setCaret(1);
    sequencePane_->viewport()->repaint();
}

void CTessaronDlg::OnOptions()
{
    COptionsDlg dialog(minSetting_, maxSetting_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    settings_.saveLengths(minSetting_, maxSetting_);
    genome_.setLengthBounds(minSetting_, maxSetting_);
    if (loaded_) {
        closeDiagram();
        ClearResults();
        if (indexGenome()) {
            RunAnalysis();
        }
    }
}

void CTessaronDlg::OnCompareGenomes()
{
    CCompareDlg dialog(minSetting_, maxSetting_, genome_);
    dialog.setSheetViewer([this](const tessaron::GenomeComparison& comparison) {
        if (comparisonViewer_) {
            comparisonViewer_(comparison);
            return;
        }
        CReportSheetDlg sheet;
        sheet.SetCompareContent(comparison);
        runSheet(sheet);
    });
    // The run refills the genome file after file: nothing made from the
    // sequence loaded before may be offered against it, whether or not the
    // run takes place.
    releaseForLoad();
    enableCommand(IdFindMotif, false);
    loaded_ = false;
    sequencePane_->setSequence({});
    ClearStatus();
    setWindowTitle(applicationName());
    dialog.exec();
}
