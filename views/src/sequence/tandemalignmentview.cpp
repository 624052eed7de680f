#include "views/sequence/tandemalignmentview.h"

#include "session/tandemalignment.h"
#include "views/base/qtstrings.h"

#include <QFontDatabase>
#include <QLocale>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <utility>

const QColor TandemAlignmentView::kDifferenceGround(255, 205, 120);

// Marks the letters of the copy rows that differ from the consensus row:
// rows `firstCopy` to `lastCopy` of the text, read from column `left`.
class TandemAlignmentMarks : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

    void setRows(QString consensus, int firstCopy, int lastCopy, int left)
    {
        consensus_ = std::move(consensus);
        firstCopy_ = firstCopy;
        lastCopy_ = lastCopy;
        left_ = left;
    }

protected:
    void highlightBlock(const QString& text) override
    {
        const int row = currentBlock().blockNumber();
        if (row < firstCopy_ || row > lastCopy_) {
            return;
        }
        QTextCharFormat differing;
        differing.setBackground(TandemAlignmentView::kDifferenceGround);
        const qsizetype end = std::min<qsizetype>(text.size() - left_, consensus_.size());
        qsizetype from = -1;
        const auto close = [&](qsizetype at) {
            if (from >= 0) {
                setFormat(static_cast<int>(left_ + from), static_cast<int>(at - from), differing);
                from = -1;
            }
        };
        for (qsizetype i = 0; i < end; ++i) {
            const QChar letter = text[left_ + i];
            if (letter != QLatin1Char(' ') && letter != consensus_[i]) {
                if (from < 0) {
                    from = i;
                }
            } else {
                close(i);
            }
        }
        close(end);
    }

private:
    QString consensus_;
    int firstCopy_ = -1;
    int lastCopy_ = -2;
    int left_ = 0;
};

TandemAlignmentView::TandemAlignmentView(QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit), marks_(new TandemAlignmentMarks(text_->document()))
{
    setObjectName(QStringLiteral("tandemAlignment"));
    setWindowTitle(tr("Tandem array alignment"));
    setModal(false);
    text_->setObjectName(QStringLiteral("tandemAlignmentText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(text_);
    resize(560, 240);
}

TandemAlignmentView::~TandemAlignmentView() = default;

void TandemAlignmentView::showArray(const tessaron::TandemRepeat& array, std::string_view letters)
{
    const QLocale english(QLocale::English);
    QStringList lines;
    lines << tr("%1..%2: period %3, %4 copies, %5 % matches, %6 % indels, score %7")
                 .arg(english.toString(static_cast<qlonglong>(array.start + 1)),
                      english.toString(static_cast<qlonglong>(array.end())))
                 .arg(array.period)
                 .arg(QLocale::c().toString(array.copies, 'f', 1))
                 .arg(array.percentMatches())
                 .arg(array.percentIndels())
                 .arg(array.score);
    const std::optional<tessaron::TandemAlignment> aligned = tessaron::alignCopies(array, letters);
    if (!aligned) {
        lines << tr("consensus  %1").arg(toQString(array.consensus))
              << tr("(the alignment of the copies cannot be read)");
        marks_->setRows({}, -1, -2, 0);
        text_->setPlainText(lines.join(QLatin1Char('\n')));
        return;
    }
    const auto shown = std::min<std::size_t>(aligned->copies.size(), kMostCopiesShown);
    // The labels in a column of their own: "consensus", "copy 1", ...
    const QString consensusLabel = tr("consensus");
    const QString lastLabel = tr("copy %1").arg(shown);
    const int left = static_cast<int>(std::max(consensusLabel.size(), lastLabel.size())) + 2;
    lines << consensusLabel.leftJustified(left) + toQString(aligned->consensus);
    for (std::size_t c = 0; c < shown; ++c) {
        lines << tr("copy %1").arg(c + 1).leftJustified(left) + toQString(aligned->copies[c]);
    }
    if (aligned->copies.size() > shown) {
        lines << tr("... %1 more copies").arg(aligned->copies.size() - shown);
    }
    marks_->setRows(toQString(aligned->consensus), 2, 1 + static_cast<int>(shown), left);
    text_->setPlainText(lines.join(QLatin1Char('\n')));
}

void TandemAlignmentView::clearArray()
{
    marks_->setRows({}, -1, -2, 0);
    text_->clear();
}

QString TandemAlignmentView::text() const
{
    return text_->toPlainText();
}
