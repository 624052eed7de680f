// The sequence pane: its wrapping into rows, highlight ranges, the caret and
// scrolling, and what it actually paints.

#include "views/sequence/sequenceview.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRegion>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const QColor kHighlightGreen(0, 208, 0);
const QColor kHighlightRed(224, 0, 0);

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
    std::vector<std::pair<int, int>> kept;  // start and length of each part
};

TEST_F(SequenceViewTest, HighlightsRunOverTheEndIntoTheStart)
{
    const HighlightCase cases[] = {
        {5, 3, {{5, 3}}},
        {0, 10, {{0, 10}}},
        {8, 5, {{8, 2}, {0, 3}}},  // across the origin: both parts
        {9, 1, {{9, 1}}},
        {3, INT_MAX, {{3, 7}, {0, 3}}},  // never longer than the text, without overflowing
        {10, 1, {}},                     // starts at the end
        {12, 3, {}},
        {-2, 5, {}},
        {3, 0, {}},
        {3, -1, {}},
        {INT_MAX, INT_MAX, {}},
    };
    view.setSequence(cycle(10));
    for (const HighlightCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << ", length " << c.length);
        view.clearHighlights();
        view.addHighlight(c.start, c.length, kHighlightGreen, false);
        std::vector<SequenceView::Highlight> expected;
        for (const auto& [start, length] : c.kept) {
            expected.push_back({start, length, kHighlightGreen, false});
        }
        EXPECT_EQ(view.highlights(), expected);
    }
}

TEST_F(SequenceViewTest, NewSequenceForgetsHighlightsCaretAndScroll)
{
    fit(10, 5);
    view.setSequence(cycle(1000));
    view.addHighlight(500, 10, kHighlightGreen);
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
// Selection and keys

struct KeyCase {
    const char* name;
    int startCaret;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int anchor;
    int caret;
};

TEST_F(SequenceViewTest, KeysMoveTheCaretAndShiftSelects)
{
    // 100 rows of 10, 5 shown.
    const KeyCase cases[] = {
        {"right", 15, Qt::Key_Right, {}, 16, 16},
        {"left at the start", 0, Qt::Key_Left, {}, 0, 0},
        {"shift right", 15, Qt::Key_Right, Qt::ShiftModifier, 15, 16},
        {"shift down", 15, Qt::Key_Down, Qt::ShiftModifier, 15, 25},
        {"up on the first row", 5, Qt::Key_Up, {}, 5, 5},
        {"down on the last row", 995, Qt::Key_Down, {}, 995, 995},
        {"home", 57, Qt::Key_Home, {}, 50, 50},
        {"shift end", 57, Qt::Key_End, Qt::ShiftModifier, 57, 60},
        {"end of the text", 57, Qt::Key_End, Qt::ControlModifier, 1000, 1000},
        {"shift page down", 12, Qt::Key_PageDown, Qt::ShiftModifier, 12, 62},
        {"page up near the top", 32, Qt::Key_PageUp, {}, 2, 2},
        {"typing changes nothing", 12, Qt::Key_A, {}, 12, 12},
    };
    fit(10, 5);
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        view.setSequence(cycle(1000));
        view.setCaret(c.startCaret);
        QTest::keyClick(&view, c.key, c.modifiers);
        EXPECT_EQ(view.selectionStart(), std::min(c.anchor, c.caret));
        EXPECT_EQ(view.selectionEnd(), std::max(c.anchor, c.caret));
        EXPECT_EQ(view.caret(), c.caret);
        EXPECT_EQ(view.sequence(), cycle(1000));
    }
}

TEST_F(SequenceViewTest, CopyPutsTheSelectedBasesOnTheClipboard)
{
    fit(10, 5);
    view.setSequence("GATTACAGGGGACATTAGCC");  // two rows
    // A drag from the fourth base of the first row to the third of the second.
    const auto at = [this](int row, int column) {
        return QPoint(static_cast<int>(column * view.characterWidth()) + 1, row * view.lineHeight() + 1);
    };
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at(0, 3));
    QMouseEvent drag(QEvent::MouseMove, at(1, 3), view.viewport()->mapToGlobal(at(1, 3)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drag);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at(1, 3));
    EXPECT_EQ(view.selectedText(), "TACAGGGGAC");

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("TACAGGGGAC"));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("GATTACAGGGGACATTAGCC"));
}

// ---------------------------------------------------------------------------
// Ruler and zoom

