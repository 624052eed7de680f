#include "views/results/alignmentview.h"

#include "views/base/qtstrings.h"
#include "views/sequence/sequencenavigator.h"

#include "engine/repeatkinds.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum class Look { Plain, Unequal, Gap };

const QColor kGapGround(0xDD, 0xDD, 0xDD);  // a light grey

QTextCharFormat formatOf(Look look)
{
    QTextCharFormat format;
    if (look == Look::Unequal) {
        format.setForeground(SequenceNavigator::kMismatchColor);
        format.setFontWeight(QFont::Bold);
    } else if (look == Look::Gap) {
        format.setBackground(kGapGround);
    }
    return format;
}

// The first (last) position of a row's letters in columns [from, to); 0 for none.
std::int64_t firstPosition(const std::vector<std::int64_t>& positions, std::size_t from, std::size_t to)
{
    for (std::size_t c = from; c < to; ++c) {
        if (positions[c] > 0) {
            return positions[c];
        }
    }
    return 0;
}

std::int64_t lastPosition(const std::vector<std::int64_t>& positions, std::size_t from, std::size_t to)
{
    for (std::size_t c = to; c > from; --c) {
        if (positions[c - 1] > 0) {
            return positions[c - 1];
        }
    }
    return 0;
}

}  // namespace

AlignmentView::AlignmentView(QWidget* parent)
    : QWidget(parent, Qt::Window), heading_(new QLabel), text_(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("alignmentView"));
    setWindowTitle(tr("Alignment"));
    heading_->setObjectName(QStringLiteral("alignmentHeading"));
    heading_->setWordWrap(true);
    text_->setObjectName(QStringLiteral("alignmentText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(text_);
    resize(760, 420);
}

void AlignmentView::showPair(const tessaron::Genome& genome, tessaron::RepeatKind kind,
                             const tessaron::GappedPair& pair)
{
    const tessaron::AlignmentRows rows = tessaron::alignmentRows(genome, kind, pair);
    heading_->setText(tr("%1 pair: %2 bp at %3 and %4 bp at %5; %6 % identity, %7 mismatches, %8 inserted "
                         "and %9 deleted letters")
                          .arg(toQString(tessaron::kindInfo(kind).name))
                          .arg(pair.length)
                          .arg(pair.first + 1)
                          .arg(pair.secondLength)
                          .arg(pair.second + 1)
                          .arg(pair.identity, 0, 'f', 2)
                          .arg(pair.mismatches)
                          .arg(pair.insertions)
                          .arg(pair.deletions));
    text_->clear();
    const std::int64_t n = genome.length();
    const int width = static_cast<int>(QString::number(std::max<std::int64_t>(n, 1)).size());
    const auto number = [width](std::int64_t position) {
        return position > 0 ? QStringLiteral("%1").arg(position, width) : QString(width, QLatin1Char(' '));
    };
    QTextCursor cursor(text_->document());
    const QTextCharFormat plain = formatOf(Look::Plain);
    const std::size_t columns = rows.marks.size();
    // Writes the columns [from, to) of a row, a run of one look at a time.
    const auto writeRow = [&](const std::string& row, std::size_t from, std::size_t to) {
        std::size_t c = from;
        while (c < to) {
            const auto lookAt = [&rows](std::size_t at) {
                return rows.marks[at] == ' '   ? Look::Gap
                       : rows.marks[at] == 'x' ? Look::Unequal
                                               : Look::Plain;
            };
            const Look look = lookAt(c);
            std::size_t end = c + 1;
            while (end < to && lookAt(end) == look) {
                ++end;
            }
            cursor.insertText(QString::fromLatin1(row.data() + c, static_cast<qsizetype>(end - c)),
                              formatOf(look));
            c = end;
        }
    };
    for (std::size_t from = 0; from < columns; from += kColumns) {
        const std::size_t to = std::min(columns, from + kColumns);
        if (from > 0) {
            cursor.insertText(QStringLiteral("\n\n"), plain);
        }
        cursor.insertText(number(firstPosition(rows.firstPositions, from, to)) + QLatin1Char(' '), plain);
        writeRow(rows.first, from, to);
        cursor.insertText(
            QLatin1Char(' ') + number(lastPosition(rows.firstPositions, from, to)) + QLatin1Char('\n'),
            plain);
        cursor.insertText(QString(width + 1, QLatin1Char(' ')), plain);
        writeRow(rows.marks, from, to);
        cursor.insertText(
            QStringLiteral("\n") + number(firstPosition(rows.secondPositions, from, to)) + QLatin1Char(' '),
            plain);
        writeRow(rows.second, from, to);
        cursor.insertText(QLatin1Char(' ') + number(lastPosition(rows.secondPositions, from, to)), plain);
    }
    text_->moveCursor(QTextCursor::Start);
}

QString AlignmentView::heading() const
{
    return heading_->text();
}

QString AlignmentView::text() const
{
    return text_->toPlainText();
}
