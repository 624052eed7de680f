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

// A gene of the annotation that fixes the standard orientation: its first
// and last base (0-based, circular: `last` below `first` across the origin)
// and its strand.
struct PlastomeMarker {
    std::int64_t first = 0;
    std::int64_t last = 0;
    bool reverse = false;
};

// The marker genes as annotated, every copy (none when the record has no
// annotation).
struct PlastomeMarkers {
    std::vector<PlastomeMarker> psbA;
    std::vector<PlastomeMarker> trnH;  // trnH-GUG
    std::vector<PlastomeMarker> rbcL;
    std::vector<PlastomeMarker> ndhF;
    std::vector<PlastomeMarker> ycf1;
};

// A plastome in its standard form: it begins with the first base of the LSC
// (the base after JLA) and reads LSC, IRb, SSC, IRa, in the layout of the
// tobacco plastome (Shinozaki et al. 1986, EMBO J 5:2043-2049) that most
// published plastomes follow, decided by the annotated marker genes where
// there are some:
//  - the strand of the whole molecule is the one on which psbA lies on the
//    minus strand in the LSC (else trnH-GUG on the minus strand, else rbcL
//    on the plus strand), the first copy in the LSC deciding;
//  - the SSC is written so that ndhF lies in its half at the IRb end (JSB),
//    else so that ycf1 (its copy with most bases in the SSC) lies in its
//    half at the IRa end, across JSA.
// Without such a marker, each choice falls back to a rule of the bases
// alone:
//  - the strand is the one on which the LSC reads lower (alphabetically,
//    case aside) than its reverse complement, the rule that picks the
//    canonical strand of a k-mer, applied to the whole LSC;
//  - the SSC is written on the strand on which it reads lower than its
//    reverse complement.
// Every rotation of a plastome, its reverse complement and both flip-flop
// isomers (the SSC in either orientation between the copies) therefore give
// the same sequence, the markers moved with their bases.
struct NormalisedPlastome {
    std::string sequence;
    std::vector<SequencePiece> pieces;  // in the new order: LSC, IRb, SSC, IRa (empty ones left out)
    bool strandReversed = false;        // the LSC was read on the other strand
    bool sscReversed = false;           // the SSC reversed relative to the rest
    // The marker gene that decided each choice ("psbA", "ndhF", ...); empty
    // where the rule of the bases decided.
    std::string strandMarker;
    std::string sscMarker;
    // Where a base of the original sequence (0-based) lies in the new one,
    // and whether it is read on the other strand there.
    [[nodiscard]] std::int64_t map(std::int64_t source, bool& reversed) const;
};

// The standard form of a sequence with a quadripartite structure, by its
// annotated markers where given; an empty result when `structure.found` is
// false.
[[nodiscard]] NormalisedPlastome normalisePlastome(std::string_view sequence,
                                                   const PlastomeStructure& structure,
                                                   const PlastomeMarkers& markers = {});

// The reverse complement of a sequence (letters other than A, C, G, T kept;
// case kept).
[[nodiscard]] std::string reverseComplementOf(std::string_view sequence);

}  // namespace tessaron
