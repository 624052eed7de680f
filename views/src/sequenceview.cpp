#include "views/sequenceview.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// The pane's face at 6.75 points; when it is not installed, the closest
// fixed-pitch face the system offers.
QFont paneFont()
{
    constexpr qreal kPointSize = 6.75;
    QFont font(QStringLiteral("Lucida Console"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(kPointSize);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(kPointSize);
    }
    font.setFixedPitch(true);
    font.setKerning(false);
    return font;
}

}  // namespace

SequenceView::SequenceView(QWidget* parent) : QAbstractScrollArea(parent)
{
    // The scroll bar stays put: a bar that came and went would change the
    // width, the columns and so the rows, and could flicker between both.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setupFonts();
    updateScrollRange();
}

void SequenceView::setupFonts()
{
    font_ = paneFont();
    boldFont_ = font_;
    boldFont_.setBold(true);

    // Every character takes the same cell, bold or not: the narrower of the
    // two faces is spaced out to the wider one so that columns line up.
    const qreal plainWidth = QFontMetricsF(font_).horizontalAdvance(QLatin1Char('A'));
    const qreal boldWidth = QFontMetricsF(boldFont_).horizontalAdvance(QLatin1Char('A'));
    charWidth_ = std::max({plainWidth, boldWidth, qreal{1}});
    if (plainWidth < charWidth_) {
        font_.setLetterSpacing(QFont::AbsoluteSpacing, charWidth_ - plainWidth);
    }
    if (boldWidth < charWidth_) {
        boldFont_.setLetterSpacing(QFont::AbsoluteSpacing, charWidth_ - boldWidth);
    }

    const QFontMetrics plain(font_);
    const QFontMetrics bold(boldFont_);
    lineHeight_ = std::max({plain.lineSpacing(), bold.lineSpacing(), 1});
    ascent_ = std::max(plain.ascent(), bold.ascent());
    setFont(font_);
}

void SequenceView::setSequence(std::string_view text)
{
    text_.assign(text);
    highlights_.clear();
    caret_ = 0;
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void SequenceView::setTextColor(const QColor& color)
{
    textColor_ = color;
    viewport()->update();
}

void SequenceView::addHighlight(int start, int length, const QColor& color, bool bold)
{
    const qint64 begin = std::max<qint64>(start, 0);
    const qint64 end = std::min<qint64>(qint64{start} + length, textLength());
    if (length <= 0 || begin >= end) {
        return;
    }
    highlights_.push_back({static_cast<int>(begin), static_cast<int>(end - begin), color, bold});
    viewport()->update();
}

void SequenceView::clearHighlights()
{
    highlights_.clear();
    viewport()->update();
}

void SequenceView::setCaret(int position)
{
    caret_ = std::clamp(position, 0, textLength());
    const int row = rowOf(caret_);
    const int first = firstVisibleRow();
    const int shown = visibleRowCount();
    if (row < first) {
        verticalScrollBar()->setValue(row);
    } else if (row >= first + shown) {
        verticalScrollBar()->setValue(row - shown + 1);
    }
    viewport()->update();
}

int SequenceView::columns() const
{
    return std::max(1, static_cast<int>(std::floor(viewport()->width() / charWidth_)));
}

int SequenceView::rowOf(int position) const
{
    const int length = textLength();
    if (length == 0) {
        return 0;
    }
    // The end of the text (a caret after the last base) belongs to the last row.
    return std::clamp(position, 0, length - 1) / columns();
}

int SequenceView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

int SequenceView::rowCount() const
{
    const qint64 cols = columns();
    return static_cast<int>((textLength() + cols - 1) / cols);
}

int SequenceView::visibleRowCount() const
{
    return std::max(1, viewport()->height() / lineHeight_);
}

void SequenceView::updateScrollRange()
{
    const int shown = visibleRowCount();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, rowCount() - shown));
    bar->setPageStep(shown);
    bar->setSingleStep(1);
    laidOutColumns_ = columns();
}

