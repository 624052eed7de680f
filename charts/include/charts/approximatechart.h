#pragma once

// The approximate search's chart: the pairs of each kind per length class,
// as bars grouped by class.

#include "charts/repeatchart.h"
#include "engine/approximatesearch.h"

#include <QChart>

#include <memory>

namespace tessaron {

// One line per kind (its colour as kindColor in `colours`) over the length
// classes, which name the categories.
[[nodiscard]] ChartData approximateChartData(const ApproximateClassCounts& counts,
                                             const ColourScheme& colours = kStandardColours);

// A chart of data with categories: one bar per line in each category. On a
// logarithmic scale the zeros are left out.
[[nodiscard]] std::unique_ptr<QChart> makeCategoryChart(const ChartData& data, bool logScale);

}  // namespace tessaron
