#include "charts/approximatechart.h"

#include "charts/countaxis.h"

#include "engine/repeatkinds.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QLogValueAxis>
#include <QValueAxis>

#include <algorithm>

namespace tessaron {

ChartData approximateChartData(const ApproximateClassCounts& counts, const ColourScheme& colours)
{
    ChartData data;
    data.title = QObject::tr("Approximate repeats per length class");
    for (const std::string_view name : kApproximateLengthClasses) {
        data.categories.push_back(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    for (const RepeatKind kind : kKindOrder) {
        ChartLine line;
        const std::string_view heading = kindInfo(kind).heading;
        line.name = QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
        line.color = kindColor(kind, colours);
        for (const std::int64_t count : counts[static_cast<std::size_t>(kind)]) {
            line.values.push_back(static_cast<double>(count));
        }
        data.lines.push_back(std::move(line));
    }
    return data;
}

std::unique_ptr<QChart> makeCategoryChart(const ChartData& data, bool logScale)
{
    auto chart = std::make_unique<QChart>();
    chart->setTitle(data.title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* series = new QBarSeries();
    double highest = 1.0;
    for (const ChartLine& line : data.lines) {
        auto* set = new QBarSet(line.name);
        set->setColor(line.color);
        set->setBorderColor(line.color);
        for (const double value : line.values) {
            // A bar of 0 has no height on a logarithmic axis: it starts at its floor.
            set->append(logScale ? std::max(value, 0.5) : value);
            highest = std::max(highest, value);
        }
        series->append(set);
    }
    chart->addSeries(series);
    auto* classes = new QBarCategoryAxis();
    classes->append(QStringList(data.categories.begin(), data.categories.end()));
    classes->setTitleText(QObject::tr("Length (bp)"));
    chart->addAxis(classes, Qt::AlignBottom);
    series->attachAxis(classes);
    if (logScale) {
        auto* pairs = new QLogValueAxis();
        pairs->setBase(10);
        pairs->setRange(0.5, highest * 2);
        pairs->setTitleText(QObject::tr("Pairs"));
        chart->addAxis(pairs, Qt::AlignLeft);
        series->attachAxis(pairs);
    } else {
        auto* pairs = new QValueAxis();
        setCountRange(*pairs, highest);
        pairs->setTitleText(QObject::tr("Pairs"));
        chart->addAxis(pairs, Qt::AlignLeft);
        series->attachAxis(pairs);
    }
    return chart;
}

}  // namespace tessaron
