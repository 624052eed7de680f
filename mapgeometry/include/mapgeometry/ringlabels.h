#pragma once

// Names along the ring, for the map for a paper: each name written outward
// along a radius of the circle, beyond the arcs, on one of equal places
// around it as near to the middle of its arc as the names around it allow,
// joined to the arc by a bent leader line. The ring of names is as far out as
// the names need (so that most of them find a place), and names that find no
// place near their arc are left out: locus tags first, then short features.

#include "input/feature.h"
#include "mapgeometry/mapscene.h"
#include "mapgeometry/tidylabels.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace tessaron {

struct RingLabel {
    std::size_t feature = 0;  // index in the list
    std::string name;
    std::uint32_t color = 0;
    double angle = 0.0;  // the name's radius, in radians as on screen (0 points right, y down)
    // On the left half the name is turned half round to read from left to
    // right, and ends at the ring of names instead of starting there.
    bool turned = false;
    int width = 0;
    std::array<MapPointF, 4> leader;  // from the arc out to the name
    std::array<MapPointF, 4> box;     // the name's corners, in order round it
};

struct RingLayout {
    double radius = 0.0;  // where the names begin, from the centre
    std::vector<RingLabel> labels;
    // The square about the circle that holds every name.
    MapBounds bounds;
};

// The arcs of the map for a paper reach out to `arcOuter` from the centre.
[[nodiscard]] RingLayout ringLabels(const FeatureList& features, double radiansPerBase,
                                    const LabelMetrics& metrics, double arcOuter);

}  // namespace tessaron
