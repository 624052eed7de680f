#pragma once

// Pairs per repeat length as a chart: what is drawn (lines of counts, and
// the random controls' band) is plain data made from the report's numbers,
// then turned into a Qt chart, shown in a window or saved as PNG or SVG.

#include "compare/controls.h"
#include "compare/genomecomparison.h"
#include "input/filesave.h"
#include "palette/colourscheme.h"
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

// One line: a value per repeat length, from `firstLength` on. A dashed line
// (the controls' mean) is thinner, without points and not in the legend.
struct ChartLine {
    QString name;
    QColor color;
    int firstLength = 0;
    std::vector<double> values;
    bool dashed = false;
    Qt::PenStyle style = Qt::SolidLine;  // of a line that is not dashed
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
    // When set, the lines' values are per category (firstLength unused),
    // drawn as bars (approximatechart.h).
    std::vector<QString> categories;
    // When not 0, the last length of the lines stands for every length above
    // this one, and is labelled ">N".
    int gatheredAbove = 0;
};

// The colour of a kind's line in `colours` (by default the program's own:
// the copies' green and red for direct and inverted repeats, blue for mirror
// and orange for complementary).
[[nodiscard]] QColor kindColor(RepeatKind kind, const ColourScheme& colours = kStandardColours);
// The colour and the pen of the index-th of many lines (genomes): 20
// colours apart from one another, then again darker and dashed, then dotted
// ...: no two of the first 80 lines alike.
[[nodiscard]] QColor seriesColor(std::size_t index);
[[nodiscard]] Qt::PenStyle seriesStyle(std::size_t index);

// The summary: one line per kind (in the order of the reports), every
// length from the minimum to the longest with pairs of any kind. With a
// `maxLength` (the maximum setting), the pairs of longer words (found by the
// complete search, up to thousands of letters) are gathered in one last
// point just above it, so that the lengths searched keep their room.
// The kinds' lines take their colours from `colours` here and below.
[[nodiscard]] ChartData summaryChartData(int minLength, const PairCountsByKind& counts, int maxLength = 0,
                                         const ColourScheme& colours = kStandardColours);
// The comparison: one line per genome over the table's lengths; the title
// names the kind compared.
[[nodiscard]] ChartData comparisonChartData(const GenomeComparison& comparison);
// The controls: per kind the genome's pairs, the controls' mean (dashed) and
// a band of two standard deviations about it.
[[nodiscard]] ChartData controlsChartData(const ControlReport& report,
                                          const ColourScheme& colours = kStandardColours);

// The chart of the data, lengths along and pairs up, with a legend of the
// lines' whole names (ChartLegend). On a logarithmic scale the zeros are left
// out (and a band's low side is kept above them).
[[nodiscard]] std::unique_ptr<QChart> makeChart(const ChartData& data, bool logScale);

// Writes what a chart view shows: an SVG drawing when the name ends in .svg,
// a PNG image otherwise, as saveFile writes (a regular file replaced only
// once complete, a FIFO or device written into). False when the file cannot
// be written.
bool saveChart(QChartView& view, const QString& path, SaveOptions save = {});
// The same for any widget as it is laid out (a figure of several charts);
// `title` is the SVG drawing's.
bool saveWidget(QWidget& widget, const QString& path, const QString& title = QString(),
                SaveOptions save = {});
// Draws the data at `size` without showing it and saves it as above (needs a
// QApplication; the offscreen platform will do).
bool saveChart(const ChartData& data, bool logScale, const QString& path, QSize size = QSize(900, 560),
               SaveOptions save = {});

}  // namespace tessaron
