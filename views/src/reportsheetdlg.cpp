#include "views/reportsheetdlg.h"

#include "compare/genomecomparison.h"
#include "engine/repeatkinds.h"
#include "report/reportlayout.h"
#include "session/session.h"
#include "views/listingmodel.h"

#include <QResizeEvent>

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CReportSheetDlg::CReportSheetDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      sheet_(new CWebCalc(this))
{
    setObjectName(QStringLiteral("reportSheet"));
    setModal(true);
    setWindowTitle(QString());
    setFixedSize(kWidth, kHeight);
    sheet_->setGeometry(0, 0, kWidth, kHeight);
}

void CReportSheetDlg::SetReportContent(const tessaron::Analysis& analysis)
{
    if (!analysis.complete()) {
        return;
    }
    hasContent_ = true;
    summaryMinLength_ = analysis.of(tessaron::RepeatKind::Direct)->minLength();
    for (const tessaron::RepeatKind kind : tessaron::kKindOrder) {
        summaryCounts_[static_cast<std::size_t>(kind)] = analysis.of(kind)->pairCounts();
    }
}

void CReportSheetDlg::SetKindContent(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot)
{
    if (!snapshot) {
        return;
    }
    hasContent_ = true;
    listingMode_ = true;
    listed_ = std::move(snapshot);
}

void CReportSheetDlg::SetCompareContent(const tessaron::GenomeComparison& comparison)
{
    hasContent_ = true;
    comparisonMode_ = true;
    comparison_ = &comparison;
}

bool CReportSheetDlg::Fill()
{
    if (!hasContent_) {
        return false;
    }
    if (comparisonMode_) {
        write(tessaron::comparisonLayout(*comparison_));
    } else if (listingMode_) {
        auto* listing = new ListingModel(listed_);
        setWindowTitle(listing->caption());
        for (const tessaron::ColumnWidth& width : listing->widths()) {
            sheet_->SetColumnWidth(width.column, width.width);
        }
        sheet_->showCells(listing);
    } else {
        write(tessaron::summaryLayout(summaryMinLength_, summaryCounts_));
    }
    clearContent();
    filled_ = true;
    return true;
}

int CReportSheetDlg::exec()
{
    if (hasContent_) {
        Fill();
    }
    if (!filled_) {
        return 0;
    }
    return QDialog::exec();
}

void CReportSheetDlg::reject()
{
    if (sheet_->exporting()) {
        sheet_->cancelExport();
        sheet_->waitForExport();
    }
    QDialog::reject();
}

void CReportSheetDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    sheet_->setGeometry(0, 0, event->size().width(), event->size().height());
}

void CReportSheetDlg::write(const tessaron::SheetLayout& layout)
{
    sheet_->BeginUpdate();
    for (const tessaron::ColumnWidth& width : layout.widths) {
        sheet_->SetColumnWidth(width.column, width.width);
    }
    for (const tessaron::SheetCell& cell : layout.cells) {
        sheet_->WriteCell(cell.row, cell.column, fromUtf8(cell.text));
    }
    sheet_->EndUpdate();
}

void CReportSheetDlg::clearContent()
{
    hasContent_ = false;
    listingMode_ = false;
    comparisonMode_ = false;
    summaryMinLength_ = 0;
    summaryCounts_ = {};
    listed_.reset();
    comparison_ = nullptr;
}
