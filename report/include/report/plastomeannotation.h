#pragma once

#include "engine/plastomestructure.h"
#include "input/feature.h"
#include "input/genbankfeaturetable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaron {

// A gene beside or across a junction of the plastome.
struct JunctionGene {
    std::string name;
    bool reverse = false;  // on the complementary strand
    // A gene across the junction: how many of its bases lie on each side.
    std::int64_t basesBefore = 0;
    std::int64_t basesAfter = 0;
    // A gene beside it: the bases between the gene and the junction (0 when
    // the gene ends, or begins, right at it).
    std::int64_t distance = 0;
    std::int64_t length = 0;  // the gene's bases (of this stretch, for a gene in parts)
};

// The genes at one junction: those across it, else the nearest gene on
// each side (none only when the record has no gene).
struct JunctionGenes {
    std::vector<JunctionGene> crossing;
    std::optional<JunctionGene> before;
    std::optional<JunctionGene> after;
};

// The genes at each junction (JLB, JSB, JSA, JLA). Only "gene" features
// count (their names are the /gene names); a gene made of parts that do not
// follow one another (a trans-spliced gene) counts as its parts. Empty lists
// when the structure was not found.
[[nodiscard]] std::array<JunctionGenes, 4> junctionGenes(const PlastomeStructure& structure,
                                                         const FeatureList& features);

// How the record's own annotation of a copy or junction compares with the
// one found.
struct AnnotationCheck {
    enum class Status { Agrees, Differs, Missing };
    std::string what;  // "IRb", "IRa", "JLB", ...
    Status status = Status::Missing;
    std::int64_t difference = 0;  // Differs: the larger of the two ends' distances, in bases
    std::string annotated;        // the annotation's location and note, as written
};

// "agrees", "differs by N bases", "missing".
[[nodiscard]] std::string statusText(const AnnotationCheck& check);

// Compares the record's inverted-repeat annotation with the structure: a
// repeat_region or misc_feature whose /rpt_type says inverted, or whose
// /note, /standard_name or /rpt_family names an inverted repeat, IR, IRa or
// IRb, is an annotated copy; the one overlapping a found copy most is its
// counterpart. A misc_feature whose note names a junction (JLB, JSB, JSA,
// JLA) is compared with that junction. Junctions are listed only when the
// record annotates them.
[[nodiscard]] std::vector<AnnotationCheck> checkAnnotation(const PlastomeStructure& structure,
                                                           const std::vector<RawFeature>& features);

}  // namespace tessaron
