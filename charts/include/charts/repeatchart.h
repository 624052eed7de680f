#pragma once

// Pairs per repeat length as a chart: what is drawn (lines of counts, and
// the random controls' band) is plain data made from the report's numbers,
// then turned into a Qt chart, shown in a window or saved as PNG or SVG.

#include "compare/controls.h"
#include "compare/genomecomparison.h"
#include "report/reportlayout.h"

#include <QColor>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

class QChart;
class QChartView;
class QWidget;

namespace tessaron {

// One line: a value per repeat length, from `firstLength` on.
struct ChartLine {
    QString name;
    QColor color;
    int firstLength = 0;
    std::vector<double> values;
    bool dashed = false;
};

// A shaded band between two values per length, from `firstLength` on.
struct ChartBand {
    QString name;
    QColor color;
    int firstLength = 0;
    std::vector<double> low;
    std::vector<double> high;
};

struct ChartData {
    QString title;
    std::vector<ChartLine> lines;
    std::vector<ChartBand> bands;  // drawn under the lines
};

// The colour of a kind's line: its copies' colours of the kinds' table for
// direct and inverted repeats, blue for mirror and orange for complementary.
[[nodiscard]] QColor kindColor(RepeatKind kind);

// The summary: one line per kind (in the order of the reports), every
// length from the minimum to the longest with pairs of any kind.
[[nodiscard]] ChartData summaryChartData(int minLength, const PairCountsByKind& counts);
// The comparison: one line per genome over the table's lengths; the title
// names the kind compared.
[[nodiscard]] ChartData comparisonChartData(const GenomeComparison& comparison);
// The controls: per kind the genome's pairs, the controls' mean (dashed) and
// a band of two standard deviations about it.
[[nodiscard]] ChartData controlsChartData(const ControlReport& report);

// The chart of the data, lengths along and pairs up. On a logarithmic scale
// the zeros are left out (and a band's low side is kept above them).
[[nodiscard]] std::unique_ptr<QChart> makeChart(const ChartData& data, bool logScale);

// Writes what a chart view shows: an SVG drawing when the name ends in .svg,
// a PNG image otherwise, as saveFile writes (a regular file replaced only
// once complete, a FIFO or device written into). False when the file cannot
// be written.
bool saveChart(QChartView& view, const QString& path);
// The same for any widget as it is laid out (a figure of several charts);
// `title` is the SVG drawing's.
bool saveWidget(QWidget& widget, const QString& path, const QString& title = QString());
// Draws the data at `size` without showing it and saves it as above (needs a
// QApplication; the offscreen platform will do).
bool saveChart(const ChartData& data, bool logScale, const QString& path, QSize size = QSize(900, 560));

}  // namespace tessaron
