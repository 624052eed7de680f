#pragma once

// A motif written in the IUPAC codes (A, C, G, T, U, N, R, Y, S, W, K, M, B,
// D, H, V) found in a circular or linear sequence, allowing up to k
// mismatched positions, on the strand read and, when asked, on the other
// one. A base of the sequence matches a code that stands for it; a letter of
// the sequence that is not a base (a gap) matches only N.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

struct MotifHit {
    int start = 0;         // 0-based, on the strand read; a hit over the origin runs on at 0
    bool reverse = false;  // the motif's reverse complement matched here: a hit on the other strand
    int mismatches = 0;
    friend bool operator==(const MotifHit&, const MotifHit&) = default;
};

struct MotifQuery {
    std::string motif;  // IUPAC codes, either case
    int mismatches = 0;
    bool bothStrands = true;
    bool circular = true;
};

struct MotifSearchResult {
    std::vector<MotifHit> hits;  // by start, the strand read first at a start
    bool truncated = false;      // more hits than the limit: the first ones are kept
};

// The four bases a code stands for, as bits (A 1, C 2, G 4, T 8); 0 for a letter that is no code.
[[nodiscard]] std::uint8_t iupacBases(char code);
// Why `motif` cannot be searched for (empty, a letter that is no code), or nothing when it can.
[[nodiscard]] std::optional<std::string> motifProblem(std::string_view motif);
// The motif on the other strand: its codes complemented, read backwards (upper case).
[[nodiscard]] std::string iupacReverseComplement(std::string_view motif);

// The hits of `query` in `sequence`, at most `limit` of them. A motif that
// is its own reverse complement is reported once, on the strand read. A
// query with a problem, or longer than the sequence, finds nothing.
[[nodiscard]] MotifSearchResult findMotifHits(std::string_view sequence, const MotifQuery& query,
                                              std::size_t limit = 100000);

}  // namespace tessaron
