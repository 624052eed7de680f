#include "charts/repeatchart.h"

#include "charts/approximatechart.h"
#include "charts/chartlegend.h"
#include "charts/countaxis.h"
#include "engine/repeatkinds.h"
#include "input/filesave.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace tessaron {

namespace {

QColor fromBbggrr(std::uint32_t bbggrr)
{
    return QColor(static_cast<int>(bbggrr & 0xFFu), static_cast<int>((bbggrr >> 8) & 0xFFu),
                  static_cast<int>((bbggrr >> 16) & 0xFFu));
}

QString headingOf(RepeatKind kind)
{
    const std::string_view heading = kindInfo(kind).heading;
    return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
}

// Slots from the first up to the last that is not zero in any of `rows`,
// at least one.
template <typename Rows>
std::size_t usedSlots(const Rows& rows)
{
    std::size_t used = 1;
    for (const auto& row : rows) {
        for (std::size_t slot = row.size(); slot > used; --slot) {
            if (row[slot - 1] != 0) {
                used = slot;
                break;
            }
        }
    }
    return used;
}

std::vector<double> firstSlots(const std::vector<std::int64_t>& counts, std::size_t lengthCount)
{
    std::vector<double> values(lengthCount, 0.0);
    for (std::size_t slot = 0; slot < lengthCount && slot < counts.size(); ++slot) {
        values[slot] = static_cast<double>(counts[slot]);
    }
    return values;
}

// The smallest value a log scale shows: below every positive value drawn.
constexpr double kLogFloor = 0.5;

void appendPoints(QLineSeries& series, int firstLength, const std::vector<double>& values, bool logScale)
{
    for (std::size_t slot = 0; slot < values.size(); ++slot) {
        const double value = values[slot];
        if (logScale && value <= 0) {
            continue;
        }
        series.append(firstLength + static_cast<double>(slot), value);
    }
}

}  // namespace

QColor seriesColor(std::size_t index)
{
    // Colours of greatest contrast to one another (after Kelly), those too
    // pale on white made darker.
    static constexpr std::array<QRgb, 20> kColors{
        0x0067A5, 0xBE0032, 0x008856, 0xF38400, 0x875692, 0x882D17, 0xE68FAC, 0x848482, 0x8DB600, 0x604E97,
        0xF99379, 0x2B3D26, 0x6FA8DC, 0xC9A000, 0xB3446C, 0xA89A60, 0xE25822, 0x654522, 0x00A3A3, 0x9C9400};
    const QColor color = QColor::fromRgb(kColors[index % kColors.size()]);
    // Each round after the first darker than the one before.
    return (index / kColors.size()) % 2 == 1 ? color.darker(150) : color;
}

Qt::PenStyle seriesStyle(std::size_t index)
{
    static constexpr std::array<Qt::PenStyle, 4> kStyles{Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                                         Qt::DashDotLine};
    return kStyles[(index / 20) % kStyles.size()];
}

QColor kindColor(RepeatKind kind, const ColourScheme& colours)
{
    return fromBbggrr(colours.kind(kind));
}

ChartData summaryChartData(int minLength, const PairCountsByKind& counts, int maxLength,
                           const ColourScheme& colours)
{
    ChartData data;
    data.title = QStringLiteral("Repeat pairs per length");
    std::size_t lengthCount = usedSlots(counts);
    // The lengths searched, then one slot for every longer word.
    const auto searched = static_cast<std::size_t>(std::max(maxLength - minLength + 1, 1));
    const bool gather = maxLength >= minLength && lengthCount > searched;
    if (gather) {
        lengthCount = searched + 1;
        data.gatheredAbove = maxLength;
        data.title += QStringLiteral(" (pairs of words longer than %1 bp at \u201c>%1\u201d)").arg(maxLength);
    }
    for (const RepeatKind kind : kKindOrder) {
        const std::vector<std::int64_t>& kindCounts = counts[static_cast<std::size_t>(kind)];
        std::vector<double> values = firstSlots(kindCounts, lengthCount);
        if (gather) {
            double longer = 0;
            for (std::size_t slot = searched; slot < kindCounts.size(); ++slot) {
                longer += static_cast<double>(kindCounts[slot]);
            }
            values.back() = longer;
        }
        data.lines.push_back(
            {headingOf(kind), kindColor(kind, colours), minLength, std::move(values), false, Qt::SolidLine});
    }
    return data;
}

