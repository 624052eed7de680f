#pragma once

#include "approximatecontext.h"
#include "maximalsegments.h"
#include "shared/packedtext.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tessaron::approximate {

// One circle or line, read as pairs 0 .. length-1 from a place no segment
// crosses (at worst: one where H is bounded).
struct Track {
    PairReader reader;
    std::int64_t length = 0;
    bool line = false;
    std::int64_t origin = 0;  // circle: pair x lines up letters origin + x and origin + x + shift
    std::int64_t shift = 0;
    std::int64_t a = 0;  // line: pair y lines up letters a - y and b + y
    std::int64_t b = 0;
    bool reversed = false;     // line: read from the far end, pair y' being pair length - 1 - y'
    bool startGoesOn = false;  // line: a segment touching pair 0 is a palindrome's middle
    bool endGoesOn = false;    // ... touching pair length - 1
    // An upper bound of H before pair 0; 0 when pair 0 follows a cut.
    std::int64_t startBound = 0;
    // The pairs go in blocks of 32 from pair 0, except on a circle without
    // gaps read from one of its own blocks (firstBlock), whose blocks count
    // from letter 0 (the last one shorter) and whose mismatches are known.
    std::int64_t firstBlock = -1;
    std::vector<std::uint8_t> blockMismatches;

    // Blocks and places past the end go round the circle again.
    [[nodiscard]] std::int64_t blocks() const { return (length + 31) / 32; }
    // Where the circle's block 0 starts on the track.
    [[nodiscard]] std::int64_t wrap() const { return firstBlock < 0 ? length : length - 32 * firstBlock; }
    [[nodiscard]] std::int64_t blockStart(std::int64_t k) const
    {
        const std::int64_t round = k / blocks();
        k %= blocks();
        const std::int64_t before = firstBlock < 0 ? blocks() : blocks() - firstBlock;
        return round * length + (k < before ? 32 * k : wrap() + 32 * (k - before));
    }
    [[nodiscard]] std::int64_t pairsIn(std::int64_t k) const
    {
        k %= blocks();
        return (k + 1 < blocks() ? blockStart(k + 1) : length) - blockStart(k);
    }
    [[nodiscard]] std::int64_t blockOf(std::int64_t x) const
    {
        const std::int64_t round = x / length;
        x %= length;
        return round * blocks() + (x < wrap() ? x / 32 : blocks() - firstBlock + (x - wrap()) / 32);
    }
};

// The circle of diagonal d, or nothing when it gives nothing. With a gap it
// is read from just after one. Without, in one pass over its blocks, from
// the block boundary where the running total is lowest: H there is at most
// the dip below it inside some block (X per mismatch).
std::optional<Track> circleTrack(const Context& context, std::int64_t d);
// The circle of diagonal d read from a place where the running total is
// lowest (a cut), found letter by letter; for a circle without gaps whose
// total is <= 0, when circleTrack's start is no help.
Track exactCircleTrack(const Context& context, std::int64_t d);
// The line of t, read outward from the centre at t / 2, or (`reversed`)
// inward from the opposite one.
Track lineTrack(const Context& context, std::int64_t t, bool reversed = false);

// The line of t: where its pairs start and how many it holds (as lineTrack).
struct LineGeometry {
    std::int64_t a;
    std::int64_t length;
};

inline LineGeometry lineGeometry(std::int64_t n, std::int64_t t)
{
    const bool even = t % 2 == 0;
    const std::int64_t a = even ? (t == 0 ? n - 1 : t / 2 - 1) : (t - 1) / 2;
    const std::int64_t length = n % 2 == 1 ? (n - 1) / 2 : (even ? n / 2 - 1 : n / 2);
    return {a, length};
}

// Reads tracks exactly (see trackscanner.cpp) and keeps the pairs they report.
class TrackScanner {
public:
    TrackScanner(const Context& context, std::vector<ApproximatePair>& out) : context_(context), out_(out) {}

    void scanAll(const Track& track);

    // `positions`: pairs on the track (ascending) around which to scan.
    // False when no block boundary of a circle is certainly a cut (only
    // when the track starts from a bound): it is to be read from a cut.
    bool scanAround(const Track& track, std::vector<std::int64_t>& positions);

private:
    [[nodiscard]] std::int64_t pairsIn(std::int64_t block) const { return track_->pairsIn(block); }

    // Makes bounds_[block] available.
    void extendBounds(std::int64_t block);

    // Whether H is certainly 0 at the boundary before `block` (block >= 1).
    bool zeroAt(std::int64_t block);

    // Follows H exactly from the cut `from` (H = 0 there), handing the pieces
    // to Ruzzo-Tompa, up to the first cut after pair `past` or the end.
    // Returns that cut.
    std::int64_t scanFrom(std::int64_t from, std::int64_t past);

    void emit(const MaximalSegments::Segment& segment);

    const Context& context_;
    std::vector<ApproximatePair>& out_;
    const Track* track_ = nullptr;
    std::vector<std::int64_t> bounds_;
    PairStream boundStream_;       // at the block after the last bound
    std::int64_t end_ = 0;         // where the pairs end: a cut
    std::size_t circleBlock_ = 0;  // the circle's block of the next bound
    MaximalSegments segments_;
};

}  // namespace tessaron::approximate
