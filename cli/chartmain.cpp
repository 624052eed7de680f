// tessaron-chart: the command line program with the chart of pairs per
// length. tessaron-cli runs it for --chart, so that the plain reports never
// load Qt.

#include "charts/repeatchart.h"
#include "cli/clirun.h"

#include <QApplication>
#include <QString>

#include <iostream>

namespace {

bool drawChart(const std::string& path, const tessaron::ChartInput& input)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only this program's own messages reach standard error, not the
    // platform's notes (a missing runtime folder and the like).
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << "tessaron-cli: " << message.toStdString() << '\n';
        }
    });
    int argc = 1;
    char name[] = "tessaron-cli";
    char* argv[] = {name, nullptr};
    const QApplication application(argc, argv);
    const tessaron::ChartData data = input.controls
                                         ? tessaron::controlsChartData(*input.controls)
                                         : tessaron::summaryChartData(input.minLength, input.counts);
    return tessaron::saveChart(data, false, QString::fromStdString(path));
}

}  // namespace

int main(int argc, char** argv)
{
    return tessaron::runCli(argc, argv, {}, drawChart);
}
