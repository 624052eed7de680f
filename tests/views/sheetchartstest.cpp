// The sheets' headers, alignment, widths and sorting, and the charts of
// pairs per length drawn from the sheets' numbers.

#include "charts/approximatechart.h"
#include "charts/barfigure.h"
#include "charts/chartlegend.h"
#include "charts/chartpanel.h"
#include "charts/countaxis.h"
#include "charts/repeatchart.h"
#include "compare/genomecomparison.h"
#include "compare/repeatsection.h"
#include "engine/repeatkinds.h"
#include "report/reportlayout.h"
#include "views/sheets/reportsheetdlg.h"
#include "views/sheets/sheetview.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFontMetrics>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

using tessaron::GenomeComparison;
using tessaron::RepeatKind;

namespace {

GenomeComparison threeGenomes()
{
    GenomeComparison comparison;
    comparison.minLength = 5;
    comparison.maxLength = 6;
    comparison.kind = RepeatKind::Inverted;
    comparison.rows.push_back({"b.gb", {10, 1}});
    comparison.rows.push_back({"a genome with a long name.gb", {9, 2}});
    comparison.rows.push_back({"c.gb", {100, 0}});
    return comparison;
}

// Column 1 of the rows as the view shows them, sorted or not.
std::vector<QString> shownColumn(const CWebCalc& sheet, int column, int rows)
{
    std::vector<QString> texts;
    for (int row = 0; row < rows; ++row) {
        texts.push_back(sheet.model()->index(row, column).data().toString());
    }
    return texts;
}

TEST(ComparisonSheet, HeadersCaptionAndAlignment)
{
    CReportSheetDlg dialog;
    dialog.SetCompareContent(threeGenomes());
    ASSERT_TRUE(dialog.Fill());
    const CWebCalc& sheet = *dialog.sheet();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Comparison of inverted repeats"));
    const auto header = [&sheet](int section) {
        return sheet.model()->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    EXPECT_EQ(header(0), QStringLiteral("Genome"));
    EXPECT_EQ(header(1), QStringLiteral("5 bp"));
    EXPECT_EQ(header(2), QStringLiteral("6 bp"));
    EXPECT_EQ(header(3), QStringLiteral("D"));  // beyond the table: the sheet's letters

    const auto alignment = [&sheet](int row, int column) {
        return Qt::Alignment(sheet.model()->index(row, column).data(Qt::TextAlignmentRole).toInt());
    };
    EXPECT_TRUE(alignment(2, 1).testFlag(Qt::AlignRight));
    EXPECT_TRUE(alignment(2, 0).testFlag(Qt::AlignLeft));
    EXPECT_TRUE(alignment(1, 1).testFlag(Qt::AlignLeft));  // "5 bp" is a text
}

TEST(ComparisonSheet, SortsNumbersByValueKeepingTheHeadingRows)
{
    CReportSheetDlg dialog;
    dialog.SetCompareContent(threeGenomes());
    ASSERT_TRUE(dialog.Fill());
    CWebCalc& sheet = *dialog.sheet();
    ASSERT_TRUE(sheet.sortable());
    const QString a = QStringLiteral("a genome with a long name.gb");
    const QString b = QStringLiteral("b.gb");
    const QString c = QStringLiteral("c.gb");
    const struct {
        int column;
        Qt::SortOrder order;
        std::vector<QString> names;
    } cases[] = {
        {1, Qt::AscendingOrder, {"", "", a, b, c}},   // 9, 10, 100: not 10, 100, 9
        {1, Qt::DescendingOrder, {"", "", c, b, a}},  // the heading rows stay on top
        {2, Qt::AscendingOrder, {"", "", c, b, a}},   // 0, 1, 2
        {0, Qt::DescendingOrder, {"", "", c, b, a}}, {0, Qt::AscendingOrder, {"", "", a, b, c}},
    };
    for (const auto& [column, order, names] : cases) {
        sheet.sortByColumn(column, order);
        EXPECT_EQ(shownColumn(sheet, 0, 5), names) << column << " " << order;
        EXPECT_EQ(sheet.model()->index(1, 1).data().toString(), QStringLiteral("5 bp"));
        // Empty rows of the grid stay below the table.
        EXPECT_EQ(sheet.model()->index(5, 0).data().toString(), QString());
    }
    // The cells read by place are not moved.
    EXPECT_EQ(sheet.cellText(3, 1), b);
}

TEST(SheetWidths, ColumnsWidenToTheirTexts)
{
    tessaron::PairCountsByKind counts;
    counts[0] = {123456789, 5};
    counts[3] = {0, 7};
    CReportSheetDlg comparison;
    comparison.SetCompareContent(threeGenomes());
    ASSERT_TRUE(comparison.Fill());

    CWebCalc written;
    for (const tessaron::SheetCell& cell : tessaron::summaryLayout(8, counts).cells) {
        written.WriteCell(cell.row, cell.column, QString::fromStdString(cell.text));
    }
    for (const CWebCalc* sheet : std::vector<const CWebCalc*>{comparison.sheet(), &written}) {
        const QFontMetrics metrics = sheet->fontMetrics();
        for (int row = 1; row <= sheet->usedRows(); ++row) {
            for (int column = 1; column <= sheet->usedColumns(); ++column) {
                const QString text = sheet->cellText(row, column);
                EXPECT_GT(sheet->columnWidth(column - 1), metrics.horizontalAdvance(text))
                    << text.toStdString();
            }
        }
    }
    // A column holding only short texts keeps the standard width.
    EXPECT_EQ(comparison.sheet()->columnWidth(2), 64);
}

TEST(RepeatChart, OneSeriesPerKindWithTheSummarysNumbers)
{
    tessaron::PairCountsByKind counts;
    counts[static_cast<std::size_t>(RepeatKind::Direct)] = {40, 12, 0, 3, 0, 0};
    counts[static_cast<std::size_t>(RepeatKind::Inverted)] = {30, 0, 1, 0, 0, 0};
    counts[static_cast<std::size_t>(RepeatKind::Mirror)] = {20, 2, 0, 0, 0, 0};
    counts[static_cast<std::size_t>(RepeatKind::Complementary)] = {10, 1, 0, 0, 0, 0};
    const tessaron::ChartData data = tessaron::summaryChartData(8, counts);

    for (const bool logScale : {false, true}) {
        const std::unique_ptr<QChart> chart = tessaron::makeChart(data, logScale);
        const QList<QAbstractSeries*> series = chart->series();
        ASSERT_EQ(series.size(), 4);
        for (const RepeatKind kind : tessaron::kKindOrder) {
            const auto* line = qobject_cast<QLineSeries*>(series[static_cast<int>(kind)]);
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(line->name(), QString::fromUtf8(tessaron::kindInfo(kind).heading.data()));
            EXPECT_EQ(line->pen().color(), tessaron::kindColor(kind));
            // Lengths 8 to 11, up to the last with pairs of any kind; the log
            // scale leaves the zeros out.
            QList<QPointF> expected;
            const auto& kindCounts = counts[static_cast<std::size_t>(kind)];
            for (std::size_t slot = 0; slot < 4; ++slot) {
                if (!logScale || kindCounts[slot] > 0) {
                    expected.append(
                        QPointF(8.0 + static_cast<double>(slot), static_cast<double>(kindCounts[slot])));
                }
            }
            EXPECT_EQ(line->points(), expected) << logScale;
        }
    }
    // The kinds' colours differ.
    EXPECT_NE(tessaron::kindColor(RepeatKind::Mirror), tessaron::kindColor(RepeatKind::Inverted));
    EXPECT_NE(tessaron::kindColor(RepeatKind::Complementary), tessaron::kindColor(RepeatKind::Mirror));
}

// Every chart of the kinds draws them in the scheme it is given, and the
// scheme for colour blindness tells the four kinds apart.
TEST(RepeatChart, KindsTakeTheColoursOfTheSchemeGiven)
{
    tessaron::PairCountsByKind counts{};
    for (auto& kindCounts : counts) {
        kindCounts = {1, 2, 3};
    }
    const tessaron::ApproximateClassCounts classes{};
    const tessaron::RepeatSection section;
    for (const tessaron::ColourScheme& colours :
         {tessaron::kColourBlindSafeColours, tessaron::kStandardColours}) {
        const tessaron::ChartData summary = tessaron::summaryChartData(8, counts, 0, colours);
        const tessaron::ChartData approximate = tessaron::approximateChartData(classes, colours);
        const tessaron::BarFigure figure = tessaron::repeatSectionFigure(section, colours);
        ASSERT_EQ(summary.lines.size(), tessaron::kKindOrder.size());
        ASSERT_EQ(approximate.lines.size(), tessaron::kKindOrder.size());
        ASSERT_FALSE(figure.empty());
        ASSERT_EQ(figure.front().sets.size(), tessaron::kKindOrder.size());
        std::set<QRgb> distinct;
        for (std::size_t i = 0; i < tessaron::kKindOrder.size(); ++i) {
            const RepeatKind kind = tessaron::kKindOrder[i];
            const std::uint32_t bbggrr = colours.kind(kind);
            const QColor expected(static_cast<int>(bbggrr & 0xFFU), static_cast<int>((bbggrr >> 8U) & 0xFFU),
                                  static_cast<int>((bbggrr >> 16U) & 0xFFU));
            EXPECT_EQ(tessaron::kindColor(kind, colours), expected);
            EXPECT_EQ(summary.lines[i].color, expected) << i;
            EXPECT_EQ(approximate.lines[i].color, expected) << i;
            EXPECT_EQ(figure.front().sets[i].color, expected) << i;
            distinct.insert(expected.rgb());
        }
        EXPECT_EQ(distinct.size(), tessaron::kKindOrder.size());
    }
    // By default, the program's own.
    EXPECT_EQ(tessaron::kindColor(RepeatKind::Direct), QColor(0, 208, 0));
    EXPECT_EQ(tessaron::kindColor(RepeatKind::Inverted), QColor(224, 0, 0));
}

TEST(RepeatChart, SectionFigureHasATandemChartWhenArraysWereSearched)
{
    tessaron::RepeatSection section;
    EXPECT_EQ(tessaron::repeatSectionFigure(section).size(), 2U);
    // Periods 5 and 7 (classes 1-6 and 7-10), copies 2.0, 3.0, 12.5.
    const auto array = [](int period, double copies) {
        tessaron::TandemRepeat repeat;
        repeat.period = period;
        repeat.copies = copies;
        return repeat;
    };
    section.tandemRepeats = {array(5, 2.0), array(7, 3.0), array(7, 12.5), array(7, 3.2)};
    section.tandemSearched = true;
    const tessaron::BarFigure figure = tessaron::repeatSectionFigure(section);
    ASSERT_EQ(figure.size(), 3U);
    const tessaron::BarChartData& tandem = figure.back();
    EXPECT_EQ(tandem.categories,
              (QStringList{QStringLiteral("1-6"), QStringLiteral("7-10"), QStringLiteral("11-20"),
                           QStringLiteral("21-50"), QStringLiteral("51-100"), QStringLiteral(">100")}));
    ASSERT_EQ(tandem.sets.size(), 4U);
    EXPECT_EQ(tandem.sets[0].name, QStringLiteral("<3 copies"));
    EXPECT_EQ(tandem.sets[0].values, (std::vector<double>{1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(tandem.sets[1].values, (std::vector<double>{0, 2, 0, 0, 0, 0}));
    EXPECT_EQ(tandem.sets[2].values, (std::vector<double>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(tandem.sets[3].values, (std::vector<double>{0, 1, 0, 0, 0, 0}));
}

TEST(RepeatChart, ComparisonHasALinePerGenome)
{
    CReportSheetDlg dialog;
    dialog.SetCompareContent(threeGenomes());
    ASSERT_TRUE(dialog.Fill());
    ASSERT_TRUE(dialog.hasChart());
    const QChart* chart = dialog.chart()->view()->chart();
    ASSERT_EQ(chart->series().size(), 3);
    EXPECT_EQ(chart->series()[2]->name(), QStringLiteral("c.gb"));
    EXPECT_EQ(qobject_cast<QLineSeries*>(chart->series()[2])->points(),
              (QList<QPointF>{QPointF(5, 100), QPointF(6, 0)}));
    EXPECT_TRUE(chart->title().contains(QStringLiteral("Inverted repeats")));

    dialog.chart()->setLogScale(true);
    EXPECT_EQ(qobject_cast<QLineSeries*>(dialog.chart()->view()->chart()->series()[2])->points(),
              (QList<QPointF>{QPointF(5, 100)}));
}

TEST(RepeatChart, ControlsDrawTheMeanAndABandOfTwoDeviations)
{
    tessaron::ControlReport report;
    report.minLength = 8;
    report.replicates = 3;
    report.stats[0] = {{50, 40.0, 5.0, 2.0}, {3, 1.0, 0.0, std::nullopt}};
    const tessaron::ChartData data = tessaron::controlsChartData(report);
    ASSERT_EQ(data.bands.size(), 4U);
    EXPECT_EQ(data.bands[0].low, (std::vector<double>{30.0, 1.0}));
    EXPECT_EQ(data.bands[0].high, (std::vector<double>{50.0, 1.0}));
    ASSERT_EQ(data.lines.size(), 8U);
    EXPECT_EQ(data.lines[0].values, (std::vector<double>{50.0, 3.0}));  // observed
    EXPECT_EQ(data.lines[1].values, (std::vector<double>{40.0, 1.0}));  // the controls' mean
    EXPECT_TRUE(data.lines[1].dashed);
}

TEST(RepeatChart, TheLegendNamesEveryLineWholeAndTellsManyGenomesApart)
{
    GenomeComparison comparison;
    comparison.minLength = 8;
    comparison.maxLength = 9;
    for (int i = 0; i < 34; ++i) {
        comparison.rows.push_back({"NC_0" + std::to_string(12920 + 37 * i) + ".gb", {100 - i, 50}});
    }
    tessaron::PairCountsByKind counts;
    counts.fill({40, 12});
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const tessaron::ChartData& data :
         {tessaron::summaryChartData(8, counts), tessaron::comparisonChartData(comparison)}) {
        // Drawn as a sheet shows it beside the table, and saved as a drawing.
        const QString path = folder.filePath(QStringLiteral("chart.svg"));
        ASSERT_TRUE(tessaron::saveChart(data, false, path, QSize(CReportSheetDlg::kChartWidth, 420)));
        QFile saved(path);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(saved.readAll());
        for (const tessaron::ChartLine& line : data.lines) {
            EXPECT_TRUE(svg.contains(QStringLiteral(">") + line.name + QStringLiteral("<")))
                << line.name.toStdString();
        }
    }
    // On screen: every name whole, within the chart; every genome's line its own.
    const std::unique_ptr<QChart> chart =
        tessaron::makeChart(tessaron::comparisonChartData(comparison), false);
    chart->resize(CReportSheetDlg::kChartWidth, 420);
    const tessaron::ChartLegend* legend = tessaron::legendOf(*chart);
    ASSERT_NE(legend, nullptr);
    ASSERT_EQ(legend->placed().size(), comparison.rows.size());
    std::set<std::pair<QRgb, int>> pens;
    for (std::size_t i = 0; i < comparison.rows.size(); ++i) {
        EXPECT_EQ(legend->placed()[i].text.toStdString(), comparison.rows[i].fileTitle);
        EXPECT_TRUE(chart->rect().contains(legend->placed()[i].textRect));
        const QPen pen = qobject_cast<QLineSeries*>(chart->series()[static_cast<int>(i)])->pen();
        pens.insert({pen.color().rgb(), static_cast<int>(pen.style())});
    }
    EXPECT_EQ(pens.size(), comparison.rows.size());
    std::set<QRgb> colors;
    for (std::size_t i = 0; i < 40; ++i) {
        colors.insert(tessaron::seriesColor(i).rgb());
    }
    EXPECT_EQ(colors.size(), 40U);
}

TEST(RepeatChart, WordsLongerThanTheMaximumAreGatheredInALastPoint)
{
    // The complete search at 8..30: words up to 26,264 letters.
    tessaron::PairCountsByKind counts;
    counts[0].assign(26264 - 8 + 1, 0);
    counts[0][0] = 40;
    counts[0][30 - 8] = 2;
    counts[0][300 - 8] = 3;
    counts[0].back() = 1;
    const tessaron::ChartData data = tessaron::summaryChartData(8, counts, 30);
    EXPECT_TRUE(data.title.contains(QStringLiteral("longer than 30 bp"))) << data.title.toStdString();
    ASSERT_EQ(data.lines[0].values.size(), 24U);  // 8 to 30, then the longer ones
    EXPECT_EQ(data.lines[0].values[30 - 8], 2.0);
    EXPECT_EQ(data.lines[0].values.back(), 4.0);
    EXPECT_EQ(data.lines[1].values.back(), 0.0);

    const std::unique_ptr<QChart> chart = tessaron::makeChart(data, false);
    auto* lengths = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).front());
    ASSERT_NE(lengths, nullptr);
    EXPECT_LT(lengths->max(), 32);
    EXPECT_EQ(lengths->categoriesLabels().back(), QStringLiteral(">30"));
    // Within the maximum, nothing is gathered.
    counts[0].resize(30 - 8 + 1);
    EXPECT_EQ(tessaron::summaryChartData(8, counts, 30).lines[0].values.size(), 23U);
}

}  // namespace

// The axis of counts: whole-number grid lines at the smallest nice step that
// reaches the highest count in at most six steps.
TEST(CountAxis, GridLinesStandAtWholeNiceNumbers)
{
    const auto nice = [](double step) {
        for (double power = 1; power <= step; power *= 10) {
            if (step == power || step == 2 * power || step == 5 * power) {
                return true;
            }
        }
        return false;
    };
    std::vector<double> highests;
    for (int count = 0; count <= 2500; ++count) {
        highests.push_back(count);
    }
    for (const double count : {0.4, 6.3, 99999.0, 100001.0, 1.5e7}) {
        highests.push_back(count);
    }
    for (const double highest : highests) {
        const tessaron::CountTicks ticks = tessaron::countTicks(highest);
        SCOPED_TRACE(highest);
        ASSERT_TRUE(nice(ticks.step));
        EXPECT_EQ(ticks.top, ticks.step * (ticks.tickCount - 1));
        EXPECT_GE(ticks.top, highest);
        EXPECT_LT(ticks.top - ticks.step, std::max(highest, 1.0));
        EXPECT_LE(ticks.tickCount - 1, 6);
        // No smaller nice step reaches the top within six steps.
        for (double smaller = 1; smaller < ticks.step; smaller += 1) {
            if (nice(smaller)) {
                EXPECT_GT(std::ceil(std::max(highest, 1.0) / smaller), 6) << smaller;
            }
        }
    }
}

// Every chart of counts, bars or lines, labels its value axis at its grid
// lines with whole numbers: 6 pairs give 0, 1, ..., 6.
TEST(CountAxis, EveryChartOfCountsLabelsItsGridLines)
{
    tessaron::ApproximateClassCounts classes{};
    classes[0][1] = 6;
    const tessaron::ChartData approximate =
        tessaron::approximateChartData(classes, tessaron::kStandardColours);
    tessaron::BarChartData bars;
    bars.categories = {QStringLiteral("a"), QStringLiteral("b")};
    bars.sets.push_back({QStringLiteral("kind"), Qt::red, {2, 6}});
    tessaron::PairCountsByKind counts{};
    counts[0] = {1, 6};
    const tessaron::ChartData lines = tessaron::summaryChartData(8, counts, 0, tessaron::kStandardColours);
    std::vector<std::pair<const char*, std::unique_ptr<QChart>>> charts;
    charts.emplace_back("approximate", tessaron::makeCategoryChart(approximate, false));
    charts.emplace_back("bars", tessaron::makeBarChart(bars));
    charts.emplace_back("lines", tessaron::makeChart(lines, false));
    for (const auto& [name, chart] : charts) {
        SCOPED_TRACE(name);
        const auto axes = chart->axes(Qt::Vertical);
        ASSERT_EQ(axes.size(), 1);
        const auto* axis = qobject_cast<const QValueAxis*>(axes.front());
        ASSERT_NE(axis, nullptr);
        EXPECT_EQ(axis->min(), 0.0);
        EXPECT_EQ(axis->max(), 6.0);
        EXPECT_EQ(axis->tickCount(), 7);
        EXPECT_EQ(axis->tickType(), QValueAxis::TicksFixed);
    }
}
