#include "mapgeometry/mapscene.h"

#include "engine/repeatkinds.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace tessaron {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kCurveSteps = 32;
// How far from a drawn mark the mouse may be and still be on it, in pixels.
constexpr double kTrackInner = kTrackRadius - 5.0;
constexpr double kTrackOuter = kTrackRadius + 6.0;
constexpr double kDotReach = kDotHalfSize + 1.5;
constexpr double kChordReach = 3.0;

double angleOf(double perBase, double position)
{
    return position * perBase + kMapStartAngle;
}

MapPointF onCircle(double theta, double radius)
{
    return {kMapCircleCentre.x + radius * std::cos(theta), kMapCircleCentre.y + radius * std::sin(theta)};
}

double distance(MapPointF a, MapPointF b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The base position (fractional, in [0, sequenceEnd + 1)) in the direction of `point`.
double positionAt(double perBase, MapPointF point)
{
    double turn = std::atan2(point.y - kMapCircleCentre.y, point.x - kMapCircleCentre.x) - kMapStartAngle;
    turn = std::fmod(turn, kTwoPi);
    if (turn < 0.0) {
        turn += kTwoPi;
    }
    return turn / perBase;
}

// Whether `position` lies in the circular stretch first .. last (inclusive),
// widened by `slack` bases at either end; `turnLength` is the bases of a turn.
bool within(double position, double first, double last, double slack, double turnLength)
{
    const double from = first - slack;
    const double to = last + 1.0 + slack;
    if (first <= last) {
        return (position >= from && position <= to) || position + turnLength <= to ||
               position - turnLength >= from;
    }
    return position >= from || position <= to;
}

double distanceToSegment(MapPointF point, MapPointF a, MapPointF b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double squared = dx * dx + dy * dy;
    const double t =
        squared == 0.0 ? 0.0 : std::clamp(((point.x - a.x) * dx + (point.y - a.y) * dy) / squared, 0.0, 1.0);
    return distance(point, {a.x + t * dx, a.y + t * dy});
}

MapPointF toF(MapPoint point)
{
    return {static_cast<double>(point.x), static_cast<double>(point.y)};
}

// A quadratic curve from `from` to `to` bent toward the centre, without its two ends.
void appendCurve(std::vector<MapPointF>& points, MapPointF from, MapPointF to)
{
    for (int step = 1; step < kCurveSteps; ++step) {
        const double t = static_cast<double>(step) / kCurveSteps;
        const double a = (1.0 - t) * (1.0 - t);
        const double b = 2.0 * (1.0 - t) * t;
        const double c = t * t;
        points.push_back(
            {a * from.x + b * kMapCircleCentre.x + c * to.x, a * from.y + b * kMapCircleCentre.y + c * to.y});
    }
}

// The radial line from `inner` to `outer` through the middle of a stretch's letters.
MapTick tickThrough(double perBase, const MapStretch& stretch, double inner, double outer)
{
    const double angle = angleOf(perBase, stretch.start) + perBase * stretch.length / 2.0;
    return {onCircle(angle, inner), onCircle(angle, outer)};
}

std::vector<MapTick> ticksThrough(double perBase, std::span<const MapStretch> stretches, double inner,
                                  double outer)
{
    std::vector<MapTick> ticks;
    ticks.reserve(stretches.size());
    for (const MapStretch& stretch : stretches) {
        ticks.push_back(tickThrough(perBase, stretch, inner, outer));
    }
    return ticks;
}

}  // namespace

std::optional<std::string> sourceLengthWarning(const FeatureList& features, std::int64_t basesRead)
{
    if (features.empty() || basesRead <= 0) {
        return std::nullopt;
    }
    const Feature& whole = features.front();
    const std::int64_t stated = static_cast<std::int64_t>(whole.end) + 1;
    if (whole.start == 0 && stated == basesRead) {
        return std::nullopt;
    }
    return "The source feature gives " + std::to_string(whole.start + 1) + ".." + std::to_string(stated) +
           " but " + std::to_string(basesRead) +
           " bases were read: the map follows the bases read and clips the features.";
}

FeatureList clipFeatures(const FeatureList& features, std::int32_t sequenceEnd)
{
    FeatureList clipped;
    if (features.empty()) {
        return clipped;
    }
    clipped.reserve(features.size());
    clipped.push_back(features.front());
    clipped.front().start = 0;
    clipped.front().end = sequenceEnd;
    // A stretch with nothing past the end, or nothing when none of it was read.
    const auto clip = [sequenceEnd](std::int32_t& start, std::int32_t& end) {
        if (start < 0 || end < 0) {
            return false;
        }
        if (start > sequenceEnd) {
            if (end >= start || end > sequenceEnd) {
                return false;  // nothing of it was read
            }
            start = 0;  // across the origin: the part from 0 remains
        }
        end = std::min(end, sequenceEnd);
        return true;
    };
    for (std::size_t i = 1; i < features.size(); ++i) {
        Feature feature = features[i];
        if (!clip(feature.start, feature.end)) {
            continue;
        }
        std::erase_if(feature.parts, [&clip](FeaturePart& part) { return !clip(part.start, part.end); });
        clipped.push_back(std::move(feature));
    }
    return clipped;
}

