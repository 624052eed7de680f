// The main window's own commands beyond its first menu: the recent files,
// finding one's way in the sequence (Go to position, Next and Previous copy,
// zoom), the tree's filter box, the status bar and the Help menu.

#include "views/helpdlg.h"
#include "views/mainwindow.h"
#include "views/prompts.h"
#include "views/repeattreemodel.h"
#include "views/sequenceview.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSpinBox>
#include <QStatusBar>
#include <QTreeView>

#include <algorithm>
#include <climits>

namespace {

// Once the files are taken out, the separator above "Clear the list" comes first.
constexpr int kSeparatorIndex = 0;

QString percent(double fraction)
{
    return QString::number(100.0 * fraction, 'f', 1) + QLatin1Char('%');
}

}  // namespace

void CTessaronDlg::addWindowCommands(QMenu* file, QMenu* edit, QMenu* view)
{
    command(IdOpenGenBank)->setShortcut(QKeySequence::Open);
    command(IdExit)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    command(IdFindMotif)->setShortcut(QKeySequence::Find);

    // "Open Recent" below the two open commands.
    recentMenu_ = new QMenu(tr("Open &Recent"), file);
    recentMenu_->setObjectName(QStringLiteral("recentFilesMenu"));
    file->insertMenu(command(IdCompareGenomes), recentMenu_);
    recentMenu_->addSeparator();
    connect(addCommand(recentMenu_, IdClearRecent, tr("&Clear the list"), true), &QAction::triggered, this,
            [this] {
                settings_.saveRecentFiles({});
                rebuildRecentMenu();
            });
    rebuildRecentMenu();

    // Finding one's way, after "Find motif...".
    const QList<QAction*> editItems = edit->actions();
    const qsizetype afterFind = editItems.indexOf(command(IdFindMotif)) + 1;
    QAction* before = afterFind < editItems.size() ? editItems.at(afterFind) : nullptr;
    const auto insertCommand = [this, edit, before](int id, const QString& text, const QKeySequence& keys) {
        QAction* action = addCommand(edit, id, text, false);
        edit->removeAction(action);
        edit->insertAction(before, action);
        action->setShortcut(keys);
        return action;
    };
    connect(insertCommand(IdGoToPosition, tr("&Go to position..."), QKeySequence(Qt::CTRL | Qt::Key_G)),
            &QAction::triggered, this, &CTessaronDlg::OnGoToPosition);
    connect(insertCommand(IdNextCopy, tr("&Next copy"), QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            &CTessaronDlg::OnNextCopy);
    connect(insertCommand(IdPreviousCopy, tr("&Previous copy"), QKeySequence(Qt::SHIFT | Qt::Key_F3)),
            &QAction::triggered, this, &CTessaronDlg::OnPreviousCopy);

    view->addSeparator();
    QAction* filter = addCommand(view, IdShowFilter, tr("&Filter results"), true);
    filter->setCheckable(true);
    filter->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(filter, &QAction::toggled, this, [this](bool shown) {
        filterBox_->setVisible(shown);
        if (!shown) {
            // A hidden filter would hide rows for no visible reason.
            filterMinLength_->setValue(0);
            filterMaxLength_->setValue(0);
            filterMinPairs_->setValue(0);
            filterWord_->clear();
        }
    });
    view->addSeparator();
    connect(addCommand(view, IdZoomIn, tr("Zoom &in"), true), &QAction::triggered, this,
            [this] { sequencePane_->zoomIn(); });
    connect(addCommand(view, IdZoomOut, tr("Zoom &out"), true), &QAction::triggered, this,
            [this] { sequencePane_->zoomOut(); });
    connect(addCommand(view, IdZoomReset, tr("&Actual size"), true), &QAction::triggered, this,
            [this] { sequencePane_->resetZoom(); });
    command(IdZoomIn)->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    command(IdZoomOut)->setShortcut(QKeySequence::ZoomOut);
    command(IdZoomReset)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    connect(addCommand(help, IdHowToRead, tr("&How to read the results"), true), &QAction::triggered, this,
            &CTessaronDlg::OnHowToRead);
    connect(addCommand(help, IdAbout, tr("&About Tessaron"), true), &QAction::triggered, this,
            &CTessaronDlg::OnAbout);
}

QWidget* CTessaronDlg::createFilterBox()
{
    filterBox_ = new QWidget;
    filterBox_->setObjectName(QStringLiteral("filterBox"));
    const auto spin = [this](const QString& name, int maximum, const QString& tip) {
        auto* box = new QSpinBox(filterBox_);
        box->setObjectName(name);
        box->setRange(0, maximum);
        box->setSpecialValueText(tr("any"));
        box->setToolTip(tip);
        connect(box, &QSpinBox::valueChanged, this, &CTessaronDlg::applyFilter);
        return box;
    };
    filterMinLength_ = spin(QStringLiteral("filterMinLength"), INT_MAX, tr("Shortest length shown"));
    filterMaxLength_ = spin(QStringLiteral("filterMaxLength"), INT_MAX, tr("Longest length shown"));
    filterMinPairs_ = spin(QStringLiteral("filterMinPairs"), INT_MAX, tr("Fewest pairs of a word shown"));
    filterWord_ = new QLineEdit(filterBox_);
    filterWord_->setObjectName(QStringLiteral("filterWord"));
    filterWord_->setPlaceholderText(tr("word contains..."));
    filterWord_->setClearButtonEnabled(true);
    connect(filterWord_, &QLineEdit::textChanged, this, &CTessaronDlg::applyFilter);

    auto* grid = new QGridLayout(filterBox_);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);
    grid->addWidget(new QLabel(tr("Length"), filterBox_), 0, 0);
    grid->addWidget(filterMinLength_, 0, 1);
    grid->addWidget(new QLabel(tr("to"), filterBox_), 0, 2);
    grid->addWidget(filterMaxLength_, 0, 3);
    grid->addWidget(new QLabel(tr("Pairs"), filterBox_), 1, 0);
    grid->addWidget(filterMinPairs_, 1, 1);
    grid->addWidget(filterWord_, 2, 0, 1, 4);
    filterBox_->hide();
    return filterBox_;
}

