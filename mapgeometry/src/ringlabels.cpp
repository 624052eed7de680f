#include "mapgeometry/ringlabels.h"

#include "slots.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace tessaron {

namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;  // a full turn, in radians
constexpr double kNearestRing = 200.0;            // names begin here at the nearest
constexpr double kRingStep = 15.0;                // or further out by steps of this
constexpr int kRingSteps = 6;
constexpr double kRoomFactor = 1.3;  // places for the names wanted, and some room
constexpr int kPlacesAway = 5;       // how far a name may stand from its arc
constexpr double kLineGap = 1.0;     // between neighbouring names
constexpr double kLeaderOut = 5.0;   // the leader's first, radial piece
constexpr double kBoundsMargin = 6.0;

MapPointF polar(double angle, double radius)
{
    return {kMapCircleCentre.x + radius * std::cos(angle), kMapCircleCentre.y + radius * std::sin(angle)};
}

}  // namespace

RingLayout ringLabels(const FeatureList& features, double radiansPerBase, const LabelMetrics& metrics,
                      double arcOuter)
{
    RingLayout layout;
    layout.radius = kNearestRing;
    const double height = metrics.ascent + metrics.descent;
    const double square = kNearestRing + kBoundsMargin;
    layout.bounds = {kMapCircleCentre.x - square, kMapCircleCentre.y - square, kMapCircleCentre.x + square,
                     kMapCircleCentre.y + square};
    if (features.size() < 2 || radiansPerBase == 0.0 || height <= 0.0) {
        return layout;
    }
    const std::vector<MapName> names = namesOnce(features);
    const auto wanted = static_cast<double>(
        std::count_if(names.begin(), names.end(), [](const MapName& name) { return !name.tag; }));
    int places = 0;
    for (int step = 0; step <= kRingSteps; ++step) {
        layout.radius = kNearestRing + step * kRingStep;
        places = static_cast<int>(std::floor(kTurn * layout.radius / (height + kLineGap)));
        if (places >= wanted * kRoomFactor) {
            break;
        }
    }

    const std::int32_t sequenceEnd = features.front().end;
    std::vector<double> thetas;
    std::vector<double> ideals;
    for (const MapName& name : names) {
        const double turn = middleOf(features[name.feature], sequenceEnd) * radiansPerBase;
        thetas.push_back(turn + kMapStartAngle);
        ideals.push_back(std::fmod(turn / kTurn * places, static_cast<double>(places)));
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return rankOf(features, names[a]).before(rankOf(features, names[b]));
    });
    const std::vector<int> slots =
        assignSlots(ideals, order, {places, kPlacesAway, true}, [](std::size_t, int) { return true; });

    double farthest = layout.radius;
    const double half = height / 2.0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (slots[i] < 0) {
            continue;
        }
        RingLabel label;
        label.feature = names[i].feature;
        label.name = names[i].name;
        label.color = names[i].color;
        label.width = metrics.width ? metrics.width(label.name) : 0;
        label.angle = kMapStartAngle + kTurn * slots[i] / places;
        label.turned = std::cos(label.angle) < 0.0;
        const double anchor = arcOuter + 1.0;
        label.leader = {polar(thetas[i], anchor), polar(thetas[i], anchor + kLeaderOut),
                        polar(label.angle, layout.radius - kLeaderOut),
                        polar(label.angle, layout.radius - 2.0)};
        const double c = std::cos(label.angle);
        const double s = std::sin(label.angle);
        const double inner = layout.radius;
        const double outer = layout.radius + label.width;
        const MapPointF across{-s * half, c * half};
        const MapPointF from = polar(label.angle, inner);
        const MapPointF to = polar(label.angle, outer);
        label.box = {MapPointF{from.x - across.x, from.y - across.y},
                     MapPointF{to.x - across.x, to.y - across.y}, MapPointF{to.x + across.x, to.y + across.y},
                     MapPointF{from.x + across.x, from.y + across.y}};
        farthest = std::max(farthest, std::hypot(outer, half));
        layout.labels.push_back(std::move(label));
    }
    const double reach = farthest + kBoundsMargin;
    layout.bounds = {kMapCircleCentre.x - reach, kMapCircleCentre.y - reach, kMapCircleCentre.x + reach,
                     kMapCircleCentre.y + reach};
    return layout;
}

}  // namespace tessaron
