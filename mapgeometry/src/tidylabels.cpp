#include "mapgeometry/tidylabels.h"

#include "slots.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <utility>

namespace tessaron {

namespace {

constexpr double kCentreX = kMapCentreX + 0.5;
constexpr double kCentreY = kMapCentreY + 0.5;
constexpr double kAnchorRadius = kTrackRadius + 3.0;  // just outside the arc's pen
constexpr double kColumnRadius = 200.0;               // names stand on this circle
constexpr int kMiddleGap = 4;                         // between the two halves' names
constexpr int kLeaderGap = 2;                         // between a leader line and its name
constexpr int kEdgeGap = 2;                           // between a name and the map's edge
constexpr int kRowsAway = 6;                          // how far a name may stand from its arc

bool isGene(const Feature& feature)
{
    return feature.color == kColorGeneDirect || feature.color == kColorGeneComplement;
}

std::int64_t basesOf(const Feature& feature, std::int32_t sequenceEnd)
{
    std::int64_t bases = 0;
    for (const FeaturePart& stretch : drawnStretches(feature)) {
        std::int64_t span = static_cast<std::int64_t>(stretch.end) - stretch.start;
        if (span < 0) {
            span += static_cast<std::int64_t>(sequenceEnd) + 1;
        }
        bases += span + 1;
    }
    return bases;
}

}  // namespace

MapBounds fitBounds(const MapBounds& base, double width, double height)
{
    if (width <= 0.0 || height <= 0.0 || base.width() <= 0.0 || base.height() <= 0.0) {
        return base;
    }
    const double scale = std::min(width / base.width(), height / base.height());
    const double halfWidth = width / scale / 2.0;
    const double halfHeight = height / scale / 2.0;
    const double x = (base.left + base.right) / 2.0;
    const double y = (base.top + base.bottom) / 2.0;
    return {x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight};
}

double middleOf(const Feature& feature, std::int32_t sequenceEnd)
{
    const FeaturePart stretch =
        feature.parts.empty() ? FeaturePart{feature.start, feature.end} : feature.parts.front();
    double span = static_cast<double>(stretch.end) - stretch.start;
    if (span < 0.0) {
        span += sequenceEnd;
    }
    return stretch.start + span / 2.0;
}

std::vector<MapName> namesOnce(const FeatureList& features)
{
    // Genes by their stretch; each gives its name to one RNA at most.
    std::map<std::pair<std::int32_t, std::int32_t>, std::size_t> genes;
    for (std::size_t i = 1; i < features.size(); ++i) {
        if (isGene(features[i])) {
            genes.emplace(std::pair{features[i].start, features[i].end}, i);
        }
    }
    std::vector<bool> named(features.size(), false);
    std::vector<MapName> names;
    std::vector<std::pair<std::size_t, MapName>> rnas;
    for (std::size_t i = 1; i < features.size(); ++i) {
        const Feature& feature = features[i];
        if (isGene(feature)) {
            continue;
        }
        MapName name{i, feature.name, feature.color, feature.namedByTag};
        if (const auto gene = genes.find({feature.start, feature.end}); gene != genes.end()) {
            const Feature& twin = features[gene->second];
            if (!twin.namedByTag || feature.namedByTag) {
                name.name = twin.name;
            }
            name.tag = twin.namedByTag && feature.namedByTag;
            named[gene->second] = true;
            genes.erase(gene);
        }
        names.push_back(std::move(name));
    }
    for (std::size_t i = 1; i < features.size(); ++i) {
        if (isGene(features[i]) && !named[i]) {
            names.push_back({i, features[i].name, features[i].color, features[i].namedByTag});
        }
    }
    std::sort(names.begin(), names.end(),
              [](const MapName& a, const MapName& b) { return a.feature < b.feature; });
    return names;
}

bool NameRank::before(const NameRank& other) const
{
    if (tag != other.tag) {
        return !tag;
    }
    if (length != other.length) {
        return length > other.length;
    }
    return feature < other.feature;
}

NameRank rankOf(const FeatureList& features, const MapName& name)
{
    return {name.tag, basesOf(features[name.feature], features.front().end), name.feature};
}

LabelBox legendBox(const LabelMetrics& metrics)
{
    LabelBox box{kMapWidth, kMapHeight, 0, 0};
    for (const LegendRow& row : legendRows()) {
        const int width = metrics.width ? metrics.width(row.text) : 0;
        box.left = std::min(box.left, row.left);
        box.top = std::min({box.top, row.top, row.textPoint.y - metrics.ascent});
        box.right = std::max({box.right, row.right, row.textPoint.x + width});
        box.bottom = std::max({box.bottom, row.bottom, row.textPoint.y + metrics.descent});
    }
    return box;
}

std::vector<TidyLabel> tidyLabels(const FeatureList& features, double radiansPerBase,
                                  const LabelMetrics& metrics, const MapBounds& bounds,
                                  std::span<const LabelBox> avoid)
{
    std::vector<TidyLabel> labels;
    const int height = metrics.ascent + metrics.descent;
    if (features.size() < 2 || radiansPerBase == 0.0 || height <= 0) {
        return labels;
    }
    const std::vector<MapName> names = namesOnce(features);
    const std::int32_t sequenceEnd = features.front().end;
    // Rows from the top of the map to its bottom, names spread over the
    // height there is (never closer together than on the column's circle).
    const double firstTop = std::ceil(bounds.top) + kEdgeGap;
    const int rows = static_cast<int>(std::floor((std::floor(bounds.bottom) - kEdgeGap - firstTop) / height));
    const double spread =
        std::max(kColumnRadius, std::min(kCentreY - bounds.top, bounds.bottom - kCentreY) - height);

    struct Candidate {
        double theta = 0.0;
        bool right = true;
        int width = 0;
    };
    std::vector<Candidate> candidates;
    candidates.reserve(names.size());
    for (const MapName& name : names) {
        const double theta = middleOf(features[name.feature], sequenceEnd) * radiansPerBase + kMapStartAngle;
        candidates.push_back({theta, std::cos(theta) >= 0.0, metrics.width ? metrics.width(name.name) : 0});
    }
    const auto rowTop = [&](int row) { return static_cast<int>(firstTop) + row * height; };
    const auto boxAt = [&](std::size_t name, int row) {
        const int top = rowTop(row);
        const double middle = top + height / 2.0 - kCentreY;
        const double reach = std::sqrt(std::max(0.0, kColumnRadius * kColumnRadius - middle * middle));
        const int offset = std::max(kMiddleGap, static_cast<int>(std::lround(reach)));
        const Candidate& candidate = candidates[name];
        const int x = candidate.right ? kMapCentreX + offset : kMapCentreX - offset - candidate.width;
        return LabelBox{x, top, x + candidate.width, top + height};
    };
    const auto allowed = [&](std::size_t name, int row) {
        const LabelBox box = boxAt(name, row);
        if (box.left < bounds.left + kEdgeGap || box.right > bounds.right - kEdgeGap) {
            return false;
        }
        return std::none_of(avoid.begin(), avoid.end(),
                            [&box](const LabelBox& other) { return box.overlaps(other); });
    };

    std::vector<int> placed(names.size(), -1);
    for (const bool right : {true, false}) {
        // Each side's names, numbered apart, with their places in rows.
        std::vector<std::size_t> side;
        std::vector<double> ideals;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (candidates[i].right == right) {
                side.push_back(i);
                const double idealTop = kCentreY + spread * std::sin(candidates[i].theta) - height / 2.0;
                ideals.push_back((idealTop - firstTop) / height);
            }
        }
        std::vector<std::size_t> order(side.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return rankOf(features, names[side[a]]).before(rankOf(features, names[side[b]]));
        });
        const std::vector<int> rowsOf =
            assignSlots(ideals, order, {rows, kRowsAway, false},
                        [&](std::size_t k, int row) { return allowed(side[k], row); });
        for (std::size_t k = 0; k < side.size(); ++k) {
            placed[side[k]] = rowsOf[k];
        }
    }

    for (std::size_t i = 0; i < names.size(); ++i) {
        if (placed[i] < 0) {
            continue;
        }
        const Candidate& candidate = candidates[i];
        TidyLabel label;
        label.feature = names[i].feature;
        label.name = names[i].name;
        label.color = names[i].color;
        label.anchor = {static_cast<int>(std::lround(kCentreX + kAnchorRadius * std::cos(candidate.theta))),
                        static_cast<int>(std::lround(kCentreY + kAnchorRadius * std::sin(candidate.theta)))};
        label.box = boxAt(i, placed[i]);
        label.text = {label.box.left, label.box.top + metrics.ascent};
        const int leaderY = label.box.top + height / 2;
        label.leaderEnd = candidate.right ? MapPoint{label.box.left - kLeaderGap, leaderY}
                                          : MapPoint{label.box.right + kLeaderGap, leaderY};
        labels.push_back(std::move(label));
    }
    return labels;
}

}  // namespace tessaron
