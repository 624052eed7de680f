#pragma once

#include "engine/plastomestructure.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// A stretch of the original sequence as it is laid down in a rearranged one:
// `length` bases from `sourceStart` (0-based, circular), read on the
// reverse strand when `reversed`.
struct SequencePiece {
    std::int64_t sourceStart = 0;
    std::int64_t length = 0;
    bool reversed = false;
    friend bool operator==(const SequencePiece&, const SequencePiece&) = default;
};

// A plastome in its standard form: it begins with the first base of the LSC
// and reads LSC, IRb, SSC, IRa, each single-copy region on a fixed strand
// chosen from its bases alone (no annotation needed):
//  - the strand of the whole molecule is the one on which the LSC reads
//    lower (alphabetically, case aside) than its reverse complement, the rule
//    that picks the canonical strand of a k-mer, applied to the whole LSC;
//  - the SSC, whose orientation differs between the two flip-flop isomers
//    that recombination between the copies makes, is then written on the
//    strand on which it reads lower than its reverse complement.
// Every rotation of a plastome, its reverse complement and both isomers
// therefore give the same sequence.
struct NormalisedPlastome {
    std::string sequence;
    std::vector<SequencePiece> pieces;  // in the new order: LSC, IRb, SSC, IRa (empty ones left out)
    bool strandReversed = false;        // the LSC was read on the other strand
    bool sscReversed = false;           // the SSC reversed relative to the rest
    // Where a base of the original sequence (0-based) lies in the new one,
    // and whether it is read on the other strand there.
    [[nodiscard]] std::int64_t map(std::int64_t source, bool& reversed) const;
};

// The standard form of a sequence with a quadripartite structure; an empty
// result when `structure.found` is false.
[[nodiscard]] NormalisedPlastome normalisePlastome(std::string_view sequence,
                                                   const PlastomeStructure& structure);

// The reverse complement of a sequence (letters other than A, C, G, T kept;
// case kept).
[[nodiscard]] std::string reverseComplementOf(std::string_view sequence);

}  // namespace tessaron