void CTessaronDlg::applyFilter()
{
    RepeatTreeModel::Filter filter;
    filter.minLength = filterMinLength_->value();
    filter.maxLength = filterMaxLength_->value() == 0 ? INT_MAX : filterMaxLength_->value();
    filter.minPairs = filterMinPairs_->value();
    filter.contains = filterWord_->text().trimmed().toUpper().toStdString();
    model_->setFilter(std::move(filter));
}

void CTessaronDlg::finishWindow()
{
    positionLabel_ = new QLabel(this);
    positionLabel_->setObjectName(QStringLiteral("positionLabel"));
    selectionLabel_ = new QLabel(this);
    selectionLabel_->setObjectName(QStringLiteral("selectionLabel"));
    genomeLabel_ = new QLabel(this);
    genomeLabel_->setObjectName(QStringLiteral("genomeLabel"));
    statusBar()->addPermanentWidget(positionLabel_);
    statusBar()->addPermanentWidget(selectionLabel_);
    statusBar()->addPermanentWidget(genomeLabel_);

    sequencePane_->setRulerVisible(true);
    connect(sequencePane_, &SequenceView::hovered, this, [this](int position) {
        positionLabel_->setText(position < 0 ? QString() : tr("Position %1").arg(position + 1));
    });
    connect(sequencePane_, &SequenceView::selectionChanged, this, &CTessaronDlg::updateSelectionLabel);
    // A click on the word already selected (or Enter on it) shows its first copy again.
    const auto again = [this](const QModelIndex& index) {
        if (index == tree_->currentIndex() && selectedRepeat_) {
            showFirstCopy();
        }
    };
    connect(tree_, &QTreeView::clicked, this, again);
    connect(tree_, &QTreeView::activated, this, again);

    setWindowIcon(programIcon());
    // Windows made without a parent (the sheets, the comparison) take the
    // application's icon: the same one unless the platform gave another.
    if (QApplication::windowIcon().isNull()) {
        QApplication::setWindowIcon(programIcon());
    }
    updateStatusBar();
}

void CTessaronDlg::updateStatusBar()
{
    const std::string& text = sequencePane_->sequence();
    if (text.empty()) {
        genomeLabel_->clear();
    } else {
        std::size_t gc = 0;
        std::size_t bases = 0;
        for (const char letter : text) {
            const bool strong = letter == 'G' || letter == 'C';
            gc += strong ? 1 : 0;
            bases += strong || letter == 'A' || letter == 'T' ? 1 : 0;
        }
        QString genome = tr("%1 bp").arg(text.size());
        if (bases < text.size()) {
            genome += tr(" (%1 in gaps)").arg(text.size() - bases);
        }
        if (bases > 0) {
            genome += tr(", GC %1").arg(percent(static_cast<double>(gc) / static_cast<double>(bases)));
        }
        genomeLabel_->setText(genome);
    }
    enableCommand(IdGoToPosition, !text.empty());
    updateSelectionLabel();
}

void CTessaronDlg::updateSelectionLabel()
{
    const SequenceView& pane = *sequencePane_;
    if (!pane.hasSelection()) {
        selectionLabel_->setText(pane.textLength() == 0 ? QString() : tr("Caret %1").arg(pane.caret() + 1));
        return;
    }
    selectionLabel_->setText(tr("Selected %1-%2 (%3 bp)")
                                 .arg(pane.selectionStart() + 1)
                                 .arg(pane.selectionEnd())
                                 .arg(pane.selectionEnd() - pane.selectionStart()));
}

