#include "engine/gappedsearch.h"

#include <cmath>
#include <string>

// Gapped lambda and K. Published tables of simulated gapped alignments of
// random sequences (uniform composition; Altschul et al., the tables that
// nucleotide search tools ship) give, for scores +1/-X:
//   X = 2, gap costs O + k E with (O, E) = (2, 2): lambda 1.33, K 0.62 -- the
//          ungapped values 1.33, 0.62;
//   X = 3, (2, 2): 1.37, 0.70 -- ungapped 1.374, 0.711;
//   X = 4, (1, 2): 1.36, 0.67 -- ungapped 1.383, 0.738 (and costlier gaps
//          only nearer);
//   X = 5, (3, 3): 1.39, 0.747 -- ungapped;
//   X = 1, (3, 2): 1.09, 0.31 -- ungapped 1.0986, 0.333.
// Gaps that cost more than the tables' bring the values nearer the
// ungapped ones, never farther. So for every scheme validate() accepts, the
// gapped statistics are the ungapped ones of the genome's own composition
// (exact for it, see approximatestatistics.cpp), scaled for X = 1 by the
// table's ratios; for X >= 2 the tables and the ungapped values agree to the
// tables' two digits. Cheaper gaps than the tables' are refused rather than
// given an E-value nobody measured.

namespace tessaron {

namespace {

// The least gap costs whose statistics the tables cover, by mismatch penalty.
struct LeastGaps {
    int open;
    int extend;
};

LeastGaps leastGaps(int mismatchPenalty)
{
    return mismatchPenalty == 1 ? LeastGaps{3, 2} : LeastGaps{2, 2};
}

}  // namespace

std::string validate(const GappedSettings& settings)
{
    using S = GappedSettings;
    if (settings.minLength < 1) {
        return "the least length must be at least 1";
    }
    if (settings.mismatchPenalty < S::kMinMismatchPenalty ||
        settings.mismatchPenalty > S::kMaxMismatchPenalty) {
        return "the mismatch penalty must be between " + std::to_string(S::kMinMismatchPenalty) + " and " +
               std::to_string(S::kMaxMismatchPenalty);
    }
    const LeastGaps least = leastGaps(settings.mismatchPenalty);
    if (settings.gapOpen < least.open || settings.gapOpen > S::kMaxGapCost) {
        return "with a mismatch penalty of " + std::to_string(settings.mismatchPenalty) +
               " the gap opening must be between " + std::to_string(least.open) + " and " +
               std::to_string(S::kMaxGapCost);
    }
    if (settings.gapExtend < least.extend || settings.gapExtend > S::kMaxGapCost) {
        return "the gap extension must be between " + std::to_string(least.extend) + " and " +
               std::to_string(S::kMaxGapCost);
    }
    if (std::isnan(settings.identity) || settings.identity < 0.0 || settings.identity > 100.0) {
        return "the identity must be between 0 and 100";
    }
    if (settings.maxMismatches && *settings.maxMismatches < 0) {
        return "the most mismatches must be at least 0";
    }
    if (settings.maxEvalue && !(*settings.maxEvalue > 0.0)) {
        return "the E-value cut-off must be above 0";
    }
    if (settings.seedLength != 0 &&
        (settings.seedLength < S::kMinSeedLength || settings.seedLength > S::kMaxSeedLength)) {
        return "the seed length must be 0 (automatic) or between " + std::to_string(S::kMinSeedLength) +
               " and " + std::to_string(S::kMaxSeedLength);
    }
    if (settings.xDrop < S::kMinXDrop || settings.xDrop > S::kMaxXDrop) {
        return "the X-drop must be between " + std::to_string(S::kMinXDrop) + " and " +
               std::to_string(S::kMaxXDrop);
    }
    if (settings.triggerScore < 0) {
        return "the trigger score must be 0 (automatic) or more";
    }
    if (settings.pairLimit < 1) {
        return "the pair limit must be at least 1";
    }
    return {};
}

KarlinAltschul gappedKarlinAltschul(const Genome& genome, RepeatKind kind, const GappedSettings& settings)
{
    KarlinAltschul statistics = karlinAltschul(genome, kind, settings.mismatchPenalty);
    if (settings.mismatchPenalty == 1 && statistics.lambda > 0.0 && std::isfinite(statistics.lambda)) {
        statistics.lambda *= 1.09 / 1.0986;
        statistics.k *= 0.31 / 0.333;
    }
    return statistics;
}

}  // namespace tessaron
