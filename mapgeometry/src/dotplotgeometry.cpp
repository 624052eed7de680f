#include "mapgeometry/dotplotgeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace tessaron {

namespace {

bool runsAlongDiagonal(RepeatKind kind)
{
    return kind == RepeatKind::Direct || kind == RepeatKind::Complementary;
}

// Cuts the line from (x0, y0) by `length` - 1 steps of (dx, dy) (dx 0 or 1,
// dy -1, 0 or +1), in unwrapped bases, where either coordinate crosses a
// multiple of n, and adds the pieces folded into 0 .. n-1.
struct Step {
    std::int64_t dx = 1;
    std::int64_t dy = 1;
};

void addPieces(std::vector<DotPlotSegment>& out, std::int64_t n, std::int64_t x0, std::int64_t y0,
               std::int64_t length, Step step, RepeatKind kind, std::size_t pair, bool swapped)
{
    std::int64_t k = 0;
    while (k < length) {
        const std::int64_t x = x0 + step.dx * k;
        const std::int64_t y = y0 + step.dy * k;
        const std::int64_t fx = ((x % n) + n) % n;
        const std::int64_t fy = ((y % n) + n) % n;
        // Steps left before x reaches n, or y leaves 0 .. n-1.
        std::int64_t steps = length - 1 - k;
        if (step.dx > 0) {
            steps = std::min(steps, n - 1 - fx);
        }
        if (step.dy != 0) {
            steps = std::min(steps, step.dy > 0 ? n - 1 - fy : fy);
        }
        PlotPoint from{static_cast<double>(fx), static_cast<double>(fy)};
        PlotPoint to{static_cast<double>(fx + step.dx * steps), static_cast<double>(fy + step.dy * steps)};
        if (swapped) {
            std::swap(from.x, from.y);
            std::swap(to.x, to.y);
        }
        out.push_back({from, to, kind, pair});
        k += steps + 1;
    }
}

// The runs of a CIGAR ("12=1X3I"), in order; a malformed tail is left out.
struct CigarRun {
    std::int64_t count = 0;
    char op = '=';
};

std::vector<CigarRun> cigarRuns(const std::string& cigar)
{
    std::vector<CigarRun> runs;
    std::int64_t count = 0;
    for (const char c : cigar) {
        if (c >= '0' && c <= '9') {
            count = count * 10 + (c - '0');
        } else {
            runs.push_back({count, c});
            count = 0;
        }
    }
    return runs;
}

// The path of one gapped pair, as addPieces' pieces: lined-up runs together
// as one piece each, gap runs beside the letter pair before them.
void addPath(std::vector<DotPlotSegment>& out, std::int64_t n, const GappedPair& pair, RepeatKind kind,
             std::size_t index, bool swapped)
{
    const std::int64_t dy = runsAlongDiagonal(kind) ? 1 : -1;
    // The next letter pair the path reaches, unwrapped.
    std::int64_t x = pair.first;
    std::int64_t y = dy > 0 ? pair.second : pair.second + pair.secondLength - 1;
    const std::vector<CigarRun> runs = cigarRuns(pair.cigar);
    std::size_t r = 0;
    while (r < runs.size()) {
        if (runs[r].op == 'I') {
            addPieces(out, n, x - 1, y, runs[r].count, {0, dy}, kind, index, swapped);
            y += dy * runs[r].count;
            ++r;
        } else if (runs[r].op == 'D') {
            addPieces(out, n, x, y - dy, runs[r].count, {1, 0}, kind, index, swapped);
            x += runs[r].count;
            ++r;
        } else {
            std::int64_t lined = 0;
            while (r < runs.size() && runs[r].op != 'I' && runs[r].op != 'D') {
                lined += runs[r++].count;
            }
            addPieces(out, n, x, y, lined, {1, dy}, kind, index, swapped);
            x += lined;
            y += dy * lined;
        }
    }
}

double distanceToSegment(PlotPoint p, PlotPoint a, PlotPoint b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double squared = dx * dx + dy * dy;
    double t = squared > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / squared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

std::vector<DotPlotSegment> dotPlotSegments(std::int64_t genomeLength,
                                            std::span<const ApproximateResult> results)
{
    std::vector<DotPlotSegment> segments;
    if (genomeLength <= 0) {
        return segments;
    }
    for (const ApproximateResult& result : results) {
        const bool diagonal = runsAlongDiagonal(result.kind);
        for (std::size_t index = 0; index < result.pairs.size(); ++index) {
            const ApproximatePair& pair = result.pairs[index];
            const std::int64_t length = std::min(pair.length, genomeLength);
            for (const bool swapped : {false, true}) {
                if (diagonal) {
                    addPieces(segments, genomeLength, pair.first, pair.second, length, {1, 1}, result.kind,
                              index, swapped);
                } else {
                    addPieces(segments, genomeLength, pair.first, pair.second + length - 1, length, {1, -1},
                              result.kind, index, swapped);
                }
            }
        }
    }
    return segments;
}

std::vector<DotPlotSegment> dotPlotSegments(std::int64_t genomeLength, std::span<const GappedResult> results)
{
    std::vector<DotPlotSegment> segments;
    if (genomeLength <= 0) {
        return segments;
    }
    for (const GappedResult& result : results) {
        for (std::size_t index = 0; index < result.pairs.size(); ++index) {
            for (const bool swapped : {false, true}) {
                addPath(segments, genomeLength, result.pairs[index], result.kind, index, swapped);
            }
        }
    }
    return segments;
}

DotPlotView::DotPlotView(std::int64_t genomeLength) : length_(std::max<std::int64_t>(genomeLength, 0))
{
    reset();
}

void DotPlotView::reset()
{
    left_ = 0.0;
    top_ = 0.0;
    span_ = std::max(static_cast<double>(length_), 1.0);
}

PlotPoint DotPlotView::toPixels(PlotPoint bases, double size) const
{
    return {(bases.x - left_) / span_ * size, (bases.y - top_) / span_ * size};
}

PlotPoint DotPlotView::toBases(PlotPoint pixels, double size) const
{
    const double scale = size > 0.0 ? span_ / size : 0.0;
    return {left_ + pixels.x * scale, top_ + pixels.y * scale};
}

void DotPlotView::zoomAt(PlotPoint pixel, double factor, double size)
{
    if (!(factor > 0.0) || !(size > 0.0)) {
        return;
    }
    const PlotPoint held = toBases(pixel, size);
    const double whole = std::max(static_cast<double>(length_), 1.0);
    span_ = std::clamp(span_ / factor, std::min(kSmallestSpan, whole), whole);
    left_ = held.x - pixel.x / size * span_;
    top_ = held.y - pixel.y / size * span_;
    clamp();
}

void DotPlotView::pan(double dx, double dy, double size)
{
    if (!(size > 0.0)) {
        return;
    }
    left_ -= dx / size * span_;
    top_ -= dy / size * span_;
    clamp();
}

void DotPlotView::clamp()
{
    const double room = std::max(static_cast<double>(length_) - span_, 0.0);
    left_ = std::clamp(left_, 0.0, room);
    top_ = std::clamp(top_, 0.0, room);
}

std::optional<std::size_t> segmentAt(std::span<const DotPlotSegment> segments, const DotPlotView& view,
                                     double size, PlotPoint pixel, double tolerance)
{
    std::optional<std::size_t> nearest;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < segments.size(); ++i) {
        // The segment covers its letters' cells: its ends reach half a base further.
        const PlotPoint a = view.toPixels({segments[i].from.x + 0.5, segments[i].from.y + 0.5}, size);
        const PlotPoint b = view.toPixels({segments[i].to.x + 0.5, segments[i].to.y + 0.5}, size);
        const double distance = distanceToSegment(pixel, a, b);
        if (distance <= tolerance && distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

std::uint32_t identityColor(double identity)
{
    struct Stop {
        double identity;
        std::uint32_t rgb;
    };
    static constexpr std::array<Stop, 4> kStops{
        {{80.0, 0x67A9CF}, {90.0, 0xE8C547}, {95.0, 0xEF8A32}, {100.0, 0xB2182B}}};
    if (!(identity > kStops.front().identity)) {
        return kStops.front().rgb;
    }
    for (std::size_t i = 1; i < kStops.size(); ++i) {
        if (identity <= kStops[i].identity) {
            const double t =
                (identity - kStops[i - 1].identity) / (kStops[i].identity - kStops[i - 1].identity);
            std::uint32_t mixed = 0;
            for (const int shift : {16, 8, 0}) {
                const double a = static_cast<double>((kStops[i - 1].rgb >> shift) & 0xFFU);
                const double b = static_cast<double>((kStops[i].rgb >> shift) & 0xFFU);
                mixed |= static_cast<std::uint32_t>(std::lround(a + (b - a) * t)) << shift;
            }
            return mixed;
        }
    }
    return kStops.back().rgb;
}

}  // namespace tessaron
