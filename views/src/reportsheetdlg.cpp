#include "views/reportsheetdlg.h"

#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatkinds.h"
#include "report/reportlayout.h"

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

void CReportSheetDlg::SetReportContent(const tessaron::Genome& genome, const tessaron::RepeatList& direct,
                                       const tessaron::RepeatList& inverted,
                                       const tessaron::RepeatList& mirror,
                                       const tessaron::RepeatList& complementary)
{
    hasContent_ = true;
    genome_ = &genome;
    direct_ = &direct;
    inverted_ = &inverted;
    mirror_ = &mirror;
    complementary_ = &complementary;
}

void CReportSheetDlg::SetKindContent(const tessaron::RepeatList& list, tessaron::RepeatKind kind,
                                     const tessaron::Genome& genome)
{
    hasContent_ = true;
    listingMode_ = true;
    listed_ = &list;
    kind_ = kind;
    caption_ = QString::fromUtf8(tessaron::kindInfo(kind).listingCaption);
    genome_ = &genome;
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
        setWindowTitle(caption_);
        write(tessaron::listingLayout(*listed_, kind_, *genome_));
    } else {
        write(tessaron::summaryLayout(
            genome_->minLength(), tessaron::pairCountsOf(*direct_, *inverted_, *mirror_, *complementary_)));
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
    genome_ = nullptr;
    direct_ = nullptr;
    inverted_ = nullptr;
    mirror_ = nullptr;
    complementary_ = nullptr;
    listed_ = nullptr;
    comparison_ = nullptr;
    caption_.clear();
}
