#pragma once

#include "engine/approximatesearch.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/searchcontrol.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tessaron {

// The gapped search: pairs of copies of one kind that agree at most letters,
// allowing insertions and deletions, as local alignments with E-values.
//
// The kinds line up letters as in the approximate search (approximatesearch.h):
// the first copy is read forwards; the second forwards (direct), complemented
// (complementary), backwards (mirror) or backwards and complemented
// (inverted). An alignment of the two readings scores +1 per equal column,
// -X per unequal one and O + k E per run of k letters of one copy facing none
// of the other. A gap letter (any letter but A, C, G, T) is never in an
// alignment, in a column or in a run. Copies may run over the end of the
// sequence into its beginning. Direct and complementary alignments never line
// a letter up with itself (their path stays off the main diagonal); the
// copies of inverted and mirror alignments never overlap (their path stays
// between the two centres of its line).
//
// Seeds are exact words of `seedLength` letters on the kind's diagonals or
// lines. Each is extended without gaps first; a seed whose ungapped extension
// scores at least the trigger (triggerScore) is extended with gaps both ways by an X-drop
// dynamic programme (the running score may fall at most `xDrop` below the
// best so far). Of the alignment found, its maximal scoring parts (every
// prefix and suffix > 0, no longer such part containing it; a gap run counts
// as one piece) are candidates, each the best local alignment of its own two
// copies; so are those of the gapless alignment that each run of the path
// between gaps makes carried on along its track past the gap. Alignments that
// share both copies over more than half the shorter copy are one: the higher
// score is kept.
//
// A candidate is reported when its shorter copy holds at least minLength
// letters, its identity (equal columns / columns) is at least `identity`, its
// mismatches plus gap letters at most maxMismatches, and its E-value at most
// maxEvalue (each when given). A candidate below the identity is not simply
// dropped: its longest stretches of columns that meet the filters are
// reported, left to right without overlapping, each trimmed to its best
// scoring part when that part still meets them.
struct GappedSettings {
    static constexpr int kMinMismatchPenalty = 1;
    static constexpr int kMaxMismatchPenalty = 10;
    static constexpr int kMaxGapCost = 1'000'000;  // "gaps impossible" is a gap open this high
    static constexpr int kMinSeedLength = 6;
    static constexpr int kMaxSeedLength = 16;
    static constexpr int kMinXDrop = 10;
    static constexpr int kMaxXDrop = 1000;

    int minLength = 30;       // at least 1
    int mismatchPenalty = 2;  // X
    int gapOpen = 5;          // O, 0 .. kMaxGapCost (the statistics need the table's least, see below)
    int gapExtend = 2;        // E, 1 .. kMaxGapCost
    double identity = 90.0;   // percent, 0 .. 100
    std::optional<int> maxMismatches;  // mismatches + gap letters, at least 0
    std::optional<double> maxEvalue;   // above 0
    int seedLength = 0;                // 0: from the genome's length (short genomes: the filters')
    int xDrop = 60;
    // The ungapped score a seed needs for a gapped extension; 0: the least
    // score the filters allow, but at least the seed's length + 3 and at most
    // 13, and never above what a gapless alignment meeting the filters scores
    // (see gappedsearch.cpp). 1 extends every seed (slow; for tests).
    int triggerScore = 0;
    // Pairs held before sorting; a search that would hold more fails with
    // PairLimit before it asks for the memory.
    std::int64_t pairLimit = Genome::kDefaultPairLimit;
};

// Why settings are refused: empty when they are usable, else a sentence for
// the user ("the gap extension must be between 1 and 1000000").
[[nodiscard]] std::string validate(const GappedSettings& settings);

// One reported pair: 0-based starts of the two copies, first <= second; a
// copy may run over the end of the sequence into its beginning.
struct GappedPair {
    std::int64_t first = 0;
    std::int64_t second = 0;
    std::int64_t length = 0;        // letters of the first copy
    std::int64_t secondLength = 0;  // letters of the second copy
    std::int64_t mismatches = 0;    // unequal columns
    std::int64_t insertions = 0;    // letters of the second copy facing none of the first
    std::int64_t deletions = 0;     // letters of the first copy facing none of the second
    std::string cigar;              // the second copy against the first: runs of = X I D
    std::int64_t score = 0;
    double identity = 0.0;  // 100 equal columns / columns
    double evalue = 0.0;
    friend bool operator==(const GappedPair&, const GappedPair&) = default;

    [[nodiscard]] std::int64_t columns() const { return length + insertions; }
    [[nodiscard]] std::int64_t shorterLength() const { return length < secondLength ? length : secondLength; }
};

// The statistics of gapped scores. The gapped lambda and K for +1/-X and gap
// costs O + k E come from published tables of simulated random alignments
// (uniform composition); for every supported scheme whose gap costs are at
// least the tables' (O >= 2, E >= 2 for X >= 2; O >= 3, E >= 2 for X = 1)
// those tables give the ungapped values (to their two digits) for X >= 2 and
// a little less for X = 1. The search therefore takes the ungapped lambda and
// K of the genome's own composition (karlinAltschul in approximatesearch.h)
// and, for X = 1, scales them by the table's ratio gapped / ungapped
// (lambda 1.09 / 1.0986, K 0.31 / 0.333). Cheaper gaps are refused by
// validate(). The search space is as for the ungapped search.
[[nodiscard]] KarlinAltschul gappedKarlinAltschul(const Genome& genome, RepeatKind kind,
                                                  const GappedSettings& settings);

struct GappedResult {
    RepeatKind kind = RepeatKind::Direct;
    GappedSettings settings;  // as used
    KarlinAltschul statistics;
    int seedLength = 0;
    // Ordered by first, then second, then length.
    std::vector<GappedPair> pairs;
};

using GappedSearchResult = std::variant<GappedResult, SearchFailure>;
using GappedSearchResults = std::variant<std::vector<GappedResult>, SearchFailure>;

// The gapped search of the kinds given, one result each in that order. The
// settings must pass validate() (else nothing is searched: an empty vector).
// Fails with OutOfMemory, PairLimit or Cancelled; reports progress.
[[nodiscard]] GappedSearchResults gappedSearch(const Genome& genome, std::span<const RepeatKind> kinds,
                                               const GappedSettings& settings = {},
                                               const SearchControl& control = {});
[[nodiscard]] GappedSearchResult gappedSearch(const Genome& genome, RepeatKind kind,
                                              const GappedSettings& settings = {},
                                              const SearchControl& control = {});

// The columns of a pair's alignment: for each, the position of the first
// copy's letter and of the second's (modulo N), -1 on the side of a gap run.
struct AlignedColumn {
    std::int64_t first = -1;
    std::int64_t second = -1;
    bool equal = false;
};
[[nodiscard]] std::vector<AlignedColumn> alignedColumns(const Genome& genome, RepeatKind kind,
                                                        const GappedPair& pair);

}  // namespace tessaron
