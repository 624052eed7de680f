#include "views/sheets/reportsheetdlg.h"

#include "charts/approximatechart.h"
#include "charts/chartpanel.h"
#include "charts/repeatchart.h"
#include "engine/repeatkinds.h"
#include "report/approximatereport.h"
#include "report/reportlayout.h"
#include "session/session.h"
#include "views/base/jobrunner.h"
#include "views/base/qtstrings.h"
#include "views/sheets/listingmodel.h"
#include "views/sheets/sheetpager.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString decimal(double value)
{
    return QString::number(value, 'f', 2);
}

}  // namespace

CReportSheetDlg::CReportSheetDlg(QWidget* parent, const tessaron::ColourScheme& colours)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      colours_(colours),
      splitter_(new QSplitter(Qt::Horizontal, this)),
      tablePane_(new QWidget(splitter_)),
      sheet_(new CWebCalc(tablePane_)),
      chart_(new ChartPanel(splitter_))
{
    setObjectName(QStringLiteral("reportSheet"));
    setModal(false);
    setWindowTitle(QString());
    setSizeGripEnabled(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    // The table, with the bar that pages through a table too long to show at once.
    auto* table = new QVBoxLayout(tablePane_);
    table->setContentsMargins(0, 0, 0, 0);
    table->setSpacing(0);
    table->addWidget(sheet_, 1);
    table->addWidget(new SheetPager(*sheet_, tablePane_));
    splitter_->setChildrenCollapsible(false);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    chart_->hide();
    resize(kWidth, kHeight);
    // The first look is the table alone, filling the window.
    splitter_->setGeometry(0, 0, kWidth, kHeight);
    tablePane_->setGeometry(0, 0, kWidth, kHeight);
    sheet_->setGeometry(0, 0, kWidth, kHeight);

    chartAction_ = new QAction(tr("Show c&hart"), this);
    chartAction_->setObjectName(QStringLiteral("showChart"));
    chartAction_->setCheckable(true);
    chartAction_->setEnabled(false);
    chartAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    chartAction_->setShortcutContext(Qt::WindowShortcut);
    connect(chartAction_, &QAction::toggled, this, &CReportSheetDlg::showChart);
    sheet_->addAction(chartAction_);
    addAction(chartAction_);
}

void CReportSheetDlg::SetReportContent(const tessaron::Analysis& analysis)
{
    if (!analysis.hasAllKinds()) {
        return;
    }
    hasContent_ = true;
    summaryMinLength_ = analysis.of(tessaron::RepeatKind::Direct)->minLength();
    summaryMaxLength_ = analysis.of(tessaron::RepeatKind::Direct)->genome().maxLength();
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
    comparison_ = comparison;
}

void CReportSheetDlg::SetControlsContent(const tessaron::ControlReport& report)
{
    hasContent_ = true;
    controls_ = report;
}

void CReportSheetDlg::SetApproximateContent(const tessaron::ApproximateClassCounts& counts)
{
    hasContent_ = true;
    approximate_ = counts;
}

bool CReportSheetDlg::Fill()
{
    if (!hasContent_) {
        return false;
    }
    hasChart_ = true;
    if (controls_) {
        writeControls(*controls_);
        chart_->setData(tessaron::controlsChartData(*controls_, colours_));
    } else if (comparison_) {
        const tessaron::SheetLayout layout = tessaron::comparisonLayout(*comparison_);
        // The genome, then each length as its heading in row 2 reads.
        QStringList titles{tr("Genome")};
        for (const tessaron::SheetCell& cell : layout.cells) {
            if (cell.row == 2 && cell.column >= 2) {
                while (titles.size() < cell.column - 1) {
                    titles.append(QString());
                }
                titles.append(fromUtf8(cell.text));
            }
        }
        sheet_->sheetModel()->setColumnTitles(titles);
        write(layout);
        sheet_->setSortableFrom(3);
        setWindowTitle(tr("Comparison of %1").arg(toQString(tessaron::kindInfo(comparison_->kind).label)));
        chart_->setData(tessaron::comparisonChartData(*comparison_));
    } else if (approximate_) {
        sheet_->sheetModel()->setColumnTitles({tr("Length"), tr("Pairs")});
        write(tessaron::approximateSummaryLayout(*approximate_));
        setWindowTitle(tr("Approximate repeats"));
        chart_->setData(tessaron::approximateChartData(*approximate_, colours_));
    } else if (listingMode_) {
        auto* listing = new ListingModel(listed_);
        setWindowTitle(listing->caption());
        QStringList titles{tr("Word"), tr("First"), tr("Second")};
        if (listing->usedColumns() > 3) {
            titles.append(tr("At the second"));
        }
        listing->setColumnTitles(titles);
        for (const tessaron::ColumnWidth& width : listing->widths()) {
            sheet_->SetColumnWidth(width.column, width.width);
        }
        sheet_->showCells(listing);
        hasChart_ = false;
    } else {
        sheet_->sheetModel()->setColumnTitles({tr("Length"), tr("Pairs")});
        write(tessaron::summaryLayout(summaryMinLength_, summaryCounts_));
        chart_->setData(
            tessaron::summaryChartData(summaryMinLength_, summaryCounts_, summaryMaxLength_, colours_));
    }
    chartAction_->setEnabled(hasChart_);
    clearContent();
    filled_ = true;
    return true;
}

bool CReportSheetDlg::showSheet()
{
    if (hasContent_) {
        Fill();
    }
    if (!filled_) {
        return false;
    }
    show();
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
        sheet_->waitForExport(JobRunner::kNoTimeLimit);  // a cancelled export ends soon
    }
    QDialog::reject();
}

