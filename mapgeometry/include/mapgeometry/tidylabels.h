#pragma once

// Feature names set apart: instead of staggering every second name outward,
// the names on each half of the circle stand in a column beside it, each on
// a row as near to the middle of its arc as the names around it allow, and
// joined to its arc by a leader line. No two name boxes overlap, none runs
// out of the map or over the legend: a name that finds no row near its arc
// is left out (a locus tag before a gene's name, a short feature before a
// long one).

#include "input/feature.h"
#include "mapgeometry/diagramgeometry.h"

#include <cstddef>
#include <functional>
#include <span>
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

// The part of the map's plane that is shown, in the map's own coordinates:
// 600 x 460 from (0, 0) at its own size, more on one side when the picture
// has another shape than the map.
struct MapBounds {
    double left = 0.0;
    double top = 0.0;
    double right = kMapWidth;
    double bottom = kMapHeight;
    [[nodiscard]] double width() const { return right - left; }
    [[nodiscard]] double height() const { return bottom - top; }
    friend bool operator==(const MapBounds&, const MapBounds&) = default;
};

// `base` widened (or made taller) about its centre to the shape of a picture
// `width` x `height`, so that the whole of `base` shows in it at one scale.
[[nodiscard]] MapBounds fitBounds(const MapBounds& base, double width, double height);

// One name to set beside the map, for the feature whose arc it names.
struct MapName {
    std::size_t feature = 0;  // index in the list
    std::string name;
    std::uint32_t color = 0;  // of the arc drawn for it
    bool tag = false;         // a locus tag: named last, if at all
};

// Every feature after the first, each stretch named once: a gene with the
// same start and end as an RNA feature after it (a tRNA or rRNA gene, listed
// again as the RNA) is not named itself; the RNA takes the gene's name (TRNF,
// trnH-GUG) unless only its own product is more than a locus tag. The RNA's
// colour marks the stretch.
[[nodiscard]] std::vector<MapName> namesOnce(const FeatureList& features);

struct TidyLabel {
    std::size_t feature = 0;  // index in the list
    std::string name;
    std::uint32_t color = 0;
    MapPoint anchor;     // on the outer edge of the arc, at its middle
    MapPoint leaderEnd;  // where the leader line meets the name
    MapPoint text;       // where the name starts, on its baseline
    LabelBox box;
};

// The box that the legend's rows and words cover.
[[nodiscard]] LabelBox legendBox(const LabelMetrics& metrics);

// The names of namesOnce(features) that fit within `bounds` clear of the
// `avoid` boxes, ordered by feature.
[[nodiscard]] std::vector<TidyLabel> tidyLabels(const FeatureList& features, double radiansPerBase,
                                                const LabelMetrics& metrics, const MapBounds& bounds = {},
                                                std::span<const LabelBox> avoid = {});

// Whether a name of `count` features, `length` bases long in all, goes before
// another when not every name fits: names before locus tags, then the longer.
struct NameRank {
    bool tag = false;
    std::int64_t length = 0;
    std::size_t feature = 0;
    [[nodiscard]] bool before(const NameRank& other) const;
};
[[nodiscard]] NameRank rankOf(const FeatureList& features, const MapName& name);

// The base at the middle of a feature's stretch, read clockwise from start to
// end; of its first part for a feature drawn in parts.
[[nodiscard]] double middleOf(const Feature& feature, std::int32_t sequenceEnd);

}  // namespace tessaron
