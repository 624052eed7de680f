#include "engine/approximatesearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

// The Karlin-Altschul parameters for scores +1 (probability p) and -X
// (probability q = 1 - p) with a negative mean p - X q.
//
// lambda is the positive root of E[e^(lambda s)] = p e^lambda + q e^(-X lambda) = 1.
//
// K, for a largest score of +1. Read the letter pairs of a diagonal as a
// random walk S_n. The expected number of maximal segments scoring at least
// x per step is K e^(-lambda x) for large x (Karlin and Altschul 1990,
// Karlin and Dembo 1992), with K = C / A for the ladder decomposition:
//  - Cut the walk at its weak descending ladder points (S_n not above any
//    earlier value). No maximal segment crosses one, and the excursion
//    between two of them holds a maximal segment that climbs to the
//    excursion's height Y (for large x at most one scoring x or more).
//  - A, the mean excursion length: by duality E[T] equals the expected number
//    of strict ascending ladder points, 1 / (1 - P(the walk ever reaches +1)).
//    The steps up are +1, so the walk hits every level on its way up and
//    optional stopping of the martingale e^(lambda S_n) gives
//    P(reach 1) = e^-lambda: A = 1 / (1 - e^-lambda).
//  - C in P(Y >= x) ~ C e^(-lambda x): stop e^(lambda S_n) when the walk
//    reaches x (exactly x, steps up being +1) or ends the excursion at -H:
//    1 = e^(lambda x) P(Y >= x) + E[e^(-lambda H); ended first], so
//    C = 1 - E[e^(-lambda H)]. E[e^(-lambda H)] is the chance that the walk
//    tilted by e^(lambda s) (steps +1 with p e^lambda, -X with q e^(-X lambda),
//    mean mu* > 0) ever returns to 0 or below; a walk with steps of at most +1
//    stays above 0 forever with probability mu* (the ballot theorem,
//    Takacs), so C = mu* = p e^lambda - X q e^(-X lambda).
//  K = C / A = (1 - e^-lambda) (p e^lambda - X q e^(-X lambda)).
// For X = 1 this is the classical (q - p)^2 / q. The engine tests check K
// against simulated walks.

namespace tessaron {

double KarlinAltschul::evalue(std::int64_t score) const
{
    if (std::isinf(lambda)) {
        return 0.0;
    }
    return k * searchSpace * std::exp(-lambda * static_cast<double>(score));
}

KarlinAltschul karlinAltschul(double p, int mismatchPenalty, double searchSpace)
{
    KarlinAltschul result;
    result.matchProbability = p;
    result.searchSpace = searchSpace;
    const double x = mismatchPenalty;
    const double q = 1.0 - p;
    if (p <= 0.0) {
        result.lambda = std::numeric_limits<double>::infinity();
        return result;
    }
    if (p - x * q >= 0.0) {
        result.k = std::numeric_limits<double>::infinity();
        return result;
    }
    // g(l) = p e^l + q e^(-X l) - 1 is convex, 0 at 0, falling there; the root
    // is the point beyond where it turns positive.
    const auto g = [&](double l) { return p * std::exp(l) + q * std::exp(-x * l) - 1.0; };
    double high = 1.0;
    while (g(high) <= 0.0) {
        high *= 2.0;
    }
    double low = 0.0;
    for (int step = 0; step < 200 && high - low > 1e-15 * high; ++step) {
        const double middle = 0.5 * (low + high);
        (g(middle) > 0.0 ? high : low) = middle;
    }
    const double lambda = 0.5 * (low + high);
    result.lambda = lambda;
    result.k = (1.0 - std::exp(-lambda)) * (p * std::exp(lambda) - x * q * std::exp(-x * lambda));
    return result;
}

double matchProbability(const Genome& genome, RepeatKind kind)
{
    const double a = static_cast<double>(genome.letterCount('A'));
    const double c = static_cast<double>(genome.letterCount('C'));
    const double g = static_cast<double>(genome.letterCount('G'));
    const double t = static_cast<double>(genome.letterCount('T'));
    const double n = a + c + g + t;
    if (n <= 0.0) {
        return 0.0;
    }
    const double fa = a / n;
    const double fc = c / n;
    const double fg = g / n;
    const double ft = t / n;
    if (kind == RepeatKind::Direct || kind == RepeatKind::Mirror) {
        return fa * fa + fc * fc + fg * fg + ft * ft;
    }
    return 2.0 * (fa * ft + fc * fg);
}

KarlinAltschul karlinAltschul(const Genome& genome, RepeatKind kind, int mismatchPenalty)
{
    const double n = static_cast<double>(genome.length() - genome.gapCount());
    return karlinAltschul(matchProbability(genome, kind), mismatchPenalty, n * (n - 1.0) / 2.0);
}

std::int64_t approximatePairLimit(const Genome& genome)
{
    constexpr auto kStored = static_cast<std::int64_t>(sizeof(RepeatPair));
    constexpr auto kApproximate = static_cast<std::int64_t>(sizeof(ApproximatePair));
    // Half of it: a list of pairs may take twice its room while it grows.
    const std::int64_t limit = std::max<std::int64_t>(genome.pairLimit(), 0) / 2;
    return limit / kApproximate * kStored + limit % kApproximate * kStored / kApproximate;
}

std::optional<std::size_t> approximateLengthClass(std::int64_t length, int minLength)
{
    std::array<std::int64_t, kApproximateLengthClasses.size()> lower{
        kApproximateClassesFrom, 40, 50, 60, 100, 1000};
    lower.front() = std::clamp(minLength, 1, kApproximateClassesFrom);
    std::optional<std::size_t> found;
    for (std::size_t index = 0; index < lower.size(); ++index) {
        if (length >= lower[index]) {
            found = index;
        }
    }
    return found;
}

std::string approximateLengthClassName(std::size_t index, int minLength)
{
    if (index >= kApproximateLengthClasses.size()) {
        return {};
    }
    if (index == 0 && minLength < kApproximateClassesFrom) {
        return std::to_string(std::max(minLength, 1)) + "-39";
    }
    return std::string(kApproximateLengthClasses[index]);
}

ApproximateClassCounts approximateClassCounts(std::span<const ApproximateResult> results)
{
    ApproximateClassCounts counts{};
    for (const ApproximateResult& result : results) {
        auto& perClass = counts[static_cast<std::size_t>(result.kind)];
        for (const ApproximatePair& pair : result.pairs) {
            if (const auto lengthClass = approximateLengthClass(pair.length, result.settings.minLength)) {
                ++perClass[*lengthClass];
            }
        }
    }
    return counts;
}

}  // namespace tessaron
