#pragma once

// The features of a GenBank genome as a biologist reads them: a type, a
// strand and a product beside each name. The reader keeps a feature's colour,
// which tells a gene or a tRNA and its strand; an rRNA or another RNA takes
// the strand of the gene that spans exactly its bases (the usual way of
// annotating one), and that gene takes the RNA's name as its product.

#include "input/feature.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaron {

enum class FeatureType { Gene, Trna, Rrna, OtherRna, DLoop };
enum class Strand { Unknown, Plus, Minus };

struct AnnotatedFeature {
    std::size_t feature = 0;  // its place in the feature list
    FeatureType type = FeatureType::Gene;
    Strand strand = Strand::Unknown;
    std::string name;
    std::string product;  // empty when unknown
    // 0-based as the feature's own; start exceeds end across the origin.
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::vector<FeaturePart> parts;
    // A gene whose bases an RNA feature spans exactly: drawn as that RNA.
    std::size_t sameSpanAs = SIZE_MAX;
};

// Every feature but the whole-sequence one that heads the list, in file order.
[[nodiscard]] std::vector<AnnotatedFeature> annotateFeatures(const FeatureList& features);

// The strand of one of the feature's parts: its own for a feature of known
// strand (a trans-spliced gene may have parts on both), else Unknown.
[[nodiscard]] Strand strandOf(const AnnotatedFeature& feature, const FeaturePart& part);

// Whether the feature is shown and selected by its parts rather than by its
// span: its parts lie on both strands, out of order, or around the origin
// (a span start..end that crosses the origin would cover most of the genome
// for a trans-spliced gene).
[[nodiscard]] bool shownByParts(const AnnotatedFeature& feature);

// "gene", "tRNA", "rRNA", "RNA" or "D-loop".
[[nodiscard]] const char* typeName(FeatureType type);

// The stretches a feature covers, each as from..to (0-based, inclusive, from
// <= to) within a genome of `length` bases: a feature or part across the
// origin gives two; `terminal` marks the one holding the feature's 3' end on
// its strand (the far end for Plus, the near end for Minus); a feature with
// parts on both strands ends each part so. Each takes its part's strand.
struct Stretch {
    std::int32_t from = 0;
    std::int32_t to = 0;
    bool terminal = false;
    Strand strand = Strand::Unknown;
    friend bool operator==(const Stretch&, const Stretch&) = default;
};
[[nodiscard]] std::vector<Stretch> stretchesOf(const AnnotatedFeature& feature, std::int64_t length);

}  // namespace tessaron
