// tessaron-dotplotpicture: draws the dot plot of a GenBank genome's
// approximate repeats for the documentation, as the desktop's dot plot
// window shows it, at the search's defaults unless told otherwise.
//
//   tessaron-dotplotpicture GENBANK OUT [--min L] [--identity P] [--size PIXELS]

#include "engine/approximatesearch.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "input/genbankreader.h"
#include "mapimage/dotplotpainter.h"

#include <QGuiApplication>
#include <QString>

#include <iostream>
#include <string>
#include <variant>
#include <vector>

namespace {

int usage()
{
    std::cerr << "usage: tessaron-dotplotpicture GENBANK OUT [--min L] [--identity P] [--size PIXELS]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() < 2) {
        return usage();
    }
    tessaron::ApproximateSettings settings;
    int side = 800;
    try {
        for (std::size_t i = 2; i + 1 < arguments.size(); i += 2) {
            const std::string& name = arguments[i];
            const std::string& value = arguments[i + 1];
            if (name == "--min") {
                settings.minLength = std::stoi(value);
            } else if (name == "--identity") {
                settings.identity = std::stod(value);
            } else if (name == "--size") {
                side = std::stoi(value);
            } else {
                return usage();
            }
        }
    } catch (const std::exception&) {
        return usage();
    }
    if (arguments.size() % 2 != 0 || settings.minLength < 1 || side < 100) {
        return usage();
    }
    tessaron::Genome genome;
    if (!tessaron::readGenBank(arguments[0], genome, 8, 30)) {
        std::cerr << "tessaron-dotplotpicture: cannot read " << arguments[0] << '\n';
        return 1;
    }
    auto found = tessaron::approximateSearch(genome, tessaron::kKindOrder, settings);
    if (std::holds_alternative<tessaron::SearchFailure>(found)) {
        std::cerr << "tessaron-dotplotpicture: the search failed\n";
        return 1;
    }
    tessaron::DotPlotPicture picture;
    picture.title = QString::fromStdString(genome.title());
    picture.view = tessaron::DotPlotView(genome.length());
    picture.segments =
        tessaron::dotPlotSegments(genome.length(), std::get<std::vector<tessaron::ApproximateResult>>(found));
    if (!tessaron::saveDotPlot(QString::fromStdString(arguments[1]), picture, side)) {
        std::cerr << "tessaron-dotplotpicture: cannot write " << arguments[1] << '\n';
        return 1;
    }
    return 0;
}
