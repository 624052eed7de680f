#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// The quadripartite structure of a plastome: the longest inverted-repeat pair
// (IRa, IRb), tolerant of mismatches and indels, and the two single-copy
// regions between its copies.
//
// Naming: the single-copy region of more bases is the LSC, the other the SSC
// (equal lengths: the LSC is the one that begins at the lower position).
// Reading forward around the circle the parts follow one another as
// LSC, IRb, SSC, IRa: IRb is the copy that follows the LSC. The junctions are
// JLB (LSC|IRb), JSB (IRb|SSC), JSA (SSC|IRa) and JLA (IRa|LSC).
//
// All positions are 0-based and circular: a region may run over the end of
// the sequence into its beginning. Outputs write them 1-based.

enum class PlastomePart { Lsc = 0, IrB = 1, Ssc = 2, IrA = 3 };
enum class PlastomeJunction { Jlb = 0, Jsb = 1, Jsa = 2, Jla = 3 };

// "LSC", "IRb", "SSC", "IRa"; "JLB", "JSB", "JSA", "JLA".
[[nodiscard]] std::string_view partName(PlastomePart part);
[[nodiscard]] std::string_view junctionName(PlastomeJunction junction);

struct PlastomeRegion {
    std::int64_t start = 0;   // first base, 0-based
    std::int64_t length = 0;  // bases; 0 for an empty single-copy region
    double gc = 0.0;          // G + C over the A, C, G, T of the region (0 when none)
    // The last base, 0-based and circular (start - 1 for an empty region).
    [[nodiscard]] std::int64_t last(std::int64_t genomeLength) const;
    friend bool operator==(const PlastomeRegion&, const PlastomeRegion&) = default;
};

// One difference between the two copies, read along IRb: IRa is read on its
// reverse strand so that both copies run the same way. Each side names the
// stretch of its copy that differs, by genome position; a side of length 0
// (the other copy has bases there that this one lacks) lies between the
// bases `start - 1` and `start` of the genome.
struct IrDifference {
    enum class Kind { Mismatch, Indel };
    Kind kind = Kind::Mismatch;
    std::int64_t startB = 0;  // lowest genome position of the stretch in IRb
    std::int64_t lengthB = 0;
    std::int64_t startA = 0;  // lowest genome position of the stretch in IRa
    std::int64_t lengthA = 0;
    std::string basesB;  // as written in the genome
    std::string basesA;  // reverse complement of the genome's bases: IRb's direction
    friend bool operator==(const IrDifference&, const IrDifference&) = default;
};

// The copies must reach both minimums: a plastome's inverted repeat is a
// large share of the molecule (typically 10 to 30 kb of 120 to 170 kb), while
// a bacterium's inverted rRNA operons, a few kb in a megabase, are not one.
struct PlastomeSettings {
    std::int64_t minIrLength = 1000;  // shorter copies: no quadripartite structure
    double minIrFraction = 0.01;      // nor copies shorter than this share of the genome (0: no such rule)
    int seedLength = 16;              // exact words that anchor the alignment (8 to 16)
    std::int64_t maxGap = 3000;       // longest stretch bridged between two anchors
};

struct PlastomeStructure {
    std::int64_t genomeLength = 0;
    bool found = false;  // false: no inverted repeat of the minimum length
    // Indexed by PlastomePart and PlastomeJunction. A junction is the base
    // before it (`before`, the last base of one part) and after it.
    std::array<PlastomeRegion, 4> regions{};
    std::array<std::int64_t, 4> junctionAfter{};  // first base of the part that follows
    std::vector<IrDifference> differences;        // in IRb order
    std::int64_t matchingColumns = 0;             // aligned columns of equal bases
    std::int64_t longestIrCandidate = 0;          // the shorter copy of the best pair seen
    std::int64_t minIrLength = 0;                 // the shortest copy that counted, both rules applied

    [[nodiscard]] const PlastomeRegion& region(PlastomePart part) const
    {
        return regions[static_cast<std::size_t>(part)];
    }
    // The first base after the junction and the last one before it.
    [[nodiscard]] std::int64_t after(PlastomeJunction junction) const
    {
        return junctionAfter[static_cast<std::size_t>(junction)];
    }
    [[nodiscard]] std::int64_t before(PlastomeJunction junction) const;
    // Percent identity of the copies: equal columns over all alignment columns.
    [[nodiscard]] double irIdentity() const;
};

// Finds the structure of a circular sequence (any case; letters other than
// A, C, G, T never match). About 0.1 s for 150 kb.
[[nodiscard]] PlastomeStructure findPlastomeStructure(std::string_view sequence,
                                                      const PlastomeSettings& settings = {});

// "a^b", 1-based, for the junction between 0-based `before` and `after`.
[[nodiscard]] std::string junctionText(std::int64_t before, std::int64_t after);

}  // namespace tessaron
