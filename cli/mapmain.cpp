// tessaron-map: the command line program with the circular map. tessaron-cli
// runs it for --map, so that the plain reports never load Qt.

#include "cli/clirun.h"
#include "mapgeometry/mapscene.h"
#include "mapimage/diagrampainter.h"
#include "offscreen.h"

#include <QGuiApplication>
#include <QString>

#include <iostream>

namespace {

bool drawMap(const std::string& path, const tessaron::FeatureList& features, std::int64_t basesRead,
             const tessaron::Repeat* repeat, std::span<const tessaron::RepeatPair> pairs)
{
    tessaron::MapScene scene(features, basesRead);
    scene.setRepeat(repeat, pairs);
    if (!scene.lengthWarning().empty()) {
        std::cerr << "tessaron-cli: " << scene.lengthWarning() << '\n';
    }
    tessaron::drawOffscreenQuietly();
    int argc = 1;
    char name[] = "tessaron-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    return tessaron::saveDiagram(QString::fromStdString(path), scene);
}

}  // namespace

int main(int argc, char** argv)
{
    return tessaron::runCli(argc, argv, drawMap);
}
