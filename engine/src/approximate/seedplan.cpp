#include "seedplan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

// Why seeds lose nothing.
//
// A reportable segment M has L >= Lmin letter pairs, m mismatches with
// 100 (L - m) >= I L, and m <= K when a maximum is given.
//
// Blocks. Cut M into floor(L / Lmin) consecutive blocks of Lmin .. 2 Lmin - 1
// pairs. Their mismatches add up to m <= sum of b (100 - I) / 100 over the
// blocks, so some block B of b pairs has m_B <= b (100 - I) / 100 (and
// m_B <= m <= K): m_B <= mB(b). B is m_B + 1 runs of matches (some maybe
// empty) between its mismatches, b - m_B pairs in all, so its longest run has
// at least floor(b / (mB(b) + 1)) pairs; k* is the least of these over b.
//  - A contiguous seed of k* pairs hits a run of B.
//  - One of k* + d pairs (d = 1 .. 3) hits B unless every run of B has at
//    most K = k* + d - 1 pairs ("tight"). Then two neighbouring runs, one
//    mismatch apart, add up to at least W (a bound from B's run count and
//    matches, below), and one of the spaced seeds 1^a x 1^(W-a),
//    a = W - K .. K, fits across them. Such a set is used only when W > K + 1
//    (rarer than the contiguous seed) and its expected hits, with the cost of
//    sorting its seeds, are fewer than those of k* alone.
// The filter then asks whether a block could hold the hit: with j_L
// mismatches to its left and j_R to its right (and those inside a spaced
// hit), the longest window around the hit reaches from before the
// (j_L + 1)-th mismatch on the left to before the (j_R + 1)-th on the right;
// B lies within the window of its own split, so that window is at least b
// long and the hit passes when some split reaches minWindow[j]. For a
// contiguous seed only the leftmost hit of each run is tried, with the whole
// run: the window of B's split around the whole run still contains B. A
// spaced hit is left out when the shape also fits one pair earlier: B grown
// by that matching pair holds the earlier hit with as many mismatches. And a
// first look rejects a hit when, within half the rest of every window it
// would need, both sides already hold too many mismatches: a window of
// minWindow[j] pairs around the hit reaches at least half the rest on one
// side (seedfinder.cpp).
//
// Window. The same reasoning with M itself as the window: a segment with at
// most the allowed mismatches lies within the window of its split, so
// that window is at least as long, with the same mismatches, hence as
// identical and scoring as much. With the mismatches left free there is no
// filter. Every reportable M has a run of floor(L / (m + 1)) pairs; kW is the
// least of these over all (L, m) a reportable segment can have (score at
// least minScore, the length, identity and mismatch limits). The plan is
// exhaustive when the seed has at most kW pairs and no reportable segment
// has more mismatches than the filter allows.
//
// The exact scan of the diagonal or line of each seed that passes then gives
// every maximal segment around it (trackscanner.cpp), M among them.

