#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessaron {

// Colours are 0x00BBGGRR values; a feature's colour alone tells its kind and strand.
inline constexpr std::uint32_t kColorSequence = 0x909090;        // whole sequence, rRNA, other RNA, D-loop
inline constexpr std::uint32_t kColorGeneDirect = 0x0000EA;      // red
inline constexpr std::uint32_t kColorGeneComplement = 0x6060FF;  // light red
inline constexpr std::uint32_t kColorTrnaDirect = 0xEA0000;      // blue
inline constexpr std::uint32_t kColorTrnaComplement = 0xFF6060;  // light blue

// One stretch of a feature made of several, 0-based like the feature's own;
// a trans-spliced gene may have parts on both strands.
struct FeaturePart {
    std::int32_t start = 0;
    std::int32_t end = 0;
    bool complement = false;  // this part lies on the complementary strand
    friend bool operator==(const FeaturePart&, const FeaturePart&) = default;
};

// One annotated stretch of a genome. Positions are 0-based (the file's minus
// one); `start` may exceed `end` for a feature across the origin.
struct Feature {
    Feature() = default;
    Feature(std::int32_t first, std::int32_t last, std::string label, std::uint32_t shade,
            std::vector<FeaturePart> stretches = {})
        : start(first), end(last), name(std::move(label)), color(shade), parts(std::move(stretches))
    {
    }

    std::int32_t start = 0;
    std::int32_t end = 0;
    std::string name;  // at most 30 characters
    std::uint32_t color = 0;
    // A join or order whose parts do not follow one another (a trans-spliced
    // gene) lists them here, in the order written; start..end then only
    // spans them. Empty for a feature that start..end covers.
    std::vector<FeaturePart> parts;
    // Named by its /locus_tag or its key, for want of a /gene (a gene) or a
    // /product (an RNA): a map labels such names last, if at all.
    bool namedByTag = false;
    friend bool operator==(const Feature&, const Feature&) = default;
};

// Features in file order, headed by the whole-sequence feature "sequence".
using FeatureList = std::vector<Feature>;

}  // namespace tessaron
