#include "views/sequence/motifsearchwindow.h"

#include "session/iupacmotif.h"
#include "session/session.h"
#include "views/base/menucommand.h"
#include "views/sequence/sequenceview.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

MotifSearchWindow::MotifSearchWindow(const tessaron::Session& session, SequenceView& pane, QWidget* window)
    : QDialog(window), session_(session), pane_(pane)
{
    setObjectName(QStringLiteral("motifSearchWindow"));
    setWindowTitle(tr("Find motif (IUPAC)"));
    setModal(false);
    motif_ = new QLineEdit(this);
    motif_->setObjectName(QStringLiteral("iupacMotifField"));
    motif_->setPlaceholderText(tr("e.g. GAATTC, TTGACA or RGGNCCY"));
    motif_->setToolTip(
        tr("IUPAC codes: A C G T U, R (A/G), Y (C/T), S (C/G), W (A/T), K (G/T), M (A/C),\n"
           "B (not A), D (not C), H (not G), V (not T), N (any)"));
    mismatches_ = new QSpinBox(this);
    mismatches_->setObjectName(QStringLiteral("iupacMismatches"));
    mismatches_->setRange(0, 5);
    bothStrands_ = new QCheckBox(tr("Both &strands"), this);
    bothStrands_->setObjectName(QStringLiteral("iupacBothStrands"));
    bothStrands_->setChecked(true);
    circular_ = new QCheckBox(tr("&Circular (hits over the origin)"), this);
    circular_->setObjectName(QStringLiteral("iupacCircular"));
    circular_->setChecked(true);
    auto* findButton = new QPushButton(tr("Find"), this);
    findButton->setObjectName(QStringLiteral("iupacFind"));
    findButton->setDefault(true);
    connect(findButton, &QPushButton::clicked, this, &MotifSearchWindow::find);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("iupacSummary"));
    hits_ = new QTreeWidget(this);
    hits_->setObjectName(QStringLiteral("iupacHits"));
    hits_->setRootIsDecorated(false);
    hits_->setUniformRowHeights(true);
    hits_->setHeaderLabels({tr("Position"), tr("Strand"), tr("Mismatches"), tr("Bases")});
    connect(hits_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { goToHit(hits_->indexOfTopLevelItem(item)); });
    connect(hits_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { goToHit(hits_->indexOfTopLevelItem(item)); });

    auto* form = new QFormLayout;
    form->addRow(tr("&Motif:"), motif_);
    form->addRow(tr("Up to &mismatches:"), mismatches_);
    auto* options = new QHBoxLayout;
    options->addWidget(bothStrands_);
    options->addWidget(circular_);
    options->addStretch();
    options->addWidget(findButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(options);
    layout->addWidget(summary_);
    layout->addWidget(hits_, 1);
    resize(460, 420);
}

MotifSearchWindow::~MotifSearchWindow() = default;

void MotifSearchWindow::addCommand(QMenu* menu)
{
    QAction* action = addMenuCommand(menu, "findIupacMotif", tr("Find motif (&IUPAC)..."), true);
    connect(action, &QAction::triggered, this, &MotifSearchWindow::openWindow);
}

void MotifSearchWindow::openWindow()
{
    // Named after the genome it searches.
    const QString genome = QString::fromStdString(session_.state().name);
    setWindowTitle(genome.isEmpty() ? tr("Find motif (IUPAC)") : tr("Find motif (IUPAC) - %1").arg(genome));
    show();
    raise();
    activateWindow();
    motif_->setFocus(Qt::OtherFocusReason);
    motif_->selectAll();
}

bool MotifSearchWindow::find()
{
    hits_->clear();
    searched_.reset();
    const std::string motif = motif_->text().trimmed().toUpper().toStdString();
    motif_->setText(QString::fromStdString(motif));
    if (!session_.loaded() || session_.genome().length() == 0) {
        summary_->setText(tr("There is no loaded genome!"));
        return false;
    }
    if (const std::optional<std::string> problem = tessaron::motifProblem(motif)) {
        summary_->setText(QString::fromStdString(*problem));
        return false;
    }
    const tessaron::Genome& genome = session_.genome();
    const tessaron::MotifQuery query{motif, mismatches_->value(), bothStrands_->isChecked(),
                                     circular_->isChecked()};
    const tessaron::MotifSearchResult found = tessaron::findMotifHits(genome.sequence(), query);
    searched_ = session_.sharedGenome();
    motifLength_ = static_cast<int>(motif.size());
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(found.hits.size()));
    for (const tessaron::MotifHit& hit : found.hits) {
        const QString bases = QString::fromStdString(genome.word(hit.start, motifLength_));
        auto* item = new QTreeWidgetItem({QString::number(hit.start + 1),
                                          hit.reverse ? QStringLiteral("-") : QStringLiteral("+"),
                                          QString::number(hit.mismatches), bases});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        items.push_back(item);
    }
    hits_->addTopLevelItems(items);
    const QString name = QString::fromStdString(session_.state().name);
    summary_->setText(found.hits.empty() ? tr("%1 not found in %2.").arg(QString::fromStdString(motif), name)
                      : found.truncated
                          ? tr("The first %1 hits in %2 (there are more).").arg(found.hits.size()).arg(name)
                          : tr("%1 hits in %2.").arg(found.hits.size()).arg(name));
    if (!found.hits.empty()) {
        hits_->setCurrentItem(hits_->topLevelItem(0));
        goToHit(0);
    }
    return true;
}

void MotifSearchWindow::goToHit(int row)
{
    if (searched_ != session_.sharedGenome()) {
        hits_->clear();
        searched_.reset();
        summary_->setText(tr("The genome has changed: find the motif again."));
        return;
    }
    const QTreeWidgetItem* item = hits_->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    const int start = item->text(0).toInt() - 1;
    // A hit over the origin is selected up to the end of the sequence.
    pane_.select(start, std::min(start + motifLength_, pane_.textLength()));
    pane_.ensureVisible(start, motifLength_);
}
