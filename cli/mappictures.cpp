// tessaron-mappictures: draws a circular map for the documentation, with the
// choices of the desktop map that the command line does not offer: a repeat
// given by its copies (--band FIRST,SECOND,LENGTH, 1-based, as a long repeat
// of the complete search is listed), a scale and smooth edges; and those it
// does: names set apart (--tidy), the map for a paper (--paper), a size.
//
//   tessaron-mappictures GENBANK OUT [--tidy | --paper] [--band F,S,L[,direct]]
//                        [--scale S | --size WxH] [--antialias]

#include "engine/genome.h"
#include "input/genbankreader.h"
#include "mapgeometry/gcprofile.h"
#include "mapgeometry/mapscene.h"
#include "mapimage/diagrampainter.h"

#include <QGuiApplication>
#include <QString>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::cerr << "usage: tessaron-mappictures GENBANK OUT [--tidy | --paper] [--band F,S,L[,direct]] "
                 "[--scale S | --size WxH] [--antialias]\n";
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
    tessaron::MapImageOptions options;
    double scale = 1.0;
    std::optional<tessaron::RepeatPair> pair;
    tessaron::Repeat repeat{true, 0, 1, 0};
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--tidy") {
            options.style.labels = tessaron::LabelLayout::Tidy;
        } else if (name == "--paper") {
            options.style.look = tessaron::MapLook::Paper;
        } else if (name == "--antialias") {
            options.style.antialias = true;
        } else if (name == "--scale" && i + 1 < arguments.size()) {
            scale = std::stod(arguments[++i]);
        } else if (name == "--size" && i + 1 < arguments.size()) {
            if (std::sscanf(arguments[++i].c_str(), "%dx%d", &options.width, &options.height) != 2 ||
                options.width < 1 || options.height < 1) {
                return usage();
            }
        } else if (name == "--band" && i + 1 < arguments.size()) {
            long first = 0;
            long second = 0;
            long length = 0;
            char kind[16] = {};
            const int read =
                std::sscanf(arguments[++i].c_str(), "%ld,%ld,%ld,%15s", &first, &second, &length, kind);
            if (read < 3 || first < 1 || second < 1 || length < 1) {
                return usage();
            }
            pair = tessaron::RepeatPair{static_cast<std::int32_t>(first - 1),
                                        static_cast<std::int32_t>(second - 1)};
            repeat.length = static_cast<std::int32_t>(length);
            repeat.transformed = std::string(kind) != "direct";
        } else {
            return usage();
        }
    }

    tessaron::Genome genome;
    const auto features = tessaron::readGenBank(arguments[0], genome, 8, 30);
    if (!features) {
        std::cerr << "tessaron-mappictures: cannot read " << arguments[0] << '\n';
        return 1;
    }
    tessaron::MapScene scene(*features, genome.length());
    scene.setTitle(genome.title());
    scene.setProfile(tessaron::gcProfile(genome.sequence()));
    if (options.width == 0) {
        const QSize own = tessaron::diagramSize(scene, options.style);
        options.width = static_cast<int>(std::lround(own.width() * scale));
        options.height = static_cast<int>(std::lround(own.height() * scale));
    }
    if (pair) {
        scene.setRepeat(&repeat, std::span<const tessaron::RepeatPair>(&*pair, 1));
    }
    if (!tessaron::saveDiagram(QString::fromStdString(arguments[1]), scene, options)) {
        std::cerr << "tessaron-mappictures: cannot write " << arguments[1] << '\n';
        return 1;
    }
    return 0;
}
