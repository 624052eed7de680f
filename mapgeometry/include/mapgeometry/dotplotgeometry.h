#pragma once

// The dot plot of a genome against itself, in plain numbers: the
// approximate pairs as line segments of the genome x genome square (bases
// along both axes, the first base at the top left), the part of the square a
// view shows, and which segment lies under a point.
//
// A pair (p, q, L) lines up p + k with q + k (direct, complementary: a
// diagonal) or with q + L - 1 - k (inverted, mirror: an anti-diagonal). The
// plot is symmetric: each pair is drawn above the main diagonal (x = p) and
// below it (x = q). A copy that runs over the end of the circular sequence
// goes on at its start, so its segment is cut there into pieces.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/repeatlist.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tessaron {

struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// One straight piece of a pair, in bases: from the letter pair at `from` to
// the one at `to` (ends included, so a pair of length 1 is a point).
struct DotPlotSegment {
    PlotPoint from;
    PlotPoint to;
    RepeatKind kind = RepeatKind::Direct;
    std::size_t pair = 0;  // its index among the pairs of its kind
    friend bool operator==(const DotPlotSegment&, const DotPlotSegment&) = default;
};

// The segments of every pair of the results, kind after kind, pair after
// pair; each pair gives two mirror images, cut at the origin.
[[nodiscard]] std::vector<DotPlotSegment> dotPlotSegments(std::int64_t genomeLength,
                                                          std::span<const ApproximateResult> results);

// The same for gapped pairs, each drawn as its alignment path: the runs of
// lined-up letters as diagonal (anti-diagonal) pieces, a run of first-copy
// letters facing none of the second (D in the CIGAR) as a horizontal piece
// beside the letter pair before it, one of second-copy letters (I) as a
// vertical one. The inverted and mirror pairs read their second copy from
// its end, as alignedColumns does.
[[nodiscard]] std::vector<DotPlotSegment> dotPlotSegments(std::int64_t genomeLength,
                                                          std::span<const GappedResult> results);

// The square of bases a view shows on a square canvas of `size` pixels,
// zoomed and panned; never larger than the genome nor smaller than a few
// bases, and always inside it.
class DotPlotView {
public:
    static constexpr double kSmallestSpan = 20.0;

    explicit DotPlotView(std::int64_t genomeLength = 0);

    [[nodiscard]] double left() const { return left_; }
    [[nodiscard]] double top() const { return top_; }
    [[nodiscard]] double span() const { return span_; }
    [[nodiscard]] std::int64_t genomeLength() const { return length_; }

    [[nodiscard]] PlotPoint toPixels(PlotPoint bases, double size) const;
    [[nodiscard]] PlotPoint toBases(PlotPoint pixels, double size) const;
    // Zooms by `factor` (above 1 closer), keeping the bases under `pixel` there.
    void zoomAt(PlotPoint pixel, double factor, double size);
    // Moves the shown square by a drag of so many pixels.
    void pan(double dx, double dy, double size);
    // The whole genome again.
    void reset();

private:
    void clamp();

    std::int64_t length_ = 0;
    double left_ = 0.0;
    double top_ = 0.0;
    double span_ = 1.0;
};

// The segment drawn nearest to `pixel` and at most `tolerance` pixels from
// it, as an index into `segments`; none when nothing is that close.
[[nodiscard]] std::optional<std::size_t> segmentAt(std::span<const DotPlotSegment> segments,
                                                   const DotPlotView& view, double size, PlotPoint pixel,
                                                   double tolerance);

// The colour (0xRRGGBB) of a pair of `identity` percent on the map and in
// legends: pale blue up to 80, then through yellow (90) and orange (95) to
// dark red (100).
[[nodiscard]] std::uint32_t identityColor(double identity);

}  // namespace tessaron
