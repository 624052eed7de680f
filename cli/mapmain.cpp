// tessaron-map: the command line program with the circular map. tessaron-cli
// runs it for --map, so that the plain reports never load Qt.

#include "cli/clirun.h"
#include "engine/plastomestructure.h"
#include "mapgeometry/gcprofile.h"
#include "mapgeometry/mapscene.h"
#include "mapimage/diagrampainter.h"
#include "offscreen.h"

#include <QGuiApplication>
#include <QString>

#include <iostream>

namespace {

tessaron::DiagramStyle styleOf(tessaron::MapStyle style)
{
    tessaron::DiagramStyle drawn;
    switch (style) {
        case tessaron::MapStyle::Default:
            break;
        case tessaron::MapStyle::Staggered:
            drawn.labels = tessaron::LabelLayout::Staggered;
            break;
        case tessaron::MapStyle::Tidy:
            drawn.labels = tessaron::LabelLayout::Tidy;
            break;
        case tessaron::MapStyle::Paper:
            drawn.look = tessaron::MapLook::Paper;
            break;
    }
    return drawn;
}

bool drawMap(const tessaron::MapRequest& request)
{
    tessaron::MapScene scene(request.features, request.genome.length());
    scene.setRepeat(request.repeat, request.pairs);
    scene.setTitle(request.genome.title());
    // The names were checked with the options.
    scene.setLayers(tessaron::layersHiding(request.hiddenLayers).value_or(tessaron::MapLayers{}));
    if (!scene.lengthWarning().empty()) {
        std::cerr << "tessaron-cli: " << scene.lengthWarning() << '\n';
    }
    tessaron::MapImageOptions options;
    options.style = styleOf(request.style);
    options.width = request.width;
    options.height = request.height;
    options.save = request.save;
    if (options.style.look == tessaron::MapLook::Paper) {
        scene.setProfile(tessaron::gcProfile(request.genome.sequence()));
        if (scene.layers().plastome) {
            scene.setPlastome(tessaron::findPlastomeStructure(request.genome.sequence()));
        }
    }
    tessaron::drawOffscreenQuietly();
    int argc = 1;
    char name[] = "tessaron-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    // Smooth once drawn at another size than the map's own.
    options.style.antialias = request.width > 0 && QSize(request.width, request.height) !=
                                                       tessaron::diagramSize(scene, options.style);
    return tessaron::saveDiagram(QString::fromStdString(request.path), scene, options);
}

}  // namespace

int main(int argc, char** argv)
{
    return tessaron::runCli(argc, argv, drawMap);
}
