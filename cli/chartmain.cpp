// tessaron-chart: the command line program with the chart of pairs per
// length. tessaron-cli runs it for --chart, so that the plain reports never
// load Qt.

#include "charts/repeatchart.h"
#include "cli/clirun.h"
#include "offscreen.h"

#include <QApplication>
#include <QString>

#include <iostream>

namespace {

bool drawChart(const std::string& path, const tessaron::ChartInput& input)
{
    tessaron::drawOffscreenQuietly();
    int argc = 1;
    char name[] = "tessaron-cli";
    char* argv[] = {name, nullptr};
    const QApplication application(argc, argv);
    const tessaron::ChartData data =
        input.controls ? tessaron::controlsChartData(*input.controls)
                       : tessaron::summaryChartData(input.minLength, input.counts, input.maxLength);
    return tessaron::saveChart(data, false, QString::fromStdString(path));
}

}  // namespace

int main(int argc, char** argv)
{
    return tessaron::runCli(argc, argv, {}, drawChart);
}
