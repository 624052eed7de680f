#include "views/sheets/repeatsummarydlg.h"

#include "views/base/qtstrings.h"
#include "views/sheets/sheetview.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QStyle>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 560;
constexpr int kFigureWidth = 640;  // the least the charts are given beside the sheet
constexpr int kNarrowestColumn = 48;
constexpr int kCellPadding = 16;

}  // namespace

CRepeatSummaryDlg::CRepeatSummaryDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("repeatSummary"));
    setModal(false);
    setSizeGripEnabled(true);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    sheet_ = new CWebCalc(splitter_);
    figure_ = new BarFigurePanel(splitter_);
    splitter_->setChildrenCollapsible(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    resize(kWidth, kHeight);
    splitter_->setSizes({kWidth * 2 / 5, kWidth * 3 / 5});
}

void CRepeatSummaryDlg::fitColumns(const tessaron::SheetLayout& layout)
{
    // The last text of a row runs on over the empty cells to its right, as
    // in a spreadsheet, rather than widening its column: a long note (the
    // search's settings) would push the counts beside it out of sight. The
    // section's rows are read in their order, so it is not sorted.
    std::map<int, int> lastColumn;  // by row, its last written column
    int columns = 0;
    for (const tessaron::SheetCell& cell : layout.cells) {
        if (!cell.text.empty()) {
            lastColumn[cell.row] = std::max(lastColumn[cell.row], cell.column);
            columns = std::max(columns, cell.column);
        }
    }
    const QFontMetrics metrics(sheet_->font());
    std::vector<int> widths(static_cast<std::size_t>(columns) + 1, kNarrowestColumn);
    std::vector<std::pair<int, int>> runOn;  // row and column of each such text
    for (const tessaron::SheetCell& cell : layout.cells) {
        if (cell.text.empty() || cell.row < 1 || cell.column < 1) {
            continue;
        }
        if (cell.column == lastColumn[cell.row] && cell.column < columns) {
            runOn.emplace_back(cell.row, cell.column);
            continue;
        }
        int& width = widths[static_cast<std::size_t>(cell.column)];
        width = std::max(width, metrics.horizontalAdvance(toQString(cell.text)) + kCellPadding);
    }
    sheet_->setSortingEnabled(false);
    sheet_->clearSpans();
    for (int column = 1; column <= columns; ++column) {
        sheet_->setColumnWidth(column - 1, widths[static_cast<std::size_t>(column)]);
    }
    for (const auto& [row, column] : runOn) {
        sheet_->setSpan(row - 1, column - 1, 1, columns - column + 1);
    }
}

void CRepeatSummaryDlg::fitSheet()
{
    // The sheet as wide as its written columns, so that every count shows;
    // the window widens for it (within the screen), the figure takes the rest.
    int columns = 0;
    for (int column = 0; column < sheet_->model()->columnCount(); ++column) {
        if (!sheet_->isColumnHidden(column)) {
            columns += sheet_->columnWidth(column);
        }
    }
    const int scrollBar = sheet_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, sheet_);
    const int sheetWidth =
        sheet_->verticalHeader()->sizeHint().width() + columns + 2 * sheet_->frameWidth() + scrollBar + 4;
    const int needed = sheetWidth + kFigureWidth + splitter_->handleWidth();
    int width = this->width();
    if (needed > width) {
        const QScreen* shown = screen();
        width =
            std::max(width, shown != nullptr ? std::min(needed, shown->availableGeometry().width()) : needed);
    }
    if (width != this->width()) {
        resize(width, height());
    }
    const int sheetShare = std::min(sheetWidth, width - kFigureWidth / 2);
    splitter_->setSizes({sheetShare, std::max(width - sheetShare - splitter_->handleWidth(), 0)});
}

void CRepeatSummaryDlg::setContent(const tessaron::SheetLayout& layout, tessaron::BarFigure figure)
{
    setWindowTitle(toQString(layout.caption));
    sheet_->BeginUpdate();
    for (const tessaron::ColumnWidth& width : layout.widths) {
        sheet_->SetColumnWidth(width.column, width.width);
    }
    for (const tessaron::SheetCell& cell : layout.cells) {
        sheet_->WriteCell(cell.row, cell.column, toQString(cell.text));
    }
    sheet_->EndUpdate();
    fitColumns(layout);
    figure_->setFigure(std::move(figure));
    fitSheet();
}
