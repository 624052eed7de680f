#pragma once

// The plastome's four parts on the map for a paper: a ring of four arcs
// inside the GC rings, a tick at each junction, and each part's name and
// length written along the ring at the middle of its arc. A text that would
// run into a neighbour's is cut to the part's name, or left out; the longer
// parts are named first.

#include "engine/plastomestructure.h"
#include "mapgeometry/tidylabels.h"

#include <string>
#include <vector>

namespace tessaron {

inline constexpr double kPlastomeRingRadius = 80.0;  // the arcs' middle
inline constexpr double kPlastomeRingWidth = 5.0;
inline constexpr double kPlastomeTextRadius = 89.0;  // the texts' middle, outside the arcs

struct PlastomeRingText {
    PlastomePart part = PlastomePart::Lsc;
    std::string text;     // "LSC 84,170 bp", or "LSC" where the whole text finds no room
    double angle = 0.0;   // its middle, in the map's radians (position * perBase + kMapStartAngle)
    double extent = 0.0;  // the radians it takes along the text's circle
};

// The texts of a found structure's parts on a map of `perBase` radians a
// base, measured by `metrics`; none for an empty part.
[[nodiscard]] std::vector<PlastomeRingText> plastomeRingTexts(const PlastomeStructure& structure,
                                                              double perBase, const LabelMetrics& metrics);

}  // namespace tessaron