void SequenceView::resizeEvent(QResizeEvent* event)
{
    // Keep the first character shown in the top row when the text rewraps.
    const qint64 firstCharacter = qint64{firstVisibleRow()} * laidOutColumns_;
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    verticalScrollBar()->setValue(static_cast<int>(firstCharacter / columns()));
}

void SequenceView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || text_.empty()) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPointF point = event->position();
    const int cols = columns();
    const qint64 row = firstVisibleRow() + static_cast<qint64>(std::max(0.0, point.y())) / lineHeight_;
    const qint64 column = std::clamp<qint64>(std::llround(std::max(0.0, point.x()) / charWidth_), 0, cols);
    setCaret(static_cast<int>(std::min<qint64>(row * cols + column, textLength())));
    event->accept();
}

void SequenceView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void SequenceView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void SequenceView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const int length = textLength();
    const int cols = columns();
    const int first = firstVisibleRow();
    const int rows = rowCount();
    const QRect dirty = event->rect();
    const int rowBegin = std::min(rows, first + std::max(0, dirty.top()) / lineHeight_);
    const int rowEnd = std::min(rows, first + std::max(0, dirty.bottom()) / lineHeight_ + 1);

    if (rowBegin < rowEnd) {
        const qint64 charBegin = qint64{rowBegin} * cols;
        const qint64 charEnd = std::min<qint64>(qint64{rowEnd} * cols, length);

        // Which highlight each visible character shows; later ones win.
        cellStyles_.assign(static_cast<std::size_t>(charEnd - charBegin), 0);
        for (std::size_t k = 0; k < highlights_.size(); ++k) {
            const Highlight& highlight = highlights_[k];
            const qint64 from = std::max<qint64>(highlight.start, charBegin);
            const qint64 to = std::min<qint64>(qint64{highlight.start} + highlight.length, charEnd);
            if (from < to) {
                std::fill(cellStyles_.begin() + (from - charBegin), cellStyles_.begin() + (to - charBegin),
                          static_cast<std::uint32_t>(k + 1));
            }
        }
        const auto sameLook = [this](std::uint32_t a, std::uint32_t b) {
            if (a == b) {
                return true;
            }
            if (a == 0 || b == 0) {
                return false;
            }
            const Highlight& x = highlights_[a - 1];
            const Highlight& y = highlights_[b - 1];
            return x.color == y.color && x.bold == y.bold;
        };

        // One drawText per run of equally drawn characters, so a row without
        // highlights costs one string and one call.
        const char* const bases = text_.data();
        for (int row = rowBegin; row < rowEnd; ++row) {
            const qint64 rowStart = qint64{row} * cols;
            const qint64 rowStop = std::min<qint64>(rowStart + cols, length);
            const qreal baseline = (row - first) * lineHeight_ + ascent_;
            qint64 runStart = rowStart;
            while (runStart < rowStop) {
                const std::uint32_t style = cellStyles_[static_cast<std::size_t>(runStart - charBegin)];
                qint64 runStop = runStart + 1;
                while (runStop < rowStop &&
                       sameLook(style, cellStyles_[static_cast<std::size_t>(runStop - charBegin)])) {
                    ++runStop;
                }
                const Highlight* highlight = style == 0 ? nullptr : &highlights_[style - 1];
                painter.setFont(highlight != nullptr && highlight->bold ? boldFont_ : font_);
                painter.setPen(highlight != nullptr ? highlight->color : textColor_);
                painter.drawText(QPointF(static_cast<int>(runStart - rowStart) * charWidth_, baseline),
                                 QString::fromLatin1(bases + runStart, runStop - runStart));
                runStart = runStop;
            }
        }
    }

    if (hasFocus()) {
        int row = 0;
        int column = 0;
        if (length > 0) {
            row = rowOf(caret_);
            column = caret_ == length ? (length - 1) % cols + 1 : caret_ % cols;
        }
        const int y = (row - first) * lineHeight_;
        if (y + lineHeight_ > 0 && y < viewport()->height()) {
            painter.fillRect(QRectF(column * charWidth_, y, 1, lineHeight_), palette().color(QPalette::Text));
        }
    }
}
