#pragma once

#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/searchcontrol.h"
#include "engine/settingsbounds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessaron {

// The approximate search: pairs of copies of one kind that agree at most
// letters, as maximal scoring segments, with E-values.
//
// S is the circular sequence of N letters; A, C, G, T are bases, any other
// letter a gap that keeps its place. A pair (p, q, L) lines up, for
// k = 0 .. L-1 and positions read modulo N,
//   direct:        S[p+k] with S[q+k]      complementary: S[p+k] with comp(S[q+k])
//   inverted:      S[p+k] with comp(S[q+L-1-k])   mirror: S[p+k] with S[q+L-1-k]
// A lined-up letter pair scores +1 when equal and -X when not (X, the
// mismatch penalty); a pair with a gap on either side cannot be lined up.
//
// Direct and complementary pairs with the same q - p (mod N) lie on one
// circular diagonal of N letter pairs. Inverted and mirror pairs with the
// same p + q + L - 1 = t (mod N) pair the letters a and t - a: read outward
// from a centre (a letter with a = t - a, or two neighbours a, a + 1 with
// a + 1 = t - a) to the opposite centre they form a line that holds every
// letter pair once and no letter with itself.
//
// The segments of a circle or line are its maximal scoring segments (Ruzzo
// and Tompa, 1999): every non-empty prefix and suffix scores > 0, and no
// longer segment containing it has that property. A segment holds no gap. A
// circle without gaps whose N letter pairs score > 0 in total gives nothing.
// A segment on a line that reaches an end next to a centre through which it
// would go on (a centre between two letters, or a letter that lines up equal
// with itself, as in the mirror kind) is the middle of a palindrome and is
// not reported. A segment is reported as (p, q, L) with p < q when
// L >= minLength, its mismatches m satisfy 100 (L - m) / L >= identity, and,
// when given, m <= maxMismatches and its E-value <= maxEvalue.

// How the search finds its segments. Automatic scans every diagonal and line
// of a short genome and starts from seeds otherwise; Seeds and FullScan force
// one way (tests and benchmarks compare them). Seeds give exactly the pairs
// of the full scan whenever the result says it is exhaustive.
enum class ApproximateMethod { Automatic, Seeds, FullScan };

struct ApproximateSettings {
    // The bounds every front end keeps.
    static constexpr int kLongestMinimum = 1'000'000'000;
    static constexpr int kLargestPenalty = 1000;
    static constexpr int kMostIdentity = 100;

    int minLength = 30;                // 1 .. kLongestMinimum
    int mismatchPenalty = 2;           // X, 1 .. kLargestPenalty
    double identity = 90.0;            // percent, 0 .. 100
    std::optional<int> maxMismatches;  // at least 0
    std::optional<double> maxEvalue;   // above 0
    int threads = 0;                   // 0: as many as the machine has (one for short genomes)
    ApproximateMethod method = ApproximateMethod::Automatic;

    enum class Setting { MinLength, MismatchPenalty, Identity, MaxMismatches, MaxEvalue, Threads };

    // The first setting out of its bounds, or nothing. The E-value's bound is
    // open: it must be above `low` (0); the others include theirs.
    [[nodiscard]] constexpr std::optional<OutOfBounds<Setting>> validate() const
    {
        if (minLength < 1 || minLength > kLongestMinimum) {
            return OutOfBounds<Setting>{Setting::MinLength, 1, kLongestMinimum};
        }
        if (mismatchPenalty < 1 || mismatchPenalty > kLargestPenalty) {
            return OutOfBounds<Setting>{Setting::MismatchPenalty, 1, kLargestPenalty};
        }
        if (!(identity >= 0.0 && identity <= kMostIdentity)) {
            return OutOfBounds<Setting>{Setting::Identity, 0, kMostIdentity};
        }
        if (maxMismatches && *maxMismatches < 0) {
            return OutOfBounds<Setting>{Setting::MaxMismatches, 0, kNoUpperBound};
        }
        if (maxEvalue && !(*maxEvalue > 0.0)) {
            return OutOfBounds<Setting>{Setting::MaxEvalue, 0, kNoUpperBound};
        }
        if (threads < 0) {
            return OutOfBounds<Setting>{Setting::Threads, 0, kNoUpperBound};
        }
        return std::nullopt;
    }
};

// One reported pair: 0-based starts of the two copies, first < second; a copy
// may run over the end of the sequence into its beginning.
struct ApproximatePair {
    std::int64_t first = 0;
    std::int64_t second = 0;
    std::int64_t length = 0;
    std::int64_t mismatches = 0;
    std::int64_t score = 0;  // length - (X + 1) * mismatches
    double identity = 0.0;   // 100 (length - mismatches) / length
    double evalue = 0.0;
    friend bool operator==(const ApproximatePair&, const ApproximatePair&) = default;
};

