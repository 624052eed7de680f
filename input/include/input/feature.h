#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaron {

// Colours are 0x00BBGGRR values; a feature's colour alone tells its kind and strand.
inline constexpr std::uint32_t kColorSequence = 0x909090;        // whole sequence, rRNA, other RNA, D-loop
inline constexpr std::uint32_t kColorGeneDirect = 0x0000EA;      // red
inline constexpr std::uint32_t kColorGeneComplement = 0x6060FF;  // light red
inline constexpr std::uint32_t kColorTrnaDirect = 0xEA0000;      // blue
inline constexpr std::uint32_t kColorTrnaComplement = 0xFF6060;  // light blue

// One annotated stretch of a genome. Positions are 0-based (the file's minus
// one); `start` may exceed `end` for a feature across the origin.
struct Feature {
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::string name;  // at most 30 characters
    std::uint32_t color = 0;
    friend bool operator==(const Feature&, const Feature&) = default;
};

// Features in file order, headed by the whole-sequence feature "sequence".
using FeatureList = std::vector<Feature>;

}  // namespace tessaron