ChartData comparisonChartData(const GenomeComparison& comparison)
{
    ChartData data;
    data.title = QStringLiteral("%1: pairs per length").arg(headingOf(comparison.kind));
    const auto lengthCount =
        static_cast<std::size_t>(std::max(comparison.maxLength - comparison.minLength + 1, 1));
    // Genomes have no colour of their own: one each, told apart however many.
    for (std::size_t i = 0; i < comparison.rows.size(); ++i) {
        const ComparisonRow& row = comparison.rows[i];
        data.lines.push_back({QString::fromStdString(row.fileTitle), seriesColor(i), comparison.minLength,
                              firstSlots(row.counts, lengthCount), false, seriesStyle(i)});
    }
    return data;
}

ChartData controlsChartData(const ControlReport& report, const ColourScheme& colours)
{
    ChartData data;
    data.title = QStringLiteral("Repeat pairs per length against %1 random controls").arg(report.replicates);
    std::vector<std::vector<double>> tops;
    for (const auto& stats : report.stats) {
        std::vector<double>& top = tops.emplace_back();
        for (const ControlStats& cell : stats) {
            top.push_back(std::max(static_cast<double>(cell.observed), cell.mean + 2 * cell.sd));
        }
    }
    const std::size_t lengthCount = usedSlots(tops);
    for (const RepeatKind kind : kKindOrder) {
        const auto& stats = report.stats[static_cast<std::size_t>(kind)];
        const QString heading = headingOf(kind);
        ChartBand band{heading + QStringLiteral(": controls, mean \u00b1 2 sd"),
                       kindColor(kind, colours),
                       report.minLength,
                       {},
                       {}};
        ChartLine observed{heading, kindColor(kind, colours), report.minLength, {}, false, Qt::SolidLine};
        ChartLine mean{heading + QStringLiteral(": controls' mean"),
                       kindColor(kind, colours),
                       report.minLength,
                       {},
                       true,
                       Qt::DashLine};
        for (std::size_t slot = 0; slot < lengthCount; ++slot) {
            const ControlStats cell = slot < stats.size() ? stats[slot] : ControlStats{};
            observed.values.push_back(static_cast<double>(cell.observed));
            mean.values.push_back(cell.mean);
            band.low.push_back(std::max(cell.mean - 2 * cell.sd, 0.0));
            band.high.push_back(cell.mean + 2 * cell.sd);
        }
        data.bands.push_back(std::move(band));
        data.lines.push_back(std::move(observed));
        data.lines.push_back(std::move(mean));
    }
    return data;
}

