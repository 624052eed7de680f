#include "views/sheets/repeatsummarydlg.h"

#include "views/base/qtstrings.h"
#include "views/sheets/sheetview.h"

#include <QHBoxLayout>
#include <QSplitter>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 560;

}  // namespace

CRepeatSummaryDlg::CRepeatSummaryDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("repeatSummary"));
    setModal(false);
    setSizeGripEnabled(true);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    sheet_ = new CWebCalc(splitter);
    figure_ = new BarFigurePanel(splitter);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(kWidth, kHeight);
    splitter->setSizes({kWidth * 2 / 5, kWidth * 3 / 5});
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
    figure_->setFigure(std::move(figure));
}
