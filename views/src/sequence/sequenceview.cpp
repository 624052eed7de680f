#include "views/sequence/sequenceview.h"

#include "engine/alphabet.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

const QColor SequenceView::kGapColor(0xA0, 0xA0, 0xA0);

namespace {

// The pane's sizes in points; step 0 is the described 6.75 points.
constexpr std::array<qreal, 14> kPointSizes{4.5, 5.25, 6, 6.75, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24};
constexpr int kDefaultSizeIndex = 3;

// The style of a character that no highlight covers and that is a gap.
constexpr std::uint32_t kGapStyle = std::numeric_limits<std::uint32_t>::max();

const QColor kRulerBackground(0xEE, 0xEE, 0xEE);
constexpr int kRulerPadding = 4;

using tessaron::isBase;

// The pane's face at `points`; when it is not installed, the closest
// fixed-pitch face the system offers.
QFont paneFont(qreal points)
{
    QFont font(QStringLiteral("Lucida Console"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(points);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(points);
    }
    font.setFixedPitch(true);
    font.setKerning(false);
    return font;
}

int digitsOf(int value)
{
    int digits = 1;
    for (; value >= 10; value /= 10) {
        ++digits;
    }
    return digits;
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
    viewport()->setMouseTracking(true);
    setupFonts();
    updateScrollRange();
}

void SequenceView::setupFonts()
{
    font_ = paneFont(kPointSizes[static_cast<std::size_t>(kDefaultSizeIndex + zoomStep_)]);
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
    bandHeight_ = band_ != nullptr ? std::max(0, band_->height(lineHeight_)) : 0;
    setFont(font_);
}

void SequenceView::setRowBand(const RowBand* band)
{
    const qint64 firstCharacter = qint64{firstVisibleRow()} * laidOutColumns_;
    band_ = band;
    bandHeight_ = band_ != nullptr ? std::max(0, band_->height(lineHeight_)) : 0;
    updateScrollRange();
    verticalScrollBar()->setValue(static_cast<int>(firstCharacter / columns()));
    viewport()->update();
}

void SequenceView::setSequence(std::string_view text)
{
    text_.assign(text);
    highlights_.clear();
    caret_ = 0;
    anchor_ = 0;
    parts_.clear();
    updateScrollRange();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit selectionChanged();
}

void SequenceView::setTextColor(const QColor& color)
{
    textColor_ = color;
    viewport()->update();
}

void SequenceView::addHighlight(int start, int length, const QColor& color, bool bold)
{
    const int total = textLength();
    if (start < 0 || start >= total || length <= 0) {
        return;
    }
    const int kept = std::min(length, total);
    const int beforeEnd = std::min(kept, total - start);
    highlights_.push_back({start, beforeEnd, color, bold});
    if (kept > beforeEnd) {
        // Across the origin: the rest of the copy at the start of the text.
        highlights_.push_back({0, kept - beforeEnd, color, bold});
    }
    viewport()->update();
}

void SequenceView::clearHighlights()
{
    highlights_.clear();
    viewport()->update();
}

QColor SequenceView::colorAt(int position) const
{
    for (auto highlight = highlights_.rbegin(); highlight != highlights_.rend(); ++highlight) {
        if (position >= highlight->start && position - highlight->start < highlight->length) {
            return highlight->color;
        }
    }
    if (position >= 0 && position < textLength() && !isBase(text_[static_cast<std::size_t>(position)])) {
        return kGapColor;
    }
    return textColor_;
}

void SequenceView::setCaret(int position)
{
    moveCaret(position, false);
}

void SequenceView::select(int anchor, int caret)
{
    anchor_ = std::clamp(anchor, 0, textLength());
    moveCaret(caret, true);
}

void SequenceView::selectAll()
{
    parts_.clear();
    anchor_ = 0;
    caret_ = textLength();
    viewport()->update();
    emit selectionChanged();
}

void SequenceView::selectParts(const std::vector<Range>& parts)
{
    std::vector<Range> kept;
    for (const Range& part : parts) {
        const Range clamped{std::clamp(part.start, 0, textLength()), std::clamp(part.end, 0, textLength())};
        if (clamped.start < clamped.end) {
            kept.push_back(clamped);
        }
    }
    if (kept.empty()) {
        return;
    }
    select(kept.front().end, kept.front().start);  // ends any earlier selection in parts
    if (kept.size() > 1) {
        parts_ = std::move(kept);
        viewport()->update();
        emit selectionChanged();
    }
}

std::vector<SequenceView::Range> SequenceView::selectedRanges() const
{
    if (!parts_.empty()) {
        return parts_;
    }
    if (!hasSelection()) {
        return {};
    }
    return {{selectionStart(), selectionEnd()}};
}

void SequenceView::moveCaret(int position, bool extend)
{
    parts_.clear();
    caret_ = std::clamp(position, 0, textLength());
    if (!extend) {
        anchor_ = caret_;
    }
    const int row = rowOf(caret_);
    const int first = firstVisibleRow();
    const int shown = visibleRowCount();
    if (row < first) {
        verticalScrollBar()->setValue(row);
    } else if (row >= first + shown) {
        verticalScrollBar()->setValue(row - shown + 1);
    }
    viewport()->update();
    emit selectionChanged();
}

std::string SequenceView::selectedText() const
{
    std::string selected;
    for (const Range& range : selectedRanges()) {
        if (!selected.empty()) {
            selected += '\n';
        }
        selected.append(text_, static_cast<std::size_t>(range.start),
                        static_cast<std::size_t>(range.end - range.start));
    }
    return selected;
}

void SequenceView::copy() const
{
    if (hasSelection()) {
        const std::string selected = selectedText();
        QGuiApplication::clipboard()->setText(
            QString::fromLatin1(selected.data(), static_cast<qsizetype>(selected.size())));
    }
}

void SequenceView::ensureVisible(int start, int length)
{
    const int firstRow = rowOf(start);
    const int lastRow = rowOf(std::min(textLength(), start + std::max(length, 1)) - 1);
    const int top = firstVisibleRow();
    const int shown = visibleRowCount();
    if (firstRow < top || lastRow - firstRow >= shown) {
        verticalScrollBar()->setValue(firstRow);
    } else if (lastRow >= top + shown) {
        verticalScrollBar()->setValue(lastRow - shown + 1);
    }
}

void SequenceView::setRulerVisible(bool visible)
{
    if (visible == rulerVisible_) {
        return;
    }
    const qint64 firstCharacter = qint64{firstVisibleRow()} * laidOutColumns_;
    rulerVisible_ = visible;
    updateScrollRange();
    verticalScrollBar()->setValue(static_cast<int>(firstCharacter / columns()));
    viewport()->update();
}

int SequenceView::textLeft() const
{
    if (!rulerVisible_) {
        return 0;
    }
    return static_cast<int>(std::ceil(digitsOf(std::max(textLength(), 1)) * charWidth_)) + 2 * kRulerPadding;
}

void SequenceView::zoomIn()
{
    setZoomStep(zoomStep_ + 1);
}

void SequenceView::zoomOut()
{
    setZoomStep(zoomStep_ - 1);
}

void SequenceView::resetZoom()
{
    setZoomStep(0);
}

void SequenceView::setZoomStep(int step)
{
    const int clamped =
        std::clamp(step, -kDefaultSizeIndex, static_cast<int>(kPointSizes.size()) - 1 - kDefaultSizeIndex);
    if (clamped == zoomStep_) {
        return;
    }
    // The first character shown stays in the top row.
    const qint64 firstCharacter = qint64{firstVisibleRow()} * laidOutColumns_;
    zoomStep_ = clamped;
    setupFonts();
    updateScrollRange();
    verticalScrollBar()->setValue(static_cast<int>(firstCharacter / columns()));
    viewport()->update();
    emit zoomChanged(zoomStep_);
}

int SequenceView::columns() const
{
    return std::max(1, static_cast<int>(std::floor((viewport()->width() - textLeft()) / charWidth_)));
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
    return std::max(1, viewport()->height() / rowHeight());
}

int SequenceView::characterAt(const QPoint& point) const
{
    const int x = point.x() - textLeft();
    if (x < 0 || point.y() < 0) {
        return -1;
    }
    const qint64 column = static_cast<qint64>(x / charWidth_);
    if (column >= columns()) {
        return -1;
    }
    const qint64 position = (firstVisibleRow() + qint64{point.y()} / rowHeight()) * columns() + column;
    return position < textLength() ? static_cast<int>(position) : -1;
}

int SequenceView::caretPositionAt(const QPointF& point) const
{
    const int cols = columns();
    const qint64 row = firstVisibleRow() + static_cast<qint64>(std::max(0.0, point.y())) / rowHeight();
    const qint64 column =
        std::clamp<qint64>(std::llround(std::max(0.0, point.x() - textLeft()) / charWidth_), 0, cols);
    return static_cast<int>(std::min<qint64>(row * cols + column, textLength()));
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
    moveCaret(caretPositionAt(event->position()), (event->modifiers() & Qt::ShiftModifier) != 0);
    event->accept();
}

void SequenceView::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered(characterAt(event->position().toPoint()));
    if ((event->buttons() & Qt::LeftButton) != 0 && !text_.empty()) {
        moveCaret(caretPositionAt(event->position()), true);
    }
    event->accept();
}

void SequenceView::leaveEvent(QEvent* event)
{
    QAbstractScrollArea::leaveEvent(event);
    emit hovered(-1);
}

void SequenceView::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    if (control && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal)) {
        zoomIn();
        return;
    }
    if (control && event->key() == Qt::Key_Minus) {
        zoomOut();
        return;
    }
    if (control && event->key() == Qt::Key_0) {
        resetZoom();
        return;
    }

    const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
    const qint64 cols = columns();
    const qint64 page = qint64{visibleRowCount()} * cols;
    const qint64 rowStart =
        caret_ == textLength() && caret_ > 0 ? (caret_ - 1) / cols * cols : caret_ / cols * cols;
    qint64 target = caret_;
    switch (event->key()) {
        case Qt::Key_Left:
            target = caret_ - 1;
            break;
        case Qt::Key_Right:
            target = caret_ + 1;
            break;
        case Qt::Key_Up:
            target = caret_ >= cols ? caret_ - cols : caret_;
            break;
        case Qt::Key_Down:
            target = caret_ + cols <= textLength() ? caret_ + cols : caret_;
            break;
        case Qt::Key_PageUp:
            target = caret_ - std::min<qint64>(page, caret_ / cols * cols);
            verticalScrollBar()->setValue(firstVisibleRow() - visibleRowCount());
            break;
        case Qt::Key_PageDown:
            target = std::min<qint64>(caret_ + page, textLength());
            verticalScrollBar()->setValue(firstVisibleRow() + visibleRowCount());
            break;
        case Qt::Key_Home:
            target = control ? 0 : rowStart;
            break;
        case Qt::Key_End:
            target = control ? textLength() : std::min<qint64>(rowStart + cols, textLength());
            break;
        default:
            // Read-only: typing, deleting and pasting change nothing.
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    moveCaret(static_cast<int>(std::clamp<qint64>(target, 0, textLength())), extend);
    event->accept();
}