std::unique_ptr<QChart> makeChart(const ChartData& data, bool logScale)
{
    if (!data.categories.empty()) {
        return makeCategoryChart(data, logScale);
    }
    auto chart = std::make_unique<QChart>();
    chart->setTitle(data.title);
    std::vector<ChartLegend::Entry> legend;

    int firstLength = std::numeric_limits<int>::max();
    int lastLength = std::numeric_limits<int>::min();
    double highest = 0;
    double lowestPositive = std::numeric_limits<double>::max();
    const auto span = [&](int first, const std::vector<double>& values) {
        firstLength = std::min(firstLength, first);
        lastLength = std::max(lastLength, first + static_cast<int>(values.size()) - 1);
        for (const double value : values) {
            highest = std::max(highest, value);
            if (value > 0) {
                lowestPositive = std::min(lowestPositive, value);
            }
        }
    };

    std::vector<QAbstractSeries*> added;
    for (const ChartBand& band : data.bands) {
        auto* area = new QAreaSeries();
        auto* upper = new QLineSeries(area);
        auto* lower = new QLineSeries(area);
        for (std::size_t slot = 0; slot < band.low.size() && slot < band.high.size(); ++slot) {
            const double x = band.firstLength + static_cast<double>(slot);
            upper->append(x, logScale ? std::max(band.high[slot], kLogFloor) : band.high[slot]);
            lower->append(x, logScale ? std::max(band.low[slot], kLogFloor) : band.low[slot]);
        }
        area->setUpperSeries(upper);
        area->setLowerSeries(lower);
        area->setName(band.name);
        QColor fill = band.color;
        fill.setAlpha(50);
        area->setBrush(fill);
        area->setPen(QPen(Qt::NoPen));
        chart->addSeries(area);
        added.push_back(area);
        span(band.firstLength, band.high);
        // The band explains itself beside its line: no entry in the legend.
    }
    for (const ChartLine& line : data.lines) {
        auto* series = new QLineSeries();
        series->setName(line.name);
        appendPoints(*series, line.firstLength, line.values, logScale);
        chart->addSeries(series);
        QPen pen(line.color.isValid() ? line.color : QColor(Qt::black));
        pen.setWidthF(line.dashed ? 1.5 : 2.0);
        pen.setStyle(line.dashed ? Qt::DashLine : line.style);
        series->setPen(pen);
        series->setPointsVisible(!line.dashed);
        added.push_back(series);
        span(line.firstLength, line.values);
        if (!line.dashed) {
            legend.push_back({line.name, pen, true});
        }
    }
    new ChartLegend(*chart, std::move(legend));  // a child of the chart
    if (firstLength > lastLength) {
        firstLength = 0;
        lastLength = 1;
    }
    if (firstLength == lastLength) {
        ++lastLength;  // a single length still gets an axis
    }

    const int interval = std::max(1, static_cast<int>(std::ceil((lastLength - firstLength) / 12.0)));
    QAbstractAxis* lengths = nullptr;
    if (data.gatheredAbove > 0 && lastLength == data.gatheredAbove + 1) {
        // The lengths searched by their numbers, the last point as ">N".
        auto* axis = new QCategoryAxis();
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        // Room beyond the last point for its label.
        axis->setRange(firstLength, lastLength + 0.5);
        for (int length = firstLength; length + interval <= data.gatheredAbove; length += interval) {
            axis->append(QString::number(length), length);
        }
        axis->append(QStringLiteral(">%1").arg(data.gatheredAbove), lastLength);
        lengths = axis;
    } else {
        auto* axis = new QValueAxis();
        axis->setRange(firstLength, lastLength);
        axis->setLabelFormat(QStringLiteral("%d"));
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(firstLength);
        axis->setTickInterval(interval);
        lengths = axis;
    }
    lengths->setTitleText(QStringLiteral("Repeat length (bp)"));
    chart->addAxis(lengths, Qt::AlignBottom);

    QAbstractAxis* pairs = nullptr;
    if (logScale) {
        auto* axis = new QLogValueAxis();
        axis->setBase(10);
        axis->setLabelFormat(QStringLiteral("%g"));
        const double top = std::max(highest, 1.0) * 2;
        axis->setRange(std::min(kLogFloor, lowestPositive / 2), top);
        axis->setMinorTickCount(-1);
        pairs = axis;
    } else {
        auto* axis = new QValueAxis();
        setCountRange(*axis, highest);
        pairs = axis;
    }
    pairs->setTitleText(QStringLiteral("Pairs"));
    chart->addAxis(pairs, Qt::AlignLeft);
    for (QAbstractSeries* series : added) {
        series->attachAxis(lengths);
        series->attachAxis(pairs);
    }
    return chart;
}

bool saveWidget(QWidget& widget, const QString& path, const QString& title, SaveOptions save)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = widget.size();
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        QPainter painter;
        if (!painter.begin(&svg)) {
            return false;
        }
        widget.render(&painter);
        if (!painter.end()) {
            return false;
        }
    } else {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        widget.render(&painter);
        painter.end();
        if (!image.save(&buffer, "PNG")) {
            return false;
        }
    }
    // A regular file is replaced only once the new one is complete, so a
    // failed write leaves an earlier file as it was; a FIFO or a device is
    // written into, never replaced.
    return !saveFile(QFile::encodeName(path).toStdString(),
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), save);
}

bool saveChart(QChartView& view, const QString& path, SaveOptions save)
{
    return saveWidget(view, path, view.chart() != nullptr ? view.chart()->title() : QString(), save);
}

bool saveChart(const ChartData& data, bool logScale, const QString& path, QSize size, SaveOptions save)
{
    QChartView view(makeChart(data, logScale).release());  // owned by the view's scene
    view.setRenderHint(QPainter::Antialiasing);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(size);
    view.show();
    // The chart lays itself out through posted events.
    QCoreApplication::processEvents();
    return saveChart(view, path, save);
}

}  // namespace tessaron
