#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>

class QPainter;

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The sequence pane: the genome as one unbroken text that wraps at the pane's
// width, one character per base, so a character's index is its position in
// the sequence. Only the visible rows are laid out and painted, which keeps a
// genome of millions of bases as quick as a short one. Ranges can be
// highlighted (colour and bold); the text is read-only, but a caret and a
// selection move with the mouse and the keys as in a text editor, and the
// selected bases can be copied. Letters other than A, C, G and T (gaps) are
// painted in grey. An optional ruler gives each row's first position, 1-based.
class SequenceView : public QAbstractScrollArea {
    Q_OBJECT

public:
    struct Highlight {
        int start = 0;   // 0-based, inside the text
        int length = 0;  // characters from start, up to the end of the text
        QColor color;
        bool bold = true;
        friend bool operator==(const Highlight&, const Highlight&) = default;
    };

    // What is drawn in a band above the text of every row (the annotation).
    // The pane does not own it; whoever does removes it before it goes.
    class RowBand {
    public:
        virtual ~RowBand() = default;
        // The band's height over rows of text `lineHeight` pixels high; 0 for none.
        [[nodiscard]] virtual int height(int lineHeight) const = 0;
        // Paints the bands of rows [rowBegin, rowEnd) of `pane`.
        virtual void paint(QPainter& painter, const SequenceView& pane, int rowBegin, int rowEnd) const = 0;
    };

    // The colour of gaps, and of the ruler's numbers.
    static const QColor kGapColor;

    explicit SequenceView(QWidget* parent = nullptr);

    // Replaces the text (and removes every highlight and the selection); the
    // view returns to the top.
    void setSequence(std::string_view text);
    [[nodiscard]] const std::string& sequence() const { return text_; }
    [[nodiscard]] int textLength() const { return static_cast<int>(text_.size()); }

    void setTextColor(const QColor& color);
    [[nodiscard]] QColor textColor() const { return textColor_; }

    // Highlights [start, start + length) of the circular text: a range that
    // runs over the end goes on at the start, as a second highlight. A start
    // outside the text, or an empty range, is ignored; a range is never longer
    // than the text. Later highlights paint over earlier ones.
    void addHighlight(int start, int length, const QColor& color, bool bold = true);
    void clearHighlights();
    [[nodiscard]] const std::vector<Highlight>& highlights() const { return highlights_; }
    // The colour a character is painted in: that of the last highlight over
    // it, grey for a gap, else the text colour.
    [[nodiscard]] QColor colorAt(int position) const;

    // Puts the caret (an empty selection) at a character and scrolls it into view.
    void setCaret(int position);
    [[nodiscard]] int caret() const { return caret_; }
    // Selects [anchor, caret) or [caret, anchor); the caret is scrolled into view.
    void select(int anchor, int caret);
    void selectAll();
    // A stretch [start, end) of the text.
    struct Range {
        int start = 0;
        int end = 0;
        friend bool operator==(const Range&, const Range&) = default;
    };
    // Selects several stretches at once (the parts of a trans-spliced gene),
    // in the order given, and none of the bases between them; the first is
    // the selection's start and end. Any move of the caret ends it.
    void selectParts(const std::vector<Range>& parts);
    // What is selected: the parts, else the one stretch (none when empty).
    [[nodiscard]] std::vector<Range> selectedRanges() const;
    [[nodiscard]] int selectionStart() const { return std::min(anchor_, caret_); }
    [[nodiscard]] int selectionEnd() const { return std::max(anchor_, caret_); }
    [[nodiscard]] bool hasSelection() const { return anchor_ != caret_; }
    // The selected bases; the parts of a selection in parts one a line.
    [[nodiscard]] std::string selectedText() const;
    // Puts the selected bases on the clipboard as one line of plain text (a
    // line per part).
    void copy() const;
    // Scrolls so that [start, start + length) is shown, as much of it as fits,
    // without moving the caret.
    void ensureVisible(int start, int length);

    // The ruler of row starts on the left; off until turned on.
    void setRulerVisible(bool visible);
    [[nodiscard]] bool rulerVisible() const { return rulerVisible_; }
    // Where the text begins in the viewport: after the ruler, if any.
    [[nodiscard]] int textLeft() const;

    // Zoom in steps around the pane's own size (step 0, 6.75 points).
    void zoomIn();
    void zoomOut();
    void resetZoom();
    void setZoomStep(int step);
    [[nodiscard]] int zoomStep() const { return zoomStep_; }
    [[nodiscard]] qreal pointSize() const { return font_.pointSizeF(); }

    // Characters per row at the current width, and the row of a character.
    [[nodiscard]] int columns() const;
    [[nodiscard]] int rowOf(int position) const;
    // The first row shown.
    [[nodiscard]] int firstVisibleRow() const;
    // Rows in the whole text, and rows that fit whole in the pane (at least 1).
    [[nodiscard]] int rowCount() const;
    [[nodiscard]] int visibleRowCount() const;
    // The pitch of one character cell, in pixels.
    [[nodiscard]] qreal characterWidth() const { return charWidth_; }
    [[nodiscard]] int lineHeight() const { return lineHeight_; }
    // A row's height (its band and its line of text), and where a row shown
    // begins in the viewport; its text follows the band.
    [[nodiscard]] int rowHeight() const { return lineHeight_ + bandHeight_; }
    [[nodiscard]] int rowTop(int row) const { return (row - firstVisibleRow()) * rowHeight(); }
    [[nodiscard]] int bandHeight() const { return bandHeight_; }
    // Draws `band` above every row (null: none), or lays out again after
    // the band's height has changed; the first row shown stays in view.
    void setRowBand(const RowBand* band);
    // The character under a point of the viewport, or -1 off the text.
    [[nodiscard]] int characterAt(const QPoint& point) const;

signals:
    // The character under the mouse, -1 when it leaves the text.
    void hovered(int position);
    void selectionChanged();
    void zoomChanged(int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateScrollRange();
    void setupFonts();
    // The caret moves to `position`; the anchor stays when extending.
    void moveCaret(int position, bool extend);
    // The caret position between characters nearest to a point of the viewport.
    [[nodiscard]] int caretPositionAt(const QPointF& point) const;
    void paintRuler(QPainter& painter, int rowBegin, int rowEnd) const;

    std::string text_;
    std::vector<Highlight> highlights_;
    QColor textColor_{0x20, 0x20, 0x50};
    int caret_ = 0;
    int anchor_ = 0;
    std::vector<Range> parts_;  // a selection in parts, else empty
    bool rulerVisible_ = false;
    int zoomStep_ = 0;

    QFont font_;
    QFont boldFont_;
    qreal charWidth_ = 1.0;
    int lineHeight_ = 1;
    const RowBand* band_ = nullptr;
    int bandHeight_ = 0;
    int ascent_ = 0;
    // The columns the scroll range was last computed for, so that a resize
    // can keep the first shown character in view.
    int laidOutColumns_ = 1;
    // Scratch for painting: which highlight (1-based, 0 for none) each
    // visible character shows; kept to avoid an allocation per repaint.
    std::vector<std::uint32_t> cellStyles_;
};