// The Karlin-Altschul statistics of ungapped local alignment with scores +1
// and -X: the E-value of a segment of score S is K * searchSpace * exp(-lambda S),
// the expected number of segments scoring at least S in a random sequence of
// the same length and base composition.
//   p: the chance that two letters line up as equal, from the base
//      frequencies f: sum f_x^2 (direct, mirror) or sum f_x f_comp(x)
//      (inverted, complementary);
//   lambda: the positive root of p e^lambda + (1 - p) e^(-X lambda) = 1;
//   K = (1 - e^-lambda) (p e^lambda - X (1 - p) e^(-X lambda)), exact for a
//      largest score of +1 (see approximatestatistics.cpp);
//   searchSpace = n (n - 1) / 2, the letter pairs a kind lines up, n the
//      bases of the sequence (gaps left out).
// Without a negative expected score (p >= X / (X + 1)) lambda is 0 and every
// E-value infinite; with p = 0 no letters ever line up equal, lambda is
// infinite and every E-value 0.
struct KarlinAltschul {
    double matchProbability = 0.0;
    double lambda = 0.0;
    double k = 0.0;
    double searchSpace = 0.0;
    [[nodiscard]] double evalue(std::int64_t score) const;
};

[[nodiscard]] KarlinAltschul karlinAltschul(double matchProbability, int mismatchPenalty, double searchSpace);
// p of a kind from the genome's base composition (0 without bases).
[[nodiscard]] double matchProbability(const Genome& genome, RepeatKind kind);
// The statistics a search of the kind uses on the genome.
[[nodiscard]] KarlinAltschul karlinAltschul(const Genome& genome, RepeatKind kind, int mismatchPenalty);

struct ApproximateResult {
    RepeatKind kind = RepeatKind::Direct;
    ApproximateSettings settings;  // as used: out-of-range values clamped
    KarlinAltschul statistics;
    // Ordered by first, then second, then length.
    std::vector<ApproximatePair> pairs;
    // True when the pairs are provably all of the definition's: always for a
    // full scan, and for seeds whose length follows from the settings (see
    // seedplan.cpp). False when the settings call for seeds so short (the
    // identity and length filters nearly off, as with an E-value cut-off
    // alone) that a genome this long would take too many: seeds of a
    // practical length then find every segment that holds an exact match of
    // that length and at most twelve mismatches. Every pair reported is one
    // of the definition's either way.
    bool exhaustive = true;
    int seedLength = 0;  // the contiguous seed's letters; 0 for a full scan
};

// The most pairs one search holds, its kinds together: half the bytes the
// genome's pair limit lets the other searches hold (1 GiB by default), as a
// list of pairs may take twice its room while it grows. A search that would
// keep more fails with PairLimit before it takes the memory; one expected to
// find far more, at once.
[[nodiscard]] std::int64_t approximatePairLimit(const Genome& genome);

using ApproximateSearchResult = std::variant<ApproximateResult, SearchFailure>;
using ApproximateSearchResults = std::variant<std::vector<ApproximateResult>, SearchFailure>;

// The approximate search of one kind over the genome's sequence (no index
// needed). Fails with OutOfMemory, PairLimit or Cancelled; reports
// progress. A minimum as long as the sequence is answered at once: no pair
// is that long.
[[nodiscard]] ApproximateSearchResult approximateSearch(const Genome& genome, RepeatKind kind,
                                                        const ApproximateSettings& settings = {},
                                                        const SearchControl& control = {});
// The searches of several kinds, one result each in the order given; they
// share the work of reading the sequence and finding seeds.
[[nodiscard]] ApproximateSearchResults approximateSearch(const Genome& genome,
                                                         std::span<const RepeatKind> kinds,
                                                         const ApproximateSettings& settings = {},
                                                         const SearchControl& control = {});

// The letters of a pair that do not line up equal: their positions (0-based,
// modulo N) in the first copy and, at the same index, the positions of their
// partners in the second copy.
struct MismatchedLetters {
    std::vector<std::int64_t> first;
    std::vector<std::int64_t> second;
};
[[nodiscard]] MismatchedLetters mismatchedLetters(const Genome& genome, RepeatKind kind,
                                                  const ApproximatePair& pair);

// The length classes that genome papers count repeats in, from 30 bp.
inline constexpr std::array<std::string_view, 6> kApproximateLengthClasses{
    "30-39", "40-49", "50-59", "60-99", "100-999", "1000 and more"};
inline constexpr int kApproximateClassesFrom = 30;
// The class of a length (index into kApproximateLengthClasses) among the
// pairs of a search whose minimum is `minLength`: with a minimum below 30
// the first class begins at it, otherwise at 30; nothing below that.
[[nodiscard]] std::optional<std::size_t> approximateLengthClass(std::int64_t length,
                                                                int minLength = kApproximateClassesFrom);
// The name of a class among such pairs: kApproximateLengthClasses[index],
// but "M-39" for the first when the minimum M is below 30.
[[nodiscard]] std::string approximateLengthClassName(std::size_t index,
                                                     int minLength = kApproximateClassesFrom);

// Pairs per kind (indexed by RepeatKind) and length class, as genome papers
// count them; the classes begin at the results' minimum when it is below 30.
using ApproximateClassCounts =
    std::array<std::array<std::int64_t, kApproximateLengthClasses.size()>, kRepeatKindCount>;
[[nodiscard]] ApproximateClassCounts approximateClassCounts(std::span<const ApproximateResult> results);
// The approximate search of the four kinds, counted per kind and length
// class (the repeat section of a genome paper reads these); fails as the
// search does.
using ApproximateClassCountsResult = std::variant<ApproximateClassCounts, SearchFailure>;
[[nodiscard]] ApproximateClassCountsResult countApproximateRepeats(const Genome& genome,
                                                                   const ApproximateSettings& settings = {},
                                                                   const SearchControl& control = {});

}  // namespace tessaron