void CReportSheetDlg::showChart(bool shown)
{
    if (shown == chart_->isVisible() || (shown && !hasChart_)) {
        return;
    }
    // The table keeps its width: the window grows by the chart's, unless it fills the screen.
    const bool resizable = !isMaximized() && !isFullScreen();
    if (shown) {
        chart_->show();
        if (resizable) {
            resize(width() + kChartWidth, height());
        }
        splitter_->setSizes({tablePane_->width(), kChartWidth});
    } else {
        const int chartWidth = chart_->width();
        chart_->hide();
        if (resizable) {
            resize(std::max(width() - chartWidth, kWidth / 2), height());
        }
    }
    if (chartAction_->isChecked() != shown) {
        chartAction_->setChecked(shown);
    }
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

void CReportSheetDlg::writeControls(const tessaron::ControlReport& report)
{
    // As the summary, a heading per kind and a row per length, here with
    // the controls' mean, standard deviation and z beside the pairs, for
    // every length where the genome or a control has pairs.
    const std::uint32_t lastSeed =
        report.seed + static_cast<std::uint32_t>(std::max(report.replicates - 1, 0));
    setWindowTitle(tr("Random controls: %1 sequences, seeds %2 to %3")
                       .arg(report.replicates)
                       .arg(report.seed)
                       .arg(lastSeed));
    sheet_->sheetModel()->setColumnTitles(
        {tr("Length"), tr("Pairs"), tr("Controls' mean"), tr("Standard deviation"), tr("z")});
    sheet_->BeginUpdate();
    int row = 1;
    for (const tessaron::RepeatKind kind : tessaron::kKindOrder) {
        sheet_->WriteCell(row++, 1, toQString(tessaron::kindInfo(kind).heading) + QLatin1Char(':'));
        const auto& stats = report.stats[static_cast<std::size_t>(kind)];
        for (std::size_t slot = 0; slot < stats.size(); ++slot) {
            const tessaron::ControlStats& cell = stats[slot];
            if (cell.observed == 0 && cell.mean == 0) {
                continue;
            }
            sheet_->WriteCell(row, 1, QStringLiteral("%1 bp").arg(report.minLength + static_cast<int>(slot)));
            sheet_->WriteCell(row, 2, QString::number(cell.observed));
            sheet_->WriteCell(row, 3, decimal(cell.mean));
            sheet_->WriteCell(row, 4, decimal(cell.sd));
            if (cell.z) {
                sheet_->WriteCell(row, 5, decimal(*cell.z));
            }
            ++row;
        }
        ++row;
    }
    sheet_->EndUpdate();
}

void CReportSheetDlg::clearContent()
{
    hasContent_ = false;
    listingMode_ = false;
    summaryMinLength_ = 0;
    summaryMaxLength_ = 0;
    summaryCounts_ = {};
    listed_.reset();
    comparison_.reset();
    controls_.reset();
    approximate_.reset();
}