bool drawnAsBand(double radiansPerBase, std::int32_t length)
{
    return static_cast<double>(length) * radiansPerBase * kScaleRadius >= kBandMinPixels;
}

std::vector<MapPointF> copyArc(double radiansPerBase, std::int32_t start, std::int32_t length, double radius)
{
    const double from = angleOf(radiansPerBase, start);
    const double span = std::min(static_cast<double>(length) * radiansPerBase, kTwoPi);
    const int steps = std::max(2, static_cast<int>(std::ceil(span / kTwoPi * 360.0)));
    std::vector<MapPointF> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int step = 0; step <= steps; ++step) {
        points.push_back(onCircle(from + span * step / steps, radius));
    }
    return points;
}

std::vector<MapPointF> bandOutline(double radiansPerBase, const RepeatPair& pair, std::int32_t length)
{
    std::vector<MapPointF> outline = copyArc(radiansPerBase, pair.first, length, kBandRadius);
    const std::vector<MapPointF> second = copyArc(radiansPerBase, pair.second, length, kBandRadius);
    // first's end to second's start and second's end back to first's start
    // join neighbours around the circle, so the two curves never cross.
    appendCurve(outline, outline.back(), second.front());
    const MapPointF firstStart = outline.front();
    outline.insert(outline.end(), second.begin(), second.end());
    appendCurve(outline, second.back(), firstStart);
    return outline;
}

std::vector<MapTick> microsatelliteTicks(double radiansPerBase, std::span<const MapStretch> stretches)
{
    return ticksThrough(radiansPerBase, stretches, kMicrosatelliteInner, kMicrosatelliteOuter);
}

std::vector<MapTick> tandemTicks(double radiansPerBase, std::span<const MapStretch> stretches)
{
    return ticksThrough(radiansPerBase, stretches, kTandemInner, kTandemOuter);
}

MapTick selectedTandemTick(double radiansPerBase, const MapStretch& stretch)
{
    return tickThrough(radiansPerBase, stretch, kTandemInner - kTandemReach, kTandemOuter + kTandemReach);
}