QString CTessaronDlg::chooseFileToOpen(const QString& firstType)
{
    const QString path =
        prompts_.openFile(this, tr("Open"), filetypes::sequenceFiles(firstType), settings_.lastFolder());
    if (!path.isEmpty()) {
        settings_.saveLastFolder(QFileInfo(path).absolutePath());
    }
    return path;
}

QStringList CTessaronDlg::recentFiles() const
{
    return settings_.recentFiles();
}

void CTessaronDlg::rememberRecent(const QString& path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList files = settings_.recentFiles();
    files.removeAll(file);
    files.prepend(file);
    settings_.saveRecentFiles(files.mid(0, SettingsStore::kRecentFiles));
    rebuildRecentMenu();
}

void CTessaronDlg::openRecent(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        QStringList files = settings_.recentFiles();
        files.removeAll(path);
        settings_.saveRecentFiles(files);
        rebuildRecentMenu();
        showMessage(applicationName(),
                    tr("%1 is no longer there: it has been taken off the recent files.").arg(path));
        return;
    }
    openFile(path);
}

void CTessaronDlg::rebuildRecentMenu()
{
    const QList<QAction*> items = recentMenu_->actions();
    for (QAction* item : items) {
        if (item->property("recentFile").isValid()) {
            recentMenu_->removeAction(item);
            delete item;
        }
    }
    const QStringList files = settings_.recentFiles();
    QAction* separator = recentMenu_->actions().value(kSeparatorIndex);
    for (qsizetype k = 0; k < files.size(); ++k) {
        const QString& file = files.at(k);
        auto* item =
            new QAction(QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(file).fileName()), recentMenu_);
        item->setProperty("recentFile", file);
        item->setToolTip(file);
        item->setStatusTip(file);
        connect(item, &QAction::triggered, this, [this, file] { openRecent(file); });
        recentMenu_->insertAction(separator, item);
    }
    enableCommand(IdClearRecent, !files.isEmpty());
}

void CTessaronDlg::setCopies(std::vector<int> starts, int length)
{
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    copies_ = std::move(starts);
    copyLength_ = length;
    enableCommand(IdNextCopy, !copies_.empty());
    enableCommand(IdPreviousCopy, !copies_.empty());
}

void CTessaronDlg::showFirstCopy()
{
    const int first = selectedPairs_.empty() ? 0 : selectedPairs_.front().first;
    sequencePane_->setCaret(first);
    sequencePane_->ensureVisible(first, selectedRepeat_ ? selectedRepeat_->length : 0);
}

void CTessaronDlg::stepCopy(bool forward)
{
    if (copies_.empty()) {
        return;
    }
    const int caret = sequencePane_->caret();
    auto found = copies_.end();
    if (forward) {
        found = std::upper_bound(copies_.begin(), copies_.end(), caret);
        if (found == copies_.end()) {
            found = copies_.begin();  // round the circle
        }
    } else {
        found = std::lower_bound(copies_.begin(), copies_.end(), caret);
        found = found == copies_.begin() ? copies_.end() - 1 : found - 1;
    }
    sequencePane_->setCaret(*found);
    sequencePane_->ensureVisible(*found, copyLength_);
    statusBar()->showMessage(tr("Copy %1 of %2").arg(found - copies_.begin() + 1).arg(copies_.size()), 4000);
}

void CTessaronDlg::OnNextCopy()
{
    stepCopy(true);
}

void CTessaronDlg::OnPreviousCopy()
{
    stepCopy(false);
}

void CTessaronDlg::OnGoToPosition()
{
    const int length = sequencePane_->textLength();
    if (length == 0) {
        return;
    }
    const std::optional<int> position = prompts_.askNumber(
        this, tr("Go to position"), tr("Position (1 to %1):").arg(length),
        sequencePane_->caret() + 1 > length ? length : sequencePane_->caret() + 1, 1, length);
    if (!position) {
        return;
    }
    sequencePane_->setCaret(*position - 1);
    sequencePane_->ensureVisible(*position - 1, 1);
    sequencePane_->setFocus(Qt::ShortcutFocusReason);
}

void CTessaronDlg::OnAbout()
{
    prompts_.message(this, tr("About Tessaron"), aboutText(), Prompts::Icon::Information);
}

void CTessaronDlg::OnHowToRead()
{
    // One page, left open beside the results while they are read.
    static QPointer<CHelpDlg> shown;
    if (shown == nullptr || shown->parent() != this) {
        shown = new CHelpDlg(this);
        shown->setAttribute(Qt::WA_DeleteOnClose);
    }
    shown->show();
    shown->raise();
}
