// The sequence pane: its wrapping into rows, highlight ranges, the caret and
// scrolling, and what it actually paints.

#include "views/sequenceview.h"

#include <QElapsedTimer>
#include <QImage>
#include <QRegion>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <iostream>
#include <string>

namespace {

const QColor kGreen(0, 208, 0);
const QColor kRed(224, 0, 0);

std::string cycle(int length)
{
    static constexpr char kBases[] = "ATCG";
    std::string text(static_cast<std::size_t>(length), 'A');
    for (int i = 0; i < length; ++i) {
        text[static_cast<std::size_t>(i)] = kBases[i % 4];
    }
    return text;
}

class SequenceViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    // Sizes the pane so that exactly `columns` characters and `rows` lines fit,
    // with some slack that is not enough for one more.
    void fit(int columns, int rows)
    {
        const int width = static_cast<int>(std::ceil(columns * view.characterWidth())) + 1;
        const int height = rows * view.lineHeight() + view.lineHeight() / 2;
        view.resize(view.width() + width - view.viewport()->width(),
                    view.height() + height - view.viewport()->height());
        ASSERT_EQ(view.viewport()->width(), width);
        ASSERT_EQ(view.viewport()->height(), height);
    }

    SequenceView view;
};

// ---------------------------------------------------------------------------
// Rows and columns

struct LayoutCase {
    int length;
    int columns;
    int shownRows;
    int rows;
    int lastScrollRow;
};

TEST_F(SequenceViewTest, WrapsIntoRowsOfTheWidth)
{
    const LayoutCase cases[] = {
        {1000, 10, 5, 100, 95},  // exact rows
        {95, 10, 5, 10, 5},      // a short last row still counts
        {30, 10, 5, 3, 0},       // all fits: nothing to scroll
        {0, 10, 5, 0, 0},       {1, 40, 3, 1, 0}, {1012800, 100, 40, 10128, 10088},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "length " << c.length << ", columns " << c.columns);
        fit(c.columns, c.shownRows);
        view.setSequence(cycle(c.length));
        EXPECT_EQ(view.columns(), c.columns);
        EXPECT_EQ(view.visibleRowCount(), c.shownRows);
        EXPECT_EQ(view.rowCount(), c.rows);
        EXPECT_EQ(view.verticalScrollBar()->maximum(), c.lastScrollRow);
        EXPECT_EQ(view.verticalScrollBar()->pageStep(), c.shownRows);
    }
}

TEST_F(SequenceViewTest, ANarrowPaneStillShowsOneColumn)
{
    view.setSequence("ATCG");
    view.resize(view.width() - view.viewport()->width() + 1, view.height());
    EXPECT_EQ(view.columns(), 1);
    EXPECT_EQ(view.rowCount(), 4);
}

TEST_F(SequenceViewTest, RowOfCountsFromTheTopOfTheText)
{
    fit(10, 5);
    view.setSequence(cycle(25));
    EXPECT_EQ(view.rowOf(0), 0);
    EXPECT_EQ(view.rowOf(9), 0);
    EXPECT_EQ(view.rowOf(10), 1);
    EXPECT_EQ(view.rowOf(24), 2);
    EXPECT_EQ(view.rowOf(25), 2);  // after the last base: still the last row
    view.setSequence(cycle(20));
    EXPECT_EQ(view.rowOf(20), 1);
}

TEST_F(SequenceViewTest, RewrappingKeepsTheFirstShownCharacter)
{
    fit(10, 5);
    view.setSequence(cycle(1000));
    view.verticalScrollBar()->setValue(40);  // character 400 on top
    fit(20, 5);
    EXPECT_EQ(view.firstVisibleRow(), 20);
    fit(30, 5);
    EXPECT_EQ(view.firstVisibleRow(), 13);  // character 390, the row holding 400
}

// ---------------------------------------------------------------------------
// Highlights

struct HighlightCase {
    int start;
    int length;
    bool kept;
    int keptStart;
    int keptLength;
};