bool insideOutline(std::span<const MapPointF> outline, MapPointF point)
{
    bool inside = false;
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const MapPointF a = outline[i];
        const MapPointF b = outline[j];
        if ((a.y > point.y) != (b.y > point.y) &&
            point.x < (b.x - a.x) * (point.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

MapScene::MapScene(const FeatureList& features, std::int64_t basesRead)
{
    const std::int64_t end = basesRead > 0 ? basesRead - 1 : mapSequenceEnd(features);
    sequenceEnd_ = static_cast<std::int32_t>(std::min<std::int64_t>(end, INT32_MAX));
    perBase_ = sequenceEnd_ == 0 ? 0.0 : kMapFullTurn / static_cast<double>(sequenceEnd_);
    features_ = basesRead > 0 ? clipFeatures(features, sequenceEnd_) : features;
    warning_ = sourceLengthWarning(features, basesRead).value_or(std::string());
}

void MapScene::setRepeat(const Repeat* repeat, std::span<const RepeatPair> pairs)
{
    if (repeat != nullptr) {
        repeat_ = *repeat;
        pairs_.assign(pairs.begin(), pairs.end());
    } else {
        repeat_.reset();
        pairs_.clear();
    }
}

std::optional<std::size_t> MapScene::featureAt(MapPointF point) const
{
    const double radius = distance(point, kMapCircleCentre);
    if (perBase_ == 0.0 || radius < kTrackInner || radius > kTrackOuter) {
        return std::nullopt;
    }
    const double position = positionAt(perBase_, point);
    const double slack = 2.0 / (kTrackRadius * perBase_);
    const double turn = kMapFullTurn / perBase_;
    for (std::size_t i = features_.size(); i-- > 1;) {
        for (const FeaturePart& stretch : drawnStretches(features_[i])) {
            const bool whole = featureArc(perBase_, stretch.start, stretch.end).spanDegrees >= 360.0;
            if (whole || within(position, stretch.start, stretch.end, slack, turn)) {
                return i;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> MapScene::pairAt(MapPointF point) const
{
    if (!repeat_ || perBase_ == 0.0) {
        return std::nullopt;
    }
    const std::int32_t length = repeat_->length;
    const bool band = drawnAsBand(perBase_, length);
    const double radius = distance(point, kMapCircleCentre);
    const double position = positionAt(perBase_, point);
    const double turn = kMapFullTurn / perBase_;
    for (std::size_t i = pairs_.size(); i-- > 0;) {
        const RepeatPair& pair = pairs_[i];
        if (band) {
            const bool onArcs = radius >= kScaleRadius - kCopyArcWidth &&
                                radius <= kScaleRadius + kCopyArcWidth &&
                                (within(position, pair.first, pair.first + length - 1, 0.0, turn) ||
                                 within(position, pair.second, pair.second + length - 1, 0.0, turn));
            if (onArcs || insideOutline(bandOutline(perBase_, pair, length), point)) {
                return i;
            }
            continue;
        }
        const MapPointF first = toF(mapPoint(perBase_, pair.first, kScaleRadius, 0));
        const MapPointF second = toF(mapPoint(perBase_, pair.second, kScaleRadius, 0));
        if (distance(point, first) <= kDotReach || distance(point, second) <= kDotReach ||
            distanceToSegment(point, first, second) <= kChordReach) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> MapScene::tandemArrayAt(MapPointF point) const
{
    if (!layers_.tandem || tandemArrays_.empty() || perBase_ == 0.0) {
        return std::nullopt;
    }
    // The nearest tick within reach, the selected array's longer one among them.
    std::optional<std::size_t> nearest;
    double nearestDistance = kChordReach;
    std::vector<MapTick> ticks = tandemTicks(perBase_, tandemArrays_);
    if (selectedTandem_) {
        ticks[*selectedTandem_] = selectedTandemTick(perBase_, tandemArrays_[*selectedTandem_]);
    }
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double away = distanceToSegment(point, ticks[i].inner, ticks[i].outer);
        if (away <= nearestDistance) {
            nearest = i;
            nearestDistance = away;
        }
    }
    if (nearest || !selectedTandem_) {
        return nearest;
    }
    // Else the selected array's arc over its letters.
    const MapStretch& stretch = tandemArrays_[*selectedTandem_];
    const double middle = (kTandemInner + kTandemOuter) / 2.0;
    const bool onArc = std::abs(distance(point, kMapCircleCentre) - middle) <= kChordReach &&
                       within(positionAt(perBase_, point), stretch.start,
                              stretch.start + stretch.length - 1.0, 0.0, kMapFullTurn / perBase_);
    return onArc ? selectedTandem_ : std::nullopt;
}

namespace {

// mapLayerNames() in order, each with the switch it names.
constexpr std::array<std::string_view, 12> kLayerNames{
    "genes",         "exact",           "approximate", "direct", "inverted", "mirror",
    "complementary", "microsatellites", "tandem",      "gc",     "legend",   "plastome"};

bool* layerSwitch(MapLayers& layers, std::size_t index)
{
    switch (index) {
        case 0:
            return &layers.genes;
        case 1:
            return &layers.exact;
        case 2:
            return &layers.approximate;
        case 3:
        case 4:
        case 5:
        case 6:
            return &layers.kinds[static_cast<std::size_t>(kindNamed(kLayerNames[index]).value())];
        case 7:
            return &layers.microsatellites;
        case 8:
            return &layers.tandem;
        case 9:
            return &layers.gcRings;
        case 10:
            return &layers.legend;
        default:
            return &layers.plastome;
    }
}

}  // namespace

std::span<const std::string_view> mapLayerNames()
{
    return kLayerNames;
}

bool layerShown(const MapLayers& layers, std::string_view name)
{
    MapLayers copy = layers;
    const auto* found = std::find(kLayerNames.begin(), kLayerNames.end(), name);
    return found != kLayerNames.end() &&
           *layerSwitch(copy, static_cast<std::size_t>(found - kLayerNames.begin()));
}

void showLayer(MapLayers& layers, std::string_view name, bool shown)
{
    const auto* found = std::find(kLayerNames.begin(), kLayerNames.end(), name);
    if (found != kLayerNames.end()) {
        *layerSwitch(layers, static_cast<std::size_t>(found - kLayerNames.begin())) = shown;
    }
}

std::string hiddenLayerNames(const MapLayers& layers)
{
    MapLayers copy = layers;
    std::string names;
    for (std::size_t i = 0; i < kLayerNames.size(); ++i) {
        if (!*layerSwitch(copy, i)) {
            names += names.empty() ? "" : ",";
            names += kLayerNames[i];
        }
    }
    return names;
}

std::optional<MapLayers> layersHiding(std::string_view names, std::string* unknown)
{
    MapLayers layers;
    while (!names.empty()) {
        const std::size_t comma = names.find(',');
        const std::string_view name = names.substr(0, comma);
        names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
        if (name.empty()) {
            continue;
        }
        const auto* found = std::find(kLayerNames.begin(), kLayerNames.end(), name);
        if (found == kLayerNames.end()) {
            if (unknown != nullptr) {
                *unknown = std::string(name);
            }
            return std::nullopt;
        }
        *layerSwitch(layers, static_cast<std::size_t>(found - kLayerNames.begin())) = false;
    }
    return layers;
}

std::vector<MapBand> MapScene::shownBands() const
{
    std::vector<MapBand> shown;
    if (layers_.approximate) {
        std::copy_if(bands_.begin(), bands_.end(), std::back_inserter(shown),
                     [this](const MapBand& band) { return layers_.showsKind(band.kind); });
    }
    return shown;
}

bool MapScene::showsRepeat() const
{
    return repeat_.has_value() && layers_.exact && (!repeatKind_ || layers_.showsKind(*repeatKind_));
}

}  // namespace tessaron
