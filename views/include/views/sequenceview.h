#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The sequence pane: the genome as one unbroken text that wraps at the pane's
// width, one character per base, so a character's index is its position in
// the sequence. Only the visible rows are laid out and painted, which keeps a
// genome of millions of bases as quick as a short one. Ranges can be
// highlighted (colour and bold) and a caret placed.
class SequenceView : public QAbstractScrollArea {
    Q_OBJECT

public:
    struct Highlight {
        int start = 0;   // 0-based, cut to the text
        int length = 0;  // characters from start, cut at the end of the text
        QColor color;
        bool bold = true;
        friend bool operator==(const Highlight&, const Highlight&) = default;
    };

    explicit SequenceView(QWidget* parent = nullptr);

    // Replaces the text (and removes every highlight); the view returns to the top.
    void setSequence(std::string_view text);
    [[nodiscard]] const std::string& sequence() const { return text_; }
    [[nodiscard]] int textLength() const { return static_cast<int>(text_.size()); }

    void setTextColor(const QColor& color);
    [[nodiscard]] QColor textColor() const { return textColor_; }

    // Highlights [start, start + length), cut at the end of the text; a range
    // outside the text is ignored. Later highlights paint over earlier ones.
    void addHighlight(int start, int length, const QColor& color, bool bold = true);
    void clearHighlights();
    [[nodiscard]] const std::vector<Highlight>& highlights() const { return highlights_; }

    // Puts the caret (an empty selection) at a character and scrolls it into view.
    void setCaret(int position);
    [[nodiscard]] int caret() const { return caret_; }

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateScrollRange();
    void setupFonts();

    std::string text_;
    std::vector<Highlight> highlights_;
    QColor textColor_{0x20, 0x20, 0x50};
    int caret_ = 0;

    QFont font_;
    QFont boldFont_;
    qreal charWidth_ = 1.0;
    int lineHeight_ = 1;
    int ascent_ = 0;
    // The columns the scroll range was last computed for, so that a resize
    // can keep the first shown character in view.
    int laidOutColumns_ = 1;
    // Scratch for painting: which highlight (1-based, 0 for none) each
    // visible character shows; kept to avoid an allocation per repaint.
    std::vector<std::uint32_t> cellStyles_;
};
