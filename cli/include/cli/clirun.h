#pragma once

#include "engine/repeatlist.h"
#include "input/feature.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace tessaron {

// Draws the circular map of a GenBank genome to `path` (PNG, or SVG for a
// name ending in ".svg"), turning on the `basesRead` of the genome, marking
// `repeat` with `pairs` when it is not null. False when the file cannot be
// written.
using MapDrawer =
    std::function<bool(const std::string& path, const FeatureList& features, std::int64_t basesRead,
                       const Repeat* repeat, std::span<const RepeatPair> pairs)>;

// The whole command line program: parses the arguments, runs and writes the
// report, and returns the exit status (0, 1 for a failed run, 2 for a usage
// error). Without a drawer, --map hands the run to the map program installed
// beside this one, so that only that program loads Qt.
int runCli(int argc, char** argv, const MapDrawer& drawer = {});

}  // namespace tessaron
