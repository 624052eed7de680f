#include "mapgeometry/plastomering.h"

#include "mapgeometry/diagramgeometry.h"
#include "mapgeometry/junctionfigure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tessaron {

namespace {

constexpr double kRingTextGap = 4.0;  // pixels kept between two texts along the circle

// The smaller angle between two directions.
double ringApart(double a, double b)
{
    const double twoPi = 2.0 * std::numbers::pi;
    const double d = std::fmod(std::abs(a - b), twoPi);
    return std::min(d, twoPi - d);
}

}  // namespace

std::vector<PlastomeRingText> plastomeRingTexts(const PlastomeStructure& structure, double perBase,
                                                const LabelMetrics& metrics)
{
    std::vector<PlastomeRingText> placed;
    if (!structure.found || perBase <= 0.0) {
        return placed;
    }
    std::array<PlastomePart, 4> order{PlastomePart::Lsc, PlastomePart::IrB, PlastomePart::Ssc,
                                      PlastomePart::IrA};
    std::stable_sort(order.begin(), order.end(), [&](PlastomePart a, PlastomePart b) {
        return structure.region(a).length > structure.region(b).length;
    });
    const double gap = kRingTextGap / kPlastomeTextRadius;
    for (const PlastomePart part : order) {
        const PlastomeRegion& region = structure.region(part);
        if (region.length == 0) {
            continue;
        }
        const double middle = static_cast<double>(region.start) + static_cast<double>(region.length) / 2.0;
        const double angle = middle * perBase + kMapStartAngle;
        const std::string name(partName(part));
        for (const std::string& text : {name + " " + basePairText(region.length), name}) {
            const double extent = metrics.width(text) / kPlastomeTextRadius;
            const bool clear = std::none_of(placed.begin(), placed.end(), [&](const PlastomeRingText& other) {
                return ringApart(other.angle, angle) < (other.extent + extent) / 2.0 + gap;
            });
            if (clear) {
                placed.push_back({part, text, angle, extent});
                break;
            }
        }
    }
    return placed;
}

}  // namespace tessaron