TEST_F(SequenceViewTest, TheRulerTakesItsMarginAndClicksLandAfterIt)
{
    fit(20, 5);
    view.setSequence(cycle(1000));
    view.setRulerVisible(true);
    const int margin = view.textLeft();
    EXPECT_GE(margin, static_cast<int>(4 * view.characterWidth()));  // room for "1000"
    EXPECT_EQ(view.columns(), static_cast<int>((view.viewport()->width() - margin) / view.characterWidth()));
    QTest::mouseClick(
        view.viewport(), Qt::LeftButton, {},
        QPoint(margin + static_cast<int>(2 * view.characterWidth()) + 1, view.lineHeight() + 1));
    EXPECT_EQ(view.caret(), view.columns() + 2);
    EXPECT_EQ(view.characterAt(QPoint(margin / 2, 1)), -1);  // on the ruler
}

TEST_F(SequenceViewTest, ZoomChangesTheSizeAndKeepsTheFirstCharacter)
{
    fit(20, 5);
    view.setSequence(cycle(1000));
    view.verticalScrollBar()->setValue(10);  // character 200 on top
    const qreal described = view.pointSize();
    EXPECT_DOUBLE_EQ(described, 6.75);

    QWheelEvent wheel(QPointF(5, 5), view.viewport()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_GT(view.pointSize(), described);
    EXPECT_LE(view.firstVisibleRow() * view.columns(), 200);
    EXPECT_GT((view.firstVisibleRow() + 1) * view.columns(), 200);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LT(view.pointSize(), described);
    QTest::keyClick(&view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.pointSize(), described);
    for (int k = 0; k < 40; ++k) {
        view.zoomOut();  // stops at the smallest size
    }
    EXPECT_GT(view.pointSize(), 0.0);
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
    view.verticalScrollBar()->setValue(2);              // rows 2 to 7 shown
    view.addHighlight(3 * 20 + 5, 4, kHighlightGreen);  // row 3, columns 5 to 8
    view.addHighlight(6 * 20 + 12, 3, kHighlightRed);   // row 6, columns 12 to 14
    view.addHighlight(25, 5, kHighlightRed);            // row 1: scrolled away
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
    view.addHighlight(0, 20, kHighlightGreen);
    view.addHighlight(10, 10, kHighlightRed);
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
    view.setTextColor(kHighlightRed);
    const QImage image = view.viewport()->grab().toImage();
    EXPECT_GT(countPixels(image, image.rect(), isRed).first, 0);
    EXPECT_EQ(countPixels(image, image.rect(), isPlainText).first, 0);
}

bool isGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) && qRed(pixel) > 100 &&
           qRed(pixel) < 230;
}

TEST_F(SequenceViewTest, GapsArePaintedGreyUnlessHighlighted)
{
    fit(20, 3);
    view.setSequence("ACGTNNNNACGTRYACGTAC");
    view.addHighlight(12, 1, kHighlightGreen);  // a highlight wins over the grey
    EXPECT_EQ(view.colorAt(0), view.textColor());
    EXPECT_EQ(view.colorAt(5), SequenceView::kGapColor);
    EXPECT_EQ(view.colorAt(13), SequenceView::kGapColor);
    EXPECT_EQ(view.colorAt(12), kHighlightGreen);
    const QImage image = view.viewport()->grab().toImage();
    const QRegion gaps = QRegion(cells(view, 0, 4, 4)) + cells(view, 0, 13, 1);
    const auto [grey, strayGrey] = countPixels(image, gaps, isGrey);
    EXPECT_GT(grey, 0);
    EXPECT_EQ(strayGrey, 0);
}

// A genome of a million bases paints only what is shown (bench/ times it).
TEST_F(SequenceViewTest, AMillionBasesPaint)
{
    constexpr int kLength = 1012800;
    view.resize(800, 600);
    view.setSequence(cycle(kLength));
    for (int k = 0; k < 100; ++k) {
        view.addHighlight(k * 10007, 30, k % 2 == 0 ? kHighlightGreen : kHighlightRed);
    }

    view.viewport()->repaint();
    view.setCaret(kLength / 2);
    view.viewport()->repaint();

    EXPECT_EQ(view.rowOf(kLength / 2), kLength / 2 / view.columns());
    const QImage image = view.viewport()->grab().toImage();
    EXPECT_GT(countPixels(image, image.rect(), isPlainText).first, 0);
}

}  // namespace
