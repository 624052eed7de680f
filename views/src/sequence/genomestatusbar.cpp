#include "views/sequence/genomestatusbar.h"

#include <QStringList>

#include <vector>

#include "views/sequence/sequenceview.h"

#include <QLabel>
#include <QStatusBar>

#include <string>

namespace {

constexpr int kCopyMessageMs = 4000;

QString percent(double fraction)
{
    return QString::number(100.0 * fraction, 'f', 1) + QLatin1Char('%');
}

QLabel* addLabel(QStatusBar* bar, const QString& name)
{
    auto* label = new QLabel(bar);
    label->setObjectName(name);
    bar->addPermanentWidget(label);
    return label;
}

}  // namespace

GenomeStatusBar::GenomeStatusBar(QStatusBar* bar, SequenceView* pane) : QObject(bar), bar_(bar), pane_(pane)
{
    setObjectName(QStringLiteral("genomeStatusBar"));
    position_ = addLabel(bar, QStringLiteral("positionLabel"));
    selection_ = addLabel(bar, QStringLiteral("selectionLabel"));
    genome_ = addLabel(bar, QStringLiteral("genomeLabel"));
    connect(pane_, &SequenceView::hovered, this, [this](int position) {
        position_->setText(position < 0 ? QString() : tr("Position %1").arg(position + 1));
    });
    connect(pane_, &SequenceView::selectionChanged, this, &GenomeStatusBar::showSelection);
    sequenceChanged();
}

void GenomeStatusBar::sequenceChanged()
{
    const std::string& text = pane_->sequence();
    if (text.empty()) {
        genome_->clear();
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
        genome_->setText(genome);
    }
    showSelection();
}

void GenomeStatusBar::showCopy(std::size_t number, std::size_t count)
{
    bar_->showMessage(tr("Copy %1 of %2").arg(number).arg(count), kCopyMessageMs);
}

void GenomeStatusBar::showSelection()
{
    if (!pane_->hasSelection()) {
        selection_->setText(pane_->textLength() == 0 ? QString() : tr("Caret %1").arg(pane_->caret() + 1));
        return;
    }
    const std::vector<SequenceView::Range> ranges = pane_->selectedRanges();
    if (ranges.size() > 1) {
        QStringList parts;
        int bases = 0;
        for (const SequenceView::Range& range : ranges) {
            parts << QStringLiteral("%1-%2").arg(range.start + 1).arg(range.end);
            bases += range.end - range.start;
        }
        selection_->setText(tr("Selected %1 (%2 bp)").arg(parts.join(QStringLiteral(", "))).arg(bases));
        return;
    }
    selection_->setText(tr("Selected %1-%2 (%3 bp)")
                            .arg(pane_->selectionStart() + 1)
                            .arg(pane_->selectionEnd())
                            .arg(pane_->selectionEnd() - pane_->selectionStart()));
}