TEST_F(SequenceViewTest, HighlightsAreCutToTheText)
{
    const HighlightCase cases[] = {
        {5, 3, true, 5, 3},       {0, 10, true, 0, 10}, {8, 5, true, 8, 2},    // runs over the end
        {3, INT_MAX, true, 3, 7},                                              // without overflowing
        {-2, 5, true, 0, 3},      {9, 1, true, 9, 1},   {10, 1, false, 0, 0},  // starts at the end
        {12, 3, false, 0, 0},     {-5, 5, false, 0, 0},                        // ends before the start
        {3, 0, false, 0, 0},      {3, -1, false, 0, 0}, {INT_MAX, INT_MAX, false, 0, 0},
    };
    view.setSequence(cycle(10));
    for (const HighlightCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << ", length " << c.length);
        view.clearHighlights();
        view.addHighlight(c.start, c.length, kGreen, false);
        if (!c.kept) {
            EXPECT_TRUE(view.highlights().empty());
            continue;
        }
        ASSERT_EQ(view.highlights().size(), 1U);
        EXPECT_EQ(view.highlights()[0], (SequenceView::Highlight{c.keptStart, c.keptLength, kGreen, false}));
    }
}

TEST_F(SequenceViewTest, NewSequenceForgetsHighlightsCaretAndScroll)
{
    fit(10, 5);
    view.setSequence(cycle(1000));
    view.addHighlight(500, 10, kGreen);
    view.setCaret(500);
    ASSERT_GT(view.firstVisibleRow(), 0);
    view.setSequence(cycle(800));
    EXPECT_TRUE(view.highlights().empty());
    EXPECT_EQ(view.caret(), 0);
    EXPECT_EQ(view.firstVisibleRow(), 0);
    EXPECT_EQ(view.sequence(), cycle(800));
}

// ---------------------------------------------------------------------------
// Caret

TEST_F(SequenceViewTest, CaretScrollsItsRowIntoView)
{
    struct Step {
        int caret;
        int expectedCaret;
        int firstRow;
    };
    // 100 rows of 10, 5 shown.
    const Step steps[] = {
        {20, 20, 0},       // already shown: no scrolling
        {49, 49, 0},       // the bottom row
        {50, 50, 1},       // one below: scrolls by one row
        {505, 505, 46},    // far below: its row becomes the bottom row
        {470, 470, 46},    // within the shown rows
        {300, 300, 30},    // above: its row becomes the top row
        {1000, 1000, 95},  // the end of the text
        {5000, 1000, 95},  // past the end
        {-3, 0, 0},
    };
    fit(10, 5);
    view.setSequence(cycle(1000));
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "caret " << step.caret);
        view.setCaret(step.caret);
        EXPECT_EQ(view.caret(), step.expectedCaret);
        EXPECT_EQ(view.firstVisibleRow(), step.firstRow);
    }
}

TEST_F(SequenceViewTest, ClickPutsTheCaretOnTheCharacter)
{
    fit(10, 5);
    view.setSequence(cycle(1000));
    view.verticalScrollBar()->setValue(7);
    const QPoint point(static_cast<int>(3 * view.characterWidth() + 1), 2 * view.lineHeight() + 1);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, point);
    EXPECT_EQ(view.caret(), (7 + 2) * 10 + 3);
    EXPECT_EQ(view.firstVisibleRow(), 7);
}

// ---------------------------------------------------------------------------
// Painting

// Pixels clearly of one hue: text of that colour, antialiased or not, and
// never the dark blue of plain text or the white background.
bool isGreen(QRgb pixel)
{
    return qGreen(pixel) - qRed(pixel) > 60 && qGreen(pixel) - qBlue(pixel) > 60;
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) - qGreen(pixel) > 60 && qRed(pixel) - qBlue(pixel) > 60;
}

bool isPlainText(QRgb pixel)
{
    return qBlue(pixel) - qRed(pixel) > 20 && qRed(pixel) == qGreen(pixel);
}

// Counts the pixels that pass `test`, inside and outside `area`.
template <typename Test>
std::pair<int, int> countPixels(const QImage& image, const QRegion& area, Test test)
{
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixel(x, y))) {
                ++(area.contains(QPoint(x, y)) ? inside : outside);
            }
        }
    }
    return {inside, outside};
}

