#pragma once

#include "cli/options.h"
#include "compare/controls.h"
#include "compare/repeatsection.h"
#include "engine/genome.h"
#include "engine/plastomestructure.h"
#include "engine/repeatlist.h"
#include "input/feature.h"
#include "input/filesave.h"
#include "report/plastomeannotation.h"
#include "report/reportlayout.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaron {

// What --map draws: the genome (its bases, name and length) with its
// features (for a FASTA or text genome only the whole-sequence one, a plain
// ring), `repeat` with `pairs` marked when it is not null, in a style and
// size (0 x 0: the map's own size).
struct MapRequest {
    std::string path;  // PNG, or SVG or PDF for a name ending in ".svg" or ".pdf"
    const Genome& genome;
    const FeatureList& features;
    const Repeat* repeat = nullptr;
    std::span<const RepeatPair> pairs;
    MapStyle style = MapStyle::Default;
    int width = 0;
    int height = 0;
    SaveOptions save;          // how `path` is written (--force)
    std::string hiddenLayers;  // the layers left out, as --map-hide names them
};

// Draws the map; false when the file cannot be written.
using MapDrawer = std::function<bool(const MapRequest& request)>;

// One genome of the junction figure (--compare --junctions --chart): its
// name, its parts and the genes at each junction.
struct JunctionChartRow {
    std::string name;
    PlastomeStructure structure;
    std::array<JunctionGenes, 4> genes;
};

// What --chart draws: the pairs of each kind per length from `minLength`,
// and with --controls the controls' report instead; with --report paper the
// figure of the section instead of either.
struct ChartInput {
    int minLength = 0;
    int maxLength = 0;  // the maximum setting: longer words (the complete search's) are gathered
    PairCountsByKind counts;
    std::optional<ControlReport> controls;
    std::optional<RepeatSection> section;
    std::optional<std::vector<JunctionChartRow>> junctions;  // the junction figure instead of a chart
    SaveOptions save;                                        // how the file is written (--force)
};

// Draws the chart to `path` (PNG, or SVG for a name ending in ".svg"); false
// when the file cannot be written.
using ChartDrawer = std::function<bool(const std::string& path, const ChartInput& chart)>;

// The whole command line program: parses the arguments, runs and writes the
// report, and returns the exit status (0, 1 for a failed run, 2 for a usage
// error). Without a drawer, --map hands the run to the map program installed
// beside this one, so that only that program loads Qt; --chart likewise
// hands it to the chart program.
int runCli(int argc, char** argv, const MapDrawer& drawer = {}, const ChartDrawer& chartDrawer = {});

}  // namespace tessaron