namespace tessaron {
namespace {

// Pairs of seeds an exhaustive plan may try before practical seeds take over,
// and the pairs those practical seeds aim at.
double exactBudget(std::int64_t length)
{
    return std::max(268435456.0, 64.0 * static_cast<double>(length));
}
double practicalBudget(std::int64_t length)
{
    return std::max(4194304.0, 8.0 * static_cast<double>(length));
}
constexpr int kLongestSeed = 32;
// What sorting the seeds of one more shape costs, in seed pairs per letter;
// and how many more seed pairs a genome holds than a random sequence of its
// composition (repeats, and base composition that varies along it: about
// twice as many in the test genomes).
constexpr double kListCost = 1.5;
constexpr double kRepeatedWords = 2.0;
constexpr int kPracticalMismatches = 12;
// A seed found without a filter costs a scan of its surroundings: count it
// as that many filtered ones.
constexpr double kUnfilteredCost = 16.0;

SeedShape contiguousShape(int length)
{
    SeedShape shape;
    for (int offset = 0; offset < length; ++offset) {
        shape.offsets.push_back(offset);
    }
    shape.span = length;
    shape.contiguous = true;
    return shape;
}

// a pairs, one free pair, then weight - a pairs.
SeedShape spacedShape(int a, int weight)
{
    SeedShape shape;
    for (int offset = 0; offset <= weight; ++offset) {
        if (offset != a) {
            shape.offsets.push_back(offset);
        }
    }
    shape.span = weight + 1;
    return shape;
}

double expectedHits(const std::vector<SeedShape>& shapes, std::int64_t length, double p)
{
    const double pairs = static_cast<double>(length) * static_cast<double>(length - 1) / 2.0;
    double hits = 0.0;
    for (const SeedShape& shape : shapes) {
        hits += pairs * std::pow(p, static_cast<double>(shape.offsets.size()));
    }
    return hits;
}

std::int64_t mismatchBound(const ApproximateSettings& settings, std::int64_t length)
{
    // A hair of slack: the bound may only be generous.
    const double allowed = static_cast<double>(length) * (100.0 - settings.identity) / 100.0;
    auto bound = static_cast<std::int64_t>(std::floor(allowed + 1e-9 * static_cast<double>(length) + 1e-9));
    bound = std::clamp<std::int64_t>(bound, 0, length);
    if (settings.maxMismatches) {
        bound = std::min<std::int64_t>(bound, *settings.maxMismatches);
    }
    return bound;
}

// Over the blocks whose runs of matches all have at most `longest` pairs, a
// lower bound of the largest sum of two neighbouring runs (runs one
// mismatch apart): disjoint neighbouring pairs share the block's matches.
// 0 when such a block can be a single run.
std::int64_t neighbourSum(const ApproximateSettings& settings, std::int64_t longest)
{
    const std::int64_t lmin = settings.minLength;
    std::int64_t w = std::numeric_limits<std::int64_t>::max();
    for (std::int64_t b = lmin; b < 2 * lmin; ++b) {
        const std::int64_t mismatches = mismatchBound(settings, b);
        const std::int64_t runs = mismatches + 1;
        const std::int64_t total = b - mismatches;
        if (total > longest * runs) {
            continue;  // always a longer run
        }
        if (runs < 2) {
            return 0;
        }
        const std::int64_t bound =
            runs % 2 == 0 ? (2 * total + runs - 1) / runs : (total - longest + runs / 2 - 1) / (runs / 2);
        w = std::min(w, bound);
    }
    return w;
}

// The Blocks plan, when blocks force a run of at least one pair.
std::optional<SeedPlan> blockPlan(const ApproximateSettings& settings, std::int64_t length, double p)
{
    const std::int64_t lmin = settings.minLength;
    std::int64_t kStar = std::numeric_limits<std::int64_t>::max();
    for (std::int64_t b = lmin; b < 2 * lmin; ++b) {
        kStar = std::min(kStar, b / (mismatchBound(settings, b) + 1));
    }
    if (kStar < 1) {
        return std::nullopt;
    }
    kStar = std::min<std::int64_t>(kStar, kLongestSeed);
    SeedPlan plan;
    plan.filter = SeedPlan::Filter::Blocks;
    // The bound grows with the length: one pass from the shortest block
    // gives each j its least length.
    for (std::int64_t b = lmin; b < 2 * lmin; ++b) {
        const std::int64_t most = mismatchBound(settings, b);
        while (static_cast<std::int64_t>(plan.minWindow.size()) <= most) {
            plan.minWindow.push_back(b);
        }
    }
    plan.lookRange = 2 * lmin + 32;

    // A contiguous seed of k* pairs hits every block. One of k* + d pairs
    // misses the blocks whose runs all have at most k* + d - 1 pairs
    // ("tight"); spaced seeds across two neighbouring runs catch those. Of
    // the ways that hold, the one expected to cost least.
    plan.shapes = {contiguousShape(static_cast<int>(kStar))};
    double best = kRepeatedWords * expectedHits(plan.shapes, length, p);
    for (std::int64_t longer = kStar + 1; longer <= std::min<std::int64_t>(kStar + 3, kLongestSeed);
         ++longer) {
        const std::int64_t w = neighbourSum(settings, longer - 1);
        if (w < longer + 1 || w > 2 * (longer - 1)) {
            continue;  // no spaced seed rarer than the contiguous one fits every tight block
        }
        std::vector<SeedShape> shapes{contiguousShape(static_cast<int>(longer))};
        for (std::int64_t a = w - (longer - 1); a <= longer - 1; ++a) {
            shapes.push_back(spacedShape(static_cast<int>(a), static_cast<int>(w)));
        }
        const double cost = kRepeatedWords * expectedHits(shapes, length, p) +
                            kListCost * static_cast<double>(length) * static_cast<double>(shapes.size() - 1);
        if (cost < best) {
            best = cost;
            plan.shapes = std::move(shapes);
        }
    }
    plan.seedLength = plan.shapes.front().span;
    plan.expectedHits = expectedHits(plan.shapes, length, p);
    return plan;
}

std::optional<std::int64_t> shortestAllowed(const ApproximateSettings& settings, std::int64_t minScore,
                                            std::int64_t mismatches);

// The least longest run of a reportable segment, over every (L, m) it can
// have in a sequence of `length` letters (no segment is as long).
std::int64_t windowSeedLength(const ApproximateSettings& settings, std::int64_t minScore, std::int64_t length)
{
    // Far enough for the least to settle: the bounds per mismatch tend to
    // X + 1 and 100 / (100 - identity), within one once m passes them.
    const double identityRatio = settings.identity < 100.0 ? 100.0 / (100.0 - settings.identity) : 0.0;
    std::int64_t most =
        std::min<std::int64_t>(200000, 1000 + 4 * (settings.minLength + minScore + settings.mismatchPenalty) +
                                           4 * static_cast<std::int64_t>(std::min(identityRatio, 1e5)));
    if (settings.maxMismatches) {
        most = std::min<std::int64_t>(most, *settings.maxMismatches);
    }
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (std::int64_t m = 0; m <= most; ++m) {
        const auto least = shortestAllowed(settings, minScore, m);
        if (!least || *least >= length) {
            break;
        }
        best = std::min(best, *least / (m + 1));
    }
    return std::max<std::int64_t>(best, 1);
}

// The shortest segment with `mismatches` that the settings and least score
// allow (generously rounded), or nothing.
std::optional<std::int64_t> shortestAllowed(const ApproximateSettings& settings, std::int64_t minScore,
                                            std::int64_t mismatches)
{
    std::int64_t least =
        std::max<std::int64_t>(settings.minLength, minScore + (settings.mismatchPenalty + 1) * mismatches);
    if (mismatches > 0) {
        if (settings.identity >= 100.0) {
            return std::nullopt;
        }
        const double needed = 100.0 * static_cast<double>(mismatches) / (100.0 - settings.identity);
        auto shortest = static_cast<std::int64_t>(std::ceil(needed - 1e-9));
        while (shortest > mismatches + 1 &&
               identityAllows(settings.identity - 1e-9, shortest - 1, mismatches)) {
            --shortest;
        }
        least = std::max(least, shortest);
    }
    return least;
}

SeedPlan windowPlan(const ApproximateSettings& settings, std::int64_t minScore, int seedLength,
                    std::optional<int> mismatches, std::int64_t length, double p)
{
    SeedPlan plan;
    plan.shapes.push_back(contiguousShape(seedLength));
    plan.seedLength = seedLength;
    plan.lookRange = 256;
    if (mismatches) {
        plan.filter = SeedPlan::Filter::Window;
        // A segment is shorter than the sequence: the shortest with more
        // mismatches only grow, so a generous limit costs no memory.
        for (std::int64_t j = 0; j <= *mismatches; ++j) {
            const auto shortest = shortestAllowed(settings, minScore, j);
            if (!shortest || *shortest >= length) {
                break;
            }
            plan.minWindow.push_back(*shortest);
        }
    }
    plan.expectedHits = expectedHits(plan.shapes, length, p);
    return plan;
}

double cost(const SeedPlan& plan)
{
    return plan.expectedHits * (plan.filter == SeedPlan::Filter::None ? kUnfilteredCost : 1.0);
}

}  // namespace

SeedPlan planSeeds(const ApproximateSettings& settings, std::int64_t minScore, std::int64_t length, double p,
                   bool forced)
{
    const auto lossless =
        static_cast<int>(std::min<std::int64_t>(windowSeedLength(settings, minScore, length), kLongestSeed));
    SeedPlan best = windowPlan(settings, minScore, lossless, settings.maxMismatches, length, p);
    if (auto blocks = blockPlan(settings, length, p); blocks && cost(*blocks) <= cost(best)) {
        best = std::move(*blocks);
    }
    if (forced || cost(best) <= exactBudget(length)) {
        return best;
    }
    int seedLength = lossless;
    while (seedLength < kLongestSeed &&
           expectedHits({contiguousShape(seedLength)}, length, p) > practicalBudget(length)) {
        ++seedLength;
    }
    const int mismatches =
        std::min(kPracticalMismatches, settings.maxMismatches.value_or(kPracticalMismatches));
    SeedPlan practical = windowPlan(settings, minScore, seedLength, mismatches, length, p);
    practical.exhaustive = false;
    return practical;
}

}  // namespace tessaron