QRect cells(const SequenceView& view, int row, int column, int count)
{
    // A pixel of slack on either side for glyphs that overhang their cell.
    const qreal width = view.characterWidth();
    return QRect(static_cast<int>(column * width) - 1, row * view.lineHeight(),
                 static_cast<int>(std::ceil(count * width)) + 2, view.lineHeight());
}

TEST_F(SequenceViewTest, HighlightsArePaintedInTheirColourWhereTheyStand)
{
    fit(20, 6);
    view.setSequence(cycle(300));
    view.verticalScrollBar()->setValue(2);     // rows 2 to 7 shown
    view.addHighlight(3 * 20 + 5, 4, kGreen);  // row 3, columns 5 to 8
    view.addHighlight(6 * 20 + 12, 3, kRed);   // row 6, columns 12 to 14
    view.addHighlight(25, 5, kRed);            // row 1: scrolled away
    const QImage image = view.viewport()->grab().toImage();

    const auto [green, strayGreen] = countPixels(image, cells(view, 1, 5, 4), isGreen);
    EXPECT_GT(green, 0);
    EXPECT_EQ(strayGreen, 0);
    const auto [red, strayRed] = countPixels(image, cells(view, 4, 12, 3), isRed);
    EXPECT_GT(red, 0);
    EXPECT_EQ(strayRed, 0);
    EXPECT_GT(countPixels(image, image.rect(), isPlainText).first, 0);
}

TEST_F(SequenceViewTest, NothingIsPaintedAfterTheEnd)
{
    fit(20, 4);
    view.setSequence(cycle(50));  // two full rows and half of the third
    const QImage image = view.viewport()->grab().toImage();
    const QRegion text = QRegion(cells(view, 0, 0, 20)) + cells(view, 1, 0, 20) + cells(view, 2, 0, 10);
    const auto [inside, outside] = countPixels(image, text, isPlainText);
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
}

TEST_F(SequenceViewTest, LaterHighlightsPaintOverEarlierOnes)
{
    fit(20, 3);
    view.setSequence(cycle(60));
    view.addHighlight(0, 20, kGreen);
    view.addHighlight(10, 10, kRed);
    const QImage image = view.viewport()->grab().toImage();
    const QRect left = cells(view, 0, 0, 10).adjusted(0, 0, -2, 0);
    const QRect right = cells(view, 0, 10, 10).adjusted(2, 0, 0, 0);
    EXPECT_GT(countPixels(image, left, isGreen).first, 0);
    EXPECT_EQ(countPixels(image, right, isGreen).first, 0);
    EXPECT_GT(countPixels(image, right, isRed).first, 0);
    EXPECT_EQ(countPixels(image, left, isRed).first, 0);
}

TEST_F(SequenceViewTest, TextColourCanBeChanged)
{
    fit(20, 3);
    view.setSequence(cycle(40));
    view.setTextColor(kRed);
    const QImage image = view.viewport()->grab().toImage();
    EXPECT_GT(countPixels(image, image.rect(), isRed).first, 0);
    EXPECT_EQ(countPixels(image, image.rect(), isPlainText).first, 0);
}

// A genome of a million bases paints only what is shown (bench/ times it).
TEST_F(SequenceViewTest, AMillionBasesPaint)
{
    constexpr int kLength = 1012800;
    view.resize(800, 600);
    view.setSequence(cycle(kLength));
    for (int k = 0; k < 100; ++k) {
        view.addHighlight(k * 10007, 30, k % 2 == 0 ? kGreen : kRed);
    }

    view.viewport()->repaint();
    view.setCaret(kLength / 2);
    view.viewport()->repaint();

    EXPECT_EQ(view.rowOf(kLength / 2), kLength / 2 / view.columns());
    const QImage image = view.viewport()->grab().toImage();
    EXPECT_GT(countPixels(image, image.rect(), isPlainText).first, 0);
}

}  // namespace