void SequenceView::wheelEvent(QWheelEvent* event)
{
    if ((event->modifiers() & Qt::ControlModifier) == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta > 0) {
        zoomIn();
    } else if (delta < 0) {
        zoomOut();
    }
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

void SequenceView::paintRuler(QPainter& painter, int rowBegin, int rowEnd) const
{
    const int width = textLeft();
    painter.fillRect(QRect(0, 0, width, viewport()->height()), kRulerBackground);
    painter.setFont(font_);
    painter.setPen(kGapColor.darker(140));
    const qint64 cols = columns();
    for (int row = rowBegin; row < rowEnd; ++row) {
        const QRect cell(0, rowTop(row) + bandHeight_, width - kRulerPadding, lineHeight_);
        painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, QString::number(row * cols + 1));
    }
}

void SequenceView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const int length = textLength();
    const int cols = columns();
    const int first = firstVisibleRow();
    const int rows = rowCount();
    const qreal left = textLeft();
    const QRect dirty = event->rect();
    const int rowBegin = std::min(rows, first + std::max(0, dirty.top()) / rowHeight());
    const int rowEnd = std::min(rows, first + std::max(0, dirty.bottom()) / rowHeight() + 1);

    if (rulerVisible_) {
        paintRuler(painter, rowBegin, rowEnd);
    }
    if (band_ != nullptr && bandHeight_ > 0 && rowBegin < rowEnd) {
        painter.save();
        band_->paint(painter, *this, rowBegin, rowEnd);
        painter.restore();
    }
    if (rowBegin < rowEnd) {
        const qint64 charBegin = qint64{rowBegin} * cols;
        const qint64 charEnd = std::min<qint64>(qint64{rowEnd} * cols, length);

        // The selection's background (each part's), row by row.
        QColor selectionColor = palette().color(QPalette::Highlight);
        selectionColor.setAlpha(hasFocus() ? 90 : 50);
        for (const Range& range : selectedRanges()) {
            const qint64 selectedFrom = std::max<qint64>(range.start, charBegin);
            const qint64 selectedTo = std::min<qint64>(range.end, charEnd);
            for (qint64 from = selectedFrom; from < selectedTo;) {
                const qint64 row = from / cols;
                const qint64 to = std::min<qint64>(selectedTo, (row + 1) * cols);
                painter.fillRect(QRectF(left + static_cast<qreal>(from - row * cols) * charWidth_,
                                        static_cast<qreal>(rowTop(static_cast<int>(row)) + bandHeight_),
                                        static_cast<qreal>(to - from) * charWidth_, lineHeight_),
                                 selectionColor);
                from = to;
            }
        }

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
        const char* const bases = text_.data();
        for (qint64 k = charBegin; k < charEnd; ++k) {
            auto& style = cellStyles_[static_cast<std::size_t>(k - charBegin)];
            if (style == 0 && !isBase(bases[k])) {
                style = kGapStyle;
            }
        }
        const auto sameLook = [this](std::uint32_t a, std::uint32_t b) {
            if (a == b) {
                return true;
            }
            if (a == 0 || b == 0 || a == kGapStyle || b == kGapStyle) {
                return false;
            }
            const Highlight& x = highlights_[a - 1];
            const Highlight& y = highlights_[b - 1];
            return x.color == y.color && x.bold == y.bold;
        };

        // One drawText per run of equally drawn characters, so a row without
        // highlights costs one string and one call.
        for (int row = rowBegin; row < rowEnd; ++row) {
            const qint64 rowStart = qint64{row} * cols;
            const qint64 rowStop = std::min<qint64>(rowStart + cols, length);
            const qreal baseline = rowTop(row) + bandHeight_ + ascent_;
            qint64 runStart = rowStart;
            while (runStart < rowStop) {
                const std::uint32_t style = cellStyles_[static_cast<std::size_t>(runStart - charBegin)];
                qint64 runStop = runStart + 1;
                while (runStop < rowStop &&
                       sameLook(style, cellStyles_[static_cast<std::size_t>(runStop - charBegin)])) {
                    ++runStop;
                }
                const bool highlighted = style != 0 && style != kGapStyle;
                const Highlight* highlight = highlighted ? &highlights_[style - 1] : nullptr;
                painter.setFont(highlight != nullptr && highlight->bold ? boldFont_ : font_);
                painter.setPen(highlight != nullptr ? highlight->color
                                                    : (style == kGapStyle ? kGapColor : textColor_));
                painter.drawText(QPointF(left + static_cast<int>(runStart - rowStart) * charWidth_, baseline),
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
        const int y = rowTop(row) + bandHeight_;
        if (y + lineHeight_ > 0 && y < viewport()->height()) {
            painter.fillRect(QRectF(left + column * charWidth_, y, 1, lineHeight_),
                             palette().color(QPalette::Text));
        }
    }
}
