#pragma once

#include "compare/controls.h"
#include "compare/repeatsection.h"
#include "engine/repeatlist.h"
#include "input/feature.h"
#include "report/reportlayout.h"

#include <cstdint>
#include <functional>
#include <optional>
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

// What --chart draws: the pairs of each kind per length from `minLength`,
// and with --controls the controls' report instead; with --report paper the
// figure of the section instead of either.
struct ChartInput {
    int minLength = 0;
    PairCountsByKind counts;
    std::optional<ControlReport> controls;
    std::optional<RepeatSection> section;
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
