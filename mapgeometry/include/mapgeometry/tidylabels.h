#pragma once

// Feature names set apart: instead of staggering every second name outward,
// the names on each half of the circle are stacked in a column beside it,
// each as near to the middle of its arc as the names around it allow, and
// joined to its arc by a leader line. No two name boxes overlap.

#include "input/feature.h"
#include "mapgeometry/diagramgeometry.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tessaron {

// How large a name is drawn: its advance in pixels, and the font's ascent and
// descent (the box of a name runs from baseline - ascent to baseline + descent).
struct LabelMetrics {
    std::function<int(const std::string&)> width;
    int ascent = 10;
    int descent = 3;
};

struct LabelBox {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive
    [[nodiscard]] bool overlaps(const LabelBox& other) const
    {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

struct TidyLabel {
    std::size_t feature = 0;  // index in the list
    MapPoint anchor;          // on the outer edge of the arc, at its middle
    MapPoint leaderEnd;       // where the leader line meets the name
    MapPoint text;            // where the name starts, on its baseline
    LabelBox box;
};

// The names of every feature after the first, in list order. Names that do
// not fit beside the circle run past the map's top and bottom edges rather
// than over each other.
[[nodiscard]] std::vector<TidyLabel> tidyLabels(const FeatureList& features, double radiansPerBase,
                                                const LabelMetrics& metrics);

}  // namespace tessaron
