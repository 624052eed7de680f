#include "mapgeometry/diagramgeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tessaron {

namespace {

constexpr int kScaleStep = 1000;
// More marks than this crowd the circle: a longer genome gets one every
// 2,000 bases, 5,000, 10,000 and so on.
constexpr std::int64_t kMaxScaleMarks = 16;
constexpr int kScaleTextDrop = 10;
constexpr int kSideLabelTop = 100;
constexpr int kSideLabelBottom = 360;
constexpr int kLabelStagger = 30;
constexpr int kSideLabelExtra = 26;
constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

// The direction of a pixel from the centre, counterclockwise on screen from
// pointing right, in [0, 360).
double screenDegrees(MapPoint point)
{
    const double dx = point.x - kMapCentreX;
    const double dy = kMapCentreY - point.y;
    if (dx == 0.0 && dy == 0.0) {
        return 0.0;
    }
    double degrees = std::atan2(dy, dx) * kDegreesPerRadian;
    if (degrees < 0.0) {
        degrees += 360.0;
    }
    return degrees;
}

}  // namespace

std::int32_t mapSequenceEnd(const FeatureList& features)
{
    return features.empty() ? 0 : features.front().end;
}

double radiansPerBase(const FeatureList& features)
{
    const std::int32_t end = mapSequenceEnd(features);
    return end == 0 ? 0.0 : kMapFullTurn / static_cast<double>(end);
}

MapPoint mapPoint(double radiansPerBase, std::int32_t position, int radius, int extra)
{
    const double theta = static_cast<double>(position) * radiansPerBase + kMapStartAngle;
    const double rho = static_cast<double>(radius) + static_cast<double>(extra);
    // Truncation toward zero, as an integer conversion does.
    return {static_cast<int>(rho * std::cos(theta) + static_cast<double>(kMapCentreX)) + 1,
            static_cast<int>(rho * std::sin(theta) + static_cast<double>(kMapCentreY)) + 1};
}

std::vector<ScaleMark> scaleMarks(double radiansPerBase, std::int32_t sequenceEnd)
{
    std::vector<ScaleMark> marks;
    const MapPoint origin = mapPoint(radiansPerBase, 0, kScaleRadius, 0);
    marks.push_back({origin, {origin.x, origin.y + kScaleTextDrop}, false, "1"});
    const std::int64_t step = scaleStep(sequenceEnd, kScaleStep, kMaxScaleMarks);
    for (std::int64_t position = step; position < sequenceEnd; position += step) {
        // A last mark within a quarter step of the end would stand over the "1".
        if (step > kScaleStep && (sequenceEnd - position) * 4 < step) {
            break;
        }
        const MapPoint tick = mapPoint(radiansPerBase, static_cast<std::int32_t>(position), kScaleRadius, 0);
        MapPoint text = tick;
        if (tick.y < kMapCentreY) {
            text.y += kScaleTextDrop;
        }
        marks.push_back({tick, text, tick.x > kMapCentreX, scaleLabel(position)});
    }
    return marks;
}

std::int64_t scaleStep(std::int64_t sequenceEnd, std::int64_t smallest, std::int64_t most)
{
    constexpr std::array<std::int64_t, 3> kMantissas{1, 2, 5};
    for (std::int64_t power = 1;; power *= 10) {
        for (const std::int64_t mantissa : kMantissas) {
            const std::int64_t step = mantissa * power;
            if (step >= smallest && (sequenceEnd - 1) / step <= most) {
                return step;
            }
        }
    }
}

std::string scaleLabel(std::int64_t position, ScaleUnits units)
{
    const bool paper = units == ScaleUnits::Paper;
    std::int64_t unit = 1;
    const char* suffix = paper ? " bp" : "";
    if (position >= 1'000'000 && position % 100'000 == 0) {
        unit = 1'000'000;
        suffix = paper ? " Mb" : "M";
    } else if (position >= 1000 && position % 100 == 0) {
        unit = 1000;
        suffix = paper ? " kb" : "K";
    }
    std::string text = std::to_string(position / unit);
    // At most one decimal: the steps are 1, 2 or 5 times a power of ten.
    if (const std::int64_t tenths = position % unit * 10 / unit; tenths != 0) {
        text += '.';
        text += std::to_string(tenths);
    }
    return text + suffix;
}

ArcSpan trackArc(MapPoint start, MapPoint end)
{
    const double from = screenDegrees(end);
    double span = screenDegrees(start) - from;
    if (span <= 0.0) {
        span += 360.0;
    }
    return {from, span};
}

ArcSpan featureArc(double radiansPerBase, std::int32_t start, std::int32_t end)
{
    const ArcSpan drawn = trackArc(mapPoint(radiansPerBase, start, kTrackRadius, 0),
                                   mapPoint(radiansPerBase, end, kTrackRadius, 0));
    if (radiansPerBase == 0.0) {
        return drawn;
    }
    double span = (static_cast<double>(end) - start) * radiansPerBase * kDegreesPerRadian;
    if (span < 0.0) {
        span += 360.0;
    }
    if (std::abs(drawn.spanDegrees - span) <= 180.0) {
        return drawn;
    }
    // Screen angles grow clockwise from the top; the arc's degrees turn the
    // other way from pointing right.
    const double endAngle = static_cast<double>(end) * radiansPerBase + kMapStartAngle;
    double from = std::fmod(-endAngle * kDegreesPerRadian, 360.0);
    if (from < 0.0) {
        from += 360.0;
    }
    return {from, std::clamp(span, kShortestArcDegrees, 360.0)};
}

std::vector<FeaturePart> drawnStretches(const Feature& feature)
{
    if (feature.parts.empty()) {
        return {{feature.start, feature.end}};
    }
    return feature.parts;
}

std::vector<FeatureMark> featureMarks(const FeatureList& features, double radiansPerBase)
{
    std::vector<FeatureMark> marks;
    int d = 0;
    int f = kLabelStagger;
    for (std::size_t i = 1; i < features.size(); ++i) {
        const Feature& feature = features[i];
        FeatureMark mark;
        mark.feature = i;
        mark.start = mapPoint(radiansPerBase, feature.start, kTrackRadius, 0);
        mark.end = mapPoint(radiansPerBase, feature.end, kTrackRadius, 0);
        for (const FeaturePart& stretch : drawnStretches(feature)) {
            mark.arcs.push_back(featureArc(radiansPerBase, stretch.start, stretch.end));
        }
        int extra = d;
        if (mark.start.y > kSideLabelTop && mark.start.y < kSideLabelBottom) {
            extra = d != 0 ? d + kSideLabelExtra : 0;
        }
        d += f;
        f = -f;
        mark.label = mapPoint(radiansPerBase, feature.start, kLabelRadius, extra);
        mark.alignRight = mark.label.x < kMapCentreX;
        marks.push_back(mark);
    }
    return marks;
}

const std::vector<LegendRow>& legendRows()
{
    static const std::vector<LegendRow> rows{
        {kColorTrnaDirect, 5, 5, 15, 10, "tRNA + strand", {17, 10}},
        {kColorTrnaComplement, 5, 15, 15, 20, "tRNA - strand", {17, 20}},
        {kColorGeneDirect, 5, 25, 15, 30, "gene + strand", {17, 30}},
        {kColorGeneComplement, 5, 35, 15, 40, "gene - strand", {17, 40}},
    };
    return rows;
}

DotBox dotBox(MapPoint centre)
{
    return {centre.x - kDotHalfSize, centre.y - kDotHalfSize, centre.x + kDotHalfSize,
            centre.y + kDotHalfSize};
}

}  // namespace tessaron
