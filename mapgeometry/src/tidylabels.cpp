#include "mapgeometry/tidylabels.h"

#include <algorithm>
#include <cmath>

namespace tessaron {

namespace {

constexpr double kCentreX = kMapCentreX + 0.5;
constexpr double kCentreY = kMapCentreY + 0.5;
constexpr double kAnchorRadius = kTrackRadius + 3.0;  // just outside the arc's pen
constexpr double kColumnRadius = 200.0;               // names stand on this circle
constexpr int kMiddleGap = 4;                         // between the two halves' names
constexpr int kLeaderGap = 2;                         // between a leader line and its name
constexpr int kTopLimit = 2;
constexpr int kBottomLimit = kMapHeight - 2;

struct Placed {
    std::size_t label = 0;  // index into the result
    double idealTop = 0.0;
    int top = 0;
};

// The middle of a feature's stretch, read clockwise from start to end; of
// its first part for a feature drawn in parts.
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

// Stacks one half's names top to bottom in the order of their ideal places,
// each `height` high: as near their ideal places as the others allow, inside
// the map when they fit, centred on the circle when they do not.
void stack(std::vector<Placed>& side, int height)
{
    if (side.empty()) {
        return;
    }
    std::stable_sort(side.begin(), side.end(),
                     [](const Placed& a, const Placed& b) { return a.idealTop < b.idealTop; });
    const auto count = static_cast<int>(side.size());
    if (count * height > kBottomLimit - kTopLimit) {
        const int first = kMapCentreY - count * height / 2;
        for (int i = 0; i < count; ++i) {
            side[static_cast<std::size_t>(i)].top = first + i * height;
        }
        return;
    }
    // Runs of names that touch move together, to the mean of their members'
    // ideal places, until no two runs overlap.
    struct Run {
        int first = 0;
        int count = 0;
        double top = 0.0;
    };
    const auto settle = [&side, height](Run& run) {
        double sum = 0.0;
        for (int k = 0; k < run.count; ++k) {
            sum += side[static_cast<std::size_t>(run.first + k)].idealTop - k * height;
        }
        run.top = std::clamp(sum / run.count, static_cast<double>(kTopLimit),
                             static_cast<double>(kBottomLimit - run.count * height));
    };
    std::vector<Run> runs;
    for (int i = 0; i < count; ++i) {
        runs.push_back({i, 1, 0.0});
        settle(runs.back());
    }
    for (std::size_t i = 0; i + 1 < runs.size();) {
        if (runs[i].top + runs[i].count * height > runs[i + 1].top) {
            runs[i].count += runs[i + 1].count;
            runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            settle(runs[i]);
            i = i > 0 ? i - 1 : 0;
        } else {
            ++i;
        }
    }
    for (const Run& run : runs) {
        const auto top = static_cast<int>(std::floor(run.top));
        for (int k = 0; k < run.count; ++k) {
            side[static_cast<std::size_t>(run.first + k)].top = top + k * height;
        }
    }
}

}  // namespace

std::vector<TidyLabel> tidyLabels(const FeatureList& features, double radiansPerBase,
                                  const LabelMetrics& metrics)
{
    std::vector<TidyLabel> labels;
    if (features.size() < 2 || radiansPerBase == 0.0) {
        return labels;
    }
    const std::int32_t sequenceEnd = features.front().end;
    const int height = metrics.ascent + metrics.descent;
    std::vector<Placed> right;
    std::vector<Placed> left;
    for (std::size_t i = 1; i < features.size(); ++i) {
        const double theta = middleOf(features[i], sequenceEnd) * radiansPerBase + kMapStartAngle;
        TidyLabel label;
        label.feature = i;
        label.anchor = {static_cast<int>(std::lround(kCentreX + kAnchorRadius * std::cos(theta))),
                        static_cast<int>(std::lround(kCentreY + kAnchorRadius * std::sin(theta)))};
        const double idealTop = kCentreY + kColumnRadius * std::sin(theta) - height / 2.0;
        (std::cos(theta) >= 0.0 ? right : left).push_back({labels.size(), idealTop, 0});
        labels.push_back(label);
    }
    stack(right, height);
    stack(left, height);

    const auto place = [&](const std::vector<Placed>& side, bool onRight) {
        for (const Placed& placed : side) {
            TidyLabel& label = labels[placed.label];
            const double middle = placed.top + height / 2.0 - kCentreY;
            const double reach = std::sqrt(std::max(0.0, kColumnRadius * kColumnRadius - middle * middle));
            const int offset = std::max(kMiddleGap, static_cast<int>(std::lround(reach)));
            const int width = metrics.width ? metrics.width(features[label.feature].name) : 0;
            const int baseline = placed.top + metrics.ascent;
            const int leaderY = placed.top + height / 2;
            if (onRight) {
                const int x = kMapCentreX + offset;
                label.text = {x, baseline};
                label.box = {x, placed.top, x + width, placed.top + height};
                label.leaderEnd = {x - kLeaderGap, leaderY};
            } else {
                const int x = kMapCentreX - offset;
                label.text = {x - width, baseline};
                label.box = {x - width, placed.top, x, placed.top + height};
                label.leaderEnd = {x + kLeaderGap, leaderY};
            }
        }
    };
    place(right, true);
    place(left, false);
    return labels;
}

}  // namespace tessaron
