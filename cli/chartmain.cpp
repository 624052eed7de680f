// tessaron-chart: the command line program with the chart of pairs per
// length and the figure of the repeat section. tessaron-cli runs it for
// --chart, so that the plain reports never load Qt, and the plastomes'
// junction figure of --compare --junctions --chart.

#include "charts/barfigure.h"
#include "charts/repeatchart.h"
#include "cli/clirun.h"
#include "mapimage/junctionpainter.h"
#include "offscreen.h"
#include "report/junctionfiguregenes.h"

#include <QApplication>
#include <QString>

#include <iostream>
#include <vector>

namespace {

bool drawChart(const std::string& path, const tessaron::ChartInput& input)
{
    tessaron::drawOffscreenQuietly();
    int argc = 1;
    char name[] = "tessaron-cli";
    char* argv[] = {name, nullptr};
    const QApplication application(argc, argv);
    if (input.junctions) {
        std::vector<tessaron::JunctionFigureGenome> genomes;
        for (const tessaron::JunctionChartRow& row : *input.junctions) {
            genomes.push_back({row.name, row.structure, tessaron::junctionFigureGenes(row.genes)});
        }
        return tessaron::saveJunctionFigure(QString::fromStdString(path), tessaron::junctionFigureOf(genomes),
                                            input.save);
    }
    if (input.section) {
        // The width papers print (600 pixels a chart), or more when a chart's
        // labels need it whole.
        const tessaron::BarFigure figure = tessaron::repeatSectionFigure(*input.section);
        const QSize size =
            tessaron::barFigureSize(figure).expandedTo(QSize(600 * static_cast<int>(figure.size()), 520));
        return tessaron::saveBarFigure(figure, QString::fromStdString(path), size, input.save);
    }
    const tessaron::ChartData data =
        input.controls ? tessaron::controlsChartData(*input.controls)
                       : tessaron::summaryChartData(input.minLength, input.counts, input.maxLength);
    return tessaron::saveChart(data, false, QString::fromStdString(path), QSize(900, 560), input.save);
}

}  // namespace

int main(int argc, char** argv)
{
    return tessaron::runCli(argc, argv, {}, drawChart);
}
