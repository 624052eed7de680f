#pragma once

#include "engine/genome.h"
#include "engine/searchcontrol.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tessaron {

// Tandem repeats: arrays of approximate copies of a unit (the consensus) of 1
// to 10,000 letters, one after another, with mismatches and 1-letter
// insertions and deletions, in the circular sequence S of N letters
// (0-based positions read modulo N).
//
// An array is the alignment of a stretch of S against its consensus repeated
// (wraparound), scored like the field's tandem repeat finder: +match for a
// letter equal to the consensus, -mismatch for a letter that differs,
// -indel for a letter inserted or a consensus letter skipped. Arrays are
// found from pairs of equal words at a distance of at most the largest
// period (the candidate periods), aligned to a consensus made by majority
// vote of the copies (below three copies, each whole copy is tried as the
// consensus and the best array kept; an imperfect array of at most 12
// copies is tried at two and three times its period too, kept when it
// scores better by half the minimum score) in one alignment against the
// consensus repeated, in a band round the diagonal, and ended where the
// running score is best (the farthest of equal best places, either way).
// An array is reported when its score reaches the minimum and it holds at
// least the minimum copies.
//
// No array holds a gap (a letter other than A, C, G, T). On a circle without
// gaps an array may cross the origin: it is reported once, whole, at the
// start where it starts (its end, start + length, then passes N); no array
// is longer than N.
//
// Where arrays of related periods (equal, or one about a multiple of the
// other) overlap over at least half the shorter one, only the one of best
// score is kept (then the shorter period, the longer array); with `all`,
// arrays of different periods are all kept and only those of the same
// period are merged so.
//
// The genome is read both ways (its reverse complement on a second thread)
// and the arrays of both readings are chosen from in an order that does not
// depend on the strand, so that the reverse complement of the genome gives
// the same arrays at the mirrored places: the same length, period, copies,
// score, counts and class; the alignment's columns in the opposite order;
// the consensus complemented and read backwards from the letter the array
// ends on (the copies cut where it starts again).

struct TandemSettings {
    static constexpr int kMaxPeriodBound = 10000;
    static constexpr int kMaxScoreWeight = 100;

    int minimumPeriod = 1;
    int maximumPeriod = 2000;  // up to kMaxPeriodBound
    int match = 2;             // score weights, each 1 .. kMaxScoreWeight
    int mismatch = 7;
    int indel = 7;
    int minimumScore = 50;       // at least 1
    double minimumCopies = 1.8;  // at least 1.0
    bool all = false;            // keep every period where several cover a stretch

    // Why the settings cannot be used ("the largest period must be 1 to
    // 10000"), or nothing when they can.
    [[nodiscard]] std::optional<std::string> validate() const;
};

struct TandemRepeat {
    std::int64_t start = 0;   // 0-based, 0 .. N-1
    std::int64_t length = 0;  // letters of the array
    int period = 0;           // length of the consensus
    double copies = 0.0;      // consensus letters aligned / period, e.g. 2.4
    std::string consensus;    // starting in phase with the array's first letter
    std::string motifClass;   // least rotation of the consensus / of its reverse complement
    std::int64_t matches = 0;
    std::int64_t mismatches = 0;
    std::int64_t insertions = 0;  // letters of the array not in the consensus
    std::int64_t deletions = 0;   // consensus letters missing from the array
    std::int64_t score = 0;
    // One compact CIGAR per copy against the consensus (= match, X mismatch,
    // I letter inserted, D consensus letter deleted), copies separated by
    // commas: "171=,80=1X90=,40=".
    std::string alignment;

    // One past the last letter, 0-based: beyond N for an array across the origin.
    [[nodiscard]] std::int64_t end() const { return start + length; }
    // Columns of the alignment: matches + mismatches + insertions + deletions.
    [[nodiscard]] std::int64_t columns() const { return matches + mismatches + insertions + deletions; }
    // Percent of columns that are matches, and that are indels, rounded.
    [[nodiscard]] int percentMatches() const;
    [[nodiscard]] int percentIndels() const;
    friend bool operator==(const TandemRepeat&, const TandemRepeat&) = default;
};

using TandemRepeatList = std::vector<TandemRepeat>;
using TandemRepeatResult = std::variant<TandemRepeatList, SearchFailure>;

// Every tandem array of the genome by start, then period. Settings must be
// valid (validate()); fails with Cancelled when asked to stop, OutOfMemory
// when the memory cannot be had.
[[nodiscard]] TandemRepeatResult findTandemRepeats(const Genome& genome, const TandemSettings& settings = {},
                                                   const SearchControl& control = {});

// The class of a consensus of A, C, G, T as microsatellites show theirs
// ("AG/CT"), in time linear in its length.
[[nodiscard]] std::string tandemClass(std::string_view consensus);

}  // namespace tessaron
